// Esc right after Start gives the page's refusal, right after Stop it closes the page: the
// button just clicked is disabled, and the keyboard focus must not be left nowhere. The focus
// is the X server's, so these run alone (SERIAL).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>

#include <string>
#include <vector>

#include "logic/ui/CDialogLogic.h"
#include "logic/ui/Pages.h"
#include "pages/kline/kw1281/ui/CDialogKW1281.h"
#include "pages/kline/ui/Pages.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/UserInput.h"

namespace {

const char* const kRefusal = "VR3526正在工作，请先停止VR3526工作";

class Kw1281FocusTest : public PageWindowTest<CDialogKW1281> {
protected:
    Kw1281FocusTest() : PageWindowTest(IDC_BUTTON_KW1281, MakeDialogKW1281Page) {}
};

TEST_F(Kw1281FocusTest, EscapeWorksRightAfterStartAndStop) {
    ASSERT_NE(OpenPage(), nullptr);
    Button(IDC_UART_START)->SetFocus();  // a click gives the button the focus
    ASSERT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == Button(IDC_UART_START); }));
    Press(Button(IDC_UART_START));
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    ASSERT_TRUE(PressEscape(dialog_)) << "no control of the page has the focus";
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{kRefusal});
    EXPECT_TRUE(dialog_->IsShown());
    Press(Button(IDC_UART_STOP));
    ASSERT_TRUE(PressEscape(dialog_)) << "no control of the page has the focus";
    EXPECT_FALSE(dialog_->IsShown());
}

class LogicFocusTest : public PageWindowTest<CDialogLogic> {
protected:
    LogicFocusTest() : PageWindowTest(IDC_BUTTON_LOGIC, MakeDialogLogicPage) {}
};

TEST_F(LogicFocusTest, EscapeWorksRightAfterStartAndStop) {
    bool ran = false;
    wxTheApp->CallAfter([&] {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* d = dynamic_cast<CDialogLogic*>(window)) dialog_ = d;
        ASSERT_TRUE(dialog_ && dialog_->IsModal());
        // Whatever fails below, the window's loop ends.
        struct Close {
            CDialogLogic* d;
            ~Close() {
                if (!d->IsModal()) return;
                if (g_WorkerRunning.load()) d->Page().Stop();
                d->EndModal(wxID_CANCEL);
            }
        } close{dialog_};
        Button(IDC_LOGIC_START)->SetFocus();
        ASSERT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == Button(IDC_LOGIC_START); }));
        Press(Button(IDC_LOGIC_START));
        ASSERT_EQ(g_WorkerRunning.load(), 1u);
        ASSERT_TRUE(PressEscape(dialog_)) << "no control of the window has the focus";
        EXPECT_TRUE(dialog_->IsModal()) << "refused while capturing";
        EXPECT_EQ(messages_.Count(), 1u);
        Press(Button(IDC_LOGIC_STOP));
        ASSERT_TRUE(PressEscape(dialog_, false)) << "no control of the window has the focus";
        ran = !dialog_->IsModal();
    });
    hub_->OnPageButton(IDC_BUTTON_LOGIC);
    if (g_WorkerRunning.load()) g_WorkerThread.Stop();
    EXPECT_TRUE(ran) << "Esc closed the window after Stop";
}

}  // namespace

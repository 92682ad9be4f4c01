// Esc right after Start gives the page's refusal, right after Stop it closes the page: the
// button just clicked is disabled, and the keyboard focus must not be left nowhere. Space and
// Enter right after Start or Stop change nothing, as on the disabled button. The focus and the
// keys are the X server's, so these run alone (SERIAL).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>

#include <string>
#include <vector>

#include "logic/ui/CDialogLogic.h"
#include "pages/can/ui/CDialog15765.h"
#include "pages/can/ui/Pages.h"
#include "pages/j1850/ui/CDialogVpw.h"
#include "pages/j1850/ui/Pages.h"
#include "logic/ui/Pages.h"
#include "pages/kline/kw1281/ui/CDialogKW1281.h"
#include "pages/kline/ui/Pages.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/UserInput.h"

#include "tests/support/XDesktop.h"  // last: Xlib's macros

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

// A real key (SendRealKey); true once the window has seen it.
bool RealKey(wxWindow* window, KeySym key) {
    int seen = 0;
    auto count = [&seen](wxKeyEvent& event) {
        ++seen;
        event.Skip();
    };
    window->Bind(wxEVT_CHAR_HOOK, count);
    SendRealKey(key);
    const bool arrived = PumpUntil([&] { return seen > 0; });
    PumpPending();
    window->Unbind(wxEVT_CHAR_HOOK, count);
    return arrived;
}

// Space started the page (the keyboard user's Start); Space and Enter right after change
// nothing, Esc is refused; after Stop the same keys start nothing, and Esc closes the page.
void KeysRightAfterStartAndStop(wxDialog* page, platform::RecordingMessageSink& messages) {
    wxButton* start = dynamic_cast<wxButton*>(page->FindWindow(1014));
    wxButton* stop = dynamic_cast<wxButton*>(page->FindWindow(1003));
    ASSERT_TRUE(start && stop);
    page->Raise();
    start->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == start; }));
    ASSERT_TRUE(RealKey(page, XK_space)) << "the page has the X input focus";
    ASSERT_EQ(g_WorkerRunning.load(), 1u) << "Space on Start started the page";
    for (KeySym key : {XK_space, XK_Return, XK_KP_Enter, XK_space}) {
        ASSERT_TRUE(RealKey(page, key));
        EXPECT_EQ(g_WorkerRunning.load(), 1u) << "right after Start, key " << key;
    }
    EXPECT_TRUE(messages.Texts().empty());
    ASSERT_TRUE(RealKey(page, XK_Escape));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kRefusal});
    EXPECT_TRUE(page->IsShown());

    Press(stop);
    ASSERT_EQ(g_WorkerRunning.load(), 0u);
    for (KeySym key : {XK_space, XK_Return, XK_space}) {
        ASSERT_TRUE(RealKey(page, key));
        EXPECT_EQ(g_WorkerRunning.load(), 0u) << "right after Stop, key " << key;
    }
    ASSERT_TRUE(RealKey(page, XK_Escape));
    EXPECT_FALSE(page->IsShown());
}

class Iso15765KeyTest : public PageWindowTest<CDialog15765> {
protected:
    Iso15765KeyTest() : PageWindowTest(IDC_BUTTON_15765, MakeDialog15765Page) {}
};
class VpwKeyTest : public PageWindowTest<CDialogVpw> {
protected:
    VpwKeyTest() : PageWindowTest(IDC_BUTTON_VPW, [] { return MakeDialogVpwPage(false); }) {}
};

TEST_F(Kw1281FocusTest, SpaceAndEnterRightAfterStartAndStopChangeNothing) {
    ASSERT_NE(OpenPage(), nullptr);
    KeysRightAfterStartAndStop(dialog_, messages_);
}

TEST_F(Iso15765KeyTest, SpaceAndEnterRightAfterStartAndStopChangeNothing) {
    ASSERT_NE(OpenPage(), nullptr);
    KeysRightAfterStartAndStop(dialog_, messages_);
}

TEST_F(VpwKeyTest, SpaceAndEnterRightAfterStartAndStopChangeNothing) {
    ASSERT_NE(OpenPage(), nullptr);
    KeysRightAfterStartAndStop(dialog_, messages_);
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

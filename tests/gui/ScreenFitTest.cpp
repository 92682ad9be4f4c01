// Every window of the program fits a 1366 x 768 laptop screen whole, below a window manager's
// title bar: each page the hub opens and each dialog the program shows, at the size it opens
// with and at the smallest size it allows, with all its content inside (nothing to scroll to).
#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/sizer.h>

#include <sstream>
#include <string>

#include "app/CAboutDlg.h"
#include "app/CSelectDeive.h"
#include "logic/ui/CDialogLogic.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogShowMessageDetail.h"
#include "platform/ui/WxMessageSink.h"
#include "pages/kline/lin/ui/CDiaglogLin.h"
#include "pages/kline/lin/ui/CDialogEditIDTable.h"
#include "simulator/ui/CDialogAddAckFromList.h"
#include "simulator/ui/CDialogEitRepondFrame.h"
#include "simulator/ui/CDialogObdSimu.h"
#include "simulator/ui/CDialogSetEcuPara.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/ProgramFixture.h"

namespace {

constexpr int kScreenWidth = 1366, kScreenHeight = 768, kTitleBar = 30;

// What does not fit, or "" (also: content larger than the window that holds it).
std::string Misfit(wxWindow* window) {
    std::ostringstream out;
    const wxSize client = window->GetClientSize();
    const wxSize content = window->GetSizer() ? window->GetSizer()->GetMinSize() : client;
    const wxSize least = window->GetMinClientSize();
    out << "client " << client.x << "x" << client.y << ", content " << content.x << "x" << content.y
        << ", min " << least.x << "x" << least.y;
    const bool fits = client.x <= kScreenWidth && client.y + kTitleBar <= kScreenHeight &&
                      least.x <= kScreenWidth && least.y + kTitleBar <= kScreenHeight &&
                      content.x <= client.x && content.y <= client.y;
    return fits ? std::string() : out.str();
}

class ScreenFit : public ProgramTest {
protected:
    void SetUp() override { StartProgram(); }

    // Shows the dialog modelessly, checks it, and destroys it.
    void ExpectDialogFits(const char* name, wxDialog* dialog) {
        dialog->Show();
        PumpPending();
        EXPECT_EQ(Misfit(dialog), "") << name;
        dialog->Destroy();
        PumpPending();
    }
};

TEST_F(ScreenFit, EveryPageTheHubOpens) {
    EXPECT_EQ(Misfit(frame_), "") << "main window";
    for (int button : kHubButtonOrder) {
        SCOPED_TRACE(button);
        if (button == IDC_BUTTON_LOGIC) {
            // Modal: checked while it runs.
            std::string misfit = "not shown";
            wxTheApp->CallAfter([&] {
                if (auto* logic = ShownWindow<CDialogLogic>()) {
                    PumpPending();
                    misfit = Misfit(logic);
                    logic->EndModal(wxID_CANCEL);
                }
            });
            frame_->GetHub()->OnPageButton(button);
            EXPECT_EQ(misfit, "") << "logic analyser";
            continue;
        }
        wxWindow* page = Open(button);
        ASSERT_NE(page, nullptr);
        PumpPending();
        EXPECT_EQ(Misfit(page), "") << page->GetLabel();
        page->Hide();
        frame_->GetHub()->EnableAllButtons();
    }
}

TEST_F(ScreenFit, EveryDialogTheProgramShows) {
    ExpectDialogFits("About", new CAboutDlg(frame_));
    ExpectDialogFits("device chooser", new CSelectDeive(frame_));
    ExpectDialogFits("question box",
                     new platform::WxBox(frame_,
                                         {"当前数据已更改，还未保存。\n确定放弃现数据，调入新数据吗",
                                          "VR3526 Developer Kits V1.00", platform::MessageIcon::Information},
                                         wxOK | wxCANCEL));

    // The longest record there is: a whole UART frame.
    MonitorRecord record{};
    record.sequence = 99999;
    record.kind = KindUart;
    record.lengthWord = kMonitorDataBytes;
    for (size_t i = 0; i < kMonitorDataBytes; ++i) record.data[i] = static_cast<uint8_t>(i);
    ExpectDialogFits("detail", new CDialogShowMessageDetail(frame_, record));

    auto* simulator = dynamic_cast<CDialogObdSimu*>(Open(IDC_BUTTON_OBD_SIMU));
    ASSERT_NE(simulator, nullptr);
    EcuSimParams params{};
    LoadDefaultParams(params);
    ExpectDialogFits("parameters", new CDialogSetEcuPara(simulator, params));
    OBDRespondEntry entry{};
    ExpectDialogFits("entry editor", new CDialogEitRepondFrame(simulator, entry, true, true));
    ExpectDialogFits("import", new CDialogAddAckFromList(simulator));
    simulator->Hide();
    frame_->GetHub()->EnableAllButtons();

    auto* lin = dynamic_cast<CDiaglogLin*>(Open(IDC_BUTTON_LIN));
    ASSERT_NE(lin, nullptr);
    lin->OnNMDblclkListIdTable(0);
    ASSERT_NE(lin->Editor(), nullptr);
    PumpPending();
    EXPECT_EQ(Misfit(lin->Editor()), "") << "ID table editor";
}

}  // namespace

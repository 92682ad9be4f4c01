// The KW1281, SCI, user-mode and J1708 pages in their windows, opened through the hub,
// against the simulated board.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "monitor/RecordFormat.h"
#include "monitor/ui/CListMessage.h"
#include "monitor/ui/CDialogMainA.h"
#include "pages/kline/SerialWorker.h"
#include "pages/kline/j1708/ui/CDialogJ1708.h"
#include "pages/kline/kw1281/ui/CDialogKW1281.h"
#include "pages/kline/sci/ui/CDialogSCI.h"
#include "pages/kline/ui/Pages.h"
#include "pages/kline/usermode/ui/CDialogUser.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/GuiPump.h"

namespace {

class KLinePagesGuiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(UsbLoadLibrary(), 1); }

    void SetUp() override {
        tb_reset();
        ASSERT_EQ(UsbOpenPipes(), 1);
        g_DeviceOpen = 1;
        ResetMonitorRing();
        frame_ = new wxFrame(nullptr, wxID_ANY, "hub", wxDefaultPosition, wxSize(1000, 600));
        hub_ = new CDialogMainA(frame_);
        frame_->Show();
        hub_->RegisterPage(IDC_BUTTON_USER, MakeDialogUserPage());
        hub_->RegisterPage(IDC_BUTTON_KW1281, MakeDialogKW1281Page());
        hub_->RegisterPage(IDC_BUTTON_J1708, MakeDialogJ1708Page());
        hub_->RegisterPage(IDC_BUTTON_SCI, MakeDialogSCIPage());
    }
    void TearDown() override {
        if (g_WorkerRunning.load()) g_WorkerThread.Stop();
        EXPECT_EQ(tb_frame_length_mismatches(), 0u);
        frame_->Destroy();
        PumpPending();
        UsbClosePipes();
        g_DeviceOpen = 0;
    }

    template <class Dialog>
    Dialog* OpenPage(int button) {
        hub_->OnPageButton(button);
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* page = dynamic_cast<Dialog*>(window)) return page->IsShown() ? page : nullptr;
        return nullptr;
    }

    static void Click(wxWindow* page, int id) {
        auto* button = dynamic_cast<wxButton*>(page->FindWindow(id));
        ASSERT_TRUE(button && button->IsEnabled()) << id;
        wxCommandEvent event(wxEVT_BUTTON, id);
        button->ProcessWindowEvent(event);
    }

    bool ListShows(const std::string& text) const {
        const wxListCtrl* list = hub_->GetList();
        for (long row = 0; row < list->GetItemCount(); ++row)
            if (list->GetItemText(row, ColumnData).utf8_string().find(text) != std::string::npos) return true;
        return false;
    }

    platform::RecordingMessageSink messages_;
    wxFrame* frame_ = nullptr;
    CDialogMainA* hub_ = nullptr;
};

TEST_F(KLinePagesGuiTest, EachPageOpensStartsSendsShowsItsRowsStopsAndCloses) {
    tb_set_init5(1, 0x00, 0x8A, 0x01);
    struct Case {
        const char* name;
        std::function<wxDialog*()> open;
        const char* caption;
        int send;
        std::vector<std::string> rows;  // texts the list shows after the send
        std::function<void(wxDialog*)> edit;  // typed before Start
    };
    const Case cases[] = {
        {"KW1281", [&] { return OpenPage<CDialogKW1281>(IDC_BUTTON_KW1281); }, "KW1281 -- Device( 0 ) Connected",
         IDC_UART_SEND_INIT, {" SLOW INIT; ADDR= 0X15 DATA: ", "INIT=OK; BRG= 239 KEYWORD: 8A 01"}, {}},
        {"SCI", [&] { return OpenPage<CDialogSCI>(IDC_BUTTON_SCI); }, "SCI -- Device( 0 ) Connected",
         IDC_UART_SEND, {"11 22 33 44 55 "}, {}},
        {"user mode", [&] { return OpenPage<CDialogUser>(IDC_BUTTON_USER); },
         "USER MOD (ISO9141) -- Device( 0 ) Connected", IDC_UART_SEND, {"68 6A F1 01 00 C4 "}, {}},
        {"J1708", [&] { return OpenPage<CDialogJ1708>(IDC_BUTTON_J1708); }, "J1708-- Device( 0 ) Connected",
         IDC_UART_SEND, {"10 0A 0B 0C 0D 0E 0F 10 11 84 "},
         [](wxDialog* page) {  // 0 ms is accepted here without a message
             dynamic_cast<wxTextCtrl*>(page->FindWindow(IDC_J1708_URXP1MAX))->SetValue("0");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wxDialog* page = c.open();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->GetTitle().utf8_string(), c.caption);
        if (c.edit) c.edit(page);
        Click(page, IDC_UART_START);
        ASSERT_EQ(g_WorkerRunning.load(), 1u);
        Click(page, c.send);
        ASSERT_TRUE(PumpUntil([&] {
            for (const std::string& row : c.rows)
                if (!ListShows(row)) return false;
            return true;
        }));
        Click(page, IDC_UART_EXIT);
        EXPECT_TRUE(page->IsShown()) << "close refused while running";
        Click(page, IDC_UART_STOP);
        EXPECT_EQ(g_WorkerRunning.load(), 0u);
        Click(page, IDC_UART_EXIT);
        EXPECT_FALSE(page->IsShown());
    }
    const std::vector<std::string> texts = messages_.Texts();
    EXPECT_EQ(texts, std::vector<std::string>(4, "VR3526正在工作，请先停止VR3526工作"));
}

}  // namespace

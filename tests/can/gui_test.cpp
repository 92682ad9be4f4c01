// The ISO 15765 page in its window, opened through the hub, against the simulated board.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CListMessage.h"
#include "pages/can/ui/CDialog15765.h"
#include "pages/can/ui/Pages.h"
#include "pages/kline/SerialWorker.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/GuiPump.h"

namespace {

// The ECU answers the default request 7DF 02 01 00 from 7E8, as a set-up file says it.
const char* const kSetup = "on A0 80 10 00 7C 1F => can 7E8 06 41 00 BE 1F B8 10\n";

class Iso15765GuiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(UsbLoadLibrary(), 1); }

    void SetUp() override {
        tb_reset();
        const std::string path = ::testing::TempDir() + "can_gui_setup.txt";
        std::ofstream(path) << kSetup;
        ASSERT_EQ(tb_load_setup(path.c_str()), 1);
        std::remove(path.c_str());
        ASSERT_EQ(UsbOpenPipes(), 1);
        g_DeviceOpen = 1;
        ResetMonitorRing();
        frame_ = new wxFrame(nullptr, wxID_ANY, "hub", wxDefaultPosition, wxSize(1000, 600));
        hub_ = new CDialogMainA(frame_);
        frame_->Show();
        hub_->RegisterPage(IDC_BUTTON_15765, MakeDialog15765Page());
    }
    void TearDown() override {
        if (g_WorkerRunning.load()) g_WorkerThread.Stop();
        frame_->Destroy();
        PumpPending();
        UsbClosePipes();
        g_DeviceOpen = 0;
    }

    CDialog15765* OpenPage() {
        hub_->OnPageButton(IDC_BUTTON_15765);
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* page = dynamic_cast<CDialog15765*>(window)) dialog_ = page;
        return dialog_ && dialog_->IsShown() ? dialog_ : nullptr;
    }
    wxButton* Button(int id) const { return dynamic_cast<wxButton*>(dialog_->FindWindow(id)); }
    wxTextCtrl* Edit(int id) const { return dynamic_cast<wxTextCtrl*>(dialog_->FindWindow(id)); }
    void Click(int id) {
        ASSERT_TRUE(Button(id) && Button(id)->IsEnabled()) << id;
        wxCommandEvent event(wxEVT_BUTTON, id);
        Button(id)->ProcessWindowEvent(event);
    }
    // The row of the list that shows bytes with the direction text, -1 when none does.
    long RowShowing(const std::string& bytes) const {
        const wxListCtrl* list = hub_->GetList();
        for (long row = 0; row < list->GetItemCount(); ++row)
            for (int col = 0; col < list->GetColumnCount(); ++col)
                if (list->GetItemText(row, col).utf8_string().find(bytes) != std::string::npos) return row;
        return -1;
    }

    platform::RecordingMessageSink messages_;
    wxFrame* frame_ = nullptr;
    CDialogMainA* hub_ = nullptr;
    CDialog15765* dialog_ = nullptr;
};

TEST_F(Iso15765GuiTest, StartSendAnswerMultiFrameStopAndClose) {
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "CAN -- Device( 0 ) Connected");
    EXPECT_FALSE(Button(IDC_15765_SEND)->IsEnabled());
    EXPECT_FALSE(Button(IDC_15765_KEEPALIVE)->IsEnabled());
    // The page opens on "置OBD2 11bits".
    EXPECT_EQ(Edit(1058)->GetValue(), "1FA00000");  // F0's 29-bit edit: SID 7E8
    EXPECT_EQ(Edit(1099)->GetValue(), "7E8");
    EXPECT_EQ(Edit(IDC_15765_FC1_ID)->GetValue(), "7E1");
    EXPECT_EQ(Edit(IDC_15765_SINGLE_DATA)->GetValue(), "02 01 00 ");
    EXPECT_EQ(Edit(IDC_15765_LENGTH)->GetValue(), "258");
    EXPECT_EQ(Edit(IDC_15765_KEEPALIVE_ID)->GetValue(), "7DF");

    Edit(IDC_15765_N_BS)->SetValue("300");  // typed: clamped with its message
    EXPECT_EQ(Edit(IDC_15765_N_BS)->GetValue(), "255");
    ASSERT_EQ(messages_.Count(), 1u);
    EXPECT_EQ(messages_.Messages()[0].text, " 最大值为255");

    Click(IDC_15765_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    EXPECT_TRUE(hub_->MonitorTimerRunning());
    EXPECT_FALSE(Button(IDC_15765_START)->IsEnabled());
    EXPECT_TRUE(Button(IDC_15765_KEEPALIVE)->IsEnabled());

    Click(IDC_15765_SEND);
    ASSERT_TRUE(PumpUntil([&] { return RowShowing("02 01 00") >= 0 && RowShowing("06 41 00 BE 1F B8 10") >= 0; }));
    EXPECT_LT(RowShowing("02 01 00"), RowShowing("06 41 00 BE 1F B8 10")) << "sent before the answer";

    Click(IDC_15765_MULTI_FRAME);
    ASSERT_TRUE(PumpUntil([&] { return RowShowing("11 02 00 01 02 03 04 05") >= 0; }));

    Click(IDC_15765_KEEPALIVE);
    EXPECT_EQ(Button(IDC_15765_KEEPALIVE)->GetLabel().utf8_string(), "停止链路保持");
    Click(IDC_15765_STOP);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_EQ(Button(IDC_15765_KEEPALIVE)->GetLabel().utf8_string(), "启动链路保持");
    EXPECT_FALSE(Button(IDC_15765_KEEPALIVE)->IsEnabled());
    EXPECT_TRUE(Button(IDC_15765_START)->IsEnabled());

    Click(IDC_15765_EXIT);
    EXPECT_FALSE(dialog_->IsShown());
    EXPECT_EQ(messages_.Count(), 1u);
}

TEST_F(Iso15765GuiTest, PresetsAndThe29BitChoiceRewriteThePanel) {
    ASSERT_NE(OpenPage(), nullptr);
    Click(IDC_15765_PRESET_OBD29);
    EXPECT_EQ(Edit(IDC_15765_FC0_ID)->GetValue(), "18DA10F1");
    EXPECT_EQ(Edit(IDC_15765_SINGLE_ID)->GetValue(), "18DB33F1");
    EXPECT_EQ(Edit(1058)->GetValue(), "18DAF100");
    EXPECT_EQ(Edit(IDC_15765_KEEPALIVE_ID)->GetValue(), "18DB33F1");
    Click(IDC_15765_PRESET_ALL);
    EXPECT_EQ(Edit(IDC_15765_FC0_ID)->GetValue(), "7E0");
    EXPECT_EQ(Edit(IDC_15765_KEEPALIVE_ID)->GetValue(), "18DB33F1") << "preset 0 leaves it";
    Edit(IDC_15765_BUFFER)->SetValue("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13");
    EXPECT_EQ(Edit(IDC_15765_LENGTH)->GetValue(), "26");
    EXPECT_EQ(Edit(IDC_15765_FF_PCI)->GetValue(), "10");
    EXPECT_EQ(Edit(IDC_15765_FF_LENGTH_BYTE)->GetValue(), "1A");
    EXPECT_EQ(messages_.Count(), 0u);
}

}  // namespace

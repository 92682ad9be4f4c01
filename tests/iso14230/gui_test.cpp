// The ISO 14230 page in its window, opened through the hub, against the simulated board with
// a scripted ECU: Start, Send, the two rows in the monitor, Stop, close; the page timers end
// with the session.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CListMessage.h"
#include "pages/kline/SerialWorker.h"
#include "pages/kline/ui/CDialog14230.h"
#include "pages/kline/ui/Pages.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/GuiPump.h"

namespace {

// The ECU answers every frame sent to the engine's frame block with a positive response.
const std::vector<uint8_t> kEcuAnswer = [] {
    std::vector<uint8_t> frame = {0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F};
    frame.push_back(Iso14230Checksum(frame.data(), frame.size()));
    return frame;
}();

void PlayEcu(void*, const uint8_t* packet, unsigned length) {
    if (length < 6 || packet[0] != 0x57 || packet[1] != 0x3F) return;
    std::vector<uint8_t> reply = {0x00, StatusUartFrame, static_cast<uint8_t>(kEcuAnswer.size()), 0x00};
    reply.insert(reply.end(), kEcuAnswer.begin(), kEcuAnswer.end());
    tb_queue_reply(reply.data(), static_cast<unsigned>(reply.size()));
}

// Another page on the hub, so that closing this one visibly enables the other buttons.
class OtherPage : public HubPage {
public:
    bool WindowExists() const override { return false; }
    void ShowPage(CDialogMainA*) override {}
    void RefreshDeviceStatus() override {}
};

std::vector<uint8_t> RecordBytes(uint32_t index) {
    const MonitorRecord r = CopyMonitorRecord(index);
    return std::vector<uint8_t>(r.data, r.data + (r.lengthWord & 0x1FF));
}

class Iso14230GuiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(UsbLoadLibrary(), 1); }

    void SetUp() override {
        tb_reset();
        g_DeviceNumber = 0;
        ASSERT_EQ(UsbOpenPipes(), 1);
        g_DeviceOpen = 1;
        frame_ = new wxFrame(nullptr, wxID_ANY, "hub", wxDefaultPosition, wxSize(1000, 600));
        hub_ = new CDialogMainA(frame_);
        frame_->Show();
        hub_->RegisterPage(IDC_BUTTON_14230, MakeDialog14230Page());
        hub_->RegisterPage(IDC_BUTTON_SCI, std::make_unique<OtherPage>());
        PumpPending();
    }

    void TearDown() override {
        tb_set_responder(nullptr, nullptr);
        if (g_WorkerRunning.load()) g_WorkerThread.Stop();
        frame_->Destroy();
        PumpPending();
        UsbClosePipes();
        g_DeviceOpen = 0;
    }

    CDialog14230* OpenPage() {
        hub_->OnPageButton(IDC_BUTTON_14230);
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* page = dynamic_cast<CDialog14230*>(window)) dialog_ = page;
        return dialog_;
    }

    wxButton* Button(int id) const { return dynamic_cast<wxButton*>(dialog_->FindWindow(id)); }
    wxTextCtrl* EditOf(int id) const { return dynamic_cast<wxTextCtrl*>(dialog_->FindWindow(id)); }

    void Click(int id) {
        wxButton* button = Button(id);
        ASSERT_NE(button, nullptr) << id;
        ASSERT_TRUE(button->IsEnabled()) << id;
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->ProcessWindowEvent(event);
    }

    bool ListShows(const std::string& bytes) const {
        const wxListCtrl* list = hub_->GetList();
        for (long row = 0; row < list->GetItemCount(); ++row)
            for (int col = 0; col < list->GetColumnCount(); ++col)
                if (list->GetItemText(row, col).utf8_string().find(bytes) != std::string::npos)
                    return true;
        return false;
    }

    platform::RecordingMessageSink messages_;
    wxFrame* frame_ = nullptr;
    CDialogMainA* hub_ = nullptr;
    CDialog14230* dialog_ = nullptr;
};

TEST_F(Iso14230GuiTest, StartSendSeeBothRowsStopAndClose) {
    tb_set_responder(PlayEcu, nullptr);
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_TRUE(dialog_->IsShown());
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "SO14230(KWP2000)-- Device( 0 ) Connected");
    EXPECT_FALSE(hub_->GetPageButton(IDC_BUTTON_SCI)->IsEnabled());
    EXPECT_FALSE(Button(IDC_14230_SEND)->IsEnabled());
    EXPECT_EQ(EditOf(IDC_14230_CS)->GetValue(), "66");
    EXPECT_EQ(EditOf(IDC_14230_FMT)->GetValue(), "C1");

    Click(IDC_14230_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    EXPECT_TRUE(hub_->MonitorTimerRunning());
    EXPECT_FALSE(Button(IDC_14230_START)->IsEnabled());
    EXPECT_TRUE(Button(IDC_14230_SEND_INIT)->IsEnabled());
    // The download ended with the engine's start command in ISO 14230 mode.
    uint8_t block[16] = {};
    ASSERT_EQ(tb_get_block(0x2C, block, sizeof block), 16u);
    EXPECT_EQ(block[1], 0x19);

    Click(IDC_14230_SEND);
    ASSERT_TRUE(PumpUntil([] { return g_MonitorCount.load() >= 2; }));
    const MonitorRecord sent = CopyMonitorRecord(0);
    EXPECT_EQ(sent.direction, 0);
    EXPECT_EQ(sent.kind, KindUart);
    EXPECT_EQ(sent.lengthWord, 0x0005);
    EXPECT_EQ(RecordBytes(0), (std::vector<uint8_t>{0xC1, 0x33, 0xF1, 0x81, 0x66}));
    EXPECT_EQ(CopyMonitorRecord(1).direction, 1);
    EXPECT_EQ(RecordBytes(1), kEcuAnswer);
    EXPECT_TRUE(dialog_->PageTimerRunning(kIso14230KeepAliveTimer));
    ASSERT_TRUE(PumpUntil([&] { return ListShows("C1 33 F1 81 66") && ListShows("83 F1 10 C1 EF 8F"); }));

    if (const char* shot = std::getenv("ISO14230_SCREENSHOT")) {
        // Hub above, page below, so both rows and the page show.
        frame_->SetSize(0, 0, 1000, 360);
        dialog_->Move(0, 370);
        hub_->OnTimer(kMonitorTimerId);
        PumpUntil([] { return false; }, std::chrono::milliseconds(300));
        const std::string command = "import -window root " + std::string(shot);
        EXPECT_EQ(std::system(command.c_str()), 0);
    }

    Click(IDC_14230_STOP);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_FALSE(dialog_->PageTimerRunning(kIso14230KeepAliveTimer));
    EXPECT_TRUE(Button(IDC_14230_START)->IsEnabled());
    EXPECT_FALSE(Button(IDC_14230_SEND)->IsEnabled());

    Click(IDC_14230_EXIT);
    EXPECT_FALSE(dialog_->IsShown());
    EXPECT_TRUE(hub_->GetPageButton(IDC_BUTTON_SCI)->IsEnabled());
    EXPECT_EQ(messages_.Count(), 0u) << messages_.Texts()[0];

    // The next press shows the same window again.
    CDialog14230* first = dialog_;
    EXPECT_EQ(OpenPage(), first);
    EXPECT_TRUE(first->IsShown());
}

TEST_F(Iso14230GuiTest, CloseRefusedWhileRunningAndTimersEndWithTheWorker) {
    ASSERT_NE(OpenPage(), nullptr);
    Click(IDC_14230_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    Click(IDC_14230_SEND_INIT);
    EXPECT_TRUE(dialog_->PageTimerRunning(kIso14230KeepAliveTimer));
    auto* keepAliveCheck = dynamic_cast<wxCheckBox*>(dialog_->FindWindow(IDC_14230_KEEPALIVE_ENABLE));
    ASSERT_NE(keepAliveCheck, nullptr);
    EXPECT_FALSE(keepAliveCheck->IsEnabled());
    ASSERT_TRUE(PumpUntil([] { return g_MonitorCount.load() >= 1; }));
    EXPECT_EQ(CopyMonitorRecord(0).lengthWord, 0x1005);
    EXPECT_EQ(CopyMonitorRecord(0).fastInitLowMs, 25);

    Click(IDC_14230_EXIT);
    ASSERT_EQ(messages_.Count(), 1u);
    EXPECT_EQ(messages_.Messages()[0].text, "VR3526正在工作，请先停止VR3526工作");
    EXPECT_EQ(messages_.Messages()[0].caption, "请先停止");
    EXPECT_TRUE(dialog_->IsShown());

    // The board stops answering: the worker ends by itself and the hub's next tick refreshes
    // the page, which stops its timers and offers Start again.
    tb_fail_next_read();
    ASSERT_TRUE(PumpUntil([&] { return Button(IDC_14230_START)->IsEnabled(); }));
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_FALSE(dialog_->PageTimerRunning(kIso14230KeepAliveTimer));
    EXPECT_FALSE(dialog_->PageTimerRunning(kIso14230CyclicTimer));
    EXPECT_TRUE(keepAliveCheck->IsEnabled());
    ASSERT_TRUE(messages_.WaitForCount(2, std::chrono::seconds(5)));
    EXPECT_EQ(messages_.Messages()[1].text.rfind("设备出现通信错误停止!", 0), 0u);
}

TEST_F(Iso14230GuiTest, EditsClampOnceAndHeaderFollowsFormat) {
    ASSERT_NE(OpenPage(), nullptr);
    EditOf(IDC_14230_FAST_HIGH)->SetValue("300");
    EXPECT_EQ(EditOf(IDC_14230_FAST_HIGH)->GetValue(), "255");
    EXPECT_EQ(dialog_->Page().Image()[uart::fastInitHighMs], 255);
    EXPECT_EQ(dialog_->Page().Image()[uart::fastInitLowMs], 25);
    ASSERT_EQ(messages_.Count(), 1u);  // the rewrite does not run the handler again
    EXPECT_EQ(messages_.Messages()[0].text, "最大255ms!");
    EXPECT_EQ(messages_.Messages()[0].caption, "VR3526 Developer Kits V1.00");  // the program's title

    EditOf(IDC_14230_DATA)->SetValue("01 02");
    EXPECT_EQ(EditOf(IDC_14230_DLC)->GetValue(), "2");
    EXPECT_EQ(EditOf(IDC_14230_FMT)->GetValue(), "C2");

    // Choosing "0: No address Info" with the length byte.
    auto* format = dynamic_cast<wxChoice*>(dialog_->FindWindow(IDC_14230_FORMAT));
    ASSERT_NE(format, nullptr);
    format->SetSelection(FormatNoAddress);
    wxCommandEvent choose(wxEVT_CHOICE, IDC_14230_FORMAT);
    choose.SetInt(FormatNoAddress);
    choose.SetEventObject(format);
    format->ProcessWindowEvent(choose);
    auto* lengthByte = dynamic_cast<wxCheckBox*>(dialog_->FindWindow(IDC_14230_LENGTH_BYTE));
    lengthByte->SetValue(true);
    wxCommandEvent check(wxEVT_CHECKBOX, IDC_14230_LENGTH_BYTE);
    check.SetInt(1);
    check.SetEventObject(lengthByte);
    lengthByte->ProcessWindowEvent(check);
    EXPECT_EQ(EditOf(IDC_14230_TARGET)->GetValue(), "-");
    EXPECT_FALSE(EditOf(IDC_14230_TARGET)->IsEnabled());
    EXPECT_EQ(EditOf(IDC_14230_FMT)->GetValue(), "00");
    EXPECT_EQ(EditOf(IDC_14230_CS)->GetValue(), "05");

    EditOf(IDC_14230_KEEPALIVE_DATA)->SetValue("C1 33 F1 3E 00 11 22 33 44 55 66 77 88 99 AA BB CC");
    EXPECT_EQ(dialog_->Page().State().keepAlive.count, 16);
    EXPECT_EQ(messages_.Messages().back().text, "数据桢的长度不可大于16字节!");
    EXPECT_EQ(messages_.Messages().back().caption, "VR3526 Developer Kits V1.00");
    EXPECT_EQ(EditOf(IDC_14230_KEEPALIVE_CS)->GetValue(),
              Iso14230HexByte(dialog_->Page().State().keepAlive.checksum));
}

}  // namespace

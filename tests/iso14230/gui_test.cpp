// The ISO 14230 page in its window, opened through the hub, against the simulated board.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include "monitor/MonitorRing.h"
#include "pages/kline/ui/CDialog14230.h"
#include "pages/kline/ui/Pages.h"
#include "tests/support/PageWindowFixture.h"

namespace {

// The ECU answers every frame with a positive response.
const std::vector<uint8_t> kEcuAnswer = {0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3};

void PlayEcu(void*, const uint8_t* packet, unsigned length) {
    if (length < 6 || packet[0] != 0x57 || packet[1] != 0x3F) return;
    std::vector<uint8_t> reply = kEcuAnswer;
    reply.insert(reply.begin(), {0x00, StatusUartFrame, static_cast<uint8_t>(kEcuAnswer.size()), 0x00});
    tb_queue_reply(reply.data(), static_cast<unsigned>(reply.size()));
}

class Iso14230GuiTest : public PageWindowTest<CDialog14230> {
protected:
    Iso14230GuiTest() : PageWindowTest(IDC_BUTTON_14230, MakeDialog14230Page) {}
};

TEST_F(Iso14230GuiTest, StartSendSeeBothRowsStopAndClose) {
    tb_set_responder(PlayEcu, nullptr);
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "SO14230(KWP2000)-- Device( 0 ) Connected");
    EXPECT_FALSE(Button(IDC_14230_SEND)->IsEnabled());

    Click(IDC_14230_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    EXPECT_TRUE(hub_->MonitorTimerRunning());
    EXPECT_FALSE(Button(IDC_14230_START)->IsEnabled());

    Click(IDC_14230_SEND);
    ASSERT_TRUE(PumpUntil([&] { return ListShows("C1 33 F1 81 66") && ListShows("83 F1 10 C1 EF 8F C3"); }));
    EXPECT_TRUE(dialog_->PageTimerRunning(kIso14230KeepAliveTimer));

    Click(IDC_14230_STOP);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_FALSE(dialog_->PageTimerRunning(kIso14230KeepAliveTimer));
    EXPECT_TRUE(Button(IDC_14230_START)->IsEnabled());
    EXPECT_FALSE(Button(IDC_14230_SEND)->IsEnabled());

    Click(IDC_14230_EXIT);
    EXPECT_FALSE(dialog_->IsShown());
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(Iso14230GuiTest, CloseRefusedWhileRunningAndTimersEndWithTheWorker) {
    ASSERT_NE(OpenPage(), nullptr);
    Click(IDC_14230_START);
    Click(IDC_14230_SEND_INIT);
    EXPECT_TRUE(dialog_->PageTimerRunning(kIso14230KeepAliveTimer));
    auto* keepAliveCheck = dynamic_cast<wxCheckBox*>(dialog_->FindWindow(IDC_14230_KEEPALIVE_ENABLE));
    ASSERT_NE(keepAliveCheck, nullptr);
    EXPECT_FALSE(keepAliveCheck->IsEnabled());
    ASSERT_TRUE(PumpUntil([] { return g_MonitorCount.load() >= 1; }));

    Click(IDC_14230_EXIT);
    ASSERT_EQ(messages_.Count(), 1u);
    EXPECT_EQ(messages_.Messages()[0].text, "VR3526正在工作，请先停止VR3526工作");
    EXPECT_TRUE(dialog_->IsShown());

    // The board stops answering: the worker ends by itself and the hub's refresh ends the timers.
    tb_fail_next_read();
    ASSERT_TRUE(PumpUntil([&] { return Button(IDC_14230_START)->IsEnabled(); }));
    EXPECT_FALSE(dialog_->PageTimerRunning(kIso14230KeepAliveTimer));
    EXPECT_FALSE(dialog_->PageTimerRunning(kIso14230CyclicTimer));
    EXPECT_TRUE(keepAliveCheck->IsEnabled());
    ASSERT_TRUE(messages_.WaitForCount(2, std::chrono::seconds(5)));
}

}  // namespace

// The ISO 14230 page in its window, opened through the hub, against the simulated board.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include <map>

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

// Each edit of the page's image, by control id: the image byte it writes and the rule it
// applies. Typing "0" and then "300" into an edit changes its own byte and no other.
TEST_F(Iso14230GuiTest, EachImageEditWritesItsOwnByteByItsRule) {
    enum Rule { Ms0To255, Ms1To255, Units20Ms, HexByte, Divisor };
    const struct { int id; size_t offset; Rule rule; } edits[] = {
        {IDC_14230_UTXP1T, 0, Ms0To255},     {IDC_14230_UFREET, 2, Ms0To255},  {IDC_14230_URXP1MAX, 3, Ms1To255}, {IDC_14230_FAST_LOW, 12, Ms1To255},
        {IDC_14230_FAST_HIGH, 13, Ms1To255}, {IDC_UART_TRIGGER_ADDRESS, 14, HexByte}, {IDC_14230_BITADJ, 15, HexByte}, {IDC_UART_W1MAX, 17, Units20Ms},
        {IDC_UART_W2MAX, 19, Ms1To255},     {IDC_UART_W4MAX, 23, Ms1To255},  {IDC_UART_W4SEND, 24, Ms1To255},  {IDC_UART_BRG, 70, Divisor}};
    // stored: the byte, or for the divisor the u16 at the offset, little-endian.
    struct Typed { const char* text; uint16_t stored; const char* shown; const char* message; };
    const std::map<Rule, std::vector<Typed>> rules = {
        {Ms0To255, {{"0", 0, "0", nullptr}, {"300", 255, "255", "最大255ms!"}}},
        {Ms1To255, {{"0", 1, "1", "最小1ms!"}, {"300", 255, "255", "最大255ms!"}}},
        {Units20Ms, {{"0", 1, "1", "最小1x20ms!"}, {"300", 255, "255", "最大255x20ms!"}}},
        {HexByte, {{"0", 0, "0", nullptr}, {"A5", 0xA5, "A5", nullptr}}},
        {Divisor, {{"0", 0, "0", nullptr}, {"70000", 4464, "4464", "BRG 最大值为65535"}}},
    };
    ASSERT_NE(OpenPage(), nullptr);
    for (const auto& e : edits) {
        auto* edit = dynamic_cast<wxTextCtrl*>(dialog_->FindWindow(e.id));
        ASSERT_NE(edit, nullptr) << e.id;
        for (const Typed& t : rules.at(e.rule)) {
            SCOPED_TRACE(testing::Message() << e.id << " <- " << t.text);
            UartRegisterImage expected = dialog_->Page().Image();
            expected[e.offset] = static_cast<uint8_t>(t.stored);
            if (e.rule == Divisor) expected[e.offset + 1] = static_cast<uint8_t>(t.stored >> 8);
            const size_t before = messages_.Count();
            edit->SetValue(t.text);
            PumpPending();  // the bound and its message come once the edit's event returned
            EXPECT_EQ(dialog_->Page().Image(), expected);
            EXPECT_EQ(edit->GetValue().utf8_string(), t.shown);
            EXPECT_EQ(messages_.Texts().size() > before ? messages_.Texts().back() : std::string(), t.message ? t.message : "");
        }
    }
}

}  // namespace

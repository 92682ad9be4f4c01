// The ISO 14230 page without widgets: defaults, field handlers, Send rules and page timers.
// The worker flag is raised by hand: these tests look at the hand-over, not at a worker.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "pages/kline/Iso14230Page.h"
#include "platform/Message.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class FakeTimers : public Iso14230PageTimers {
public:
    void StartPageTimer(int id, uint32_t periodMs) override { running[id] = periodMs; }
    void KillPageTimer(int id) override { running.erase(id); }
    bool Runs(int id) const { return running.count(id) != 0; }
    std::map<int, uint32_t> running;
};

std::vector<uint8_t> PendingPacket() {
    const size_t n = g_TxPacket[2] | g_TxPacket[3] << 8;
    return std::vector<uint8_t>(g_TxPacket, g_TxPacket + n + 4);
}

class Iso14230PageTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_WorkerRunning = 0;
        g_TxPending = 0;
        g_DeviceOpen = 1;
        g_DeviceNumber = 0;
    }
    void TearDown() override {
        g_WorkerThread.Stop();
        g_WorkerRunning = 0;
        g_TxPending = 0;
        g_DeviceOpen = 0;
    }
    // As if a worker ran: the flag alone is what the page looks at.
    void Running() { g_WorkerRunning = 1; }
    void WorkerTookFrame() { g_TxPending = 0; }

    platform::RecordingMessageSink messages;
    FakeTimers timers;
    Iso14230Page page{timers};
};

TEST_F(Iso14230PageTest, DefaultImage) {
    const UartRegisterImage& image = page.Image();
    const std::vector<std::pair<size_t, uint8_t>> bytes = {
        {0, 0x05},  {2, 0x37},  {3, 0x0A},  {4, 0x14},  {5, 0x02},  {6, 0x81},  {7, 0x00},
        {8, 0x08},  {9, 0x00},  {10, 0xFF}, {12, 25},   {13, 25},   {14, 0x33}, {15, 0x00},
        {26, 0x02}, {27, 0x19}, {28, 0x19}, {29, 0x00}, {72, 0},    {172, 0},
    };
    for (const auto& [offset, value] : bytes) EXPECT_EQ(image[offset], value) << offset;
    EXPECT_THAT(std::vector<uint8_t>(image.begin() + 16, image.begin() + 26),
                ElementsAre(0xFB, 0x32, 0x05, 0x64, 0x05, 0x64, 0x00, 0x32, 0x1E, 0x00));
    EXPECT_THAT(std::vector<uint8_t>(image.begin() + 42, image.begin() + 58),
                ElementsAre(0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(GetImageBrg(image), 239);
    EXPECT_EQ(page.BaudRow(), kUartBaudRowDefault);
    EXPECT_STREQ(kUartBaudTable[page.BaudRow()].name, "10400  BPS");
    EXPECT_EQ(UartActualBaud(GetImageBrg(image)), 10416u);

    const Iso14230PageState& s = page.State();
    EXPECT_EQ(s.initType, 1);
    EXPECT_EQ(s.frame.frameFormat, 3);
    EXPECT_EQ(s.frame.fmt, 0xC1);
    EXPECT_EQ(s.frame.checksum, 0x66);
    EXPECT_EQ(s.cyclePeriodMs, 100u);
    EXPECT_TRUE(s.keepAliveEnabled);
    EXPECT_EQ(s.keepAliveIntervalMs, 3000u);
    EXPECT_EQ(page.KeepAliveDataText(), "C1 33 F1 3E ");
    EXPECT_EQ(page.KeepAliveChecksumText(), "23");
}

TEST_F(Iso14230PageTest, CarbFmtForcedToBits01OnLeavingTheEdit) {
    page.SetFrameFormat(FormatCarb);
    EXPECT_EQ(page.FmtChanged("28"), "CD");  // 28 + 33 + F1 + 81
    const Iso14230EditResult left = page.FmtLeft();
    EXPECT_TRUE(left.rewrite);
    EXPECT_EQ(left.text, "68");
    EXPECT_EQ(left.message, "CARB mode: bit7 bit6 must be 0b01");
    EXPECT_EQ(page.State().frame.checksum, 0x0D);

    // A valid CARB value stays, silently, until the data changes.
    page.FmtChanged("5A");
    EXPECT_TRUE(page.FmtLeft().message.empty());
    EXPECT_EQ(page.State().frame.fmt, 0x5A);
    const Iso14230DataResult data = page.DataChanged("01 02");
    EXPECT_EQ(data.header.fmtText, "68");

    // Outside CARB leaving the edit changes nothing.
    page.SetFrameFormat(FormatPhysical);
    page.FmtChanged("28");
    EXPECT_TRUE(page.FmtLeft().message.empty());
    EXPECT_EQ(page.State().frame.fmt, 0x28);
}

TEST_F(Iso14230PageTest, AddressEditsIgnoredWithoutAddressBytes) {
    page.SetFrameFormat(FormatNoAddress);
    EXPECT_EQ(page.TargetChanged("10"), "");
    EXPECT_EQ(page.SourceChanged("20"), "");
    EXPECT_EQ(page.State().frame.target, 0x33);
    page.SetFrameFormat(FormatPhysical);
    EXPECT_EQ(page.TargetChanged("10"), "03");  // 81 10 F1 81
    EXPECT_EQ(page.SourceChanged("f0"), "02");
}

TEST_F(Iso14230PageTest, DataEditKeepsAtMost255Bytes) {
    std::string text;
    for (int i = 0; i < 256; ++i) text += Iso14230HexByte(static_cast<uint8_t>(i)) + " ";
    const Iso14230DataResult result = page.DataChanged(text);
    EXPECT_EQ(page.State().frame.dataCount, 255);
    EXPECT_EQ(result.header.dlcText, "255");
    EXPECT_TRUE(result.edit.rewrite);
    EXPECT_EQ(result.edit.message, "数据桢的总长度不可大于255字节!");
    EXPECT_EQ(result.edit.text.size(), 255u * 3);
    EXPECT_EQ(result.edit.text.substr(result.edit.text.size() - 3), "FE ");

    // Exactly 255, blanks and line breaks included, is no offence; an odd digit is a byte.
    const Iso14230DataResult ok = page.DataChanged(text.substr(0, 255 * 3) + "\r\n");
    EXPECT_FALSE(ok.edit.rewrite);
    EXPECT_TRUE(ok.edit.message.empty());
    page.DataChanged("1\r\n02 3");
    EXPECT_EQ(page.DataText(), "10 23 ");
    page.DataChanged("123");
    EXPECT_EQ(page.DataText(), "12 03 ");
    EXPECT_EQ(page.DataChanged("").header.dlcText, "0");
}

TEST_F(Iso14230PageTest, KeepAliveAndCycleEdits) {
    struct Case {
        const char* interval;
        uint32_t stored;
        const char* message;
    };
    const Case intervals[] = {{"50", 200, "最小值为200ms"}, {"", 200, "最小值为200ms"},
                              {"200", 200, ""},          {"5000", 5000, ""}};
    for (const Case& c : intervals) {
        page.KeepAliveIntervalChanged(c.interval);
        const Iso14230EditResult left = page.KeepAliveIntervalLeft(c.interval);
        EXPECT_EQ(page.State().keepAliveIntervalMs, c.stored) << c.interval;
        EXPECT_EQ(left.message, c.message) << c.interval;
        if (!left.message.empty()) {
            EXPECT_EQ(left.text, "200");
        }
    }
    page.KeepAliveIntervalChanged("50");  // typed, not yet left: stored as typed
    EXPECT_EQ(page.State().keepAliveIntervalMs, 50u);

    const Iso14230EditResult zero = page.CyclePeriodChanged("0");
    EXPECT_EQ(page.State().cyclePeriodMs, 1u);
    EXPECT_EQ(zero.message, "最小1ms!");
    EXPECT_FALSE(zero.rewrite);
    EXPECT_TRUE(page.CyclePeriodChanged("25").message.empty());
    EXPECT_EQ(page.State().cyclePeriodMs, 25u);

    const Iso14230EditResult cut =
        page.KeepAliveDataChanged("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10");
    EXPECT_EQ(page.State().keepAlive.count, 16);
    EXPECT_EQ(cut.message, "数据桢的长度不可大于16字节!");
    EXPECT_EQ(cut.text, "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ");
    EXPECT_EQ(page.KeepAliveChecksumText(), "78");
    EXPECT_TRUE(page.KeepAliveDataChanged("81").message.empty());
    EXPECT_EQ(page.KeepAliveChecksumText(), "81");
}

TEST_F(Iso14230PageTest, ImageFieldsClampLikeTheFamily) {
    const Iso14230EditResult high =
        page.ByteFieldChanged(uart::fastInitHighMs, UartFieldKind::Ms1To255, "300");
    EXPECT_EQ(page.Image()[uart::fastInitHighMs], 255);
    EXPECT_EQ(page.Image()[uart::fastInitLowMs], 25);
    EXPECT_EQ(high.text, "255");
    EXPECT_EQ(high.message, "最大255ms!");
    EXPECT_TRUE(page.ByteFieldChanged(uart::UTXP1T, UartFieldKind::Ms0To255, "0").message.empty());

    page.HexFieldChanged(uart::slowInitAddress, "1a");
    EXPECT_EQ(page.Image()[uart::slowInitAddress], 0x1A);

    const BaudRowResult user = page.SelectBaud(kUartBaudRowUser);
    EXPECT_TRUE(user.brgEditEnabled);
    const Iso14230EditResult brg = page.BrgChanged("70000");
    EXPECT_EQ(GetImageBrg(page.Image()), 4464);
    EXPECT_EQ(brg.text, "4464");
    EXPECT_FALSE(page.SelectBaud(0).brgEditEnabled);
    EXPECT_EQ(GetImageBrg(page.Image()), 12);
}

TEST_F(Iso14230PageTest, SendQueuesTheFrameAndStartsTheKeepAlive) {
    Running();
    ASSERT_EQ(page.Send(), UartSendResult::Queued);
    EXPECT_THAT(PendingPacket(),
                ElementsAre(0x57, 0x3F, 0x07, 0x00, 0x05, 0x00, 0xC1, 0x33, 0xF1, 0x81, 0x66));
    EXPECT_EQ(g_TxPending.load(), 1u);
    EXPECT_EQ(timers.running, (std::map<int, uint32_t>{{kIso14230KeepAliveTimer, 3000}}));
    EXPECT_TRUE(page.State().keepAliveTimerActive);

    // A second Send while the first frame waits is dropped and the packet stays as it was.
    page.DataChanged("3E");
    EXPECT_EQ(page.Send(), UartSendResult::Pending);
    EXPECT_EQ(PendingPacket()[9], 0x81);
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(Iso14230PageTest, SendWithInitPutsTheInitTypeInTheWord) {
    Running();
    struct Case {
        unsigned initType;
        uint16_t word;
    };
    const Case cases[] = {{0, 0x0005}, {1, 0x1005}, {2, 0x2005}, {3, 0x3005}};
    for (const Case& c : cases) {
        page.SetInitType(c.initType);
        WorkerTookFrame();
        ASSERT_EQ(page.SendWithInit(), UartSendResult::Queued);
        const std::vector<uint8_t> packet = PendingPacket();
        EXPECT_EQ(packet[4] | packet[5] << 8, c.word) << c.initType;
        EXPECT_THAT(std::vector<uint8_t>(packet.begin() + 6, packet.end()),
                    ElementsAre(0xC1, 0x33, 0xF1, 0x81, 0x66));
    }
    EXPECT_FALSE(page.State().keepAliveCheckEnabled);
    EXPECT_TRUE(timers.Runs(kIso14230KeepAliveTimer));
    page.Stop();
    EXPECT_TRUE(page.State().keepAliveCheckEnabled);
}

TEST_F(Iso14230PageTest, SendWithoutWorkerAsksToConnect) {
    EXPECT_EQ(page.Send(), UartSendResult::NotRunning);
    EXPECT_EQ(page.SendWithInit(), UartSendResult::NotRunning);
    ASSERT_EQ(messages.Count(), 2u);
    EXPECT_EQ(messages.Messages()[0].caption, "设备未连接");
    EXPECT_EQ(g_TxPending.load(), 0u);
    EXPECT_TRUE(timers.running.empty());
    EXPECT_TRUE(page.State().keepAliveCheckEnabled);
}

TEST_F(Iso14230PageTest, TimerChoiceBySend) {
    struct Case {
        bool cyclic;
        bool keepAlive;
        bool withInit;
        std::map<int, uint32_t> timers;
    };
    const Case cases[] = {
        {false, true, false, {{1, 3000}}},
        {true, true, false, {{2, 100}}},
        {false, false, false, {}},
        {true, false, true, {}},
        {true, true, true, {{1, 3000}}},
    };
    for (const Case& c : cases) {
        page.Stop();
        Running();
        page.SetCyclicSend(c.cyclic);
        page.SetKeepAliveEnabled(c.keepAlive);
        ASSERT_EQ(c.withInit ? page.SendWithInit() : page.Send(), UartSendResult::Queued);
        EXPECT_EQ(timers.running, c.timers) << c.cyclic << c.keepAlive << c.withInit;
        WorkerTookFrame();
    }
}

TEST_F(Iso14230PageTest, SendKillsTheKeepAliveBeforeTheCyclicTimerTakesOver) {
    Running();
    ASSERT_EQ(page.Send(), UartSendResult::Queued);
    WorkerTookFrame();
    page.SetCyclicSend(true);
    ASSERT_EQ(page.Send(), UartSendResult::Queued);
    EXPECT_EQ(timers.running, (std::map<int, uint32_t>{{kIso14230CyclicTimer, 100}}));
}

TEST_F(Iso14230PageTest, ShortPeriodsRunAtTenMilliseconds) {
    Running();
    page.SetCyclicSend(true);
    page.CyclePeriodChanged("0");
    ASSERT_EQ(page.Send(), UartSendResult::Queued);
    EXPECT_EQ(timers.running.at(kIso14230CyclicTimer), 10u);
}

TEST_F(Iso14230PageTest, TicksQueueOnlyWhenNothingIsPending) {
    Running();
    ASSERT_EQ(page.Send(), UartSendResult::Queued);
    const std::vector<uint8_t> sent = PendingPacket();
    page.OnTimer(kIso14230KeepAliveTimer);
    EXPECT_EQ(PendingPacket(), sent);

    WorkerTookFrame();
    page.OnTimer(kIso14230KeepAliveTimer);
    EXPECT_THAT(PendingPacket(),
                ElementsAre(0x57, 0x3F, 0x07, 0x00, 0x05, 0x00, 0xC1, 0x33, 0xF1, 0x3E, 0x23));

    // The cyclic tick rebuilds from the fields as they are now, without initialisation.
    WorkerTookFrame();
    page.DataChanged("10 01");
    page.OnTimer(kIso14230CyclicTimer);
    EXPECT_THAT(PendingPacket(), ElementsAreArray({0x57, 0x3F, 0x08, 0x00, 0x06, 0x00, 0xC2, 0x33,
                                                   0xF1, 0x10, 0x01, 0xF7}));
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(Iso14230PageTest, TimersEndWithTheSession) {
    // Stop kills both timers even after their checks were cleared.
    Running();
    ASSERT_EQ(page.Send(), UartSendResult::Queued);
    page.SetKeepAliveEnabled(false);
    page.Stop();
    EXPECT_TRUE(timers.running.empty());
    EXPECT_FALSE(page.State().keepAliveTimerActive);

    // A worker that ended by itself: the next status refresh ends the session.
    Running();
    page.SetCyclicSend(true);
    ASSERT_EQ(page.Send(), UartSendResult::Queued);
    EXPECT_TRUE(timers.Runs(kIso14230CyclicTimer));
    EXPECT_TRUE(page.RefreshDeviceStatus().stopEnabled);
    EXPECT_TRUE(timers.Runs(kIso14230CyclicTimer));
    g_WorkerRunning = 0;
    g_TxPending = 0;
    EXPECT_TRUE(page.RefreshDeviceStatus().startEnabled);
    EXPECT_TRUE(timers.running.empty());

    // A tick that arrives after the worker's end queues nothing and stops its timer.
    Running();
    ASSERT_EQ(page.Send(), UartSendResult::Queued);
    g_WorkerRunning = 0;
    g_TxPending = 0;
    page.OnTimer(kIso14230CyclicTimer);
    EXPECT_EQ(g_TxPending.load(), 0u);
    EXPECT_TRUE(timers.running.empty());
    EXPECT_EQ(messages.Count(), 0u);

    // Closing the page.
    Running();
    ASSERT_EQ(page.Send(), UartSendResult::Queued);
    page.Close();
    EXPECT_TRUE(timers.running.empty());
}

// A worker that does nothing until it is stopped: enough to make a session.
uint32_t QuietWorker(void*) { return 0; }

TEST_F(Iso14230PageTest, TimersNeverFeedALaterSession) {
    // Another page stops this page's worker and starts its own before this page has seen the
    // end: the ticks and the next refresh end the old session instead of queueing into the new.
    struct Case {
        const char* name;
        bool cyclic;
        bool byRefresh;  // the hub's refresh comes before the tick
    };
    const Case cases[] = {
        {"keep-alive tick", false, false},
        {"cyclic tick", true, false},
        {"refresh", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page.Stop();
        page.SetCyclicSend(c.cyclic);
        ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false));
        ASSERT_EQ(page.SendWithInit(), UartSendResult::Queued);
        ASSERT_EQ(page.Send(), UartSendResult::Pending);
        WorkerTookFrame();
        ASSERT_EQ(page.Send(), UartSendResult::Queued);
        WorkerTookFrame();
        ASSERT_FALSE(timers.running.empty());

        g_WorkerThread.Stop();
        ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false));
        if (c.byRefresh) {
            EXPECT_TRUE(page.RefreshDeviceStatus().stopEnabled);
        } else {
            page.OnTimer(c.cyclic ? kIso14230CyclicTimer : kIso14230KeepAliveTimer);
            EXPECT_EQ(g_TxPending.load(), 0u) << "nothing queued for the other page's worker";
        }
        EXPECT_TRUE(timers.running.empty());
        EXPECT_TRUE(page.State().keepAliveCheckEnabled);
        g_WorkerThread.Stop();
    }

    // Within its own session the page goes on as before.
    ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false));
    page.SetCyclicSend(false);
    ASSERT_EQ(page.SendWithInit(), UartSendResult::Queued);
    WorkerTookFrame();
    EXPECT_TRUE(page.RefreshDeviceStatus().stopEnabled);
    EXPECT_FALSE(page.State().keepAliveCheckEnabled);
    page.OnTimer(kIso14230KeepAliveTimer);
    EXPECT_EQ(g_TxPending.load(), 1u);
    EXPECT_TRUE(timers.Runs(kIso14230KeepAliveTimer));
}

TEST_F(Iso14230PageTest, StatusCaptions) {
    struct Case {
        uint32_t open;
        uint32_t running;
        uint16_t number;
        bool start, stop, send;
        const char* caption;
    };
    const Case cases[] = {
        {1, 0, 2, true, false, false, "SO14230(KWP2000)-- Device( 2 ) Connected"},
        {1, 1, 0, false, true, true, "SO14230(KWP2000)-- Device( 0 ) Connected"},
        {0, 0, 0, false, false, false, "ISO14230(KWP2000) --No device Connected"},
        {0, 1, 0, false, false, false, "ISO14230(KWP2000) --No device Connected"},
    };
    for (const Case& c : cases) {
        g_DeviceOpen = c.open;
        g_WorkerRunning = c.running;
        g_DeviceNumber = c.number;
        const UartDeviceStatus status = page.RefreshDeviceStatus();
        EXPECT_EQ(status.caption, c.caption);
        EXPECT_EQ(status.startEnabled, c.start) << c.caption;
        EXPECT_EQ(status.stopEnabled, c.stop) << c.caption;
        EXPECT_EQ(status.sendEnabled, c.send) << c.caption;
    }
}

TEST_F(Iso14230PageTest, StartWithoutDeviceShowsTheConnectBox) {
    g_DeviceOpen = 0;
    EXPECT_EQ(page.Start(nullptr), UartStartResult::NotConnected);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Messages()[0].caption, "设备未连接");
    EXPECT_EQ(messages.Messages()[0].icon, platform::MessageIcon::Exclamation);
    Running();
    EXPECT_EQ(page.Start(nullptr), UartStartResult::Ignored);
    EXPECT_EQ(messages.Count(), 1u);
}

}  // namespace

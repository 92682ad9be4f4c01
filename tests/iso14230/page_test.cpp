// The ISO 14230 page without widgets: field handlers, Send rules and the page timers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "pages/kline/Iso14230Page.h"
#include "tests/support/PageTestSupport.h"

namespace {

using ::testing::ElementsAre;
constexpr int kKeep = kIso14230KeepAliveTimer, kCyclic = kIso14230CyclicTimer;

class Iso14230PageTest : public ::testing::Test {
protected:
    void SetUp() override { g_DeviceOpen = 1; }
    void TearDown() override {
        g_WorkerThread.Stop();
        g_TxPending = 0;
        g_DeviceOpen = 0;
    }
    void StartWorker() { ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false)); }
    void WorkerTookFrame() { g_TxPending = 0; }
    void OtherPageRestarts() { g_WorkerThread.Stop(), StartWorker(); }

    platform::RecordingMessageSink messages;
    FakeTimers timers;
    Iso14230Page page{timers};
};

TEST_F(Iso14230PageTest, EditsClampWithTheirMessage) {
    const auto expect = [](const PageEditResult& r, const std::string& rewrite, const char* message) {
        EXPECT_EQ(r.rewrite, !rewrite.empty()) << message;
        EXPECT_EQ(r.text, rewrite) << message;
        EXPECT_EQ(r.message, message);
    };
    expect(page.KeepAliveIntervalLeft("50"), "200", "最小值为200ms");
    EXPECT_EQ(page.Timing().keepAliveIntervalMs, 200u);
    expect(page.KeepAliveDataChanged(ByteRun(17)), ByteRun(16), "数据桢的长度不可大于16字节!");
    EXPECT_EQ(page.State().keepAlive.count, 16);

    const std::string bytes255 = ByteRun(255);
    expect(page.DataChanged(ByteRun(256)).edit, bytes255, "数据桢的总长度不可大于255字节!");
    EXPECT_EQ(page.State().frame.dataCount, 255);
    expect(page.DataChanged(bytes255 + "\r\n").edit, "", "");  // line breaks are no bytes
    EXPECT_EQ(page.State().frame.dataCount, 255);
}

TEST_F(Iso14230PageTest, CarbFmtForcedToBits01) {
    page.SetFrameFormat(FormatCarb);
    EXPECT_EQ(page.FmtChanged("28"), "CD");
    const PageEditResult left = page.FmtLeft();
    EXPECT_TRUE(left.rewrite);
    EXPECT_EQ(left.text, "68");
    EXPECT_EQ(left.message, "CARB mode: bit7 bit6 must be 0b01");
    EXPECT_EQ(page.State().frame.checksum, 0x0D);

    page.FmtChanged("5A");  // already 01: kept silently
    EXPECT_TRUE(page.FmtLeft().message.empty());
    EXPECT_EQ(page.State().frame.fmt, 0x5A);
}

TEST_F(Iso14230PageTest, SendRefusedWhileAFrameIsPending) {
    EXPECT_EQ(page.Send(), PageSendResult::NotRunning);
    EXPECT_TRUE(timers.running.empty());
    StartWorker();
    ASSERT_EQ(page.Send(), PageSendResult::Queued);
    const Bytes sent = PendingPacket();
    EXPECT_THAT(sent, ElementsAre(0x57, 0x3F, 0x07, 0x00, 0x05, 0x00, 0xC1, 0x33, 0xF1, 0x81, 0x66));
    page.DataChanged("10 01");
    EXPECT_EQ(page.Send(), PageSendResult::Pending);
    page.OnTimer(kKeep);
    EXPECT_EQ(PendingPacket(), sent);

    WorkerTookFrame();
    page.OnTimer(kKeep);
    EXPECT_THAT(PendingPacket(), ElementsAre(0x57, 0x3F, 0x07, 0x00, 0x05, 0x00, 0xC1, 0x33, 0xF1, 0x3E, 0x23));
    WorkerTookFrame();
    page.OnTimer(kCyclic);  // rebuilt from the fields as they are now
    EXPECT_THAT(PendingPacket(), ElementsAre(0x57, 0x3F, 0x08, 0x00, 0x06, 0x00, 0xC2, 0x33, 0xF1, 0x10, 0x01, 0xF7));
    EXPECT_EQ(messages.Count(), 1u);  // only the "not connected" box
}

TEST_F(Iso14230PageTest, SendChoosesTheTimerAndTheInitialisation) {
    struct Case { bool keepAliveRan, cyclic, keepAlive, withInit; unsigned initType; const char* period; uint8_t wordHigh; Timers expected; };
    const Case cases[] = {
        {false, false, true, false, 1, "100", 0x00, {{kKeep, 3000}}},
        {false, true, true, false, 1, "100", 0x00, {{kCyclic, 100}}},
        {true, true, true, false, 1, "100", 0x00, {{kCyclic, 100}}},  // the keep-alive gives way
        {true, false, false, false, 1, "100", 0x00, {}},
        {false, true, false, true, 0, "100", 0x00, {}},
        {false, true, true, true, 1, "100", 0x10, {{kKeep, 3000}}},
        {false, false, true, true, 2, "100", 0x20, {{kKeep, 3000}}},
        {false, false, false, true, 3, "100", 0x30, {}},
        {false, true, true, false, 3, "0", 0x00, {{kCyclic, 10}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.keepAliveRan << c.cyclic << c.keepAlive << c.withInit << c.initType);
        page.Stop();
        page.LoadDefaults();
        StartWorker();
        if (c.keepAliveRan) {
            ASSERT_EQ(page.Send(), PageSendResult::Queued);
            WorkerTookFrame();
        }
        page.SetCyclicSend(c.cyclic), page.SetKeepAliveEnabled(c.keepAlive), page.SetInitType(c.initType), page.CyclePeriodChanged(c.period);
        ASSERT_EQ(c.withInit ? page.SendWithInit() : page.Send(), PageSendResult::Queued);
        EXPECT_EQ(timers.running, c.expected);
        EXPECT_EQ(PendingPacket()[5], c.wordHigh);
        EXPECT_EQ(page.Session().KeepAliveCheckEnabled(), !c.withInit);  // locked until the session ends
    }
}

TEST_F(Iso14230PageTest, TimersEndWithTheSessionAndNeverFeedALaterOne) {
    const struct { const char* name; std::function<void()> end; } cases[] = {
        {"Stop", [&] { page.Stop(); }},
        {"close", [&] { page.Close(); }},
        {"worker ended, refresh", [&] { g_WorkerRunning = 0, page.RefreshDeviceStatus(); }},
        {"worker ended, tick", [&] { g_WorkerRunning = 0, page.OnTimer(kKeep); }},
        {"later worker, refresh", [&] { OtherPageRestarts(), page.RefreshDeviceStatus(); }},
        {"later worker, tick", [&] { OtherPageRestarts(), page.OnTimer(kKeep); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_WorkerThread.Stop();
        page.LoadDefaults();
        StartWorker();
        page.SetCyclicSend(true);
        ASSERT_EQ(page.Send(), PageSendResult::Queued);
        WorkerTookFrame();
        ASSERT_EQ(page.SendWithInit(), PageSendResult::Queued);
        WorkerTookFrame();
        page.SetCyclicSend(false), page.SetKeepAliveEnabled(false);  // clearing the checks must not keep their timers alive
        page.RefreshDeviceStatus();
        ASSERT_EQ(timers.running, (Timers{{kKeep, 3000}, {kCyclic, 100}}));
        c.end();
        EXPECT_TRUE(timers.running.empty());
        EXPECT_EQ(g_TxPending.load(), 0u);
        EXPECT_TRUE(page.Session().KeepAliveCheckEnabled());
        EXPECT_FALSE(page.Session().KeepAliveActive());
    }
    EXPECT_EQ(messages.Count(), 0u);
}

}  // namespace

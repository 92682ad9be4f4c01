// The UART test page and its worker against the simulated board: the download, raw frames
// written at once, the exits, and the sleep test beside a polling worker.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/kline/SerialWorker.h"
#include "pages/kline/uarttest/UartTestPage.h"
#include "testboard/testboard.h"
#include "tests/support/SimulatedBoard.h"
#include "tests/support/WorkerBoard.h"

namespace {

bool IsUartSend(const Bytes& p) { return p.size() >= 4 && p[0] == 0x60; }

// At a poll, queues the page's frame and fails the write after the poll: the frame's.
void SendOnPoll(void* context, const uint8_t* packet, unsigned length) {
    auto& page = *static_cast<std::atomic<UartTestPage*>*>(context);
    if (IsPoll(Bytes(packet, packet + length)))
        if (UartTestPage* p = page.exchange(nullptr)) {
            p->Send();
            tb_fail_write(1);
        }
}

class UartTestBoardTest : public WorkerBoardTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WorkerBoardTest::SetUp());
        tb_set_responder(SendOnPoll, &sendOnPoll_);
    }

    UartTestPage page_;
    std::atomic<UartTestPage*> sendOnPoll_{nullptr};
};

TEST_F(UartTestBoardTest, DefaultDownloadByteForByteFromTheFirstWriteToStart) {
    const std::vector<Bytes> download = {
        {0x52, 0x0D, 0x00}, {0x52, 0x0E, 0x20}, {0x52, 0x0E, 0x00},
        {0x52, 0x17, 0x00}, {0x52, 0x17, 0x00}, {0x52, 0x3B, 0xFF}, {0x52, 0x05, 0x00}, {0x52, 0x01, 0xF5},
        {0x52, 0x2D, 0x00}, {0x52, 0x36, 0x00}, {0x52, 0x37, 0x20}, {0x52, 0x35, 0x00},
        {0x54, 0x2A, 0x02, 0x00, 0x03, 0x01},
        {0xB1, 0x80, 0x02, 0x01},
    };
    for (bool firstWriteFails : {false, true}) {
        SCOPED_TRACE(firstWriteFails ? "17 <- 00 before the reset lost" : "all written");
        tb_log_clear();
        std::vector<Bytes> expected = download;
        if (firstWriteFails)
            tb_fail_write(1);  // its result is not looked at: Start goes on
        else
            expected.insert(expected.begin(), Bytes{0x52, 0x17, 0x00});
        ASSERT_EQ(page_.Start(nullptr), UartStartResult::Started);
        EXPECT_EQ(PacketsThroughStart(), expected);
        g_WorkerThread.Stop();
    }
}

TEST_F(UartTestBoardTest, SendIsWrittenAtOnceAndRecordedWithItsCount) {
    struct Case { const char* name; const char* data; bool echo; Bytes packet; };
    const Case cases[] = {
        {"the default eight bytes", nullptr, false, {0x60, 0x00, 0x08, 0x00, 0, 1, 2, 3, 4, 5, 6, 7}},
        {"an empty edit", "", false, {0x60, 0x00, 0x00, 0x00}},
        {"K1 hears itself", "A5 5A", true, {0x60, 0x00, 0x02, 0x00, 0xA5, 0x5A}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        tb_log_clear();
        tb_set_uart_echo(c.echo);
        page_.LoadDefaults();
        if (c.data) page_.DataChanged(c.data);
        tb_set_busy_reads(100);  // the engine's busy flag is not asked
        ASSERT_EQ(page_.Start(nullptr), UartStartResult::Started);
        const int start = WaitForPolls(1, WaitForPacket([](const Bytes& p) { return p[0] == 0xB1; }));
        ASSERT_GE(start, 0);
        ASSERT_EQ(page_.Send(), UartSendResult::Queued);
        const int sent = WaitForPacket(IsUartSend, static_cast<unsigned>(start));
        ASSERT_GE(sent, 0);
        ASSERT_GE(WaitForPolls(2, sent), 0);
        page_.Stop();
        EXPECT_EQ(LoggedPacket(static_cast<unsigned>(sent)), c.packet);
        EXPECT_TRUE(IsPoll(LoggedPacket(static_cast<unsigned>(sent) - 1))) << "no 0x31 read before it";
        EXPECT_EQ(messages_.Count(), 0u) << "a read in the sending pass would find no reply";
        const unsigned count = static_cast<unsigned>(c.packet.size() - 4);
        const Bytes data(c.packet.begin() + 4, c.packet.end());
        ASSERT_EQ(g_MonitorCount.load(), c.echo ? 2u : 1u);
        EXPECT_EQ(FiledRecord(0, count), (Filed{0, KindUart, count, data}));
        if (c.echo) { EXPECT_EQ(FiledRecord(1, count), (Filed{1, KindUart, count, data})); }
        tb_set_busy_reads(0);
    }
}

TEST_F(UartTestBoardTest, EveryExitClearsTheFlagFirstAndSendsStop) {
    struct Case { const char* name; bool send; void (*trigger)(); const char* text; };
    const Case cases[] = {
        {"send write", true, nullptr, "设备出现通信错误停止! write 1"},
        {"poll write", false, [] { tb_fail_write(1); }, "设备出现通信错误停止! write 2"},
        {"read", false, [] { tb_fail_next_read(); }, "设备出现通信错误停止! Read 1"},
        {"fault", false, [] { tb_set_fault(1); }, "VR3526故障保护动作，设备停止!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = messages_.Count();
        ASSERT_EQ(page_.Start(nullptr), UartStartResult::Started);
        ASSERT_GE(WaitForPolls(1, static_cast<int>(tb_log_count())), 0);
        const unsigned triggerAt = tb_log_count();
        if (c.send)
            sendOnPoll_ = &page_;  // the failure must meet the send, not a poll
        else
            c.trigger();
        ASSERT_NO_FATAL_FAILURE(ExpectWorkerExit(messages_, before, c.text, triggerAt));
        EXPECT_EQ(g_MonitorCount.load(), 0u);
        tb_set_fault(0);
        g_TxPending = 0;
    }
}

TEST_F(UartTestBoardTest, SleepWakeAndInterruptFlagsWhileTheWorkerPolls) {
    page_.Sleep();
    page_.SetSleepBit(kSleepWue, false);
    page_.Sleep();
    page_.Wake();
    EXPECT_EQ(Defined(LoggedPacket(0)), (Bytes{0x52, 0x02, 0x87}));
    EXPECT_EQ(Defined(LoggedPacket(1)), (Bytes{0x52, 0x02, 0x85}));
    const Bytes wake = LoggedPacket(2);
    ASSERT_EQ(wake.size(), 4u);
    EXPECT_EQ(Bytes(wake.begin(), wake.begin() + 3), (Bytes{0xAB, 0x00, 0x00}));

    tb_set_register(0x00, 0x41);
    tb_set_register(0x02, 0x85);
    EXPECT_EQ(page_.ReadInterruptFlags(), "0x85 ");
    EXPECT_EQ(LoggedPacket(3), (Bytes{0x50, 0x00, 0x04, 0x00}));
    EXPECT_EQ(LoggedPacket(4), (Bytes{0x50, 0x02, 0x04, 0x00}));

    // Beside a worker that polls without pause, no register reply reaches it and no poll reply
    // reaches the button.
    ASSERT_EQ(page_.Start(nullptr), UartStartResult::Started);
    ASSERT_GE(WaitForPolls(1), 0);
    std::atomic<int> wrong{0};
    std::thread ui([&] {
        for (int i = 0; i < 200; ++i)
            if (page_.ReadInterruptFlags() != "0x85 ") ++wrong;
    });
    ui.join();
    ASSERT_GE(WaitForPolls(1, static_cast<int>(tb_log_count())), 0);
    page_.Stop();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(g_MonitorCount.load(), 0u);
    EXPECT_EQ(messages_.Count(), 0u);
}

}  // namespace

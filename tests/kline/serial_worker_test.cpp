// The serial worker and the family's Start / Stop / Send against the simulated board.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "SimulatedBoard.h"
#include "pages/kline/UartDownload.h"
#include "pages/kline/UartPageOps.h"

namespace {

const UartPageConfig kIso14230Config{UartPage::Iso14230, ThreadProc14230, true, true, 0};
const UartPageConfig kKw1281Config{UartPage::Kw1281, ThreadProcSerialBus, true, false, 0};

UartRegisterImage PageImage(uint8_t frameControl) {
    UartRegisterImage image{};
    image[uart::UFRMCON] = frameControl;
    image[uart::fastInitLowMs] = 25;
    image[uart::fastInitHighMs] = 30;
    image[uart::slowInitAddress] = 0x33;
    SetImageBrg(image, 239);
    return image;
}

Bytes Reply(std::initializer_list<uint8_t> bytes) { return Bytes(bytes); }
void Queue(const Bytes& reply) { tb_queue_reply(reply.data(), static_cast<unsigned>(reply.size())); }

// What the responder does when it sees a packet; set by each test before the worker starts.
struct Script {
    std::atomic<int> failWriteAfterRead31{0};  // fail the write that follows the next 0x31 read
    std::atomic<int> txDoneAfterRead31{0};     // the poll after the next 0x31 read reports sent
    std::atomic<int> ecuAnswers{0};            // answer each engine frame as the ECU
    std::atomic<int> afterRead31{0};
    std::atomic<int> pendingAtBusyPoll{0};     // polls after a 0x31 read, frame still pending
    std::atomic<int> sendRefusedAtBusyPoll{0};
};

void Responder(void* context, const uint8_t* packet, unsigned length) {
    Script& s = *static_cast<Script*>(context);
    const Bytes p(packet, packet + length);
    const bool afterRead31 = s.afterRead31.exchange(IsRead31(p) ? 1 : 0) != 0;
    if (IsRead31(p)) {
        if (s.failWriteAfterRead31.exchange(0))
            tb_fail_write(1);
        if (s.txDoneAfterRead31.exchange(0))
            Queue(Reply({0x00, 0x80, 0x00, 0x00}));
    }
    if (IsPoll(p) && afterRead31 && g_TxPending.load()) {
        ++s.pendingAtBusyPoll;
        const uint8_t frame[] = {0x01};
        if (SendUartFrame(1, frame, 1) == UartSendResult::Pending)
            ++s.sendRefusedAtBusyPoll;
    }
    if (IsEngineFrame(p) && s.ecuAnswers.load())
        Queue(Reply({0x00, 0x10, 0x07, 0x00, 0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3}));
}

class WorkerTest : public SimulatedBoardTest {
protected:
    void SetUp() override {
        SimulatedBoardTest::SetUp();
        tb_set_responder(Responder, &script_);
    }
    // Starts the worker alone, without reset and download.
    void StartBare(WorkerProc proc = ThreadProcSerialBus) {
        ASSERT_TRUE(g_WorkerThread.Start(proc, nullptr, false));
    }
    // Waits for the n-th poll at or after from; returns its index.
    int WaitForPolls(unsigned n, unsigned from = 0) {
        int at = static_cast<int>(from) - 1;
        for (unsigned i = 0; i < n; ++i) {
            at = WaitForPacket(IsPoll, static_cast<unsigned>(at + 1));
            if (at < 0)
                return -1;
        }
        return at;
    }
    Script script_;
};

Bytes RecordData(const MonitorRecord& r, size_t count) { return Bytes(r.data, r.data + count); }

TEST_F(WorkerTest, KwpExchangeEndToEnd) {
    script_.ecuAnswers = 1;
    ASSERT_EQ(StartUartPage(PageImage(0x81), kIso14230Config), UartStartResult::Started);
    const int started = WaitForPacket([](const Bytes& p) { return p == Bytes{0xB1, 0x81, 0x02, 0x00}; });
    ASSERT_GE(started, 0);
    ASSERT_GE(WaitForPolls(1, static_cast<unsigned>(started)), 0);

    const uint8_t frame[] = {0xC1, 0x33, 0xF1, 0x81, 0x66};
    ASSERT_EQ(SendUartFrame(MakeFrameLengthWord(5, InitFast), frame, 5), UartSendResult::Queued);
    const int sent = WaitForPacket(IsEngineFrame, static_cast<unsigned>(started));
    ASSERT_GE(sent, 0);
    EXPECT_EQ(LoggedPacket(static_cast<unsigned>(sent)),
              Reply({0x57, 0x3F, 0x07, 0x00, 0x05, 0x10, 0xC1, 0x33, 0xF1, 0x81, 0x66}));
    EXPECT_TRUE(IsRead31(LoggedPacket(static_cast<unsigned>(sent - 1))));
    // The answer is filed before the pass after it polls again.
    ASSERT_GE(WaitForPolls(2, static_cast<unsigned>(sent + 1)), 0);
    // No read in the frame's pass: the next packet is the poll that fetches the answer.
    EXPECT_TRUE(IsPoll(LoggedPacket(static_cast<unsigned>(sent + 1))));
    EXPECT_TRUE(StopUartPage());

    ASSERT_EQ(g_MonitorCount.load(), 2u);
    const MonitorRecord out = CopyMonitorRecord(0);
    EXPECT_EQ(out.direction, 0);
    EXPECT_EQ(out.kind, KindUart);
    EXPECT_EQ(out.lengthWord, 0x1005);
    EXPECT_EQ(RecordData(out, 5), Bytes(frame, frame + 5));
    EXPECT_EQ(out.fastInitLowMs, 25);   // the download's copies
    EXPECT_EQ(out.fastInitHighMs, 30);
    const MonitorRecord in = CopyMonitorRecord(1);
    EXPECT_EQ(in.direction, 1);
    EXPECT_EQ(in.kind, KindUart);
    EXPECT_EQ(in.lengthWord, 7);
    EXPECT_EQ(RecordData(in, 7), Reply({0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3}));
    EXPECT_GE(in.sequence, out.sequence + 1);
    EXPECT_TRUE(IsStop(LoggedPackets().back()));
    EXPECT_EQ(g_TxPending.load(), 0u);
    EXPECT_EQ(messages_.Entries().size(), 0u);
}

TEST_F(WorkerTest, SentFramesCarryOnlyTheirOwnInitBytes) {
    struct Case {
        uint8_t initType;
        uint8_t low, high, address;  // the record's init bytes afterwards
    };
    // The slot starts with AA BB CC; the download's copies are 25, 30 and 0x33.
    const Case cases[] = {
        {InitNone, 0xAA, 0xBB, 0xCC},
        {InitFast, 25, 30, 0xCC},
        {InitSlow5Baud, 0xAA, 0xBB, 0x33},
        {InitUserPulse, 0xAA, 0xBB, 0xCC},
    };
    g_FastInitLowTime = 25;
    g_FastInitHighTime = 30;
    g_SlowInitAddress = 0x33;
    const uint8_t frame[] = {0x81};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.initType));
        // A ring reset keeps the record bytes: leave known init bytes in slot 0.
        ResetMonitorRing();
        MonitorInitBytes fast;
        fast.which = MonitorInitBytes::Fast;
        fast.lowMs = 0xAA;
        fast.highMs = 0xBB;
        AppendMonitorRecord(0, KindUart, 0, 0, frame, 1, fast);
        ResetMonitorRing();
        MonitorInitBytes slow;
        slow.which = MonitorInitBytes::Slow;
        slow.address = 0xCC;
        AppendMonitorRecord(0, KindUart, 0, 0, frame, 1, slow);
        ResetMonitorRing();

        tb_log_clear();
        StartBare();
        ASSERT_EQ(SendUartFrame(MakeFrameLengthWord(1, c.initType), frame, 1), UartSendResult::Queued);
        const int sent = WaitForPacket(IsEngineFrame);
        ASSERT_GE(sent, 0);
        ASSERT_GE(WaitForPolls(1, static_cast<unsigned>(sent)), 0);
        g_WorkerThread.Stop();
        ASSERT_EQ(g_MonitorCount.load(), 1u);
        const MonitorRecord r = CopyMonitorRecord(0);
        EXPECT_EQ(r.lengthWord, MakeFrameLengthWord(1, c.initType));
        EXPECT_EQ(r.fastInitLowMs, c.low);
        EXPECT_EQ(r.fastInitHighMs, c.high);
        EXPECT_EQ(r.slowInitAddress, c.address);
    }
}

TEST_F(WorkerTest, BusyEngineHoldsTheFrameWhilePollsGoOn) {
    StartBare();
    ASSERT_GE(WaitForPolls(1), 0);
    tb_set_busy_reads(3);
    const uint8_t frame[] = {0x11, 0x22, 0x33};
    ASSERT_EQ(SendUartFrame(3, frame, 3), UartSendResult::Queued);
    const int first = WaitForPacket(IsRead31);
    ASSERT_GE(first, 0);
    const int sent = WaitForPacket(IsEngineFrame, static_cast<unsigned>(first));
    ASSERT_GE(sent, 0);
    ASSERT_GE(WaitForPolls(1, static_cast<unsigned>(sent)), 0);
    g_WorkerThread.Stop();

    const std::vector<Bytes> log = LoggedPackets(static_cast<unsigned>(first));
    ASSERT_GE(log.size(), 9u);
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_TRUE(IsRead31(log[2 * pass])) << pass;
        EXPECT_EQ(log[2 * pass + 1], Reply({0xA0, 0x31, 0x04, 0x00})) << pass;
    }
    EXPECT_TRUE(IsRead31(log[6]));
    EXPECT_EQ(log[7], Reply({0x57, 0x3F, 0x05, 0x00, 0x03, 0x00, 0x11, 0x22, 0x33}));
    EXPECT_TRUE(IsPoll(log[8]));
    EXPECT_EQ(script_.pendingAtBusyPoll.load(), 3);
    EXPECT_EQ(script_.sendRefusedAtBusyPoll.load(), 3);
    ASSERT_EQ(g_MonitorCount.load(), 1u);  // the frame, once
    EXPECT_EQ(CopyMonitorRecord(0).lengthWord, 3);
}

TEST_F(WorkerTest, TxDoneForAnotherPacketDoesNotDropAHeldBackFrame) {
    StartBare();
    ASSERT_GE(WaitForPolls(1), 0);
    tb_set_busy_reads(1);
    script_.txDoneAfterRead31 = 1;
    const uint8_t frame[] = {0xC1, 0x33, 0xF1, 0x3E, 0x23};
    ASSERT_EQ(SendUartFrame(5, frame, 5), UartSendResult::Queued);
    const int sent = WaitForPacket(IsEngineFrame);
    ASSERT_GE(sent, 0);
    ASSERT_GE(WaitForPolls(1, static_cast<unsigned>(sent)), 0);
    g_WorkerThread.Stop();
    ASSERT_EQ(g_MonitorCount.load(), 1u);
    const MonitorRecord r = CopyMonitorRecord(0);
    EXPECT_EQ(r.kind, KindUart);
    EXPECT_EQ(r.direction, 0);
    EXPECT_EQ(RecordData(r, 5), Bytes(frame, frame + 5));
}

TEST_F(WorkerTest, EveryExitClearsTheFlagFirstSendsStopAndAllowsANewStart) {
    struct Case {
        const char* name;
        void (*trigger)(Script&);
        const char* text;
    };
    static const uint8_t frame[] = {0xC1, 0x33, 0xF1, 0x81, 0x66};
    const Case cases[] = {
        {"busy poll", [](Script& s) {
             tb_set_busy_reads(1);
             s.failWriteAfterRead31 = 1;
             SendUartFrame(5, frame, 5);
         }, "设备出现通信错误停止! write 2"},
        {"frame write", [](Script& s) {
             s.failWriteAfterRead31 = 1;
             SendUartFrame(5, frame, 5);
         }, "设备出现通信错误停止! write 1"},
        {"poll write", [](Script&) { tb_fail_write(1); }, "设备出现通信错误停止! write RD"},
        {"read", [](Script&) { tb_fail_next_read(); }, "设备出现通信错误停止! Read 1"},
        {"fault", [](Script&) { tb_set_fault(1); }, "VR3526故障保护动作，设备停止!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = messages_.Entries().size();
        ASSERT_EQ(StartUartPage(PageImage(0x81), kIso14230Config), UartStartResult::Started);
        const int firstPoll = WaitForPolls(1, tb_log_count());
        ASSERT_GE(firstPoll, 0);
        const unsigned triggerAt = tb_log_count();
        c.trigger(script_);

        ASSERT_TRUE(messages_.WaitForCount(before + 1));
        const auto entry = messages_.Entries()[before];
        EXPECT_EQ(entry.message.text, c.text);
        EXPECT_EQ(entry.message.icon, platform::MessageIcon::Exclamation);
        EXPECT_EQ(entry.workerRunning, 0u) << "flag must be clear before the message";
        const int stop = WaitForPacket(IsStop, triggerAt);
        ASSERT_GE(stop, 0);
        g_WorkerThread.JoinEnded();  // the thread has ended by itself
        EXPECT_FALSE(g_WorkerThread.HasThread());
        EXPECT_EQ(static_cast<unsigned>(stop) + 1, tb_log_count()) << "stop is the last packet";
        EXPECT_EQ(g_WorkerRunning.load(), 0u);
        tb_set_fault(0);
        g_TxPending = 0;
        tb_log_clear();
    }
    // The last exit needed no Stop either: Start works again at once.
    ASSERT_EQ(StartUartPage(PageImage(0x81), kIso14230Config), UartStartResult::Started);
    EXPECT_GE(WaitForPolls(1), 0);
    EXPECT_TRUE(StopUartPage());
}

TEST_F(WorkerTest, RecordsOfOneReplyShareOneTime) {
    Bytes reply = {0x00, 0x00, 0x03, 0x00};
    const uint8_t tags[] = {0x20, 0x30, 0x50};
    for (int i = 0; i < 3; ++i) {
        Bytes record(16);
        for (int b = 0; b < 16; ++b)
            record[b] = static_cast<uint8_t>(i * 16 + b);
        record[0] = static_cast<uint8_t>(i == 0 ? 0x00 : 0x80 | i);  // J1850 sent, others marked
        record[3] = tags[i];
        reply.insert(reply.end(), record.begin(), record.end());
    }
    Queue(reply);
    StartBare();
    ASSERT_GE(WaitForPolls(2), 0);  // the second poll follows the filing
    g_WorkerThread.Stop();

    ASSERT_EQ(g_MonitorCount.load(), 3u);
    const uint8_t kinds[] = {KindJ1850, KindErrorFlags, KindCan};
    const uint8_t directions[] = {0, 1, 1};
    const uint32_t time = CopyMonitorRecord(0).timeMs;
    for (uint32_t i = 0; i < 3; ++i) {
        const MonitorRecord r = CopyMonitorRecord(i);
        EXPECT_EQ(r.kind, kinds[i]) << i;
        EXPECT_EQ(r.direction, directions[i]) << i;
        EXPECT_EQ(r.lengthWord, 0) << i;
        EXPECT_EQ(r.timeMs, time) << i;
        EXPECT_EQ(RecordData(r, 16), Bytes(reply.begin() + 4 + 16 * i, reply.begin() + 20 + 16 * i));
    }
}

TEST_F(WorkerTest, RepliesAreBoundedByWhatArrived) {
    struct Case {
        const char* name;
        std::vector<Bytes> replies;
        uint32_t records;
        uint16_t lastWord;
        Bytes lastData;
    };
    const Case cases[] = {
        {"short reply after a frame files no duplicate",
         {Reply({0x00, 0x10, 0x05, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}), Reply({0x00, 0x10, 0x05})},
         1, 5, Reply({0xAA, 0xBB, 0xCC, 0xDD, 0xEE})},
        {"one byte", {Reply({0x00})}, 0, 0, {}},
        {"frame with word 0", {Reply({0x00, 0x10, 0x00, 0x00, 0x12})}, 0, 0, {}},
        {"word longer than the frame",
         {Reply({0x00, 0x10, 0xFF, 0x01, 1, 2, 3, 4, 5, 6})}, 1, 0x01FF, Reply({1, 2, 3, 4, 5, 6})},
        {"record count beyond the reply",
         {[] { Bytes r = {0x00, 0x00, 0x05, 0x00}; r.resize(4 + 2 * 16 + 7, 0x30); return r; }()},
         2, 0, Bytes(16, 0x30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        tb_log_clear();
        for (const Bytes& r : c.replies)
            Queue(r);
        StartBare();
        ASSERT_GE(WaitForPolls(static_cast<unsigned>(c.replies.size()) + 1), 0);
        g_WorkerThread.Stop();
        EXPECT_EQ(messages_.Entries().size(), 0u);
        ASSERT_EQ(g_MonitorCount.load(), c.records);
        if (c.records) {
            const MonitorRecord r = CopyMonitorRecord(c.records - 1);
            EXPECT_EQ(r.lengthWord, c.lastWord);
            EXPECT_EQ(RecordData(r, c.lastData.size()), c.lastData);
        }
    }
}

TEST_F(WorkerTest, BlockCounterFollowsReceivedFramesOnTheSerialWorkerOnly) {
    struct Case { WorkerProc proc; Bytes reply; uint8_t counter; };
    const Case cases[] = {
        {ThreadProcSerialBus, Reply({0x00, 0x10, 0x04, 0x00, 0x03, 0x0A, 0x09, 0x03}), 0x0B},
        {ThreadProcSerialBus, Reply({0x00, 0x10, 0x04, 0x00, 0x03, 0xFF, 0x09, 0x03}), 0x00},
        {ThreadProcSerialBus, Reply({0x00, 0x10, 0x01, 0x00, 0x03}), 0x77},  // byte 1 missing
        {ThreadProc14230, Reply({0x00, 0x10, 0x04, 0x00, 0x03, 0x0A, 0x09, 0x03}), 0x77},
    };
    for (const Case& c : cases) {
        g_Kw1281BlockCounter = 0x77;
        tb_log_clear();
        Queue(c.reply);
        StartBare(c.proc);
        ASSERT_GE(WaitForPolls(2), 0);
        g_WorkerThread.Stop();
        EXPECT_EQ(g_Kw1281BlockCounter.load(), c.counter);
    }
}

TEST_F(WorkerTest, OtherPacketsStayPendingUntilReportedSent) {
    struct Case { uint8_t kindByte; uint32_t records; };
    const Case cases[] = {{0x80, 1}, {0x81, 1}, {0x82, 0}};  // low nibble 2 is not filed
    for (const Case& c : cases) {
        ResetMonitorRing();
        tb_log_clear();
        Bytes packet = {0xA0, c.kindByte, 0x10, 0x00};
        for (uint8_t i = 0; i < 16; ++i)
            packet.push_back(static_cast<uint8_t>(0xC0 + i));
        std::memcpy(g_TxPacket, packet.data(), packet.size());
        g_TxPending = 1;
        StartBare();
        const int written = WaitForPacket([&](const Bytes& p) { return p == packet; });
        ASSERT_GE(written, 0);
        ASSERT_GE(WaitForPolls(1, static_cast<unsigned>(written)), 0);
        g_WorkerThread.Stop();
        EXPECT_EQ(g_TxPending.load(), 0u);
        ASSERT_EQ(g_MonitorCount.load(), c.records);
        if (c.records) {
            const MonitorRecord r = CopyMonitorRecord(0);
            EXPECT_EQ(r.direction, 0);
            EXPECT_EQ(r.kind, c.kindByte & 0x0F);
            EXPECT_EQ(r.lengthWord, 16);
            EXPECT_EQ(RecordData(r, 16), Bytes(packet.begin() + 4, packet.end()));
        }
    }
}

TEST_F(WorkerTest, StopDuringAReadReturnsAfterTheWorkerEnded) {
    tb_delay_next_read(5000);  // longer than the worker's read time-out
    StartBare();
    ASSERT_GE(WaitForPolls(1), 0);
    EXPECT_TRUE(g_WorkerThread.Stop());
    EXPECT_FALSE(g_WorkerThread.HasThread());
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    const std::vector<Bytes> log = LoggedPackets();
    EXPECT_TRUE(IsStop(log.back()));
}

TEST_F(WorkerTest, StartDropsAStaleFrameFromTheLastSession) {
    const Bytes stale = {0x57, 0x3F, 0x05, 0x00, 0x03, 0x00, 0xAA, 0xBB, 0xCC};
    std::memcpy(g_TxPacket, stale.data(), stale.size());
    g_TxPending = 1;
    ASSERT_EQ(StartUartPage(PageImage(0x81), kIso14230Config), UartStartResult::Started);
    ASSERT_GE(WaitForPolls(3), 0);
    EXPECT_TRUE(StopUartPage());
    for (const Bytes& p : LoggedPackets())
        EXPECT_FALSE(IsEngineFrame(p));
    EXPECT_EQ(g_MonitorCount.load(), 0u);
    EXPECT_EQ(g_TxPending.load(), 0u);
}

TEST_F(WorkerTest, StartWhileRunningRedoesOrIgnoresByPage) {
    ASSERT_EQ(StartUartPage(PageImage(0x83), kKw1281Config), UartStartResult::Started);
    ASSERT_GE(WaitForPolls(1), 0);
    // The ISO 14230 kind does nothing while a worker runs.
    tb_log_clear();
    EXPECT_EQ(StartUartPage(PageImage(0x81), kIso14230Config), UartStartResult::Ignored);
    for (const Bytes& p : LoggedPackets())
        EXPECT_TRUE(IsPoll(p));
    // The KW1281 kind downloads and starts again; the worker stays the one that runs.
    EXPECT_EQ(StartUartPage(PageImage(0x83), kKw1281Config), UartStartResult::Redownloaded);
    const int start = WaitForPacket([](const Bytes& p) { return p == Bytes{0xB1, 0x83, 0x02, 0x00}; });
    EXPECT_GE(start, 0);
    EXPECT_GE(WaitForPolls(1, static_cast<unsigned>(start)), 0);  // the same worker polls on
    EXPECT_TRUE(StopUartPage());
    EXPECT_FALSE(StopUartPage());  // nothing runs any more
    EXPECT_TRUE(IsStop(LoggedPackets().back()));
    size_t stops = 0;
    for (const Bytes& p : LoggedPackets())
        stops += IsStop(p) ? 1 : 0;
    EXPECT_EQ(stops, 1u);  // one worker ended
}

}  // namespace

// The LIN and UART test pages' downloads and workers against the simulated board. LIN: master
// frames, the queued LACKB set, headers answered from the slave rows, and every exit. UART
// test: raw frames written at once, the exits, and the sleep test beside a polling worker.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "pages/kline/lin/LinPage.h"
#include "pages/kline/lin/LinWorker.h"
#include "pages/kline/uarttest/UartTestPage.h"
#include "tests/support/WorkerBoard.h"

namespace {

void Queue(const Bytes& reply) { tb_queue_reply(reply.data(), static_cast<unsigned>(reply.size())); }

bool IsSet(const Bytes& p) { return p.size() == 12 && p[0] == 0x54 && (p[1] & 0xF0) == 0x30; }
bool IsResponse(const Bytes& p) { return p.size() == 14 && p[0] == 0x57 && p[4] == 0x08 && p[5] == 0x80; }
bool IsMasterFrame(const Bytes& p) { return IsEngineFrame(p) && !IsResponse(p); }
// r: read of 0x31, p: poll, F: master frame, S: LACKB set, R: slave response.
std::string Passes(unsigned from) {
    std::string passes;
    for (const Bytes& p : LoggedPackets(from))
        passes += IsRead31(p) ? 'r' : IsPoll(p) ? 'p' : IsMasterFrame(p) ? 'F' : IsSet(p) ? 'S' : IsResponse(p) ? 'R' : '?';
    return passes;
}

// Hands the worker what the UI thread would, at the moment of a poll write (on the worker's
// thread, so the next pass finds it).
struct Script {
    std::atomic<int> setOnPoll{0}, failWriteOnPoll{0};  // queue a LACKB0 set, and fail its write
    std::atomic<int> failWriteAfterRead31{0};
    std::atomic<int> answerFrame{0};  // the poll after a master frame reads 33 44
    std::atomic<int> headerOnSet{0};  // the poll after a set reads a header for ID 10
    // 1: the next poll queues a header for ID 12, and the one after it (which reads that
    // header) fails the write that follows: the response's.
    std::atomic<int> failResponse{0};
};

void Responder(void* context, const uint8_t* packet, unsigned length) {
    Script& s = *static_cast<Script*>(context);
    const Bytes p(packet, packet + length);
    if (IsPoll(p) && s.setOnPoll.exchange(0)) {
        const uint8_t lackb[8] = {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7};
        BuildLinLackbPacket(g_LinSetPacket, 0, lackb);
        g_RegPacketPending = 1;
        // Armed at the same poll as the set, so the write that fails is the set's.
        if (s.failWriteOnPoll.exchange(0)) tb_fail_write(1);
    }
    if (IsRead31(p) && s.failWriteAfterRead31.exchange(0)) tb_fail_write(1);
    if (IsMasterFrame(p) && s.answerFrame.exchange(0)) Queue({0x00, 0x10, 0x02, 0x00, 0x33, 0x44});
    if (IsSet(p) && s.headerOnSet.exchange(0)) Queue({0x00, 0x10, 0x01, 0x80, 0x0A});
    if (IsPoll(p) && s.failResponse == 2 && s.failResponse.exchange(0)) tb_fail_write(1);
    if (IsPoll(p) && s.failResponse == 1 && s.failResponse.exchange(2)) Queue({0x00, 0x10, 0x01, 0x80, 0x0C});
}

class LinBoardTest : public WorkerBoardTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WorkerBoardTest::SetUp());
        g_RegPacketPending = 0;
        tb_set_responder(Responder, &script_);
    }
    void TearDown() override {
        WorkerBoardTest::TearDown();
        g_RegPacketPending = 0;
    }
    void StartBare() { ASSERT_TRUE(g_WorkerThread.Start(ThreadProcLin, &rows_, false)); }
    // Runs the worker until the board has answered every queued reply and one poll more.
    void RunUntilIdle() {
        ASSERT_GE(WaitForPolls(tb_queued_replies() + 2, static_cast<int>(tb_log_count())), 0);
        g_WorkerThread.Stop();
    }

    Script script_;
    LinSlaveRows rows_;
    LinPage page_;
};

TEST_F(LinBoardTest, DefaultDownloadByteForByteFromResetToStart) {
    std::vector<Bytes> expected = {{0x52, 0x0D, 0x00}, {0x52, 0x0E, 0x20}, {0x52, 0x0E, 0x00}};
    const uint8_t registers[][2] = {{0x17, 0x00}, {0x3B, 0xFF}, {0x05, 0x00}, {0x01, 0x95}, {0x42, 0x08}, {0x44, 0x00},
                                    {0x45, 0x0A}, {0x3C, 0x00}, {0x2D, 0x00}, {0x36, 0x00}, {0x37, 0x00}, {0x35, 0x00}};
    for (const auto& r : registers) expected.push_back({0x52, r[0], r[1]});
    expected.push_back({0x54, 0x2A, 0x02, 0x00, 0x03, 0x01});
    Bytes table = {0x57, 0x2F, 0x40, 0x00};
    for (const auto& [count, byte] : {std::pair{32, 0x90}, {16, 0xA0}, {14, 0xB0}, {2, 0x80}}) table.insert(table.end(), size_t(count), uint8_t(byte));
    expected.push_back(table);
    for (uint8_t n = 0; n < 4; ++n) {
        const uint8_t high[] = {0x10, 0x20, 0xA0, 0xB0};
        Bytes lackb = {0x54, static_cast<uint8_t>(0x30 + n), 0x08, 0x00};
        for (uint8_t i = 0; i < 8; ++i) lackb.push_back(static_cast<uint8_t>(high[n] + i));
        expected.push_back(lackb);
    }
    expected.push_back({0xB1, 0x82, 0x02, 0x00});

    ASSERT_EQ(page_.Start(), PageStartResult::Started);
    EXPECT_EQ(PacketsThroughStart(), expected);
}

TEST_F(LinBoardTest, FramePollAndReadInOnePassAndABusyPassPollsOnly) {
    StartBare();
    ASSERT_GE(WaitForPolls(1), 0);
    tb_set_busy_reads(1);
    script_.answerFrame = 1;
    ASSERT_EQ(SendUartFrame(3, reinterpret_cast<const uint8_t*>("\x30\x01\x02"), 3), PageSendResult::Queued);
    const int first = WaitForPacket(IsRead31);
    ASSERT_GE(WaitForPacket(IsMasterFrame, static_cast<unsigned>(first)), 0);
    RunUntilIdle();
    EXPECT_EQ(Passes(static_cast<unsigned>(first)).substr(0, 6), "rprFpp");
    ASSERT_EQ(g_MonitorCount.load(), 2u);
    EXPECT_EQ(FiledRecord(0, 3), (Filed{0, KindUart, 3, {0x30, 0x01, 0x02}}));
    EXPECT_EQ(FiledRecord(1, 2), (Filed{1, KindUart, 2, {0x33, 0x44}}));
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(LinBoardTest, HeadersAreAnsweredFromTheFirstRowWithTheirId) {
    const Bytes row2 = {0x0C, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27};
    const struct { const char* name; Bytes reply; bool answered; uint16_t word; Bytes data; } cases[] = {
        {"ID 12: row 2", {0x00, 0x10, 0x01, 0x80, 0x0C}, true, 0x8009, row2},
        {"ID 13 in rows 3 and 5: the lower", {0x00, 0x10, 0x01, 0x80, 0x0D}, true, 0x8009, {0x0D, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37}},
        // The word promises the header and 8 response bytes (11), the row fills 9: the rest is
        // cut, as every frame that promised more than came.
        {"a longer header keeps its flags", {0x00, 0x10, 0x03, 0x88, 0x0C, 0xEE, 0xEE}, true, 0x8809, row2},
        {"no row holds ID 40", {0x00, 0x10, 0x01, 0x80, 0x28}, false, 0x8001, {0x28}},
        {"no header bit", {0x00, 0x10, 0x01, 0x00, 0x0C}, false, 0x0001, {0x0C}},
        {"the ID byte did not arrive", {0x00, 0x10, 0x01, 0x80}, false, 0x8000, {}},
    };
    rows_.SetId(5, 13);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        tb_log_clear();
        Queue(c.reply);
        StartBare();
        RunUntilIdle();
        std::vector<Bytes> responses, expected;
        for (const Bytes& p : LoggedPackets()) if (IsResponse(p)) responses.push_back(p);
        if (c.answered) expected.push_back(Bytes{0x57, 0x3F, 0x0A, 0x00, 0x08, 0x80}), expected[0].insert(expected[0].end(), c.data.begin() + 1, c.data.end());
        EXPECT_EQ(responses, expected);
        ASSERT_EQ(g_MonitorCount.load(), 1u);
        EXPECT_EQ(FiledRecord(0, c.data.size()), (Filed{c.answered ? 0 : 1, KindUart, c.word, c.data}));
    }
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(LinBoardTest, AQueuedSetGoesFirstUnrecordedAndBesideAResponse) {
    StartBare();
    ASSERT_GE(WaitForPolls(1), 0);
    const unsigned from = tb_log_count();
    script_.headerOnSet = 1;  // a header for row 0 in the same pass as the set
    script_.setOnPoll = 1;
    ASSERT_GE(WaitForPacket(IsResponse, from), 0);
    RunUntilIdle();
    const std::string passes = Passes(from);
    EXPECT_EQ(passes.substr(passes.find('S'), 3), "SpR") << "set, poll and response in one pass";
    const Bytes set = {0x54, 0x30, 0x08, 0x00, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7};
    const Bytes response = {0x57, 0x3F, 0x0A, 0x00, 0x08, 0x80, 0, 1, 2, 3, 4, 5, 6, 7};
    for (const Bytes& p : LoggedPackets(from))
        EXPECT_TRUE((!IsSet(p) && !IsResponse(p)) || p == set || p == response);
    EXPECT_EQ(g_RegPacketPending.load(), 0u);
    ASSERT_EQ(g_MonitorCount.load(), 1u) << "the set makes no record";
    EXPECT_EQ(CopyMonitorRecord(0).direction, 0);
}

TEST_F(LinBoardTest, StartDropsASetQueuedBeforeIt) {
    page_.LackbChanged(3, "EE");
    ASSERT_TRUE(page_.SetLackb(3));
    ASSERT_EQ(page_.Start(), PageStartResult::Started);
    const int start = WaitForPacket(IsStart);
    ASSERT_GE(WaitForPolls(3, start), 0);
    g_WorkerThread.Stop();
    EXPECT_EQ(Passes(static_cast<unsigned>(start) + 1).find('S'), std::string::npos);
    // The download wrote the LACKB3 the set would have.
    uint8_t block[8] = {};
    ASSERT_EQ(tb_get_block(0x33, block, sizeof block), 8u);
    EXPECT_EQ(Bytes(block, block + 8), (Bytes{0xEE, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(LinBoardTest, AFailedResponseWriteStillRecordsTheResponseAndGoesOn) {
    StartBare();
    ASSERT_GE(WaitForPolls(1), 0);
    const unsigned from = tb_log_count();
    script_.failResponse = 1;
    ASSERT_GE(WaitForPolls(4, static_cast<int>(from)), 0);
    g_WorkerThread.Stop();
    EXPECT_EQ(Passes(from).find('R'), std::string::npos) << "the response never reached the board";
    ASSERT_EQ(g_MonitorCount.load(), 1u);
    EXPECT_EQ(FiledRecord(0, 10),
              (Filed{0, KindUart, 0x8009, {0x0C, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x00}}));
    EXPECT_EQ(messages_.Count(), 0u);
}

// The read exit is the shared loop's own, checked with the ISO 14230 worker.
TEST_F(LinBoardTest, EveryExitClearsTheFlagFirstSendsStopAndAllowsANewStart) {
    const struct { const char* name; void (*trigger)(Script&); const char* text; } cases[] = {
        {"frame write", [](Script& s) { s.failWriteAfterRead31 = 1, SendUartFrame(1, reinterpret_cast<const uint8_t*>("\x30"), 1); }, "设备出现通信错误停止! write 1"},
        {"set write", [](Script& s) { s.failWriteOnPoll = 1, s.setOnPoll = 1; }, "设备出现通信错误停止! write 1"},
        {"poll write", [](Script&) { tb_fail_write(1); }, "设备出现通信错误停止! write 2"},
        {"fault", [](Script&) { tb_set_fault(1); }, "VR3526故障保护动作，设备停止!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(ExpectExitAfter(messages_, [&] { return page_.Start() == PageStartResult::Started; }, [&] { c.trigger(script_); }, c.text));
        EXPECT_EQ(g_MonitorCount.load(), 0u) << "nothing filed for a failed write";
        tb_log_clear();
        g_RegPacketPending = 0;
    }
}

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
    const std::vector<Bytes> download = {{0x52, 0x0D, 0x00}, {0x52, 0x0E, 0x20}, {0x52, 0x0E, 0x00}, {0x52, 0x17, 0x00}, {0x52, 0x17, 0x00},
        {0x52, 0x3B, 0xFF}, {0x52, 0x05, 0x00}, {0x52, 0x01, 0xF5}, {0x52, 0x2D, 0x00}, {0x52, 0x36, 0x00}, {0x52, 0x37, 0x20}, {0x52, 0x35, 0x00},
        {0x54, 0x2A, 0x02, 0x00, 0x03, 0x01}, {0xB1, 0x80, 0x02, 0x01}};
    for (bool firstWriteFails : {false, true}) {
        SCOPED_TRACE(firstWriteFails ? "17 <- 00 before the reset lost" : "all written");
        tb_log_clear();
        std::vector<Bytes> expected = download;
        // The pre-reset write's result is not looked at: Start goes on.
        firstWriteFails ? tb_fail_write(1) : void(expected.insert(expected.begin(), Bytes{0x52, 0x17, 0x00}));
        ASSERT_EQ(page_.Start(nullptr), PageStartResult::Started);
        EXPECT_EQ(PacketsThroughStart(), expected);
        g_WorkerThread.Stop();
    }
}

TEST_F(UartTestBoardTest, SendIsWrittenAtOnceAndRecordedWithItsCount) {
    const struct { const char* name; const char* data; bool echo; Bytes packet; } cases[] = {
        {"the default eight bytes", nullptr, false, {0x60, 0x00, 0x08, 0x00, 0, 1, 2, 3, 4, 5, 6, 7}},
        {"an empty edit", "", false, {0x60, 0x00, 0x00, 0x00}},
        {"K1 hears itself", "A5 5A", true, {0x60, 0x00, 0x02, 0x00, 0xA5, 0x5A}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        tb_log_clear();
        tb_set_uart_echo(c.echo);
        page_.LoadDefaults();
        if (c.data) page_.DataChanged(c.data);
        tb_set_busy_reads(100);  // the engine's busy flag is not asked
        ASSERT_EQ(page_.Start(nullptr), PageStartResult::Started);
        const int start = WaitForPolls(1, WaitForPacket(IsStart));
        ASSERT_GE(start, 0);
        ASSERT_EQ(page_.Send(), PageSendResult::Queued);
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

// The read exit is the shared loop's own, checked with the ISO 14230 worker.
TEST_F(UartTestBoardTest, EveryExitClearsTheFlagFirstAndSendsStop) {
    const struct { const char* name; bool send; void (*trigger)(); const char* text; } cases[] = {
        {"send write", true, nullptr, "设备出现通信错误停止! write 1"},
        {"poll write", false, [] { tb_fail_write(1); }, "设备出现通信错误停止! write 2"},
        {"fault", false, [] { tb_set_fault(1); }, "VR3526故障保护动作，设备停止!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A send's failure must meet the send, not a poll.
        ASSERT_NO_FATAL_FAILURE(ExpectExitAfter(messages_, [&] { return page_.Start(nullptr) == PageStartResult::Started; }, [&] { c.send ? void(sendOnPoll_ = &page_) : c.trigger(); }, c.text));
        EXPECT_EQ(g_MonitorCount.load(), 0u);
        g_TxPending = 0;
    }
}

TEST_F(UartTestBoardTest, SleepWakeAndInterruptFlagsWhileTheWorkerPolls) {
    page_.Sleep(), page_.SetSleepBit(kSleepWue, false), page_.Sleep(), page_.Wake();
    EXPECT_EQ(Defined(LoggedPacket(0)), (Bytes{0x52, 0x02, 0x87}));
    EXPECT_EQ(Defined(LoggedPacket(1)), (Bytes{0x52, 0x02, 0x85}));
    const Bytes wake = LoggedPacket(2);
    ASSERT_EQ(wake.size(), 4u);
    EXPECT_EQ(Bytes(wake.begin(), wake.begin() + 3), (Bytes{0xAB, 0x00, 0x00}));

    tb_set_register(0x00, 0x41), tb_set_register(0x02, 0x85);
    EXPECT_EQ(page_.ReadInterruptFlags(), "0x85 ");
    EXPECT_EQ(LoggedPacket(3), (Bytes{0x50, 0x00, 0x04, 0x00}));
    EXPECT_EQ(LoggedPacket(4), (Bytes{0x50, 0x02, 0x04, 0x00}));

    // Beside a worker that polls without pause, no register reply reaches it and no poll reply
    // reaches the button.
    ASSERT_EQ(page_.Start(nullptr), PageStartResult::Started);
    ASSERT_GE(WaitForPolls(1), 0);
    std::atomic<int> wrong{0};
    std::thread ui([&] {
        for (int i = 0; i < 200; ++i) wrong += page_.ReadInterruptFlags() != "0x85 ";
    });
    ui.join();
    ASSERT_GE(WaitForPolls(1, static_cast<int>(tb_log_count())), 0);
    page_.Stop();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(g_MonitorCount.load(), 0u);
    EXPECT_EQ(messages_.Count(), 0u);
}

}  // namespace

// The download, the serial worker and the family's Start / Stop / Send against the
// simulated board.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/kline/SerialWorker.h"
#include "pages/kline/UartDownload.h"
#include "pages/kline/UartPageOps.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/SimulatedBoard.h"

namespace {

const UartPageConfig kIso14230{UartPage::Iso14230, ThreadProc14230, true, true, 0};
const uint8_t kFrame[] = {0xC1, 0x33, 0xF1, 0x81, 0x66};

// The ISO 14230 page's opening image.
UartRegisterImage Iso14230Defaults() {
    const std::pair<size_t, Bytes> fields[] = {
        {0, {0x05, 0, 0x37, 0x0A, 0x14, 0x02, 0x81, 0, 0x08, 0, 0xFF, 0, 25, 25, 0x33}},
        {16, {0xFB, 0x32, 0x05, 0x64, 0x05, 0x64, 0x00, 0x32, 0x1E, 0x00, 0x02, 0x19, 0x19}},
        {42, {0, 1, 0, 1, 0, 1, 0, 1}},
        {70, {239}},
    };
    UartRegisterImage image{};
    for (const auto& f : fields)
        std::copy(f.second.begin(), f.second.end(), image.begin() + f.first);
    return image;
}

// 'R' packets are four bytes with an undefined last byte: compare the three defined ones.
Bytes Defined(const Bytes& p) { return p.size() == 4 && p[0] == 0x52 ? Bytes(p.begin(), p.begin() + 3) : p; }

// The same with distinct fast-init times, so that swapped ones show.
UartRegisterImage PageImage() {
    UartRegisterImage image = Iso14230Defaults();
    image[uart::fastInitHighMs] = 30;
    return image;
}

void Queue(const Bytes& reply) { tb_queue_reply(reply.data(), static_cast<unsigned>(reply.size())); }
Bytes Data(const MonitorRecord& r, size_t count) { return Bytes(r.data, r.data + count); }

// Every message, with the worker flag as it was when the message came.
class FlagNotingSink : public platform::RecordingMessageSink {
public:
    void Show(const platform::Message& message) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            flags_.push_back(g_WorkerRunning.load());
        }
        RecordingMessageSink::Show(message);
    }
    uint32_t FlagAt(size_t i) {
        std::lock_guard<std::mutex> lock(mutex_);
        return flags_.at(i);
    }

private:
    std::mutex mutex_;
    std::vector<uint32_t> flags_;
};

// Plays the board and the ECU at the moments a test needs.
struct Script {
    std::atomic<int> failWriteAfterRead31{0};
    std::atomic<int> txDoneAfterRead31{0};  // the poll after it is answered "sent"
    std::atomic<int> ecuAnswers{0};
};

void Responder(void* context, const uint8_t* packet, unsigned length) {
    Script& s = *static_cast<Script*>(context);
    const Bytes p(packet, packet + length);
    if (IsRead31(p) && s.failWriteAfterRead31.exchange(0))
        tb_fail_write(1);
    if (IsRead31(p) && s.txDoneAfterRead31.exchange(0))
        Queue({0x00, 0x80, 0x00, 0x00});
    if (IsEngineFrame(p) && s.ecuAnswers.load())
        Queue({0x00, 0x10, 0x07, 0x00, 0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3});
}

// Board 0 of a freshly reset simulated board, opened; any worker ended on tear-down.
class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenSimulatedBoard());
        g_TxPending = 0;
        ResetMonitorRing();
        tb_set_responder(Responder, &script_);
    }
    void TearDown() override {
        tb_set_responder(nullptr, nullptr);
        g_WorkerThread.Stop();
        g_TxPending = 0;
        g_DeviceOpen = 0;
        UsbClosePipes();
    }
    // The worker alone, without reset and download.
    static void StartBare(WorkerProc proc = ThreadProcSerialBus) {
        ASSERT_TRUE(g_WorkerThread.Start(proc, nullptr, false));
    }
    // Index of the n-th poll at or after from, -1 when it did not come.
    static int WaitForPolls(unsigned n, int from = 0) {
        int at = from - 1;
        for (unsigned i = 0; i < n; ++i)
            if ((at = WaitForPacket(IsPoll, static_cast<unsigned>(at + 1))) < 0)
                return -1;
        return at;
    }

    FlagNotingSink messages_;
    Script script_;
};

TEST_F(BoardTest, Iso14230DefaultsGoOutByteForByte) {
    std::vector<Bytes> expected;
    const uint8_t registers[][2] = {
        {0x17, 0x00}, {0x3B, 0xFF}, {0x05, 0x00}, {0x01, 0x95}, {0x42, 0x05}, {0x44, 0x37},
        {0x45, 0x0A}, {0x46, 0x14}, {0x48, 0x02}, {0x39, 0x00}, {0x3C, 0x00}, {0x2D, 0x00},
        {0x2E, 0x08}, {0x2F, 0x00}, {0x30, 0xFF}, {0x32, 0x19}, {0x33, 0x19}, {0x34, 0x33},
        {0x36, 0x00}, {0x37, 0x00}, {0x35, 0x00}};
    for (const auto& r : registers)
        expected.push_back({0x52, r[0], r[1]});
    expected.push_back({0x54, 0x2A, 0x02, 0x00, 0xEF, 0x00});
    expected.push_back({0x54, 0x2B, 0x0A, 0x00, 0xFB, 0x32, 0x05, 0x64, 0x05, 0x64, 0x00, 0x32, 0x1E, 0x00});
    expected.push_back({0x54, 0x2C, 0x10, 0x00, 0x02, 0x19, 0x19, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    expected.push_back({0x54, 0x2D, 0x10, 0x00, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0});

    ASSERT_EQ(ConfigureDevice(Iso14230Defaults(), UartPage::Iso14230), 1);
    std::vector<Bytes> logged = LoggedPackets();
    for (Bytes& p : logged)
        p = Defined(p);
    EXPECT_EQ(logged, expected);
}

TEST_F(BoardTest, FailedDownloadStopsAtTheWriteAndStartsNothing) {
    tb_fail_write(3 + 3);  // the reset sequence, then the download's third write
    EXPECT_EQ(StartUartPage(Iso14230Defaults(), kIso14230), UartStartResult::DeviceError);
    const std::vector<Bytes> logged = LoggedPackets();
    ASSERT_EQ(logged.size(), 5u);  // the failed write never reached the board, nothing after it
    EXPECT_EQ(Defined(logged[3]), (Bytes{0x52, 0x17, 0x00}));
    EXPECT_EQ(Defined(logged[4]), (Bytes{0x52, 0x3B, 0xFF}));
    EXPECT_FALSE(g_WorkerThread.HasThread());
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    const auto entries = messages_.Messages();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "设备通讯错误 !");
    EXPECT_EQ(entries[0].caption, "设备错误");
}

TEST_F(BoardTest, KwpExchangeEndToEnd) {
    script_.ecuAnswers = 1;
    ASSERT_EQ(StartUartPage(PageImage(), kIso14230), UartStartResult::Started);
    const int started = WaitForPacket([](const Bytes& p) { return p == Bytes{0xB1, 0x81, 0x02, 0x00}; });
    ASSERT_GE(WaitForPolls(1, started), 0);
    ASSERT_EQ(SendUartFrame(MakeFrameLengthWord(5, InitFast), kFrame, 5), UartSendResult::Queued);
    const int sent = WaitForPacket(IsEngineFrame, static_cast<unsigned>(started));
    ASSERT_GE(sent, 0);
    EXPECT_EQ(LoggedPacket(sent), (Bytes{0x57, 0x3F, 0x07, 0x00, 0x05, 0x10, 0xC1, 0x33, 0xF1, 0x81, 0x66}));
    ASSERT_GE(WaitForPolls(2, sent + 1), 0);  // the answer is filed before the next pass polls
    EXPECT_TRUE(StopUartPage());

    ASSERT_EQ(g_MonitorCount.load(), 2u);
    const MonitorRecord out = CopyMonitorRecord(0), in = CopyMonitorRecord(1);
    EXPECT_EQ(out.direction, 0);
    EXPECT_EQ(out.kind, KindUart);
    EXPECT_EQ(out.lengthWord, 0x1005);
    EXPECT_EQ(Data(out, 5), Bytes(kFrame, kFrame + 5));
    EXPECT_EQ(out.fastInitLowMs, 25);  // LT / HT as downloaded
    EXPECT_EQ(out.fastInitHighMs, 30);
    EXPECT_EQ(in.direction, 1);
    EXPECT_EQ(in.kind, KindUart);
    EXPECT_EQ(in.lengthWord, 7);
    EXPECT_EQ(Data(in, 7), (Bytes{0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3}));
    EXPECT_TRUE(IsStop(LoggedPackets().back()));
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(BoardTest, AFrameHeldBackForABusyEngineGoesOutOnceWhenIdle) {
    struct Case { const char* name; unsigned busyPasses; bool txDoneWhileHeld; };
    const Case cases[] = {{"busy for three passes", 3, false},
                          {"TxDone for another packet while held", 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        tb_log_clear();
        StartBare();
        ASSERT_GE(WaitForPolls(1), 0);
        tb_set_busy_reads(c.busyPasses);
        script_.txDoneAfterRead31 = c.txDoneWhileHeld;
        ASSERT_EQ(SendUartFrame(5, kFrame, 5), UartSendResult::Queued);
        const int first = WaitForPacket(IsRead31);
        const int sent = WaitForPacket(IsEngineFrame, static_cast<unsigned>(first));
        ASSERT_GE(WaitForPolls(1, sent), 0);
        g_WorkerThread.Stop();

        // r: read of 0x31, p: poll, F: the frame. A busy pass polls; the idle pass sends alone.
        std::string passes;
        for (const Bytes& p : LoggedPackets(static_cast<unsigned>(first)))
            passes += IsRead31(p) ? 'r' : IsPoll(p) ? 'p' : IsEngineFrame(p) ? 'F' : '?';
        std::string expected;
        for (unsigned i = 0; i < c.busyPasses; ++i)
            expected += "rp";
        EXPECT_EQ(passes.substr(0, expected.size() + 3), expected + "rFp");
        ASSERT_EQ(g_MonitorCount.load(), 1u);
        const MonitorRecord r = CopyMonitorRecord(0);
        EXPECT_EQ(r.kind, KindUart);
        EXPECT_EQ(r.lengthWord, 5);
        EXPECT_EQ(Data(r, 5), Bytes(kFrame, kFrame + 5));
    }
}

TEST_F(BoardTest, EveryExitClearsTheFlagFirstSendsStopAndAllowsANewStart) {
    struct Case { const char* name; void (*trigger)(Script&); const char* text; };
    const Case cases[] = {
        {"busy poll", [](Script& s) { tb_set_busy_reads(1); s.failWriteAfterRead31 = 1; SendUartFrame(5, kFrame, 5); },
         "设备出现通信错误停止! write 2"},
        {"frame write", [](Script& s) { s.failWriteAfterRead31 = 1; SendUartFrame(5, kFrame, 5); },
         "设备出现通信错误停止! write 1"},
        {"poll write", [](Script&) { tb_fail_write(1); }, "设备出现通信错误停止! write RD"},
        {"read", [](Script&) { tb_fail_next_read(); }, "设备出现通信错误停止! Read 1"},
        {"fault", [](Script&) { tb_set_fault(1); }, "VR3526故障保护动作，设备停止!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = messages_.Count();
        // No Stop after the last exit: Start must work at once.
        ASSERT_EQ(StartUartPage(PageImage(), kIso14230), UartStartResult::Started);
        ASSERT_GE(WaitForPolls(1, static_cast<int>(tb_log_count())), 0);
        const unsigned triggerAt = tb_log_count();
        c.trigger(script_);

        ASSERT_TRUE(messages_.WaitForCount(before + 1, std::chrono::seconds(5)));
        EXPECT_EQ(messages_.Texts()[before], c.text);
        EXPECT_EQ(messages_.FlagAt(before), 0u) << "flag must be clear before the message";
        const int stop = WaitForPacket(IsStop, triggerAt);
        ASSERT_GE(stop, 0);
        g_WorkerThread.JoinEnded();
        EXPECT_FALSE(g_WorkerThread.HasThread());
        EXPECT_EQ(static_cast<unsigned>(stop) + 1, tb_log_count()) << "stop is the last packet";
        tb_set_fault(0);
        tb_log_clear();
    }
    ASSERT_EQ(StartUartPage(PageImage(), kIso14230), UartStartResult::Started);
    EXPECT_GE(WaitForPolls(1), 0);
    EXPECT_TRUE(StopUartPage());
}

TEST_F(BoardTest, RecordsOfOneReplyKeepTheirKindsAndShareOneTime) {
    Bytes reply = {0x00, 0x00, 0x03, 0x00};
    const uint8_t tags[] = {0x20, 0x30, 0x50};
    for (int i = 0; i < 3; ++i) {
        Bytes record(16, static_cast<uint8_t>(0x40 + i));
        record[0] = static_cast<uint8_t>(i == 0 ? 0x00 : 0x80);  // J1850 sent, the others received
        record[3] = tags[i];
        reply.insert(reply.end(), record.begin(), record.end());
    }
    Queue(reply);
    StartBare();
    ASSERT_GE(WaitForPolls(2), 0);
    g_WorkerThread.Stop();

    ASSERT_EQ(g_MonitorCount.load(), 3u);
    const uint8_t kinds[] = {KindJ1850, KindErrorFlags, KindCan};
    const uint32_t time = CopyMonitorRecord(0).timeMs;
    for (uint32_t i = 0; i < 3; ++i) {
        const MonitorRecord r = CopyMonitorRecord(i);
        EXPECT_EQ(r.kind, kinds[i]) << i;
        EXPECT_EQ(r.direction, i == 0 ? 0 : 1) << i;
        EXPECT_EQ(r.timeMs, time) << i;
        EXPECT_EQ(Data(r, 16), Bytes(reply.begin() + 4 + 16 * i, reply.begin() + 20 + 16 * i));
    }
}

// A worker whose policy reads StatusUartFrame as given (as the CAN and J1850 workers do).
template <UartFlagReply use>
uint32_t FlagReadingWorker(void*) {
    struct Policy : WorkerPolicy {
        UartFlagReply UartFlagReplies() const override { return use; }
    } policy;
    return RunSerialWorker(policy);
}

Bytes OneRecordReply(uint8_t status, uint8_t fill) {
    Bytes reply = {0x00, status, 0x01, 0x00};
    reply.resize(4 + 16, fill);
    return reply;
}

TEST_F(BoardTest, RepliesAreFiledWithinWhatArrivedAndFeedTheBlockCounter) {
    struct Case {
        const char* name;
        WorkerProc proc;
        std::vector<Bytes> replies;
        uint32_t records;
        uint16_t word;  // of the last record, with its data
        Bytes data;
        uint8_t counter;  // 0x77 before
    };
    Bytes fiveRecords = {0x00, 0x00, 0x05, 0x00};
    fiveRecords.resize(4 + 2 * 16 + 7, 0x30);
    const WorkerProc serial = ThreadProcSerialBus;
    const Case cases[] = {
        {"short reply after a frame files no duplicate", serial,
         {{0x00, 0x10, 0x05, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}, {0x00, 0x10, 0x05}},
         1, 5, {0xAA, 0xBB, 0xCC, 0xDD, 0xEE}, 0xBC},
        {"word longer than the frame", serial, {{0x00, 0x10, 0xFF, 0x01, 1, 2, 3, 4, 5, 6}},
         1, 0x01FF, {1, 2, 3, 4, 5, 6}, 3},
        {"record count beyond the reply", serial, {fiveRecords}, 2, 0, Bytes(16, 0x30), 0x77},
        {"counter wraps", serial, {{0x00, 0x10, 0x02, 0x00, 0x03, 0xFF}}, 1, 2, {0x03, 0xFF}, 0x00},
        {"counter byte missing", serial, {{0x00, 0x10, 0x01, 0x00, 0x03}}, 1, 1, {0x03}, 0x77},
        {"no counter on ISO 14230", ThreadProc14230, {{0x00, 0x10, 0x02, 0x00, 0x03, 0x0A}},
         1, 2, {0x03, 0x0A}, 0x77},
        {"records-only worker counts records under the flag", FlagReadingWorker<UartFlagReply::Records>,
         {OneRecordReply(0x10, 0x05)}, 1, 0, Bytes(16, 0x05), 0x77},
        {"ignoring worker files nothing of a flagged reply", FlagReadingWorker<UartFlagReply::Ignore>,
         {OneRecordReply(0x10, 0x05), OneRecordReply(0x00, 0x06)}, 1, 0, Bytes(16, 0x06), 0x77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        tb_log_clear();
        g_Kw1281BlockCounter = 0x77;
        for (const Bytes& r : c.replies)
            Queue(r);
        StartBare(c.proc);
        ASSERT_GE(WaitForPolls(static_cast<unsigned>(c.replies.size()) + 1), 0);
        g_WorkerThread.Stop();
        EXPECT_EQ(messages_.Count(), 0u);
        EXPECT_EQ(g_Kw1281BlockCounter.load(), c.counter);
        ASSERT_EQ(g_MonitorCount.load(), c.records);
        const MonitorRecord r = CopyMonitorRecord(c.records - 1);
        EXPECT_EQ(r.lengthWord, c.word);
        EXPECT_EQ(Data(r, c.data.size()), c.data);
    }
}

TEST_F(BoardTest, StopDuringAReadReturnsAfterTheWorkerEnded) {
    tb_delay_next_read(5000);  // longer than the worker's read time-out
    StartBare();
    ASSERT_GE(WaitForPolls(1), 0);
    EXPECT_TRUE(g_WorkerThread.Stop());
    EXPECT_FALSE(g_WorkerThread.HasThread());
    EXPECT_TRUE(IsStop(LoggedPackets().back()));
}

TEST_F(BoardTest, StartDropsAStaleFrameFromTheLastSession) {
    const Bytes stale = {0x57, 0x3F, 0x05, 0x00, 0x03, 0x00, 0xAA, 0xBB, 0xCC};
    std::memcpy(g_TxPacket, stale.data(), stale.size());
    g_TxPending = 1;
    ASSERT_EQ(StartUartPage(PageImage(), kIso14230), UartStartResult::Started);
    ASSERT_GE(WaitForPolls(3), 0);
    EXPECT_TRUE(StopUartPage());
    for (const Bytes& p : LoggedPackets())
        EXPECT_FALSE(IsEngineFrame(p));
    EXPECT_EQ(g_MonitorCount.load(), 0u);
}

}  // namespace

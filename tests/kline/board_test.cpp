// The download, the bus worker and the family's Start / Stop / Send against the
// simulated board.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <sstream>

#include "pages/kline/Iso14230Page.h"
#include "pages/kline/UartDownload.h"
#include "pages/kline/UartPageOps.h"
#include "tests/support/WorkerBoard.h"
#include "pages/kline/KLineWorkers.h"

namespace {

const UartPageConfig kIso14230{UartPage::Iso14230, ThreadProc14230, true, true, 0};
const uint8_t kFrame[] = {0xC1, 0x33, 0xF1, 0x81, 0x66};

// The ISO 14230 page's own image with distinct fast-init times, so that swapped ones show.
UartRegisterImage PageImage() {
    UartRegisterImage image;
    LoadIso14230ImageDefaults(image);
    image[uart::fastInitHighMs] = 30;
    return image;
}

void Queue(const Bytes& reply) { tb_queue_reply(reply.data(), static_cast<unsigned>(reply.size())); }
Bytes Data(const MonitorRecord& r, size_t count) { return Bytes(r.data, r.data + count); }

// Plays the board and the ECU at the moments a test needs.
struct Script {
    std::atomic<int> failWriteAfterRead31{0};
    std::atomic<int> txDoneAfterRead31{0};  // the poll after it is answered "sent"
    std::atomic<int> ecuAnswers{0};
};

void Responder(void* context, const uint8_t* packet, unsigned length) {
    Script& s = *static_cast<Script*>(context);
    const Bytes p(packet, packet + length);
    if (IsRead31(p) && s.failWriteAfterRead31.exchange(0)) tb_fail_write(1);
    if (IsRead31(p) && s.txDoneAfterRead31.exchange(0)) Queue({0x00, 0x80, 0x00, 0x00});
    if (IsEngineFrame(p) && s.ecuAnswers.load()) Queue({0x00, 0x10, 0x07, 0x00, 0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3});
}

// Board 0 of a freshly reset simulated board, opened; any worker ended on tear-down.
class BoardTest : public WorkerBoardTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WorkerBoardTest::SetUp());
        tb_set_responder(Responder, &script_);
    }
    // The worker alone, without reset and download.
    static void StartBare(WorkerProc proc = ThreadProcSerialBus) {
        ASSERT_TRUE(g_WorkerThread.Start(proc, nullptr, false));
    }

    Script script_;
};

// Hex bytes of a text, "52 0D 00" -> {0x52, 0x0D, 0x00}.
Bytes Hex(const std::string& text) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 3)
        bytes.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

// Every page's download list: its registers (each from its own image byte), its blocks and
// whether it copies the init fields for the worker. The image's bytes are all distinct.
TEST_F(BoardTest, EveryPageDownloadsItsOwnRegistersAndBlocksInOrder) {
    const std::map<uint8_t, size_t> registerSource = {{0x42, 0}, {0x44, 2}, {0x45, 3}, {0x46, 4}, {0x48, 5}, {0x39, 15}, {0x3C, 172}, {0x2D, 7}, {0x2E, 8},
                                                      {0x2F, 9}, {0x30, 10}, {0x32, 12}, {0x33, 13}, {0x34, 14}, {0x36, 73}, {0x37, 74}, {0x35, 72}};
    const std::map<std::string, std::pair<size_t, size_t>> blockSource = {  // offset, length
        {"T2A", {70, 2}}, {"T2B", {16, 10}}, {"T2C", {26, 16}}, {"T2D", {42, 16}}, {"W2F", {76, 64}}, {"T30", {140, 8}}, {"T31", {148, 8}}, {"T32", {156, 8}}, {"T33", {164, 8}}};
    const char* const setup = "17=00 3B=FF 05=00 01=95";
    const struct { UartPage page; const char *name, *setup, *registers, *blocks; bool copies; } cases[] = {
        {UartPage::Iso14230, "ISO 14230", setup, "42 44 45 46 48 39 3C 2D 2E 2F 30 32 33 34 36 37 35", "T2A T2B T2C T2D", true},
        {UartPage::UserMode, "user mode", setup, "42 44 45 46 48 39 3C 2D 2E 2F 30 32 33 34 36 37 35", "T2A T2B", true},
        {UartPage::Kw1281, "KW1281", setup, "3C 42 44 45 46 48 2D 2E 2F 30 32 33 34 36 37 35", "T2A T2B", true},
        {UartPage::Sci, "SCI", setup, "42 44 45 46 48 3C 2D 2E 2F 30 36 37 35", "T2A", false},
        {UartPage::J1708, "J1708", setup, "42 44 45 3C 2D 2E 2F 36 37 35", "T2A", false},
        {UartPage::Lin, "LIN", setup, "42 44 45 3C 2D 36 37 35", "T2A W2F T30 T31 T32 T33", false},
        {UartPage::UartTest, "UART test", "17=00 17=00 3B=FF 05=00 01=F5", "2D 36 37 35", "T2A", false},
    };
    UartRegisterImage image;
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + 3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Bytes> expected;
        std::istringstream setupWords(c.setup), registers(c.registers), blocks(c.blocks);
        for (std::string w; setupWords >> w;) expected.push_back({0x52, Hex(w.substr(0, 2))[0], Hex(w.substr(3, 2))[0]});
        for (std::string r; registers >> r;) expected.push_back({0x52, Hex(r)[0], image[registerSource.at(Hex(r)[0])]});
        for (std::string b; blocks >> b;) {
            const auto [offset, length] = blockSource.at(b);
            Bytes packet = {uint8_t(b[0] == 'W' ? 0x57 : 0x54), Hex(b.substr(1))[0], uint8_t(length), 0x00};
            packet.insert(packet.end(), image.begin() + offset, image.begin() + offset + length);
            expected.push_back(packet);
        }
        g_FastInitLowTime = g_FastInitHighTime = g_SlowInitAddress = 0;
        tb_log_clear();
        ASSERT_EQ(ConfigureDevice(image, c.page), 1);
        std::vector<Bytes> logged = LoggedPackets();
        for (Bytes& p : logged) p = Defined(p);
        EXPECT_EQ(logged, expected);
        const Bytes copied = {g_FastInitLowTime.load(), g_FastInitHighTime.load(), g_SlowInitAddress.load()};
        const Bytes initFields = {image[12], image[13], image[14]};
        EXPECT_EQ(copied, c.copies ? initFields : Bytes(3, 0));
    }
}

TEST_F(BoardTest, FailedDownloadStopsAtTheWriteAndStartsNothing) {
    tb_fail_write(3 + 3);  // the reset sequence, then the download's third write
    EXPECT_EQ(StartUartPage(PageImage(), kIso14230), PageStartResult::DeviceError);
    // The failed write never reached the board, nothing after it.
    ASSERT_EQ(tb_log_count(), 5u);
    EXPECT_EQ(Defined(LoggedPacket(3)), (Bytes{0x52, 0x17, 0x00}));
    EXPECT_EQ(Defined(LoggedPacket(4)), (Bytes{0x52, 0x3B, 0xFF}));
    EXPECT_FALSE(g_WorkerThread.HasThread());
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    const auto entries = messages_.Messages();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "设备通讯错误 !");
    EXPECT_EQ(entries[0].caption, "设备错误");
}

TEST_F(BoardTest, KwpExchangeEndToEnd) {
    script_.ecuAnswers = 1;
    ASSERT_EQ(StartUartPage(PageImage(), kIso14230), PageStartResult::Started);
    ASSERT_GE(WaitForPolls(1), 0);
    ASSERT_EQ(SendUartFrame(MakeFrameLengthWord(5, InitFast), kFrame, 5), PageSendResult::Queued);
    const int sent = WaitForPacket(IsEngineFrame);
    ASSERT_GE(sent, 0);
    EXPECT_EQ(LoggedPacket(sent), (Bytes{0x57, 0x3F, 0x07, 0x00, 0x05, 0x10, 0xC1, 0x33, 0xF1, 0x81, 0x66}));
    ASSERT_GE(WaitForPolls(2, sent + 1), 0);  // the answer is filed before the next pass polls
    EXPECT_TRUE(StopPage());

    // Direction, kind, word, data; the sent one with LT / HT as downloaded.
    ASSERT_EQ(g_MonitorCount.load(), 2u);
    const MonitorRecord out = CopyMonitorRecord(0), in = CopyMonitorRecord(1);
    EXPECT_EQ(std::make_tuple(out.direction, out.kind, out.lengthWord, Data(out, 5), out.fastInitLowMs, out.fastInitHighMs),
              std::make_tuple(0, KindUart, 0x1005, Bytes(kFrame, kFrame + 5), 25, 30));
    EXPECT_EQ(std::make_tuple(in.direction, in.kind, in.lengthWord, Data(in, 7)),
              std::make_tuple(1, KindUart, 7, Bytes{0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3}));
}

TEST_F(BoardTest, AFrameHeldBackForABusyEngineGoesOutOnceWhenIdle) {
    const struct { const char* name; unsigned busyPasses; bool txDoneWhileHeld; } cases[] = {
        {"busy for three passes", 3, false}, {"TxDone for another packet while held", 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        tb_log_clear();
        StartBare();
        ASSERT_GE(WaitForPolls(1), 0);
        tb_set_busy_reads(c.busyPasses);
        script_.txDoneAfterRead31 = c.txDoneWhileHeld;
        ASSERT_EQ(SendUartFrame(5, kFrame, 5), PageSendResult::Queued);
        const int first = WaitForPacket(IsRead31);
        const int sent = WaitForPacket(IsEngineFrame, static_cast<unsigned>(first));
        ASSERT_GE(WaitForPolls(1, sent), 0);
        g_WorkerThread.Stop();

        // r: read of 0x31, p: poll, F: the frame. A busy pass polls; the idle pass sends alone.
        std::string passes;
        for (const Bytes& p : LoggedPackets(static_cast<unsigned>(first)))
            passes += IsRead31(p) ? 'r' : IsPoll(p) ? 'p' : IsEngineFrame(p) ? 'F' : '?';
        std::string expected;
        for (unsigned i = 0; i < c.busyPasses; ++i) expected += "rp";
        EXPECT_EQ(passes.substr(0, expected.size() + 3), expected + "rFp");
        ASSERT_EQ(g_MonitorCount.load(), 1u);
        EXPECT_EQ(FiledRecord(0, 5), (Filed{0, KindUart, 5, Bytes(kFrame, kFrame + 5)}));
    }
}

TEST_F(BoardTest, EveryExitClearsTheFlagFirstSendsStopAndAllowsANewStart) {
    const struct { const char* name; void (*trigger)(Script&); const char* text; } cases[] = {
        {"busy poll", [](Script& s) { tb_set_busy_reads(1), s.failWriteAfterRead31 = 1, SendUartFrame(5, kFrame, 5); }, "设备出现通信错误停止! write 2"},
        {"frame write", [](Script& s) { s.failWriteAfterRead31 = 1, SendUartFrame(5, kFrame, 5); }, "设备出现通信错误停止! write 1"},
        {"poll write", [](Script&) { tb_fail_write(1); }, "设备出现通信错误停止! write RD"},
        {"read", [](Script&) { tb_fail_next_read(); }, "设备出现通信错误停止! Read 1"},
        {"fault", [](Script&) { tb_set_fault(1); }, "VR3526故障保护动作，设备停止!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(ExpectExitAfter(messages_, [] { return StartUartPage(PageImage(), kIso14230) == PageStartResult::Started; }, [&] { c.trigger(script_); }, c.text));
        tb_log_clear();
    }
    ASSERT_EQ(StartUartPage(PageImage(), kIso14230), PageStartResult::Started);
    EXPECT_GE(WaitForPolls(1), 0);
    EXPECT_TRUE(StopPage());
}

// A worker whose policy reads StatusUartFrame as given (as the CAN and J1850 workers do).
template <UartFlagReply use>
uint32_t FlagReadingWorker(void*) {
    struct Policy : WorkerPolicy {
        UartFlagReply UartFlagReplies() const override { return use; }
    } policy;
    return RunBusWorker(policy);
}

// A 16-byte frame record: byte 0 (J1850 direction in bit 7), byte 3 (tag in the high nibble).
Bytes Record(uint8_t byte0, uint8_t byte3, uint8_t fill) {
    Bytes record(16, fill);
    record[0] = byte0, record[3] = byte3;
    return record;
}

Bytes RecordReply(uint8_t status, const std::vector<Bytes>& records) {
    Bytes reply = {0x00, status, static_cast<uint8_t>(records.size()), 0x00};
    for (const Bytes& r : records) reply.insert(reply.end(), r.begin(), r.end());
    return reply;
}

TEST_F(BoardTest, RepliesAreFiledWithinWhatArrivedAndFeedTheBlockCounter) {
    // filed: kind and direction of each record ("1r" UART received, "2s" J1850 sent); word and
    // data: of the last record; counter: 0x77 before.
    struct Case { const char* name; WorkerProc proc; std::vector<Bytes> replies; const char* filed; uint16_t word; Bytes data; uint8_t counter; };
    Bytes fiveRecords = {0x00, 0x00, 0x05, 0x00};
    fiveRecords.resize(4 + 2 * 16 + 7, 0x30);
    const Bytes lastOfThree = Record(0x80, 0x50, 0x42);
    // A frame past what a record keeps: 264 bytes came, the word promised 511 or 262.
    auto longFrame = [](uint16_t word, size_t came) {
        Bytes reply = {0x00, 0x10, static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)};
        for (size_t i = 0; i < came; ++i) reply.push_back(static_cast<uint8_t>(i));
        return reply;
    };
    const WorkerProc serial = ThreadProcSerialBus;
    const Case cases[] = {
        {"short reply after a frame files no duplicate", serial, {{0x00, 0x10, 0x05, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}, {0x00, 0x10, 0x05}}, "1r", 5, {0xAA, 0xBB, 0xCC, 0xDD, 0xEE}, 0xBC},
        {"word longer than the frame: filed with the count that came", serial, {{0x00, 0x10, 0xFF, 0x01, 1, 2, 3, 4, 5, 6}}, "1r", 0x0006, {1, 2, 3, 4, 5, 6}, 3},
        {"record count beyond the reply", serial, {fiveRecords}, "3r 3r", 0, Bytes(16, 0x30), 0x77},
        {"records keep their kinds", serial, {RecordReply(0x00, {Record(0x00, 0x20, 0x40), Record(0x80, 0x3A, 0x41), lastOfThree})}, "2s 3r 0r", 0, lastOfThree, 0x77},
        {"511 promised, 264 came: the count that came", ThreadProc14230, {longFrame(511, 264)}, "1r", 264, {0, 1, 2, 3}, 0x77},
        {"a whole frame of 262 keeps its word", ThreadProc14230, {longFrame(262, 262)}, "1r", 262, {0, 1, 2, 3}, 0x77},
        {"counter wraps", serial, {{0x00, 0x10, 0x02, 0x00, 0x03, 0xFF}}, "1r", 2, {0x03, 0xFF}, 0x00},
        {"counter byte missing", serial, {{0x00, 0x10, 0x01, 0x00, 0x03}}, "1r", 1, {0x03}, 0x77},
        {"no counter on ISO 14230", ThreadProc14230, {{0x00, 0x10, 0x02, 0x00, 0x03, 0x0A}}, "1r", 2, {0x03, 0x0A}, 0x77},
        {"records-only worker counts records under the flag", FlagReadingWorker<UartFlagReply::Records>, {RecordReply(0x10, {Bytes(16, 0x05)})}, "0r", 0, Bytes(16, 0x05), 0x77},
        {"ignoring worker files nothing of a flagged reply", FlagReadingWorker<UartFlagReply::Ignore>, {RecordReply(0x10, {Bytes(16, 0x05)}), RecordReply(0x00, {Bytes(16, 0x06)})}, "0r", 0, Bytes(16, 0x06), 0x77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        tb_log_clear();
        g_Kw1281BlockCounter = 0x77;
        for (const Bytes& r : c.replies) Queue(r);
        StartBare(c.proc);
        ASSERT_GE(WaitForPolls(static_cast<unsigned>(c.replies.size()) + 1), 0);
        g_WorkerThread.Stop();
        EXPECT_EQ(messages_.Count(), 0u);
        EXPECT_EQ(g_Kw1281BlockCounter.load(), c.counter);
        std::string filed;
        for (uint32_t i = 0; i < g_MonitorCount.load(); ++i) {
            const MonitorRecord r = CopyMonitorRecord(i);
            filed += (i ? " " : "") + std::to_string(r.kind) + (r.direction ? "r" : "s");
            EXPECT_EQ(r.timeMs, CopyMonitorRecord(0).timeMs) << "one time per reply";
        }
        ASSERT_EQ(filed, c.filed);
        const MonitorRecord last = CopyMonitorRecord(g_MonitorCount.load() - 1);
        EXPECT_EQ(last.lengthWord, c.word);
        EXPECT_EQ(Data(last, c.data.size()), c.data);
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
    ASSERT_EQ(StartUartPage(PageImage(), kIso14230), PageStartResult::Started);
    ASSERT_GE(WaitForPolls(3), 0);
    EXPECT_TRUE(StopPage());
    EXPECT_LT(WaitForPacket(IsEngineFrame, 0, 0), 0);
    EXPECT_EQ(g_MonitorCount.load(), 0u);
}

}  // namespace

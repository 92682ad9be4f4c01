// The J1850 page's download, Start / Stop / Send / keep-alive, its worker and the register
// read-back against the simulated board, and the board's own J1850 side.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/j1850/J1850Download.h"
#include "pages/j1850/J1850Page.h"
#include "pages/j1850/J1850Worker.h"
#include "platform/Message.h"
#include "testboard/J1850Bus.h"
#include "testboard/SetupFile.h"
#include "testboard/testboard.h"
#include "tests/support/FakeTimers.h"
#include "tests/support/WorkerBoard.h"

namespace {

using ::testing::ElementsAre;

bool IsJ1850Frame(const Bytes& p) { return p.size() == 20 && p[0] == 0xA0 && (p[1] & 0x8F) == 0x82; }

Bytes Record(uint8_t byte0, uint8_t byte3, uint8_t fill) {
    Bytes record(16, fill);
    record[0] = byte0;
    record[3] = byte3;
    return record;
}

Bytes RecordReply(uint8_t status, const std::vector<Bytes>& records, int word = -1) {
    Bytes reply = {0x00, status, static_cast<uint8_t>(word < 0 ? records.size() : word), 0x00};
    for (const Bytes& r : records) reply.insert(reply.end(), r.begin(), r.end());
    return reply;
}


class J1850BoardTest : public WorkerBoardTest {
protected:
    void SetUp() override {
        WorkerBoardTest::SetUp();
        std::memset(g_TxPacket, 0, kPacketBufferSize);
    }
    // Whether done() came true within five seconds.
    static bool WaitUntil(const std::function<bool()>& done) {
        for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5); !done(); std::this_thread::yield())
            if (std::chrono::steady_clock::now() > deadline) return false;
        return true;
    }
    static bool WaitForRecords(uint32_t n) { return WaitUntil([n] { return g_MonitorCount.load() >= n; }); }
    static bool WaitForTxDone() { return WaitUntil([] { return g_TxPending.load() == 0; }); }

    FakeTimers timers_;
    J1850Page vpw_{false, timers_};
    J1850Page pwm_{true, timers_};
};

// The whole download and start of a default page: PWM differs in register 09 alone.
std::vector<Bytes> DefaultStart(bool pwm) {
    Bytes idifrcon = Hex("57 01 00 01"), hdfilter = Hex("57 02 00 01");
    idifrcon.resize(260, 0x00);
    hdfilter.resize(260, 0x07);
    return {Hex("52 17 00"), Hex("52 3B 00"), Hex("52 05 FF"), Hex("52 01 95"), Hex("52 08 02"), Hex(pwm ? "52 09 FE" : "52 09 7E"),
            Hex("54 00 08 00 00 00 00 00 00 00 00 00"), Hex("54 03 08 00 F1 00 00 00 00 00 00 00"),
            Hex("54 04 0A 00 00 00 00 00 00 00 00 00 00 00"), Hex("54 05 0A 00 00 00 00 00 00 00 00 00 00 00"),
            idifrcon, hdfilter, Hex("52 06 00"), Hex("52 07 00"), Hex("52 0D 00"), Hex("52 0E 10"), Hex("B1 07 04 00")};
}

TEST_F(J1850BoardTest, DefaultStartByteForByte) {
    for (J1850Page* page : {&vpw_, &pwm_}) {
        SCOPED_TRACE(page->Pwm() ? "PWM" : "VPW");
        tb_log_clear();
        ASSERT_EQ(page->Start(nullptr), PageStartResult::Started);
        EXPECT_EQ(PacketsThroughStart(), DefaultStart(page->Pwm()));
        const int poll = WaitForPolls(1);
        ASSERT_EQ(poll, 17) << "polls follow the start at once";
        page->Stop();
        EXPECT_EQ(LoggedPacket(static_cast<unsigned>(poll)), Hex("A0 07 04 00"));
        EXPECT_EQ(LoggedPackets().back(), Hex("B2 07 07 00"));
    }
}

TEST_F(J1850BoardTest, ImageEditsReachTheirBlocksAndRegisters) {
    vpw_.Preset(J1850SaeObd2);
    vpw_.Ifr3CrcChanged(true);
    vpw_.Ifr3Changed(0, "11 22 33");
    ASSERT_EQ(ConfigureDevice(vpw_.Image()), 1);
    uint8_t block[256];
    ASSERT_EQ(tb_get_block(0, block, sizeof block), 8u);
    EXPECT_EQ(Bytes(block, block + 8), Hex("20 10 20 30 10 30 00 30 "));
    ASSERT_EQ(tb_get_block(2, block, sizeof block), 256u);
    for (int a = 0; a < 256; ++a) EXPECT_EQ(block[a], a == 0xF1 ? 2 : a == 0x6B ? 4 : 0) << a;
    ASSERT_EQ(tb_get_block(4, block, sizeof block), 10u);
    EXPECT_EQ(Bytes(block, block + 3), Hex("11 22 33 "));
    EXPECT_EQ(tb_get_register(0x06), 4);
    EXPECT_EQ(tb_get_register(0x07), 0);
    EXPECT_EQ(tb_get_register(0x08), 0x02);
    // The last write leaves 52 07 v 00: start, polls and stop carry its 07.
    EXPECT_THAT(Bytes(g_CmdPacket, g_CmdPacket + 4), ElementsAre(0x52, 0x07, 0x00, 0x00));
}

TEST_F(J1850BoardTest, AFailedWriteEndsTheDownloadAndStartsNothing) {
    for (unsigned nth : {1u, 8u, 11u, 14u}) {
        SCOPED_TRACE(nth);
        tb_log_clear();
        messages_.Clear();
        tb_fail_write(nth);
        EXPECT_EQ(vpw_.Start(nullptr), PageStartResult::DeviceError);
        EXPECT_EQ(tb_log_count(), nth - 1);
        EXPECT_THAT(messages_.Texts(), ElementsAre("设备通讯错误 !"));
        EXPECT_EQ(messages_.Messages().at(0).caption, "设备错误");
        EXPECT_FALSE(g_WorkerThread.HasThread());
        EXPECT_EQ(g_WorkerRunning.load(), 0u);
    }
    g_DeviceOpen = 0;
    messages_.Clear();
    EXPECT_EQ(vpw_.Start(nullptr), PageStartResult::NotConnected);
    EXPECT_EQ(messages_.Messages().at(0).caption, "设备未连接");
}

TEST_F(J1850BoardTest, SendGoesOutAsTheChipReportsIt) {
    const uint8_t match[] = {0x68, 0x6A, 0xF1};
    const uint8_t answer[] = {0x48, 0x6B, 0x10, 0x41, 0x00};
    const uint8_t ifr[] = {0x10};
    tb_j1850_add_peer(match, 3, answer, 5, ifr, 1);
    g_TxPacket[1] = 0x3F;  // a K-line frame was the last thing in the buffer
    ASSERT_EQ(vpw_.Start(nullptr), PageStartResult::Started);
    ASSERT_EQ(vpw_.Send(), PageSendResult::Queued);
    EXPECT_EQ(vpw_.Send(), PageSendResult::Pending);
    ASSERT_TRUE(WaitForRecords(2));
    const int frame = WaitForPacket(IsJ1850Frame);
    ASSERT_GE(frame, 0);
    const Bytes sent = LoggedPacket(static_cast<unsigned>(frame));
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 13),
              Hex("A0 B2 10 00 00 06 00 00 68 6A F1 01 00 "));
    ASSERT_TRUE(WaitForTxDone());
    vpw_.Stop();
    ASSERT_EQ(g_MonitorCount.load(), 2u) << "no sent record of the host's own";
    const MonitorRecord echo = CopyMonitorRecord(0), in = CopyMonitorRecord(1);
    EXPECT_EQ(echo.kind, KindJ1850);
    EXPECT_EQ(echo.direction, 0);
    const Bytes frameBytes = Hex("68 6A F1 01 00 ");
    const uint8_t crc = testboard::J1850Crc(frameBytes.data(), 5);
    EXPECT_EQ(Bytes(echo.data, echo.data + 11),
              (Bytes{0x00, 0x16, 0x00, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0x00, crc, 0x10}));
    EXPECT_EQ(in.direction, 1);
    EXPECT_EQ(Bytes(in.data, in.data + 4), Hex("80 06 00 20 "));
    EXPECT_EQ(echo.timeMs, in.timeMs);
}

TEST_F(J1850BoardTest, TheFrameIsWrittenUntilTxDoneWithNoPollBetween) {
    tb_j1850_withhold_tx_done(3);
    ASSERT_EQ(pwm_.Start(nullptr), PageStartResult::Started);
    const unsigned from = static_cast<unsigned>(WaitForPolls(1)) + 1;
    ASSERT_EQ(pwm_.Send(), PageSendResult::Queued);
    ASSERT_TRUE(WaitForTxDone());
    ASSERT_TRUE(WaitForRecords(1));
    pwm_.Stop();
    const std::vector<Bytes> log = LoggedPackets(from);
    size_t first = 0;
    while (first < log.size() && !IsJ1850Frame(log[first])) ++first;
    ASSERT_LE(first + 4, log.size());
    for (size_t i = first; i < first + 4; ++i) EXPECT_EQ(log[i], log[first]) << i;
    EXPECT_FALSE(IsJ1850Frame(log[first + 4]));
    const MonitorRecord echo = CopyMonitorRecord(0);
    EXPECT_EQ(echo.data[0], 0x01) << "PWM echo";
    EXPECT_EQ(echo.data[4], 0x61);
}

TEST_F(J1850BoardTest, RepliesAreFiledByTagAndFlag) {
    struct Case { const char* name; Bytes reply; std::vector<std::pair<uint8_t, uint8_t>> kindDirection; } cases[] = {
        {"tags 2 2 3 5",
         RecordReply(0x00, {Record(0x00, 0x20, 1), Record(0x80, 0x20, 2), Record(0x00, 0x30, 3),
                            Record(0x80, 0x50, 4)}),
         {{2, 0}, {2, 1}, {3, 1}, {0, 1}}},
        {"UART flag with a word", RecordReply(0x10, {Record(0x80, 0x20, 1)}), {}},
        {"UART flag with TxDone", RecordReply(0x90, {Record(0x80, 0x20, 1)}), {}},
        {"word above what arrived", RecordReply(0x00, {Record(0x80, 0x20, 7)}, 200), {{2, 1}}},
        {"short reply", Bytes{0x00, 0x00, 0x05}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        QueueReply(c.reply);
        QueueReply(RecordReply(0x00, {Record(0x00, 0x30, 9)}));  // a marker after it
        ASSERT_TRUE(g_WorkerThread.Start(ThreadProcJ1850, nullptr, false));
        ASSERT_TRUE(WaitForRecords(static_cast<uint32_t>(c.kindDirection.size()) + 1));
        g_WorkerThread.Stop();
        ASSERT_EQ(g_MonitorCount.load(), c.kindDirection.size() + 1);
        for (size_t i = 0; i < c.kindDirection.size(); ++i) {
            const MonitorRecord r = CopyMonitorRecord(static_cast<uint32_t>(i));
            EXPECT_EQ(r.kind, c.kindDirection[i].first) << i;
            EXPECT_EQ(r.direction, c.kindDirection[i].second) << i;
            EXPECT_EQ(r.timeMs, CopyMonitorRecord(0).timeMs);
        }
    }
}

TEST_F(J1850BoardTest, EveryExitClearsTheFlagFirstSendsStopAndAllowsANewStart) {
    struct Case { const char* name; void (*trigger)(J1850Page&); const char* text; } cases[] = {
        {"frame write",
         [](J1850Page& p) {
             tb_j1850_withhold_tx_done(1000000);  // the frame stays pending
             p.Send();
             ASSERT_GE(WaitForPacket(IsJ1850Frame, tb_log_count()), 0);
             tb_fail_write(1);
         },
         "设备出现通信错误停止! write 1"},
        {"poll write", [](J1850Page&) { tb_fail_write(1); }, "设备出现通信错误停止! write RD"},
        {"read", [](J1850Page&) { tb_fail_next_read(); }, "设备出现通信错误停止! Read 1"},
        {"fault", [](J1850Page&) { tb_set_fault(1); }, "VR3526故障保护动作，设备停止!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = messages_.Count();
        ASSERT_EQ(vpw_.Start(nullptr), PageStartResult::Started) << "no Stop after an exit";
        ASSERT_GE(WaitForPolls(1, static_cast<int>(tb_log_count())), 0);
        const unsigned triggerAt = tb_log_count();
        c.trigger(vpw_);
        ExpectWorkerExit(messages_, before, c.text, triggerAt);
        EXPECT_THAT(LoggedPackets().back(), ElementsAre(0xB2, 0x07, 0x07, 0x00));
        EXPECT_FALSE(vpw_.RefreshDeviceStatus().keepAlive.enabled);
        EXPECT_TRUE(vpw_.RefreshDeviceStatus().device.startEnabled);
        tb_set_fault(0);
        tb_j1850_withhold_tx_done(0);
        tb_log_clear();
    }
}

TEST_F(J1850BoardTest, StartClearsAStaleFrameAndStopDuringAReadWaits) {
    BuildJ1850TransmitPacket(g_TxPacket, vpw_.Record());
    g_TxPending = 1;
    tb_delay_next_read(5000);  // longer than the worker's read time-out
    ASSERT_EQ(vpw_.Start(nullptr), PageStartResult::Started);
    ASSERT_GE(WaitForPolls(1), 0);
    ASSERT_EQ(vpw_.Send(), PageSendResult::Queued);
    vpw_.Stop();
    EXPECT_FALSE(g_WorkerThread.HasThread());
    EXPECT_EQ(g_TxPending.load(), 0u);
    EXPECT_TRUE(IsStop(LoggedPackets().back()));
    for (const Bytes& p : LoggedPackets()) EXPECT_FALSE(IsJ1850Frame(p)) << "the stale frame went out";
    EXPECT_EQ(vpw_.Send(), PageSendResult::NotRunning);
}

TEST_F(J1850BoardTest, KeepAliveBelongsToThePagesSession) {
    const std::string text = "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D";
    vpw_.ToggleKeepAlive("50");
    EXPECT_FALSE(vpw_.KeepAliveOn()) << "no session yet";
    tb_j1850_withhold_tx_done(1000000);
    ASSERT_EQ(vpw_.Start(nullptr), PageStartResult::Started);
    EXPECT_TRUE(vpw_.RefreshDeviceStatus().keepAlive.enabled);
    struct Case { const char* period; uint32_t ms; } periods[] = {{"50", 50}, {"0", 10}, {"abc", 10}, {"-5", 10}, {"99999999999", 2147483647}};
    for (const Case& c : periods) {
        vpw_.ToggleKeepAlive(c.period);
        EXPECT_EQ(timers_.running.at(kJ1850KeepAliveTimer), c.ms) << c.period;
        EXPECT_EQ(vpw_.RefreshDeviceStatus().keepAlive.caption, "停止链路保持");
        vpw_.ToggleKeepAlive(c.period);
        EXPECT_TRUE(timers_.running.empty());
    }
    vpw_.ToggleKeepAlive("20");
    vpw_.OnTimer(kJ1850KeepAliveTimer, text);
    EXPECT_THAT(Bytes(g_TxPacket, g_TxPacket + 8), ElementsAre(0xA0, 0x82, 0x10, 0x00, 0x00, 0x0C, 0, 0));
    const Bytes typed = Hex(text + " ");
    EXPECT_EQ(Bytes(g_TxPacket + 8, g_TxPacket + 19), Bytes(typed.begin(), typed.begin() + 11));
    // A tick with a frame pending changes nothing.
    const Bytes queued(g_TxPacket, g_TxPacket + 20);
    vpw_.OnTimer(kJ1850KeepAliveTimer, "55");
    EXPECT_EQ(Bytes(g_TxPacket, g_TxPacket + 20), queued);
    // The worker ends by itself: the next tick kills the timer and queues nothing.
    tb_fail_next_read();
    ASSERT_TRUE(messages_.WaitForCount(1, std::chrono::seconds(5)));
    g_WorkerThread.JoinEnded();
    g_TxPending = 0;
    vpw_.OnTimer(kJ1850KeepAliveTimer, "55");
    EXPECT_EQ(g_TxPending.load(), 0u);
    EXPECT_TRUE(timers_.running.empty());
    EXPECT_FALSE(vpw_.KeepAliveOn());
    // Another page's worker is not this page's session.
    ASSERT_EQ(pwm_.Start(nullptr), PageStartResult::Started);
    vpw_.ToggleKeepAlive("20");
    EXPECT_FALSE(vpw_.KeepAliveOn());
    tb_j1850_withhold_tx_done(0);
}

// The read-back asks for the six registers and then the six blocks in their order, each block
// with its length, and reads each reply with the length and time-out the chip's answer needs;
// each register's value goes to its own field.
TEST_F(J1850BoardTest, ReadBackAsksForEachRegisterAndBlockInOrder) {
    const uint8_t regs[][2] = {{0x08, 0x03}, {0x09, 0xFE}, {0x04, 0x44}, {0x06, 0x05}, {0x07, 0x06}, {0x0A, 0xAA}};
    for (const auto& r : regs) tb_set_register(r[0], r[1]);
    J1850Page page(false, timers_);
    tb_log_clear();
    ASSERT_TRUE(page.ReadBackRegisters());
    EXPECT_EQ(LoggedPackets(), (std::vector<Bytes>{
        Hex("50 08 04 00"), Hex("50 09 04 00"), Hex("50 04 04 00"), Hex("50 06 04 00"), Hex("50 07 04 00"),
        Hex("50 0A 04 00"), Hex("51 00 08 00"), Hex("51 01 00 01"), Hex("51 02 00 01"), Hex("51 03 08 00"),
        Hex("51 04 0A 00"), Hex("51 05 0A 00")}));
    EXPECT_EQ(LoggedCalls(),
              "w4/500 r64/1500 w4/500 r64/1500 w4/500 r64/1500 w4/500 r64/1500 w4/500 r64/1500 w4/500 r64/1500 "
              "w4/500 r64/1500 w4/500 r256/1500 w4/500 r256/1500 w4/500 r8/1500 w4/500 r10/1500 w4/500 r10/1500");
    const J1850RegisterImage& image = page.Image();
    EXPECT_EQ((Bytes{image.JCON0, image.Reg09, image.Reg04, image.Ifr3B0Length, image.Ifr3B1Length, image.Reg0A}),
              (Bytes{0x03, 0xFE, 0x44, 0x05, 0x06, 0xAA}));
}

TEST_F(J1850BoardTest, ReadBackStopsAtEachFailurePoint) {
    // The board's stores, distinct from the page's image.
    const uint8_t regs[][2] = {{0x08, 0x03}, {0x09, 0xFE}, {0x04, 0x44}, {0x06, 0x05}, {0x07, 0x06}, {0x0A, 0xAA}};
    Bytes blocks[6];
    for (uint8_t b = 0; b < 6; ++b) {
        const unsigned length = b == 1 || b == 2 ? 256 : b == 0 || b == 3 ? 8 : 10;
        blocks[b].assign(length, static_cast<uint8_t>(0x10 + b));
    }
    struct Case {
        const char* name;
        unsigned writeFails;  // the n-th write fails (0: none)
        unsigned readFails;   // the n-th read fails, by a short reply (0: none)
        const char* message;
        unsigned blocksRead;  // blocks copied before the failure
        bool registersRead;
    } cases[] = {
        {"register write", 3, 0, "设备出现通信错误停止!", 0, false},
        {"register read", 0, 2, "设备出现通信错误停止!", 0, false},
        {"block 0 write", 7, 0, "设备出现通信错误停止-s!", 0, true},
        {"block 0 read", 0, 7, "设备出现通信错误停止-r!", 0, true},
        {"block 1 write", 8, 0, "设备出现通信错误停止-1!", 1, true},
        {"block 1 read", 0, 8, "设备出现通信错误停止-2!", 1, true},
        {"block 2 write", 9, 0, "设备出现通信错误停止-3!", 2, true},
        {"block 2 read", 0, 9, "设备出现通信错误停止-4!", 2, true},
        {"block 3 write", 10, 0, "设备出现通信错误停止-5!", 3, true},
        {"block 3 read", 0, 10, "设备出现通信错误停止!", 3, true},
        {"block 4 write", 11, 0, "设备出现通信错误停止-6!", 4, true},
        {"block 4 read", 0, 11, "设备出现通信错误停止-7!", 4, true},
        {"block 5 write", 12, 0, "设备出现通信错误停止-8!", 5, true},
        {"block 5 read", 0, 12, "设备出现通信错误停止-9!", 5, true},
        {"all", 0, 0, "", 6, true},
    };
    struct Responder { unsigned readFails = 0; unsigned writes = 0; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& r : regs) tb_set_register(r[0], r[1]);
        for (uint8_t b = 0; b < 6; ++b)
            tb_set_block(b, blocks[b].data(), static_cast<unsigned>(blocks[b].size()));
        J1850Page page(false, timers_);
        const J1850RegisterImage before = page.Image();
        messages_.Clear();
        Responder responder{c.readFails, 0};
        tb_set_responder([](void* context, const uint8_t*, unsigned) {  // the read after that write comes back short
            Responder& r = *static_cast<Responder*>(context);
            if (++r.writes == r.readFails) tb_short_next_reply(2);
        }, &responder);
        if (c.writeFails) tb_fail_write(c.writeFails);
        EXPECT_EQ(page.ReadBackRegisters(), c.message[0] == 0);
        tb_set_responder(nullptr, nullptr);
        tb_fail_write(0);
        EXPECT_EQ(messages_.Texts(), c.message[0] ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        const J1850RegisterImage& image = page.Image();
        EXPECT_EQ(image.Reg0A, c.registersRead ? 0xAA : before.Reg0A);
        if (c.registersRead) {
            EXPECT_EQ(image.JCON0, 0x03);
        }
        const uint8_t* fields[6] = {image.YZZCON, image.IDIFRCON, image.HDFILTER,
                                    image.IDBUFF, image.IFR3_B0,  image.IFR3_B1};
        const uint8_t* old[6] = {before.YZZCON, before.IDIFRCON, before.HDFILTER,
                                 before.IDBUFF, before.IFR3_B0,  before.IFR3_B1};
        for (unsigned b = 0; b < 6; ++b) {
            const Bytes got(fields[b], fields[b] + blocks[b].size());
            EXPECT_EQ(got, b < c.blocksRead ? blocks[b] : Bytes(old[b], old[b] + blocks[b].size()))
                << "block " << b;
        }
    }
    // Refused while a worker runs: it shares the packet buffers.
    ASSERT_TRUE(g_WorkerThread.Start(ThreadProcJ1850, nullptr, false));
    EXPECT_FALSE(vpw_.ReadBackRegisters());
}

TEST(J1850BoardSideTest, CrcEchoAndReceivedRecords) {
    struct CrcCase { Bytes bytes; uint8_t crc; } crcs[] = {
        // SAE J1850 check value of "123456789" is 0x4B.
        {Bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x4B},
        {Bytes{}, 0x00},
        {Bytes{0x00}, 0x3B},
    };
    for (const CrcCase& c : crcs)
        EXPECT_EQ(testboard::J1850Crc(c.bytes.data(), static_cast<unsigned>(c.bytes.size())), c.crc);

    Bytes packet = Hex("A0 82 10 00 88 06 00 00 68 6A F1 01 00 EE EE EE EE EE EE EE ");
    EXPECT_TRUE(testboard::IsJ1850FramePacket(packet));
    const Bytes frame = Hex("68 6A F1 01 00 ");
    const uint8_t crc = testboard::J1850Crc(frame.data(), 5);
    // Direction cleared, PWM from the register, CRC last, IFR bytes up to 12 in all.
    EXPECT_EQ(testboard::J1850EchoRecord(packet, true, Hex("01 02 03 04 05 06 07 08 ")),
              (Bytes{0x09, 0x66, 0x00, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0x00, crc, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(testboard::J1850ReceivedRecord(frame, false),
              (Bytes{0x80, 0x06, 0x00, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0x00, crc, 0, 0, 0, 0, 0, 0}));
    packet[1] = 0x80;  // a CAN frame packet
    EXPECT_FALSE(testboard::IsJ1850FramePacket(packet));

    const testboard::Setup setup =
        testboard::ParseSetup("j1850 68 6A => 48 6B ifr 10 11\nj1850 61 =>\nj1850 61 ifr 10 => 01\n");
    ASSERT_EQ(setup.j1850Peers.size(), 2u);
    EXPECT_EQ(setup.j1850Peers[0].answer, Hex("48 6B "));
    EXPECT_EQ(setup.j1850Peers[0].ifr, Hex("10 11 "));
    EXPECT_TRUE(setup.j1850Peers[1].answer.empty());
    EXPECT_EQ(setup.notes.size(), 1u);
}

}  // namespace

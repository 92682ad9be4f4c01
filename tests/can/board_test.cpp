// The CAN download, worker, hand-over and keep-alive against the simulated board.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <vector>

#include "pages/can/Iso15765Frame.h"
#include "pages/can/Iso15765Page.h"
#include "tests/can/CanBoardFixture.h"
#include "tests/support/FakeTimers.h"

namespace {

bool IsFramePacket(const Bytes& p) { return p.size() == 20 && p[0] == 0xA0 && (p[1] & 0x80); }
bool IsRead2A(const Bytes& p) { return p == Bytes{0x50, 0x2A, 0x04, 0x00}; }
bool IsCtxb5(const Bytes& p) { return p.size() == 20 && p[0] == 0x54 && p[1] == 0x23; }
// Send as while a worker runs, so the page's frame is queued without one.
void QueueFrame(Iso15765Page& page) { g_WorkerRunning = 1, page.Send(), g_WorkerRunning = 0; }

Bytes Reg(uint8_t r, uint8_t v) { return {0x52, r, v}; }
Bytes Blk(uint8_t b, Bytes data) {
    data.insert(data.begin(), {0x54, b, static_cast<uint8_t>(data.size()), 0});
    return data;
}

// The opening page's download, as the board must see it.
std::vector<Bytes> DefaultDownload() {
    const Bytes ones{0xFF, 0xFF, 0xFF, 0xFF}, zeros{0, 0, 0, 0};
    const Bytes fc0{0x80, 0x1F, 0, 0, 8, 0, 0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Bytes fc1 = fc0;
    fc1[0] = 0x84;
    return {Reg(0x17, 0xFC), Reg(0x3B, 0x00), Reg(0x05, 0x00), Reg(0x01, 0x95),
            Reg(0x12, 0x03), Reg(0x13, 0x00), Reg(0x1A, 0xC1), Reg(0x1B, 0xFC), Reg(0x1C, 0x05),
            Reg(0x1D, 0x07), Reg(0x1E, 0x00), Reg(0x1F, 0xD0), Reg(0x20, 0xFF), Reg(0x21, 0xFF),
            Reg(0x22, 0xFF), Reg(0x28, 0x3F), Reg(0x29, 0xE0),
            Reg(0x60, 0xC8), Reg(0x61, 0x00), Reg(0x62, 0x0A),
            Blk(0x09, {0xE8, 0xFF, 0, 0}), Blk(0x0A, {0x08, 0xFF, 0, 0}), Blk(0x0B, {0xE8, 0xFF, 0, 0}),
            Blk(0x0C, {0x00, 0xFD, 0, 0}), Blk(0x0D, {0x20, 0xFD, 0, 0}), Blk(0x0E, {0x00, 0xFD, 0, 0}),
            Blk(0x0F, zeros), Blk(0x10, zeros), Blk(0x11, zeros), Blk(0x12, zeros), Blk(0x13, zeros),
            Blk(0x1C, ones), Blk(0x1D, ones),
            Blk(0x26, {0xD0, 0x10, 0x61, 0x61}), Blk(0x27, {0x60, 0x00, 0x61, 0x00}),
            Blk(0x28, {0x71, 0x00, 0x61, 0x00}), Blk(0x24, fc0), Blk(0x25, fc1)};
}

class CanBoardTest : public CanBoardFixture {
protected:
    // The page's worker without download and start command.
    void StartBare() {
        ASSERT_TRUE(g_WorkerThread.Start(ThreadProc15765, static_cast<Iso15765HandOverSource*>(&page), false));
    }
    // Started through the page, first poll seen; the log then starts after the download.
    void StartPage() {
        ASSERT_EQ(page.Start(), PageStartResult::Started);
        ASSERT_GE(WaitForPolls(1), 0);
    }

    FakeTimers timers;
    Iso15765Page page{timers};
};

TEST_F(CanBoardTest, DefaultDownloadGoesOutByteForByteThenTheStart) {
    ASSERT_EQ(page.Start(), PageStartResult::Started);
    std::vector<Bytes> expected = DefaultDownload();
    expected.push_back({0xB1, 0x00, 0x01, 0x00});
    EXPECT_EQ(PacketsThroughStart(), expected);
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(CanBoardTest, PresetsChangeOnlyTheirPackets) {
    struct Case { unsigned mode; std::map<size_t, Bytes> changed; };
    const Bytes ones{0xFF, 0xFF, 0xFF, 0xFF}, zeros{0, 0, 0, 0};
    const Bytes fc29{0xD9, 0x18, 0x43, 0x08, 0x08, 0xC4, 0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const Case cases[] = {
        {0, {{9, Reg(0x1D, 0x01)}, {11, Reg(0x1F, 0xFC)}, {16, Reg(0x29, 0x00)}, {20, Blk(0x09, zeros)},
             {21, Blk(0x0A, ones)}, {22, Blk(0x0B, ones)}, {23, Blk(0x0C, zeros)}, {24, Blk(0x0D, zeros)},
             {25, Blk(0x0E, zeros)}}},
        {2, {{9, Reg(0x1D, 0x01)}, {11, Reg(0x1F, 0xFC)}, {16, Reg(0x29, 0xA0)},
             {20, Blk(0x09, {0xEB, 0xFF, 0x00, 0xFF})}, {21, Blk(0x0A, ones)}, {22, Blk(0x0B, ones)},
             {23, Blk(0x0C, {0xCA, 0xC6, 0x00, 0xF1})}, {24, Blk(0x0D, zeros)}, {25, Blk(0x0E, zeros)},
             {36, Blk(0x24, fc29)}, {37, Blk(0x25, fc29)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        tb_log_clear();
        page.LoadDefaults(c.mode);
        ASSERT_EQ(RunCanDownload(page.DownloadList()), 1);
        std::vector<Bytes> expected = DefaultDownload();
        for (const auto& [at, packet] : c.changed) expected[at] = packet;
        EXPECT_EQ(DefinedPackets(), expected);
    }
}

TEST_F(CanBoardTest, AFailedWriteEndsTheDownloadAndStartsNothing) {
    for (unsigned k : {1u, 17u, 21u, 38u}) {
        SCOPED_TRACE(k);
        tb_log_clear();
        messages_.Clear();
        tb_fail_write(k);
        EXPECT_EQ(page.Start(), PageStartResult::DeviceError);
        EXPECT_EQ(tb_log_count(), k - 1) << "nothing after the failed write";
        EXPECT_FALSE(g_WorkerThread.HasThread());
        ASSERT_EQ(messages_.Count(), 1u);
        EXPECT_EQ(messages_.Messages()[0].caption + ": " + messages_.Texts()[0], "设备错误: 设备通讯错误 !");
    }
}

TEST_F(CanBoardTest, SendGivesOneSentRowOnceTheBoardConfirms) {
    struct Case { const char* name; unsigned modeRadio; uint32_t rows; };
    const Case cases[] = {{"normal", 0, 1}, {"loopback hears itself", 1, 2}};
    const Bytes frame{0x7C, 0x1F, 0, 0, 3, 0, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        SetCanMode(page.EditHead(), c.modeRadio);
        StartPage();
        ASSERT_EQ(page.Send(), CanSendResult::Queued);
        const int sent = WaitForPacket(IsFramePacket);
        ASSERT_GE(sent, 0);
        EXPECT_EQ(LoggedPacket(static_cast<unsigned>(sent)), Hex("A0 80 10 00 7C 1F 00 00 03 00 02 01 00 00 00 00 00 00 00 00"));
        ASSERT_GE(WaitForPolls(1, sent), 0);
        page.Stop();
        ASSERT_EQ(g_MonitorCount.load(), c.rows);
        EXPECT_EQ(FiledRecord(0, 16), Filed(0, KindCan, 16, frame));
        if (c.rows == 2) {
            EXPECT_EQ(FiledRecord(1, 16), Filed(1, KindCan, 0, frame));
        }
        tb_log_clear();
    }
}

TEST_F(CanBoardTest, ListenOnlyResendsTheFrameAndFilesItOnceConfirmed) {
    SetCanMode(page.EditHead(), 2);
    StartPage();
    ASSERT_EQ(page.Send(), CanSendResult::Queued);
    int at = -1;
    for (int i = 0; i < 3; ++i) ASSERT_GE(at = WaitForPacket(IsFramePacket, static_cast<unsigned>(at + 1)), 0);
    EXPECT_EQ(g_MonitorCount.load(), 0u);
    EXPECT_EQ(g_TxPending.load(), 1u);
    EXPECT_EQ(page.Send(), CanSendResult::Pending) << "one frame at a time";
    QueueReply({0x00, 0x80, 0x00, 0x00});  // the chip finally reports it sent
    ASSERT_GE(WaitForPolls(2, at), 0);
    page.Stop();
    EXPECT_EQ(g_MonitorCount.load(), 1u);
    EXPECT_EQ(g_TxPending.load(), 0u);
}

TEST_F(CanBoardTest, DefaultHandOverWritesMessageLengthAndFirstFrame) {
    StartPage();
    const unsigned from = tb_log_count();
    ASSERT_TRUE(page.StartMultiFrame());
    const int first = WaitForPacket(IsCtxb5, from);
    ASSERT_GE(first, 0);
    ASSERT_GE(WaitForPolls(1, first), 0);
    page.Stop();

    const std::vector<Bytes> p = LoggedPackets(from);
    size_t i = 0;
    while (i < p.size() && !IsRead2A(p[i])) ++i;
    ASSERT_LT(i + 4, p.size());
    EXPECT_EQ(p[i + 1].size(), 260u);
    Bytes head(p[i + 1].begin(), p[i + 1].begin() + 6);
    EXPECT_EQ(head, (Bytes{0x57, 0x3E, 0x00, 0x01, 0x06, 0x07}));
    EXPECT_EQ(p[i + 1].back(), 0x05);
    EXPECT_EQ(Defined(p[i + 2]), Reg(0x2B, 0xFC));
    EXPECT_EQ(p[i + 3], (Bytes{0x54, 0x23, 0x10, 0x00, 0x80, 0x1F, 0x00, 0x00, 0x08, 0x00, 0x11, 0x02,
                               0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x00, 0x00}));
    EXPECT_EQ(p[i + 4], (Bytes{0xA0, 0x23, 0x04, 0x00})) << "the poll carries the hand-over's byte 1";
    EXPECT_EQ(g_MultiFrameRequest.load(), 0u);
    ASSERT_EQ(g_MonitorCount.load(), 1u);
    EXPECT_EQ(FiledRecord(0, 16), Filed(0, KindCan, 16, Bytes(p[i + 3].begin() + 4, p[i + 3].end())));
}

TEST_F(CanBoardTest, HandOverLengthsFollowTheTotal) {
    struct Case { const char* name; std::function<void(Iso15765Page&)> edit; uint16_t w; uint8_t r2b; };
    const Case cases[] = {
        {"total 20", [](Iso15765Page& p) { p.LengthChanged("20"); }, 28, 14},
        {"PTYPE 1, total 257", [](Iso15765Page& p) { p.SetPtype(1); }, 256, 250},
        // The buffer rule allows a total of 6 with PTYPE 1: the length register stays 0.
        {"PTYPE 1, one buffer byte", [](Iso15765Page& p) {
             p.SetPtype(1);
             p.BufferChanged("AA");
         }, 14, 0},
    };
    StartBare();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page.LoadDefaults(1);
        c.edit(page);
        const unsigned from = tb_log_count();
        ASSERT_TRUE(page.StartMultiFrame());
        const int t = WaitForPacket(IsCtxb5, from);
        ASSERT_GE(t, 2);
        ASSERT_GE(WaitForPolls(1, t), 0);  // the request is cleared before the pass polls
        const Bytes w = LoggedPacket(static_cast<unsigned>(t - 2));
        EXPECT_EQ(w[0], 0x57);
        EXPECT_EQ(w[2] | w[3] << 8, c.w);
        EXPECT_EQ(w.size(), c.w + 4u);
        EXPECT_EQ(Defined(LoggedPacket(static_cast<unsigned>(t - 1))), Reg(0x2B, c.r2b));
    }
}

TEST_F(CanBoardTest, ABusyOrUnreadEngineDelaysTheHandOver) {
    struct Case { const char* name; bool busy; unsigned reads; size_t messages; };
    const Case cases[] = {
        {"busy for three passes", true, 4, 0},
        {"a register read that comes back short", false, 2, 1},
    };
    // The first register read of a case comes back too short to hold the value.
    static std::atomic<bool> shortenRead{false};
    tb_set_responder([](void*, const uint8_t* p, unsigned n) {
        if (n == 4 && p[0] == 0x50 && p[1] == 0x2A && shortenRead.exchange(false)) tb_short_next_reply(2);
    }, nullptr);
    StartBare();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.Clear();
        ASSERT_GE(WaitForPolls(1, static_cast<int>(tb_log_count())), 0);
        const unsigned from = tb_log_count();
        if (c.busy) tb_set_busy_bits(0x2A, 0x01, 3);
        shortenRead = !c.busy;
        g_MultiFrameRequest = 1;
        const int t = WaitForPacket(IsCtxb5, from);
        ASSERT_GE(t, 0);
        ASSERT_GE(WaitForPolls(1, t), 0);  // the request is cleared before the pass polls
        unsigned reads = 0, polls = 0;
        for (const Bytes& p : LoggedPackets(from)) {
            reads += IsRead2A(p);
            polls += IsPoll(p);
        }
        EXPECT_EQ(reads, c.reads);
        EXPECT_GE(polls, c.reads - 1) << "every waiting pass still polls";
        EXPECT_EQ(messages_.Count(), c.messages);
        EXPECT_EQ(g_MultiFrameRequest.load(), 0u);
    }
}

TEST_F(CanBoardTest, RepliesAreReadNoFurtherThanTheyReach) {
    const Bytes can = Hex("00 FD 00 00 02 00 41 00 00 00 00 00 00 00 00 00");
    Bytes two = Hex("00 00 02 00 00 00 00 30 AA 00 00 00 00 00 00 00 00 00 00 00");  // an error-flags record, then can
    two.insert(two.end(), can.begin(), can.end());
    Bytes forty = two;
    forty[2] = 40;  // claims 40, carries 2
    Bytes flagged = two;
    flagged[1] = 0x10;  // the UART-frame flag means nothing to the CAN engine's replies
    struct Case { const char* name; std::vector<Bytes> replies; };
    const Case cases[] = {
        {"tags 3 and 0", {two}},
        {"count 40 with two records", {forty}},
        {"status 0x10 still counts records", {flagged}},
        {"short replies after a full one", {two, {0x00, 0x00, 0x02}, {0x00}}},
    };
    StartBare();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GE(WaitForPolls(1, static_cast<int>(tb_log_count())), 0);
        ResetMonitorRing();
        for (const Bytes& r : c.replies) QueueReply(r);
        // Each reply answers one poll written after it was queued; the last one's records
        // are filed before the poll after it.
        const unsigned from = tb_log_count();
        ASSERT_GE(WaitForPolls(static_cast<unsigned>(c.replies.size()) + 1, static_cast<int>(from)), 0);
        ASSERT_EQ(g_MonitorCount.load(), 2u);
        EXPECT_EQ(FiledRecord(0, 0), Filed(1, KindErrorFlags, 0, {}));
        EXPECT_EQ(FiledRecord(1, 16), Filed(1, KindCan, 0, can));
        EXPECT_EQ(CopyMonitorRecord(1).timeMs, CopyMonitorRecord(0).timeMs) << "one time per reply";
    }
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(CanBoardTest, EveryExitClearsTheFlagFirstAndSendsStopLast) {
    // Each row arranges the failure before the worker starts.
    struct Case { const char* name; std::function<void(Iso15765Page&)> arrange; const char* text; uint32_t requestAfter; };
    const Case cases[] = {
        {"long message", [](Iso15765Page&) { g_MultiFrameRequest = 1; tb_fail_write(2); }, "设备出现通信错误停止! write wrlong buff", 1},
        {"first frame", [](Iso15765Page&) { g_MultiFrameRequest = 1; tb_fail_write(4); }, "设备出现通信错误停止! write FF txbuff", 1},
        {"pending frame", [](Iso15765Page& p) { QueueFrame(p), tb_fail_write(1); }, "设备出现通信错误停止! write 1", 0},
        {"poll", [](Iso15765Page&) { tb_fail_write(1); }, "设备出现通信错误停止! write 2", 0},
        {"read", [](Iso15765Page&) { tb_fail_next_read(); }, "设备出现通信错误停止! Read 1", 0},
        {"fault", [](Iso15765Page&) { tb_set_fault(1); }, "VR3526故障保护动作，设备停止!", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = messages_.Count();
        tb_log_clear();
        c.arrange(page);
        StartBare();
        ExpectWorkerExit(messages_, before, c.text, 0);
        EXPECT_EQ(g_MultiFrameRequest.load(), c.requestAfter) << "a failed hand-over stays requested";
        tb_set_fault(0);
        g_MultiFrameRequest = 0;
        g_TxPending = 0;
    }
    // A frame left pending by the exit is not the next session's: Start clears it.
    QueueFrame(page);
    StartPage();
    EXPECT_EQ(g_TxPending.load(), 0u);
    page.Stop();
}

TEST_F(CanBoardTest, StandInSendsTheMessageThatReassemblesWhole) {
    struct Case { uint8_t ptype; size_t carried; Iso15765Reassembler::State state; };
    // PTYPE 1: register 0x2B counts two bytes fewer than follow the first frame (kept as the
    // chip is specified), so the message arrives two bytes short and never completes.
    const Case cases[] = {{0, 258, Iso15765Reassembler::State::Complete},
                          {1, 255, Iso15765Reassembler::State::Error}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.ptype));
        tb_bus_frames_clear();
        page.LoadDefaults(1);
        page.SetPtype(c.ptype);
        StartPage();
        ASSERT_TRUE(page.StartMultiFrame());
        ASSERT_GE(WaitForPacket(IsCtxb5), 0);
        page.Stop();
        Iso15765Reassembler r(c.ptype);
        uint8_t record[16];
        size_t carried = 0;
        const size_t header = c.ptype == 1 ? 1 : 0;
        for (unsigned i = 0; i < tb_bus_frame_count(); ++i) {
            ASSERT_EQ(tb_bus_frame(i, record, sizeof record), 16u);
            EXPECT_EQ(record[0] | record[1] << 8, 0x1F80) << "every frame on id 7E0";
            const size_t dlc = record[4] & 0x0F;
            carried += dlc - header - (i == 0 ? 2 : 1);
            r.Feed(record + 6, dlc);
        }
        EXPECT_EQ(carried, c.carried);
        EXPECT_EQ(r.GetState(), c.state);
        EXPECT_EQ(r.ExpectedLength(), page.TotalLength());
        if (c.state == Iso15765Reassembler::State::Complete) {
            Bytes expected(page.State().ffData, page.State().ffData + Iso15765FirstFrameData(c.ptype));
            expected.insert(expected.end(), page.LongMessage(), page.LongMessage() + (c.carried - expected.size()));
            EXPECT_EQ(r.Message(), expected);
        }
        tb_log_clear();
    }
}

TEST_F(CanBoardTest, KeepAliveRunsWithItsWorkerOnly) {
    EXPECT_EQ(page.ToggleKeepAlive(), "启动链路保持") << "no worker: stays off";
    EXPECT_TRUE(timers.running.empty());
    SetCanMode(page.EditHead(), 2);  // listen-only: a frame stays pending until confirmed
    StartPage();
    page.SetKeepAlivePeriodText("0");
    EXPECT_EQ(page.ToggleKeepAlive(), "停止链路保持");
    EXPECT_EQ(timers.running.at(kIso15765KeepAliveTimer), 10u);

    page.OnTimer(kIso15765KeepAliveTimer);
    ASSERT_EQ(g_TxPending.load(), 1u);
    page.SetKeepAliveIdText("123");
    page.OnTimer(kIso15765KeepAliveTimer);  // still pending: this tick sends nothing
    EXPECT_EQ(g_TxPacket[4], 0x7C) << "the first tick's 7DF stays the pending frame";
    const int sent = WaitForPacket(IsFramePacket);
    ASSERT_GE(sent, 0);
    EXPECT_EQ(LoggedPacket(static_cast<unsigned>(sent))[4], 0x7C);

    tb_fail_next_read();  // the worker ends by itself
    ASSERT_TRUE(messages_.WaitForCount(1, std::chrono::seconds(5)));
    g_WorkerThread.JoinEnded();
    g_TxPending = 0;
    page.OnTimer(kIso15765KeepAliveTimer);
    EXPECT_EQ(g_TxPending.load(), 0u) << "a tick after the worker's end queues nothing";
    EXPECT_TRUE(timers.running.empty());
    EXPECT_FALSE(page.State().keepAliveOn);
}

}  // namespace

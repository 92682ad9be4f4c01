// The K-line pages against the simulated board: their downloads byte for byte, the KW1281
// link and keep-alive, the user-mode init and cyclic frames, and how each page ends with a
// failing board.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "monitor/MonitorRing.h"
#include "monitor/RecordFormat.h"
#include "pages/kline/Iso14230Page.h"
#include "pages/kline/j1708/J1708Page.h"
#include "pages/kline/kw1281/Kw1281Page.h"
#include "pages/kline/sci/SciPage.h"
#include "pages/kline/usermode/UserModePage.h"
#include "tests/support/PageTestSupport.h"
#include "tests/support/WorkerBoard.h"

namespace {

// Register writes "42=05 44=37" as [52 reg value], in order.
std::vector<Bytes> Registers(const std::string& writes) {
    std::vector<Bytes> packets;
    for (size_t i = 0; i + 4 < writes.size() + 1; i += 6)
        packets.push_back({0x52, uint8_t(std::stoul(writes.substr(i, 2), nullptr, 16)), uint8_t(std::stoul(writes.substr(i + 3, 2), nullptr, 16))});
    return packets;
}

Bytes Block(uint8_t block, Bytes data) {
    data.insert(data.begin(), {0x54, block, static_cast<uint8_t>(data.size()), 0x00});
    return data;
}

template <class Page>
std::unique_ptr<UartPageBase> Make(PageTimers& timers) { return std::make_unique<Page>(timers); }
using Maker = std::unique_ptr<UartPageBase> (*)(PageTimers&);

std::vector<Bytes> Join(std::initializer_list<std::vector<Bytes>> parts) {
    std::vector<Bytes> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::string Text(const MonitorRecord& r) { return FormatData(r, RecordTextUse::Export); }

class PagesBoardTest : public WorkerBoardTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WorkerBoardTest::SetUp());
        g_MonitorRowsPerPage = 20;
        g_Kw1281LinkUp = 0, g_Kw1281LinkMark = 0;
    }
    void TearDown() override {
        g_WorkerThread.Stop();
        // Every engine frame the pages built carried the length its word announces.
        EXPECT_EQ(tb_frame_length_mismatches(), 0u);
        WorkerBoardTest::TearDown();
    }
    // The next logged engine frame at or after from; empty when none came.
    static Bytes NextFrame(unsigned from) {
        const int at = WaitForPacket(IsEngineFrame, from);
        return at < 0 ? Bytes() : LoggedPacket(static_cast<unsigned>(at));
    }
    static bool WaitFor(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            tb_wait_log_count(tb_log_count() + 1, 20);  // wakes on the worker's next packet
        }
        return true;
    }
    // The hub's list refresh over the newest page.
    static void RefreshList() {
        const uint32_t count = g_MonitorCount.load();
        g_MonitorTop = count > 20 ? count - 20 : 0;
        MonitorPage page;
        BuildMonitorPage(page);
    }

    FakeTimers timers_;
};

TEST_F(PagesBoardTest, EveryPageDownloadsItsDefaultsByteForByte) {
    const std::vector<Bytes> reset = Registers("0D=00 0E=20 0E=00 17=00 3B=FF 05=00 01=95");
    const Bytes fiveBaudFB = {0xFB, 0x32, 0x05, 0x64, 0x05, 0x64, 0x00, 0x32, 0x1E, 0x00};
    Bytes block2C(16, 0), block2D(16, 0);
    block2C[0] = 0x02, block2C[1] = 0x19, block2C[2] = 0x19;
    for (int i = 1; i < 8; i += 2) block2D[i] = 0x01;
    // stream: from the first reset packet to the start command.
    const struct { const char* name; Maker make; std::vector<Bytes> stream; } cases[] = {
        {"ISO 14230", Make<Iso14230Page>, Join({reset, Registers("42=05 44=37 45=0A 46=14 48=02 39=00 3C=00 2D=00 2E=08 2F=00 30=FF 32=19 33=19 34=33 36=00 37=00 35=00"), {Block(0x2A, {0xEF, 0x00}), Block(0x2B, fiveBaudFB), Block(0x2C, block2C), Block(0x2D, block2D), {0xB1, 0x81, 0x02, 0x00}}})},
        {"KW1281", Make<Kw1281Page>, Join({reset, Registers("3C=00 42=05 44=37 45=14 46=14 48=02 2D=00 2E=E1 2F=80 30=FF 32=19 33=19 34=15 36=00 37=00 35=00"), {Block(0x2A, {0xEF, 0x00}), Block(0x2B, {0xB3, 0x32, 0x05, 0x64, 0x05, 0x64, 0x00, 0x32, 0x1E, 0x00}), {0xB1, 0x83, 0x02, 0x00}}})},
        {"SCI", Make<SciPage>, Join({reset, Registers("42=00 44=37 45=0A 46=14 48=02 3C=00 2D=04 2E=00 2F=00 30=FF 36=00 37=00 35=00"), {Block(0x2A, {0xEF, 0x00}), {0xB1, 0x84, 0x02, 0x00}}})},
        {"user mode", Make<UserModePage>, Join({reset, Registers("42=05 44=37 45=0A 46=14 48=02 39=00 3C=00 2D=00 2E=08 2F=00 30=FF 32=19 33=19 34=33 36=00 37=00 35=00"), {Block(0x2A, {0xEF, 0x00}), Block(0x2B, fiveBaudFB), {0xB1, 0x83, 0x02, 0x00}}})},
        {"J1708", Make<J1708Page>, Join({reset, Registers("42=00 44=00 45=00 3C=80 2D=00 2E=08 2F=08 36=00 37=00 35=00"), {Block(0x2A, {0x03, 0x01}), {0xB1, 0x83, 0x02, 0x00}}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tb_log_clear();
        std::unique_ptr<UartPageBase> page = c.make(timers_);
        ASSERT_EQ(page->Start(nullptr), PageStartResult::Started);
        EXPECT_EQ(PacketsThroughStart(), c.stream);
        page->Stop();
    }
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(PagesBoardTest, Kw1281LinkComesWithInitOkAndKeepsAliveWithTheEcusCounter) {
    tb_set_init5(1, 0x00, 0x8A, 0x01);
    Kw1281Page kw(timers_);
    ASSERT_EQ(kw.Start(nullptr), PageStartResult::Started);
    ASSERT_EQ(kw.SendWithInit(), PageSendResult::Queued);
    EXPECT_EQ(NextFrame(0), (Bytes{0x57, 0x3F, 0x02, 0x00, 0x00, 0x20}));
    ASSERT_TRUE(WaitFor([] { return g_MonitorCount.load() >= 2; }));
    const MonitorRecord sent = CopyMonitorRecord(0), result = CopyMonitorRecord(1);
    EXPECT_EQ(sent.lengthWord, 0x2000);
    EXPECT_EQ(Text(sent), " SLOW INIT; ADDR= 0X15 DATA: ");
    EXPECT_EQ(Text(result), "INIT=OK; BRG= 239 KEYWORD: 8A 01");
    EXPECT_EQ(timers_.running, (Timers{{kPageKeepAliveTimer, 500}}));

    kw.OnTimer(kPageKeepAliveTimer);
    EXPECT_EQ(g_TxPending.load(), 0u) << "the link is up only once the list showed the row";
    RefreshList();
    ASSERT_EQ(g_Kw1281LinkUp.load(), 1u);

    // The ECU's block with counter 01: the next block carries 02.
    const Bytes ecu = {0x00, 0x10, 0x04, 0x00, 0x03, 0x01, 0x09, 0x03};
    tb_queue_reply(ecu.data(), static_cast<unsigned>(ecu.size()));
    ASSERT_TRUE(WaitFor([] { return g_MonitorCount.load() >= 3; }));
    const unsigned before = tb_log_count();
    kw.OnTimer(kPageKeepAliveTimer);
    EXPECT_EQ(NextFrame(before), (Bytes{0x57, 0x3F, 0x06, 0x00, 0x04, 0x00, 0x03, 0x02, 0x09, 0x03}));
    ASSERT_TRUE(WaitFor([] { return g_TxPending.load() == 0; }));
    EXPECT_EQ(kw.Send(), PageSendResult::Pending) << "the keep-alive has no answer yet";
    const Bytes answer = {0x00, 0x10, 0x04, 0x00, 0x03, 0x03, 0x09, 0x03};
    tb_queue_reply(answer.data(), static_cast<unsigned>(answer.size()));
    ASSERT_TRUE(WaitFor([] { return g_MonitorCount.load() >= 5; }));
    const unsigned sendFrom = tb_log_count();
    ASSERT_EQ(kw.Send(), PageSendResult::Queued);
    EXPECT_EQ(NextFrame(sendFrom), (Bytes{0x57, 0x3F, 0x06, 0x00, 0x04, 0x00, 0x03, 0x04, 0x09, 0x03}));

    kw.Stop();
    EXPECT_EQ(g_Kw1281LinkUp.load(), 0u);
    RefreshList();  // the old INIT=OK row is still on screen
    EXPECT_EQ(g_Kw1281LinkUp.load(), 0u);
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(PagesBoardTest, Kw1281InitErrorNeverRaisesTheLinkAndAcknowledgedBlocksFeedTheCounter) {
    tb_set_init5(1, 0x0A, 0x00, 0x00);
    tb_set_kw1281_ack(1);
    Kw1281Page kw(timers_);
    ASSERT_EQ(kw.Start(nullptr), PageStartResult::Started);
    ASSERT_EQ(kw.SendWithInit(), PageSendResult::Queued);
    ASSERT_TRUE(WaitFor([] { return g_MonitorCount.load() >= 2; }));
    EXPECT_EQ(Text(CopyMonitorRecord(1)), "INIT ERROR : A BRG= 239 KEYWORD: 00 00");
    RefreshList();
    EXPECT_EQ(g_Kw1281LinkUp.load(), 0u);
    kw.OnTimer(kPageKeepAliveTimer);
    EXPECT_EQ(g_TxPending.load(), 0u);

    // Each block is answered with counter + 1; the page's next block carries counter + 2.
    for (uint8_t expected : {0x01, 0x03, 0x05}) {
        ASSERT_TRUE(WaitFor([] { return g_TxPending.load() == 0; }));
        const uint32_t records = g_MonitorCount.load();
        const unsigned from = tb_log_count();
        ASSERT_EQ(kw.Send(), PageSendResult::Queued);
        const Bytes frame = NextFrame(from);
        ASSERT_GE(frame.size(), 8u);
        EXPECT_EQ(frame[7], expected);
        ASSERT_TRUE(WaitFor([&] { return g_MonitorCount.load() >= records + 2; }));
    }
    kw.Stop();
}

// The cyclic re-send's bytes are the page test's.
TEST_F(PagesBoardTest, UserModeInitCyclicAndAChecksumModeChangedAfterTyping) {
    UserModePage user(timers_);
    user.SetCyclicSend(true);
    ASSERT_EQ(user.Start(nullptr), PageStartResult::Started);
    ASSERT_EQ(user.SendWithInit(), PageSendResult::Queued);
    EXPECT_EQ(timers_.running, (Timers{{kPageCyclicTimer, 200}}));
    EXPECT_EQ(NextFrame(0), (Bytes{0x57, 0x3F, 0x08, 0x00, 0x06, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0x00, 0xC4}));
    ASSERT_TRUE(WaitFor([] { return g_TxPending.load() == 0 && g_MonitorCount.load() >= 1; }));
    EXPECT_EQ(Text(CopyMonitorRecord(0)), " SLOW INIT; ADDR= 0X33 DATA: 68 6A F1 01 00 C4 ");


    user.DataChanged("01 02");
    SetImageBits(user.Image(), uart::UFLENCON, uart::FlenChkmod, true);
    ASSERT_TRUE(WaitFor([] { return g_TxPending.load() == 0; }));
    const unsigned sendFrom = tb_log_count();
    ASSERT_EQ(user.Send(), PageSendResult::Queued);
    EXPECT_EQ(NextFrame(sendFrom), (Bytes{0x57, 0x3F, 0x05, 0x00, 0x03, 0x00, 0x01, 0x02, 0xFD}));
    user.Stop();
    EXPECT_TRUE(timers_.running.empty());
}

TEST_F(PagesBoardTest, ABoardFaultEndsEachPagesWorkerAndItsTimers) {
    // send: queues a frame and starts what timers the page has.
    const struct { const char* name; Maker make; std::function<void(UartPageBase&)> send; std::function<void(UartPageBase&, int)> tick; } cases[] = {
        {"KW1281", Make<Kw1281Page>, [](UartPageBase& p) { static_cast<Kw1281Page&>(p).SendWithInit(); }, [](UartPageBase& p, int id) { g_Kw1281LinkUp = 1, static_cast<Kw1281Page&>(p).OnTimer(id); }},
        {"SCI", Make<SciPage>, [](UartPageBase& p) { static_cast<SciPage&>(p).Send(); }, [](UartPageBase&, int) {}},
        {"user mode", Make<UserModePage>, [](UartPageBase& p) { static_cast<UserModePage&>(p).SendWithInit(); }, [](UartPageBase& p, int id) { static_cast<UserModePage&>(p).OnTimer(id); }},
        {"J1708", Make<J1708Page>, [](UartPageBase& p) { static_cast<J1708Page&>(p).Send(); }, [](UartPageBase&, int) {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = messages_.Count();
        std::unique_ptr<UartPageBase> page = c.make(timers_);
        ASSERT_EQ(page->Start(nullptr), PageStartResult::Started);
        c.send(*page);
        ASSERT_TRUE(WaitFor([] { return g_TxPending.load() == 0; }));
        tb_set_fault(1);
        ASSERT_TRUE(messages_.WaitForCount(before + 1, std::chrono::seconds(5)));
        EXPECT_EQ(messages_.Texts()[before], "VR3526故障保护动作，设备停止!");
        EXPECT_EQ(g_WorkerRunning.load(), 0u);
        const PageDeviceStatus status = page->RefreshDeviceStatus();
        EXPECT_TRUE(status.startEnabled && !status.stopEnabled && !status.sendEnabled);
        EXPECT_TRUE(timers_.running.empty());
        c.tick(*page, kPageKeepAliveTimer);
        c.tick(*page, kPageCyclicTimer);
        EXPECT_EQ(g_TxPending.load(), 0u) << "nothing is queued after the worker ended";
        tb_set_fault(0);
        ASSERT_EQ(page->Start(nullptr), PageStartResult::Started) << "no Stop needed first";
        page->Stop();
        g_Kw1281LinkUp = 0;
    }
}

}  // namespace

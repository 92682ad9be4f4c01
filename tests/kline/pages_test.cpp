// The KW1281, SCI, user-mode and J1708 pages without widgets: the frames they queue and what
// their field handlers do to the image they built.
#include <gtest/gtest.h>

#include <functional>

#include "monitor/MonitorRing.h"
#include "monitor/RecordFormat.h"
#include "pages/kline/Iso14230Page.h"
#include "pages/kline/j1708/J1708Page.h"
#include "pages/kline/kw1281/Kw1281Page.h"
#include "pages/kline/sci/SciPage.h"
#include "pages/kline/usermode/UserModePage.h"
#include "tests/support/PageTestSupport.h"
#include "pages/kline/KLineWorkers.h"

namespace {

constexpr int kKeep = kPageKeepAliveTimer, kCyclic = kPageCyclicTimer;
using Send = PageSendResult;

// 57 3F n word frame, n = frame bytes + 2.
Bytes Packet(uint16_t word, const Bytes& frame) {
    const size_t n = frame.size() + 2;
    Bytes p = {0x57, 0x3F, static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)};
    for (uint8_t byte : frame) p.push_back(byte);
    return p;
}

class PagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_DeviceOpen = 1;
        g_TxPending = 0;
        g_Kw1281BlockCounter = 0;
        ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false));
    }
    void TearDown() override {
        g_WorkerThread.Stop();
        g_TxPending = 0;
        g_DeviceOpen = 0;
        g_Kw1281LinkUp = 0;
        g_Kw1281LinkMark = 0;
    }

    platform::RecordingMessageSink messages;
    FakeTimers timers;
    Kw1281Page kw{timers};
    SciPage sci{timers};
    UserModePage user{timers};
    J1708Page j1708{timers};
};

TEST_F(PagesTest, FramesAsQueued) {
    Bytes longBlock = {0xFF, 0x00};
    for (size_t i = 0; i < 253; ++i) longBlock.push_back(static_cast<uint8_t>(i));
    longBlock.push_back(0x03);
    const Bytes user6 = {0x68, 0x6A, 0xF1, 0x01, 0x00, 0xC4}, j1708Data = {0x10, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11};
    const auto plus = [](Bytes b, uint8_t last) { return b.push_back(last), b; };
    // A tick's frame, queued by the timer alone.
    const auto tick = [](std::function<void()> before, std::function<void()> onTimer) {
        return [before, onTimer] { before(), g_TxPending = 0, onTimer(); return Send::Queued; };
    };
    const struct { const char* name; std::function<Send()> send; Bytes packet; } cases[] = {
        {"KW1281 default block", [&] { return kw.Send(); }, Packet(4, {0x03, 0x00, 0x09, 0x03})},
        {"KW1281 block carries the counter the worker left", [&] { g_Kw1281BlockCounter = 0x0B; return kw.Send(); }, Packet(4, {0x03, 0x0B, 0x09, 0x03})},
        {"KW1281 keep-alive 01 02 once the link is up", tick([&] { kw.KeepAliveDataChanged("01 02"), g_Kw1281BlockCounter = 0x0B, kw.SendWithInit(); }, [&] { g_Kw1281LinkUp = 1, kw.OnTimer(kKeep); }), Packet(5, {0x04, 0x0B, 0x01, 0x02, 0x03})},
        {"KW1281 253 bytes: length FF, word 0x100", [&] { kw.DataChanged(ByteRun(253)); return kw.Send(); }, Packet(0x100, longBlock)},
        {"KW1281 init: no bytes, 5-baud", [&] { return kw.SendWithInit(); }, Packet(0x2000, {})},
        {"KW1281 init without initialisation kind", [&] { kw.SetInitType(0); return kw.SendWithInit(); }, Packet(0x0000, {})},
        {"SCI default", [&] { return sci.Send(); }, Packet(5, {0x11, 0x22, 0x33, 0x44, 0x55})},
        {"SCI empty edit", [&] { sci.DataChanged(""); return sci.Send(); }, Packet(0, {})},
        {"user mode default with checksum C4", [&] { return user.Send(); }, Packet(6, user6)},
        {"user mode with initialisation", [&] { return user.SendWithInit(); }, Packet(0x2006, user6)},
        {"user mode CHKMOD negates: 3C", [&] { SetImageBits(user.Image(), uart::UFLENCON, uart::FlenChkmod, true); return user.Send(); }, Packet(6, {0x68, 0x6A, 0xF1, 0x01, 0x00, 0x3C})},
        {"user mode CHKSUM off: no checksum", [&] { SetImageBits(user.Image(), uart::UFRMV, uart::FrmvChksum, false); return user.Send(); }, Packet(5, {0x68, 0x6A, 0xF1, 0x01, 0x00})},
        {"user mode keep-alive", tick([&] { user.Send(); }, [&] { user.OnTimer(kKeep); }), Packet(5, {0x68, 0x6A, 0xF1, 0x3E, 0x01})},
        {"user mode cyclic re-send has no init bits", tick([&] { user.SetCyclicSend(true), user.SendWithInit(); }, [&] { user.OnTimer(kCyclic); }), Packet(6, user6)},
        {"J1708 default, negated checksum 84", [&] { return j1708.Send(); }, Packet(0x0A, plus(j1708Data, 0x84))},
        {"J1708 CSM off: 7C", [&] { SetImageBits(j1708.Image(), uart::UFLENCON, uart::FlenChkmod, false); return j1708.Send(); }, Packet(0x0A, plus(j1708Data, 0x7C))},
        {"J1708 ENCS off: nine bytes", [&] { SetImageBits(j1708.Image(), uart::UFRMV, uart::FrmvChksum, false); return j1708.Send(); }, Packet(9, j1708Data)},
        {"J1708 MID counts in the checksum", [&] { j1708.MidChanged("80"); return j1708.Send(); }, Packet(0x0A, {0x80, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x14})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kw.LoadDefaults(), sci.LoadDefaults(), user.LoadDefaults(), j1708.LoadDefaults();
        g_TxPending = 0, g_Kw1281BlockCounter = 0, g_Kw1281LinkUp = 0;
        ASSERT_EQ(c.send(), Send::Queued);
        ASSERT_EQ(g_TxPending.load(), 1u);
        EXPECT_EQ(PendingPacket(), c.packet);
        kw.Stop(), user.Stop();
        ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false));
    }
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(PagesTest, ChecksumTextsFollowTheBitsAsTheyAreNow) {
    const struct { const char* name; bool chksum, chkmod; const char *data, *keepAlive, *j1708; } cases[] = {
        {"sum", true, false, "C4", "01", "7C"}, {"negated", true, true, "3C", "FF", "84"}, {"off", false, true, "-", "-", "-"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (UartRegisterImage* image : {&user.Image(), &j1708.Image()}) {
            SetImageBits(*image, uart::UFRMV, uart::FrmvChksum, c.chksum);
            SetImageBits(*image, uart::UFLENCON, uart::FlenChkmod, c.chkmod);
        }
        EXPECT_EQ(user.ChecksumText(), c.data);
        EXPECT_EQ(user.KeepAliveChecksumText(), c.keepAlive);
        EXPECT_EQ(j1708.ChecksumText(), c.j1708);
    }
}

TEST_F(PagesTest, FieldsWriteTheirBitsAndCapTheirBytes) {
    using Edit = PageEditResult;
    // An image byte, or two as high << 8 | low.
    const auto at = [](UartPageBase& page, size_t offset, int low = -1) {
        return [&page, offset, low] { return unsigned(page.Image()[offset]) << (low < 0 ? 0 : 8) | (low < 0 ? 0 : page.Image()[size_t(low)]); };
    };
    const auto dataCount = [](auto& page) { return [&page] { return unsigned(page.State().data.count); }; };
    const auto keepCount = [](auto& page) { return [&page] { return unsigned(page.State().keepAlive.count); }; };
    const std::string cap255 = "数据桢的总长度不可大于255字节!", cap16 = "数据桢的长度不可大于16字节!";
    // rewrite: what the edit is rewritten with, "" when it keeps its text.
    const struct { const char* name; std::function<Edit()> change; std::function<unsigned()> read; unsigned value; std::string message, rewrite; } cases[] = {
        {"SCI duplex", [&] { sci.SelectDuplex(true); return Edit(); }, at(sci, uart::UFRMCON), 0x85, "", ""},
        {"SCI duplex then half", [&] { sci.SelectDuplex(true), sci.SelectDuplex(false); return Edit(); }, at(sci, uart::UFRMCON), 0x84, "", ""},
        {"SCI TX2 RX1 keeps the high nibble", [&] { sci.Image()[uart::PINSEL] |= 0x30, sci.SelectPin(UartPin::SciTx2Rx1); return Edit(); }, at(sci, uart::PINSEL), 0x31, "", ""},
        {"SCI LRR 7, LENP 2, length control", [&] {
             SetImageField(sci.Image(), uart::UFLENCON, uart::FlenLrrMask, 7), SetImageField(sci.Image(), uart::UFLENCON, uart::FlenLenpMask, 2);
             SetImageBits(sci.Image(), uart::UFLENCON, uart::FlenLengthControl, true);
             return Edit(); }, at(sci, uart::UFLENCON), 0xF2, "", ""},
        {"user ENL check: only CONB bit 3", [&] { SetImageBits(user.Image(), uart::CONB, uart::ConbEnl, false); return Edit(); }, at(user, uart::CONB), 0xF3, "", ""},
        {"user K / L radio sets ENL", [&] {
             SetImageBits(user.Image(), uart::CONB, uart::ConbEnl, false), user.SelectKLinePin(UartPin::K2);
             EXPECT_FALSE(user.SelectKLinePin(UartPin::K1));
             EXPECT_TRUE(user.SelectKLinePin(UartPin::KL));
             return Edit(); }, at(user, uart::CONB, uart::PINSEL), 0xFB00, "", ""},
        {"KW1281 K2 radio clears ENL", [&] { kw.SelectKLinePin(UartPin::KL), kw.SelectKLinePin(UartPin::K2); return Edit(); }, at(kw, uart::CONB, uart::PINSEL), 0xB305, "", ""},
        {"user USERKW in image byte 25", [&] { user.HexFieldChanged(uart::USERKW, "5A"); return Edit(); }, at(user, 25), 0x5A, "", ""},
        {"user high time 300", [&] { return user.ByteFieldChanged(uart::fastInitHighMs, UartFieldKind::Ms1To255, "300"); }, at(user, uart::fastInitHighMs, uart::fastInitLowMs), 0xFF19, "最大255ms!", "255"},
        {"J1708 period item 8 keeps bit 7", [&] { j1708.SelectMessagePeriod(7); return Edit(); }, at(j1708, uart::messagePeriod), 0x87, "", ""},
        {"J1708 line pair: PINSEL A, register 0x37 40", [&] { j1708.SelectPin(UartPin::K2), j1708.SelectPin(UartPin::Rs485); return Edit(); }, at(j1708, uart::Reg37, uart::PINSEL), 0x400A, "", ""},
        {"J1708 back to K1", [&] { j1708.SelectPin(UartPin::Rs485), j1708.SelectPin(UartPin::K1); return Edit(); }, at(j1708, uart::Reg37, uart::PINSEL), 0x0000, "", ""},
        {"SCI 256 bytes", [&] { return sci.DataChanged(ByteRun(256)); }, dataCount(sci), 255, cap255, ByteRun(255)},
        {"user 256 bytes", [&] { return user.DataChanged(ByteRun(256)); }, dataCount(user), 255, cap255, ByteRun(255)},
        {"J1708 256 bytes", [&] { return j1708.DataChanged(ByteRun(256)); }, dataCount(j1708), 255, cap255, ByteRun(255)},
        {"KW1281 254 bytes", [&] { return kw.DataChanged(ByteRun(254)); }, dataCount(kw), 253, "数据桢的长度不可大于253字节!", ByteRun(253)},
        {"KW1281 253 bytes fit", [&] { return kw.DataChanged(ByteRun(253)); }, dataCount(kw), 253, "", ""},
        {"KW1281 17 keep-alive bytes", [&] { return kw.KeepAliveDataChanged(ByteRun(17)); }, keepCount(kw), 16, cap16, ByteRun(16)},
        {"user 17 keep-alive bytes", [&] { return user.KeepAliveDataChanged(ByteRun(17)); }, keepCount(user), 16, cap16, ByteRun(16)},
        {"line breaks are no bytes", [&] { return user.DataChanged("68\r\n6A F1"); }, dataCount(user), 3, "", ""},
        {"nothing typed", [] { return Edit(); }, dataCount(kw), 1, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kw.LoadDefaults(), sci.LoadDefaults(), user.LoadDefaults(), j1708.LoadDefaults();
        const Edit result = c.change();
        EXPECT_EQ(c.read(), c.value);
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(result.rewrite, !c.rewrite.empty());
        EXPECT_EQ(result.text, c.rewrite);
    }
    EXPECT_EQ(kw.LengthByteText(), "03");
    kw.DataChanged(ByteRun(253));
    EXPECT_EQ(kw.LengthByteText(), "FF");
    EXPECT_EQ(kw.DlcText(), "253");
}

TEST_F(PagesTest, Kw1281KeepAliveWaitsForTheLinkAndHoldsSendForTwoRecords) {
    ResetMonitorRing();
    ASSERT_EQ(kw.SendWithInit(), PageSendResult::Queued);
    EXPECT_EQ(timers.running, (Timers{{kKeep, 500}}));
    EXPECT_FALSE(kw.Session().KeepAliveCheckEnabled());
    g_TxPending = 0;
    kw.OnTimer(kKeep);
    EXPECT_EQ(g_TxPending.load(), 0u) << "no keep-alive while the link is down";

    g_Kw1281LinkUp = 1;
    kw.OnTimer(kKeep);
    ASSERT_EQ(g_TxPending.load(), 1u);
    g_TxPending = 0;
    const uint8_t byte = 0;
    // The keep-alive's own record, then the answer: only then may Send go.
    for (const auto& [appended, send] : {std::pair{0, Send::Pending}, {1, Send::Pending}, {1, Send::Queued}}) {
        if (appended) AppendMonitorRecord(1, KindUart, 1, 0, &byte, 1);
        EXPECT_EQ(kw.Send(), send);
    }
    EXPECT_EQ(timers.running, (Timers{{kKeep, 500}})) << "Send restarts the keep-alive";

    kw.Stop();
    EXPECT_TRUE(timers.running.empty());
    EXPECT_EQ(g_Kw1281LinkUp.load(), 0u);
    EXPECT_TRUE(kw.Session().KeepAliveCheckEnabled());
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(PagesTest, Kw1281SendInterlockCountsPastAFullRing) {
    ResetMonitorRing();
    const uint8_t byte = 0;
    for (uint32_t i = 0; i < kMonitorCapacity; ++i) AppendMonitorRecord(1, KindUart, 1, 0, &byte, 1);
    ASSERT_EQ(g_MonitorCount.load(), kMonitorCapacity);
    g_Kw1281LinkUp = 1;
    ASSERT_EQ(kw.SendWithInit(), PageSendResult::Queued);
    g_TxPending = 0;
    g_Kw1281LinkUp = 1;
    kw.OnTimer(kKeep);
    g_TxPending = 0;
    AppendMonitorRecord(0, KindUart, 1, 0, &byte, 1);
    AppendMonitorRecord(1, KindUart, 1, 0, &byte, 1);
    EXPECT_EQ(kw.Send(), PageSendResult::Queued);
    ResetMonitorRing();
}

TEST_F(PagesTest, TimersOfEveryPageEndWithTheSession) {
    // Both timers running: a cyclic Send, then a keep-alive one.
    const auto kwBoth = [&] { kw.SetCyclicSend(true), kw.Send(), g_TxPending = 0, kw.SetCyclicSend(false), kw.SendWithInit(); };
    const auto userBoth = [&] { user.SetCyclicSend(true), user.Send(), g_TxPending = 0, user.SetCyclicSend(false), user.Send(); };
    const struct { const char* name; UartPageBase& page; std::function<void()> send, end; } cases[] = {
        {"KW1281 stop", kw, kwBoth, [&] { kw.Stop(); }},
        {"KW1281 worker ended", kw, kwBoth, [&] { g_WorkerRunning = 0, kw.OnTimer(kKeep); }},
        {"user close", user, userBoth, [&] { user.Close(); }},
        {"user later worker", user, userBoth, [&] { g_WorkerThread.Stop(), g_WorkerThread.Start(QuietWorker, nullptr, false), user.RefreshDeviceStatus(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_TxPending = 0;
        c.send();
        ASSERT_EQ(timers.running.size(), 2u);
        g_TxPending = 0;
        c.end();
        EXPECT_TRUE(timers.running.empty());
        kw.OnTimer(kCyclic), user.OnTimer(kCyclic);
        EXPECT_EQ(g_TxPending.load(), 0u) << "a tick after the end queues nothing";
        EXPECT_TRUE(c.page.Session().KeepAliveCheckEnabled());
        g_WorkerThread.Stop();
        ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false));
    }
}

// Captions and buttons while a worker runs, and with no board.
TEST_F(PagesTest, StatusCaptions) {
    g_DeviceNumber = 3;
    Iso14230Page iso{timers};
    const struct { UartPageBase& page; const char* connected; const char* notConnected; } cases[] = {
        {iso, "SO14230(KWP2000)-- Device( 3 ) Connected", "ISO14230(KWP2000) --No device Connected"},
        {kw, "KW1281 -- Device( 3 ) Connected", "KW1281 -- No device Connected"},
        {sci, "SCI -- Device( 3 ) Connected", "SCI -- No device Connected"},
        {user, "USER MOD (ISO9141) -- Device( 3 ) Connected", "USER MOD (ISO9141-2) -- No device Connected"},
        {j1708, "J1708-- Device( 3 ) Connected", "J1708 -- No device Connected"},
    };
    for (const auto& c : cases) {
        g_DeviceOpen = 1;
        PageDeviceStatus status = c.page.RefreshDeviceStatus();
        EXPECT_EQ(status.caption, c.connected);
        EXPECT_TRUE(status.stopEnabled && status.sendEnabled && !status.startEnabled) << c.connected;
        g_DeviceOpen = 0;
        status = c.page.RefreshDeviceStatus();
        EXPECT_EQ(status.caption, c.notConnected);
        EXPECT_FALSE(status.startEnabled || status.stopEnabled || status.sendEnabled) << c.notConnected;
    }
    g_DeviceNumber = 0;
}

}  // namespace

// The KW1281, SCI, user-mode and J1708 pages without widgets: the frames they queue and what
// their field handlers do to the image they built.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"
#include "monitor/MonitorRing.h"
#include "monitor/RecordFormat.h"
#include "pages/kline/SerialWorker.h"
#include "pages/kline/j1708/J1708Page.h"
#include "pages/kline/kw1281/Kw1281Page.h"
#include "pages/kline/sci/SciPage.h"
#include "pages/kline/usermode/UserModePage.h"
#include "platform/Message.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Timers = std::map<int, uint32_t>;
constexpr int kKeep = kUartKeepAliveTimer, kCyclic = kUartCyclicTimer;

class FakeTimers : public UartPageTimers {
public:
    void StartPageTimer(int id, uint32_t periodMs) override { running[id] = periodMs; }
    void KillPageTimer(int id) override { running.erase(id); }
    Timers running;
};

Bytes PendingPacket() {
    return Bytes(g_TxPacket, g_TxPacket + (g_TxPacket[2] | g_TxPacket[3] << 8) + 4);
}

// 57 3F n word frame, n = frame bytes + 2.
Bytes Packet(uint16_t word, const Bytes& frame) {
    const size_t n = frame.size() + 2;
    Bytes p = {0x57, 0x3F, static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
               static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)};
    for (uint8_t byte : frame) p.push_back(byte);
    return p;
}

std::string HexText(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += HexByteText(static_cast<uint8_t>(i)) + " ";
    return text;
}

// Stands in for a worker: it leaves the running flag set until stopped, like a live one.
uint32_t QuietWorker(void*) { return 0; }

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
    struct Case {
        const char* name;
        std::function<UartSendResult()> send;
        Bytes packet;
    };
    Bytes longData(253), longBlock = {0xFF, 0x00};
    for (size_t i = 0; i < 253; ++i) longData[i] = static_cast<uint8_t>(i);
    longBlock.insert(longBlock.end(), longData.begin(), longData.end());
    longBlock.push_back(0x03);
    const Case cases[] = {
        {"KW1281 default block", [&] { return kw.Send(); }, Packet(4, {0x03, 0x00, 0x09, 0x03})},
        {"KW1281 block carries the counter the worker left", [&] {
             g_Kw1281BlockCounter = 0x0B;
             return kw.Send();
         }, Packet(4, {0x03, 0x0B, 0x09, 0x03})},
        {"KW1281 keep-alive 01 02 once the link is up", [&] {
             kw.KeepAliveDataChanged("01 02");
             g_Kw1281BlockCounter = 0x0B;
             kw.SendWithInit();
             g_TxPending = 0;
             g_Kw1281LinkUp = 1;
             kw.OnTimer(kKeep);
             return UartSendResult::Queued;
         }, Packet(5, {0x04, 0x0B, 0x01, 0x02, 0x03})},
        {"KW1281 253 bytes: length FF, word 0x100", [&] {
             kw.DataChanged(HexText(253));
             return kw.Send();
         }, Packet(0x100, longBlock)},
        {"KW1281 init: no bytes, 5-baud", [&] { return kw.SendWithInit(); }, Packet(0x2000, {})},
        {"KW1281 init without initialisation kind", [&] {
             kw.SetInitType(0);
             return kw.SendWithInit();
         }, Packet(0x0000, {})},
        {"SCI default", [&] { return sci.Send(); }, Packet(5, {0x11, 0x22, 0x33, 0x44, 0x55})},
        {"SCI empty edit", [&] {
             sci.DataChanged("");
             return sci.Send();
         }, Packet(0, {})},
        {"user mode default with checksum C4", [&] { return user.Send(); },
         Packet(6, {0x68, 0x6A, 0xF1, 0x01, 0x00, 0xC4})},
        {"user mode with initialisation", [&] { return user.SendWithInit(); },
         Packet(0x2006, {0x68, 0x6A, 0xF1, 0x01, 0x00, 0xC4})},
        {"user mode CHKMOD negates: 3C", [&] {
             SetImageBits(user.Image(), uart::UFLENCON, uart::FlenChkmod, true);
             return user.Send();
         }, Packet(6, {0x68, 0x6A, 0xF1, 0x01, 0x00, 0x3C})},
        {"user mode CHKSUM off: no checksum", [&] {
             SetImageBits(user.Image(), uart::UFRMV, uart::FrmvChksum, false);
             return user.Send();
         }, Packet(5, {0x68, 0x6A, 0xF1, 0x01, 0x00})},
        {"user mode keep-alive", [&] {
             user.Send();
             g_TxPending = 0;
             user.OnTimer(kKeep);
             return UartSendResult::Queued;
         }, Packet(5, {0x68, 0x6A, 0xF1, 0x3E, 0x01})},
        {"user mode cyclic re-send has no init bits", [&] {
             user.SetCyclicSend(true);
             user.SendWithInit();
             g_TxPending = 0;
             user.OnTimer(kCyclic);
             return UartSendResult::Queued;
         }, Packet(6, {0x68, 0x6A, 0xF1, 0x01, 0x00, 0xC4})},
        {"J1708 default, negated checksum 84", [&] { return j1708.Send(); },
         Packet(0x0A, {0x10, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x84})},
        {"J1708 CSM off: 7C", [&] {
             SetImageBits(j1708.Image(), uart::UFLENCON, uart::FlenChkmod, false);
             return j1708.Send();
         }, Packet(0x0A, {0x10, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x7C})},
        {"J1708 ENCS off: nine bytes", [&] {
             SetImageBits(j1708.Image(), uart::UFRMV, uart::FrmvChksum, false);
             return j1708.Send();
         }, Packet(9, {0x10, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11})},
        {"J1708 MID counts in the checksum", [&] {
             j1708.MidChanged("80");
             return j1708.Send();
         }, Packet(0x0A, {0x80, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x14})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kw.LoadDefaults(), sci.LoadDefaults(), user.LoadDefaults(), j1708.LoadDefaults();
        g_TxPending = 0;
        g_Kw1281BlockCounter = 0;
        g_Kw1281LinkUp = 0;
        ASSERT_EQ(c.send(), UartSendResult::Queued);
        ASSERT_EQ(g_TxPending.load(), 1u);
        EXPECT_EQ(PendingPacket(), c.packet);
        kw.Stop(), user.Stop();
        ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false));
    }
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(PagesTest, ChecksumTextsFollowTheBitsAsTheyAreNow) {
    struct Case { const char* name; bool chksum, chkmod; const char* data; const char* keepAlive; const char* j1708; };
    const Case cases[] = {
        {"sum", true, false, "C4", "01", "7C"},
        {"negated", true, true, "3C", "FF", "84"},
        {"off", false, true, "-", "-", "-"},
    };
    for (const Case& c : cases) {
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
    struct Case {
        const char* name;
        std::function<UartEditResult()> change;
        std::function<unsigned()> read;
        unsigned value;
        const char* message;
        std::string rewrite;  // what the edit is rewritten with, "" when it keeps its text
    };
    const auto none = [] { return UartEditResult(); };
    const Case cases[] = {
        {"SCI duplex", [&] { sci.SelectDuplex(true); return UartEditResult(); },
         [&] { return unsigned(sci.Image()[uart::UFRMCON]); }, 0x85, "", ""},
        {"SCI duplex then half", [&] { sci.SelectDuplex(true), sci.SelectDuplex(false); return UartEditResult(); },
         [&] { return unsigned(sci.Image()[uart::UFRMCON]); }, 0x84, "", ""},
        {"SCI TX2 RX1 keeps the high nibble", [&] {
             sci.Image()[uart::PINSEL] |= 0x30;
             sci.SelectPin(UartPin::SciTx2Rx1);
             return UartEditResult();
         }, [&] { return unsigned(sci.Image()[uart::PINSEL]); }, 0x31, "", ""},
        {"SCI LRR 7, LENP 2, length control", [&] {
             SetImageField(sci.Image(), uart::UFLENCON, uart::FlenLrrMask, 7);
             SetImageField(sci.Image(), uart::UFLENCON, uart::FlenLenpMask, 2);
             SetImageBits(sci.Image(), uart::UFLENCON, uart::FlenLengthControl, true);
             return UartEditResult();
         }, [&] { return unsigned(sci.Image()[uart::UFLENCON]); }, 0xF2, "", ""},
        {"user ENL check: only CONB bit 3", [&] {
             SetImageBits(user.Image(), uart::CONB, uart::ConbEnl, false);
             return UartEditResult();
         }, [&] { return unsigned(user.Image()[uart::CONB]); }, 0xF3, "", ""},
        {"user K / L radio sets ENL", [&] {
             SetImageBits(user.Image(), uart::CONB, uart::ConbEnl, false);
             user.SelectKLinePin(UartPin::K2);
             EXPECT_FALSE(user.SelectKLinePin(UartPin::K1));
             EXPECT_TRUE(user.SelectKLinePin(UartPin::KL));
             return UartEditResult();
         }, [&] { return unsigned(user.Image()[uart::CONB] << 8 | user.Image()[uart::PINSEL]); }, 0xFB00, "", ""},
        {"KW1281 K2 radio clears ENL", [&] {
             kw.SelectKLinePin(UartPin::KL);
             kw.SelectKLinePin(UartPin::K2);
             return UartEditResult();
         }, [&] { return unsigned(kw.Image()[uart::CONB] << 8 | kw.Image()[uart::PINSEL]); }, 0xB305, "", ""},
        {"user USERKW in image byte 25", [&] { user.HexFieldChanged(uart::USERKW, "5A"); return UartEditResult(); },
         [&] { return unsigned(user.Image()[25]); }, 0x5A, "", ""},
        {"user high time 300", [&] { return user.ByteFieldChanged(uart::fastInitHighMs, UartFieldKind::Ms1To255, "300"); },
         [&] { return unsigned(user.Image()[uart::fastInitHighMs] << 8 | user.Image()[uart::fastInitLowMs]); },
         0xFF19, "最大255ms!", "255"},
        {"J1708 period item 8 keeps bit 7", [&] { j1708.SelectMessagePeriod(7); return UartEditResult(); },
         [&] { return unsigned(j1708.Image()[uart::messagePeriod]); }, 0x87, "", ""},
        {"J1708 line pair: PINSEL A, register 0x37 40", [&] {
             j1708.SelectPin(UartPin::K2);
             j1708.SelectPin(UartPin::Rs485);
             return UartEditResult();
         }, [&] { return unsigned(j1708.Image()[uart::Reg37] << 8 | j1708.Image()[uart::PINSEL]); }, 0x400A, "", ""},
        {"J1708 back to K1", [&] {
             j1708.SelectPin(UartPin::Rs485);
             j1708.SelectPin(UartPin::K1);
             return UartEditResult();
         }, [&] { return unsigned(j1708.Image()[uart::Reg37] << 8 | j1708.Image()[uart::PINSEL]); }, 0x0000, "", ""},
        {"SCI 256 bytes", [&] { return sci.DataChanged(HexText(256)); },
         [&] { return unsigned(sci.State().data.count); }, 255, "数据桢的总长度不可大于255字节!", HexText(255)},
        {"user 256 bytes", [&] { return user.DataChanged(HexText(256)); },
         [&] { return unsigned(user.State().data.count); }, 255, "数据桢的总长度不可大于255字节!", HexText(255)},
        {"J1708 256 bytes", [&] { return j1708.DataChanged(HexText(256)); },
         [&] { return unsigned(j1708.State().data.count); }, 255, "数据桢的总长度不可大于255字节!", HexText(255)},
        {"KW1281 254 bytes", [&] { return kw.DataChanged(HexText(254)); },
         [&] { return unsigned(kw.State().data.count); }, 253, "数据桢的长度不可大于253字节!", HexText(253)},
        {"KW1281 253 bytes fit", [&] { return kw.DataChanged(HexText(253)); },
         [&] { return unsigned(kw.State().data.count); }, 253, "", ""},
        {"KW1281 17 keep-alive bytes", [&] { return kw.KeepAliveDataChanged(HexText(17)); },
         [&] { return unsigned(kw.State().keepAlive.count); }, 16, "数据桢的长度不可大于16字节!", HexText(16)},
        {"user 17 keep-alive bytes", [&] { return user.KeepAliveDataChanged(HexText(17)); },
         [&] { return unsigned(user.State().keepAlive.count); }, 16, "数据桢的长度不可大于16字节!", HexText(16)},
        {"line breaks are no bytes", [&] { return user.DataChanged("68\r\n6A F1"); },
         [&] { return unsigned(user.State().data.count); }, 3, "", ""},
        {"nothing typed", none, [&] { return unsigned(kw.State().data.count); }, 1, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kw.LoadDefaults(), sci.LoadDefaults(), user.LoadDefaults(), j1708.LoadDefaults();
        const UartEditResult result = c.change();
        EXPECT_EQ(c.read(), c.value);
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(result.rewrite, !c.rewrite.empty());
        EXPECT_EQ(result.text, c.rewrite);
    }
    EXPECT_EQ(kw.LengthByteText(), "03");
    kw.DataChanged(HexText(253));
    EXPECT_EQ(kw.LengthByteText(), "FF");
    EXPECT_EQ(kw.DlcText(), "253");
}

TEST_F(PagesTest, Kw1281KeepAliveWaitsForTheLinkAndHoldsSendForTwoRecords) {
    ResetMonitorRing();
    ASSERT_EQ(kw.SendWithInit(), UartSendResult::Queued);
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
    struct Step { unsigned appended; UartSendResult send; };
    // The keep-alive's own record, then the answer: only then may Send go.
    const Step steps[] = {{0, UartSendResult::Pending}, {1, UartSendResult::Pending}, {1, UartSendResult::Queued}};
    for (const Step& s : steps) {
        for (unsigned i = 0; i < s.appended; ++i) AppendMonitorRecord(1, KindUart, 1, 0, &byte, 1);
        EXPECT_EQ(kw.Send(), s.send);
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
    ASSERT_EQ(kw.SendWithInit(), UartSendResult::Queued);
    g_TxPending = 0;
    g_Kw1281LinkUp = 1;
    kw.OnTimer(kKeep);
    g_TxPending = 0;
    AppendMonitorRecord(0, KindUart, 1, 0, &byte, 1);
    AppendMonitorRecord(1, KindUart, 1, 0, &byte, 1);
    EXPECT_EQ(kw.Send(), UartSendResult::Queued);
    ResetMonitorRing();
}

TEST_F(PagesTest, TimersOfEveryPageEndWithTheSession) {
    struct Case {
        const char* name;
        UartPageBase& page;
        std::function<void()> send;
        std::function<void()> end;
    };
    const Case cases[] = {
        {"KW1281 stop", kw, [&] { kw.SetCyclicSend(true), kw.Send(), g_TxPending = 0, kw.SetCyclicSend(false), kw.SendWithInit(); },
         [&] { kw.Stop(); }},
        {"KW1281 worker ended", kw, [&] { kw.SetCyclicSend(true), kw.Send(), g_TxPending = 0, kw.SetCyclicSend(false), kw.SendWithInit(); },
         [&] { g_WorkerRunning = 0, kw.OnTimer(kKeep); }},
        {"user close", user, [&] { user.SetCyclicSend(true), user.Send(), g_TxPending = 0, user.SetCyclicSend(false), user.Send(); },
         [&] { user.Close(); }},
        {"user later worker", user, [&] { user.SetCyclicSend(true), user.Send(), g_TxPending = 0, user.SetCyclicSend(false), user.Send(); },
         [&] { g_WorkerThread.Stop(), g_WorkerThread.Start(QuietWorker, nullptr, false), user.RefreshDeviceStatus(); }},
    };
    for (const Case& c : cases) {
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

TEST_F(PagesTest, Captions) {
    g_DeviceNumber = 3;
    const struct { UartPageBase& page; const char* connected; const char* notConnected; } cases[] = {
        {kw, "KW1281 -- Device( 3 ) Connected", "KW1281 -- No device Connected"},
        {sci, "SCI -- Device( 3 ) Connected", "SCI -- No device Connected"},
        {user, "USER MOD (ISO9141) -- Device( 3 ) Connected", "USER MOD (ISO9141-2) -- No device Connected"},
        {j1708, "J1708-- Device( 3 ) Connected", "J1708 -- No device Connected"},
    };
    for (const auto& c : cases) {
        g_DeviceOpen = 1;
        EXPECT_EQ(c.page.RefreshDeviceStatus().caption, c.connected);
        g_DeviceOpen = 0;
        EXPECT_EQ(c.page.RefreshDeviceStatus().caption, c.notConnected);
    }
    g_DeviceNumber = 0;
}

}  // namespace

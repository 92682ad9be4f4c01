// The ISO 15765 page without widgets: presets, field rules, the first frame, the keep-alive
// frame and the status by connection state.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "pages/can/Iso15765Page.h"
#include "platform/Message.h"
#include "tests/support/FakeTimers.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Of(const EcanMessageBuffer& b) { return Bytes(b.bytes, b.bytes + 16); }
Bytes Of(const CanFilterEntry& e) { return Bytes(e.bytes, e.bytes + 4); }

uint32_t QuietWorker(void*) { return 0; }

class Iso15765PageTest : public ::testing::Test {
protected:
    void TearDown() override {
        g_WorkerThread.Stop();
        g_TxPending = 0;
        g_MultiFrameRequest = 0;
        g_DeviceOpen = 0;
    }
    platform::RecordingMessageSink messages;
    FakeTimers timers;
    Iso15765Page page{timers};
};

TEST_F(Iso15765PageTest, PresetsFillTheWholeSetUp) {
    struct Case { unsigned mode; uint8_t enables, mskSel0, cprocon; Bytes filter0, mask0, mask1; Bytes single, fc0; const char* fcIdText; const char* keepAliveId; };
    const Bytes ones{0xFF, 0xFF, 0xFF, 0xFF}, zeros{0, 0, 0, 0};
    const Case cases[] = {
        {1, 0x07, 0xD0, 0xE0, {0x00, 0xFD, 0, 0}, {0xE8, 0xFF, 0, 0}, {0x08, 0xFF, 0, 0},
         {0x7C, 0x1F, 0, 0, 3, 0, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0},
         {0x80, 0x1F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "7E0", "7DF"},
        {2, 0x01, 0xFC, 0xA0, {0xCA, 0xC6, 0x00, 0xF1}, {0xEB, 0xFF, 0x00, 0xFF}, ones,
         {0xD9, 0x18, 0xCF, 0x0C, 0x03, 0xC4, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0},
         {0xD9, 0x18, 0x43, 0x08, 0x00, 0xC4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "18DA10F1", "18DB33F1"},
        // The keep-alive ID stays what preset 2 put there.
        {0, 0x01, 0xFC, 0x00, zeros, zeros, ones,
         {0x7C, 0x1F, 0, 0, 3, 0, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0},
         {0x80, 0x1F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "7E0", "18DB33F1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        page.LoadDefaults(c.mode);
        const CanRegisterImage& h = page.Head();
        EXPECT_EQ(h.filterEnable0, c.enables);
        EXPECT_EQ(h.mskSel[0], c.mskSel0);
        EXPECT_EQ(h.cprocon, c.cprocon);
        EXPECT_EQ(h.cfg1, 0xC1);  // 500 KBPS
        EXPECT_EQ(Of(h.filters[0]), c.filter0);
        EXPECT_EQ(Of(h.masks[0]), c.mask0);
        EXPECT_EQ(Of(h.masks[1]), c.mask1);
        EXPECT_EQ(Of(page.State().singleFrame), c.single);
        EXPECT_EQ(Of(page.State().flowControl[0]), c.fc0);
        const Iso15765PanelView v = page.Panel();
        EXPECT_EQ(v.fcIdText[0], c.fcIdText);
        EXPECT_EQ(v.ffIdText, c.fcIdText);
        // FC DLC, FC1 PCI, FC0 data, first-frame PCI, length byte, length, data and N_AE.
        EXPECT_EQ(v.fcDlcText[0] + "|" + v.fcPciText[1] + "|" + v.fcDataText[0] + "|" + v.ffPciText + "|" + v.ffLengthByteText + "|" +
                      v.lengthText + "|" + v.ffDataText + "|" + v.ffNaeText,
                  "8|30|00 00 00 00 00 00 00 |11|02|258|00 01 02 03 04 05 |-");
        EXPECT_EQ(page.LongMessage()[0], 6);
        EXPECT_EQ(page.State().keepAliveIdText, c.keepAliveId);
    }
}

// The message length, first-frame PCI and length byte, and the buffer count, as "258 11 02 / 252".
std::string Lengths(const Iso15765Page& p) {
    char text[40];
    std::snprintf(text, sizeof text, "%u %02X %02X / %u", static_cast<unsigned>(p.TotalLength()), p.State().ffPci,
                  p.State().ffLengthByte, static_cast<unsigned>(p.State().bufferCount));
    return text;
}

TEST_F(Iso15765PageTest, FieldEditsStoreAndAnswerAsTheyShould) {
    using P = Iso15765Page;
    struct Case {
        const char* name;
        std::function<PageEditResult(P&)> edit;
        const char* text;  // written back, "" for none, nullptr when not checked
        const char* message;
        std::function<std::string(const P&)> stored;
        const char* storedText;
    };
    auto tail = [](uint8_t (*field)(const P&)) { return [field](const P& p) { return std::to_string(field(p)); }; };
    const Case cases[] = {
        {"N_BS 300", [](P& p) { return p.TimerChanged(0, "300"); }, "255", " 最大值为255", tail([](const P& p) { return p.Tail().nBs; }), "255"},
        {"N_BR negative", [](P& p) { return p.TimerChanged(2, "-3"); }, "0", "", tail([](const P& p) { return p.Tail().nBr; }), "0"},
        {"TXFC BSIZE 64 keeps BSM and STM", [](P& p) { p.SetTxfcBit(1, 0x80, true); return p.TxfcBsizeChanged("64"); }, "63",
         "BSIZE 最大值为63", tail([](const P& p) { return p.Tail().txfc[1]; }), "191"},
        {"RXFC1 BSIZE 256", [](P& p) { return p.RxfcBsizeChanged(1, "256"); }, "255", "BSIZE 最大值为255",
         [](const P& p) { return std::to_string(p.Tail().rxfc1[1]) + " " + std::to_string(p.Tail().rxfc0[1]); }, "255 0"},
        {"length 300", [](P& p) { return p.LengthChanged("300"); }, "258", "超过KM5804允许的最大值长度", Lengths, "258 11 02 / 252"},
        {"length 5 on leaving", [](P& p) { return p.LengthLeft("5"); }, "10", "数据长度必须多于一桢，设重新设定", Lengths, "10 10 0A / 252"},
        {"length 7 on leaving", [](P& p) { return p.LengthLeft("7"); }, "", "", Lengths, "7 10 07 / 252"},
        {"negative length reads 0", [](P& p) { return p.LengthChanged("-1"); }, "0", "", Lengths, "0 10 00 / 252"},
        {"20 buffer bytes", [](P& p) { return p.BufferChanged("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13").edit; },
         "", "", Lengths, "26 10 1A / 20"},
        {"257 buffer bytes", [](P& p) { return p.BufferChanged(std::string(514, '7')).edit; }, nullptr, "缓冲区数据长度不可大于256字节!",
         Lengths, "258 11 02 / 256"},
        {"an emptied buffer", [](P& p) { p.BufferChanged(""); return p.BufferLeft(); }, "06 ", "缓冲区数据不能空!", Lengths, "6 10 06 / 1"},
        {"PTYPE 1 takes six FC data bytes", [](P& p) { p.SetPtype(1); return p.FcDataChanged(0, "01 02 03 04 05 06 07"); },
         "01 02 03 04 05 06 ", "", [](const P& p) { return std::to_string(p.State().fcDataLength[0]) + " " + p.FcDlcText(0); }, "6 8"},
        {"PTYPE 1 trims what was entered under PTYPE 0", [](P& p) { p.SetPtype(1); return PageEditResult(); }, "", "",
         [](const P& p) { return p.FcDlcText(1) + " " + std::to_string(p.TotalLength()) + " " + p.Panel().fcNaeText[0]; }, "8 257 61"},
        {"first-frame data cut at 6 without a message", [](P& p) { return p.FfDataChanged("AA BB CC DD EE FF 11"); },
         "AA BB CC DD EE FF ", "", [](const P& p) { return p.Panel().ffDataText; }, "AA BB CC DD EE FF "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page.LoadDefaults(1);
        page.SetPtype(0);
        const PageEditResult r = c.edit(page);
        if (c.text) {
            EXPECT_EQ(r.rewrite, *c.text != '\0');
            EXPECT_EQ(r.text, c.text);
        }
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(c.stored(page), c.storedText);
    }
}

TEST_F(Iso15765PageTest, FirstFrameIsBuiltAtTheButton) {
    struct Case { const char* name; std::function<void(Iso15765Page&)> edit; Bytes frame; };
    const Case cases[] = {
        {"defaults", [](Iso15765Page&) {},
         {0x80, 0x1F, 0, 0, 8, 0, 0x11, 0x02, 0, 1, 2, 3, 4, 5, 0, 0}},
        {"PTYPE 1 with N_AE 61", [](Iso15765Page& p) { p.SetPtype(1); },
         {0x80, 0x1F, 0, 0, 8, 0, 0x61, 0x11, 0x01, 0, 1, 2, 3, 4, 0, 0}},
        {"29-bit chosen before the id is typed", [](Iso15765Page& p) {
             p.SetFcExtendedId(true);
             p.FfIdChanged("18DA10F1");
         }, {0xD9, 0x18, 0x43, 0x08, 0x08, 0xC4, 0x11, 0x02, 0, 1, 2, 3, 4, 5, 0, 0}},
    };
    ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_MultiFrameRequest = 0;
        page.LoadDefaults(1);
        c.edit(page);
        ASSERT_TRUE(page.StartMultiFrame());
        EXPECT_EQ(g_MultiFrameRequest.load(), 1u);
        EXPECT_EQ(Of(page.FirstFrame()), c.frame);
        EXPECT_EQ(Of(page.TakeHandOver().firstFrame), c.frame);
    }
    // A request already waiting: the button does nothing.
    page.SetPtype(0);
    EXPECT_FALSE(page.StartMultiFrame());
    EXPECT_EQ(Of(page.FirstFrame()), cases[2].frame);
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(Iso15765PageTest, WithoutAWorkerSendAndMultiFrameOnlyTalk) {
    EXPECT_EQ(page.Send(), CanSendResult::NotRunning);
    EXPECT_FALSE(page.StartMultiFrame());
    EXPECT_EQ(g_TxPending.load(), 0u);
    EXPECT_EQ(g_MultiFrameRequest.load(), 0u);
    const auto shown = messages.Messages();
    ASSERT_EQ(shown.size(), 2u);
    for (const auto& m : shown) {
        EXPECT_EQ(m.caption, "设备未连接");
        EXPECT_EQ(m.text, "请连接USB线(VR3526开发板跳线到SPI工作模式)，\n并在主窗口菜单中操作:连接设备!");
    }
}

TEST_F(Iso15765PageTest, KeepAliveFramesByTheirIdText) {
    struct Case { const char* id; const char* data; Bytes frame; };
    const Case cases[] = {
        {"7DF", "02 01 00", {0x7C, 0x1F, 0, 0, 3, 0, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"18DB33F1", "3E 00", {0xD9, 0x18, 0xCF, 0x0C, 0x02, 0xC4, 0x3E, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"0123", "01", {0x01, 0x00, 0x04, 0x00, 0x01, 0x8C, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"7 DF", "01 02 03 04 05 06 07 08 09 0A", {0x7C, 0x1F, 0, 0, 8, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        page.SetKeepAliveIdText(c.id);
        page.SetKeepAliveDataText(c.data);
        EXPECT_EQ(Of(page.KeepAliveFrame()), c.frame);
    }
}

TEST_F(Iso15765PageTest, StatusFollowsTheConnection) {
    struct Case { uint32_t open; bool running; bool start, stop, send; const char* caption; };
    const Case cases[] = {
        {0, false, false, false, false, "CAN --No device Connected"},
        {0, true, false, false, false, "CAN --No device Connected"},
        {1, false, true, false, false, "CAN -- Device( 2 ) Connected"},
        {1, true, false, true, true, "CAN -- Device( 2 ) Connected"},
    };
    g_DeviceNumber = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        g_DeviceOpen = c.open;
        if (c.running) {
            ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false));
        }
        const PageDeviceStatus s = page.RefreshDeviceStatus();
        EXPECT_EQ(s.startEnabled, c.start);
        EXPECT_EQ(s.stopEnabled, c.stop);
        EXPECT_EQ(s.sendEnabled, c.send);
        EXPECT_EQ(s.caption, c.caption);
        // Another page's worker is not this page's session: no keep-alive for it.
        EXPECT_FALSE(page.KeepAliveButtonEnabled());
        g_WorkerThread.Stop();
    }
    g_DeviceNumber = 0;
}

}  // namespace

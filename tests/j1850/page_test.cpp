// The J1850 record, image and page rules without a board: header length, transmit packet,
// presets, the header-bit grid and the field handlers with their limits and messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "pages/j1850/J1850Frame.h"
#include "pages/j1850/J1850Image.h"
#include "pages/j1850/J1850Page.h"
#include "platform/Message.h"
#include "tests/support/FakeTimers.h"

namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<uint8_t>;

Bytes Frame(const J1850FrameRecord& r) { return Bytes(r.Frame(), r.Frame() + r.Length() - 1); }
// The messages a row expects: none for "", else that one.
std::vector<std::string> Shown(const std::string& message) {
    return message.empty() ? std::vector<std::string>{} : std::vector<std::string>{message};
}

TEST(J1850FrameTest, HeaderLengthByFlagAndHBit) {
    struct Case { uint8_t flags, first; unsigned length; } cases[] = {
        {0x08, 0x68, 1},  // one-byte form whatever the first byte
        {0x00, 0x68, 3},  // H bit clear
        {0x00, 0x78, 1},  // H bit set
        {0x80, 0x6F, 3},  // direction and low bits do not count
        {0x08, 0x78, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(J1850HeaderLength(c.flags, c.first), c.length) << std::hex << int(c.flags) << " " << int(c.first);
}

TEST(J1850FrameTest, TransmitPacketKeepsBitsFourToSixOfByteOne) {
    J1850FrameRecord record;
    record.bytes[1] = 0x06;
    const uint8_t frame[] = {0x68, 0x6A, 0xF1, 0x01, 0x00};
    std::memcpy(record.Frame(), frame, sizeof frame);
    struct Case { uint8_t before, after; } cases[] = {{0x00, 0x82}, {0x3F, 0xB2}, {0xFF, 0xF2}, {0x0D, 0x82}, {0x70, 0xF2}};
    for (const Case& c : cases) {
        uint8_t packet[kJ1850PacketSize + 4];
        std::memset(packet, 0xEE, sizeof packet);
        packet[1] = c.before;
        BuildJ1850TransmitPacket(packet, record);
        EXPECT_EQ(packet[1], c.after) << std::hex << int(c.before);
        EXPECT_EQ(Bytes(packet, packet + 4), (Bytes{0xA0, c.after, 0x10, 0x00}));
        EXPECT_EQ(Bytes(packet + 4, packet + 20), Bytes(record.bytes, record.bytes + 16));
        EXPECT_EQ(packet[20], 0xEE);  // exactly 20 bytes written
    }
}

TEST(J1850FrameTest, KeepAliveRecordTakesElevenBytesAndKeepsTheTail) {
    struct Case { size_t count, used; uint8_t lengthByte; } cases[] = {{0, 0, 0x01}, {5, 5, 0x06}, {11, 11, 0x0C}, {13, 11, 0x0C}};
    const uint8_t bytes[13] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    for (const Case& c : cases) {
        J1850FrameRecord record;
        std::memset(record.bytes, 0xAA, sizeof record.bytes);
        EXPECT_EQ(BuildJ1850KeepAliveRecord(record, bytes, c.count), c.used);
        EXPECT_THAT(Bytes(record.bytes, record.bytes + 4), ElementsAre(0, c.lengthByte, 0, 0));
        EXPECT_EQ(Bytes(record.Frame(), record.Frame() + c.used), Bytes(bytes, bytes + c.used));
        for (size_t i = 4 + c.used; i < 16; ++i) EXPECT_EQ(record.bytes[i], 0xAA) << i;
    }
}

TEST(J1850ImageTest, IfrControlPackingKeepsBitSeven) {
    struct Case { IfrControl c; uint8_t old, packed; } cases[] = {
        {{7, 1, 3, 1}, 0x00, 0x7F}, {{0, 0, 0, 0}, 0x80, 0x80}, {{5, 0, 2, 0}, 0xFF, 0xA5}, {{1, 1, 1, 1}, 0x7F, 0x59},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.c.Pack(c.old), c.packed);
        const IfrControl back = IfrControl::Unpack(c.packed);
        EXPECT_EQ(back.Pack(c.old), c.packed);
    }
}

TEST(J1850ImageTest, Presets) {
    J1850RegisterImage image;
    std::memset(static_cast<void*>(&image), 0x5A, sizeof image);
    LoadDefaults(image, J1850SaeObd2, true);
    EXPECT_EQ(image.JCON0, 0x02);
    EXPECT_EQ(image.Reg09, 0xFE);
    EXPECT_EQ(Bytes(image.YZZCON, image.YZZCON + 8),
              (Bytes{0x20, 0x10, 0x20, 0x30, 0x10, 0x30, 0x00, 0x30}));
    for (int a = 0; a < 256; ++a) {
        EXPECT_EQ(image.HDFILTER[a], a == 0xF1 ? 2 : a == 0x6B ? 4 : 0) << a;
        EXPECT_EQ(image.IDIFRCON[a], 0) << a;
    }
    EXPECT_EQ(Bytes(image.IDBUFF, image.IDBUFF + 8), (Bytes{0xF1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(image.IFR3_B0[0], 0x5A);  // the buffers keep their bytes, lengths 0
    EXPECT_EQ(image.Ifr3B0Length, 0);

    LoadDefaults(image, J1850ReceiveAll, false);
    EXPECT_EQ(image.Reg09, 0x7E);
    for (int a = 0; a < 256; ++a) EXPECT_EQ(image.HDFILTER[a], 0x07) << a;
    for (int y = 0; y < 8; ++y) EXPECT_EQ(image.YZZCON[y], 0) << y;

    const J1850RegisterImage before = image;
    LoadDefaults(image, 2, true);
    EXPECT_EQ(std::memcmp(&before, &image, sizeof image), 0);
}

TEST(J1850GridTest, CellsBitsAndToggles) {
    EXPECT_THAT(J1850GridOf(0x68, false), ElementsAre("x", "0", "1", "1", "0", "1", "0", "0", "0"));
    EXPECT_THAT(J1850GridOf(0x68, true), ElementsAre("-", "-", "-", "-", "-", "-", "-", "-", "-"));
    struct Case { uint8_t byte; size_t column; uint8_t after; } cases[] = {{0x68, 4, 0x78}, {0x78, 4, 0x68}, {0x68, 1, 0xE8},
                 {0x68, 8, 0x69}, {0x68, 0, 0x68}, {0x00, 9, 0x00}};
    for (const Case& c : cases) {
        J1850GridCells cells = J1850GridOf(c.byte, false);
        EXPECT_EQ(J1850GridToggle(cells, c.column), c.after) << c.column;
        EXPECT_EQ(J1850GridByte(cells), c.after);
    }
}

class J1850PageTest : public ::testing::Test {
protected:
    platform::RecordingMessageSink messages;
    FakeTimers timers;
    J1850Page vpw{false, timers};
    J1850Page pwm{true, timers};
};

TEST_F(J1850PageTest, OpeningDefaults) {
    EXPECT_EQ(Frame(vpw.Record()), (Bytes{0x68, 0x6A, 0xF1, 0x01, 0x00}));
    EXPECT_EQ(Frame(pwm.Record()), (Bytes{0x61, 0x6A, 0xF1, 0x01, 0x00}));
    EXPECT_EQ(vpw.Record().bytes[0], 0);
    EXPECT_EQ(vpw.Record().Length(), 6);
    EXPECT_EQ(vpw.DefaultKeepAliveText(), "68 6A  F1 01 00");
    EXPECT_EQ(pwm.DefaultKeepAliveText(), "61 6A  F1 01 00");
    const J1850HeaderView view = vpw.HeaderView();
    EXPECT_THAT(view.grid, ElementsAre("x", "0", "1", "1", "0", "1", "0", "0", "0"));
    EXPECT_EQ(view.target, "6A");
    EXPECT_EQ(view.dlc, "6");
    EXPECT_EQ(view.data, "01 00 ");
    EXPECT_EQ(vpw.FilterList(J1850FilterKind::Physical).size(), 256u);
    EXPECT_EQ(J1850ConnectedCaption(true), "J1850 PWM 41.6KPBS -- Device( %d ) Connected");
    EXPECT_EQ(J1850NotConnectedCaption(false), "J1850 VPW 10.4KPBS -- No device Connected");
}

TEST_F(J1850PageTest, DataLimitByHeaderLength) {
    struct Case { bool oneByte; std::string typed; uint8_t length; std::string rewrite; } cases[] = {
        {false, "0102030405060708", 12, ""},
        {false, "01 02 03 04 05 06 07 08 09", 12, "01 02 03 04 05 06 07 08 "},
        {true, "01020304050607080910", 12, ""},
        {true, "0102030405060708091011", 12, "01 02 03 04 05 06 07 08 09 10 "},
        {false, "", 4, ""},
        {false, "ABC", 6, ""},  // a trailing digit makes a byte
    };
    for (const Case& c : cases) {
        J1850Page page(false, timers);
        page.SetOneByteFormat(c.oneByte);
        messages.Clear();
        const PageEditResult r = page.DataChanged(c.typed);
        EXPECT_EQ(page.Record().Length(), c.length) << c.typed;
        EXPECT_EQ(r.rewrite, !c.rewrite.empty()) << c.typed;
        EXPECT_EQ(r.text, c.rewrite);
        EXPECT_EQ(r.message, c.rewrite.empty() ? "" : kJ1850TextDataTooLong);
        EXPECT_EQ(page.HeaderView().dlc, std::to_string(c.length));
    }
}

TEST_F(J1850PageTest, HeaderRules) {
    // H clicked: addresses "-", the same record bytes shown from frame byte 1.
    J1850HeaderView view = vpw.OnHeaderByteChanged(0x78);
    EXPECT_EQ(view.header, "78");
    EXPECT_EQ(view.target, "-");
    EXPECT_FALSE(view.addressesEnabled);
    EXPECT_EQ(view.dlc, "6");
    EXPECT_EQ(view.data, "6A F1 01 00 ");
    vpw.TargetChanged("55");  // ignored without address bytes
    EXPECT_EQ(vpw.Record().Frame()[1], 0x6A);
    // Back to a three-byte header: the length stays, addresses come back.
    view = vpw.HeaderByteChanged("68");
    EXPECT_EQ(view.target, "6A");
    EXPECT_EQ(view.data, "01 00 ");
    // From a short frame the length is raised to header and CRC.
    vpw.OnHeaderByteChanged(0x78);
    vpw.DataChanged("");
    EXPECT_EQ(vpw.Record().Length(), 2);
    view = vpw.HeaderByteChanged("68");
    EXPECT_EQ(vpw.Record().Length(), 4);
    EXPECT_EQ(view.data, "");
    vpw.TargetChanged("10");
    vpw.SourceChanged("F5");
    EXPECT_EQ(Frame(vpw.Record()), (Bytes{0x68, 0x10, 0xF5}));
}

TEST_F(J1850PageTest, OneByteFormatAndPresetKeepFlagAndRegisterEqual) {
    J1850HeaderView view = vpw.SetOneByteFormat(true);
    EXPECT_EQ(vpw.Image().JCON0 & 1, 1);
    EXPECT_EQ(vpw.Record().bytes[0] & 0x08, 0x08);
    EXPECT_THAT(view.grid, ElementsAre("-", "-", "-", "-", "-", "-", "-", "-", "-"));
    EXPECT_EQ(view.target, "-");
    EXPECT_EQ(view.data, "6A F1 01 00 ");
    vpw.Preset(J1850SaeObd2);
    EXPECT_EQ(vpw.Image().JCON0, 0x02);
    EXPECT_EQ(vpw.Record().bytes[0] & 0x08, 0);
    EXPECT_EQ(vpw.HeaderLength(), 3u);
    view = vpw.SetOneByteFormat(false);
    EXPECT_EQ(view.grid[0], "x");
}

TEST_F(J1850PageTest, FilterAddresses) {
    vpw.Preset(J1850SaeObd2);
    EXPECT_THAT(vpw.FilterList(J1850FilterKind::Physical), ElementsAre("0xF1"));
    EXPECT_THAT(vpw.FilterList(J1850FilterKind::Functional), ElementsAre("0x6B"));
    EXPECT_TRUE(vpw.FilterList(J1850FilterKind::HeadId).empty());

    struct Case { J1850FilterKind kind; std::string text; bool added; std::string message; } cases[] = {
        {J1850FilterKind::Physical, "F1", false, "物理地址已经在列表中!"},
        {J1850FilterKind::Physical, " 1 0", true, ""},
        {J1850FilterKind::Functional, "6B", false, "功能地址已经在列表中!"},
        {J1850FilterKind::HeadId, "6B", true, ""},
        {J1850FilterKind::HeadId, "6b", false, "ID 已经在列表中!"},
        {J1850FilterKind::HeadId, "  ", false, "请首先输入添加的地址或ID!"},
    };
    for (const Case& c : cases) {
        messages.Clear();
        vpw.SetFilterKind(c.kind);
        EXPECT_EQ(vpw.AddFilterAddress(c.text), c.added) << c.text;
        EXPECT_EQ(messages.Texts(), Shown(c.message));
    }
    EXPECT_EQ(vpw.Image().HDFILTER[0x10], 0x02);
    EXPECT_EQ(vpw.Image().HDFILTER[0x6B], 0x05);
    EXPECT_THAT(vpw.FilterList(J1850FilterKind::Physical), ElementsAre("0xF1", "0x10"));

    // The first list with a selection is the one acted on; its bits are cleared.
    EXPECT_TRUE(vpw.RemoveFilterAddresses({std::vector<int>{0, 1}, std::vector<int>{0}, {}}));
    EXPECT_TRUE(vpw.FilterList(J1850FilterKind::Physical).empty());
    EXPECT_EQ(vpw.Image().HDFILTER[0xF1], 0);
    EXPECT_EQ(vpw.Image().HDFILTER[0x6B], 0x05);
    messages.Clear();
    EXPECT_FALSE(vpw.RemoveFilterAddresses({}));
    EXPECT_THAT(messages.Texts(), ElementsAre("请首先在列表中选择移除的一项或多项!"));
}

TEST_F(J1850PageTest, IfrControlEntries) {
    struct Case { std::string id; int ifrt, idsel, ifr3sel, nb; bool done; std::string message; } cases[] = {
        {"", 1, 0, 0, 0, false, "请首先输入添加的ID!"},
        {"10", -1, 0, 0, 0, false, "类型选择框设置错误"},
        {"10", 1, 0, -1, 0, false, "类型选择框设置错误"},
        {"10", 0, 0, 0, 0, false, "IFR Type=0为无桢内应答。添加IFR控制应为Type1/2/3"},
        {"10", 2, 5, 1, 1, true, ""},
        {"20", 3, 7, 0, 0, true, ""},
        {"10", 1, 2, 0, 0, true, ""},  // modified: its line moves to the end
    };
    for (const Case& c : cases) {
        messages.Clear();
        EXPECT_EQ(vpw.AddIfrEntry(c.id, c.ifrt, c.idsel, c.ifr3sel, c.nb), c.done) << c.id;
        EXPECT_EQ(messages.Texts(), Shown(c.message));
    }
    EXPECT_THAT(vpw.IfrList(), ElementsAre("0x20 IFRT:3 IDSEL:7 IF3SEL:0 NB:0",
                                           "0x10 IFRT:1 IDSEL:2 IF3SEL:0 NB:0"));
    EXPECT_EQ(vpw.Image().IDIFRCON[0x10], 0x12);
    // Bit 7 set by a read-back survives a modification to IFRT 0, which drops the line.
    vpw.Image().IDIFRCON[0x20] |= 0x80;
    EXPECT_TRUE(vpw.AddIfrEntry("20", 0, 1, 1, 1));
    EXPECT_EQ(vpw.Image().IDIFRCON[0x20], 0xC9);
    EXPECT_THAT(vpw.IfrList(), ElementsAre("0x10 IFRT:1 IDSEL:2 IF3SEL:0 NB:0"));
    EXPECT_TRUE(vpw.RemoveIfrEntries({0}));
    EXPECT_EQ(vpw.Image().IDIFRCON[0x10], 0);
    EXPECT_TRUE(vpw.IfrList().empty());
    messages.Clear();
    EXPECT_FALSE(vpw.RemoveIfrEntries({}));
    EXPECT_EQ(messages.Count(), 1u);
}

TEST_F(J1850PageTest, Ifr3BuffersAndIdBuffer) {
    struct Case { bool crc; std::string typed; uint8_t length; std::string rewrite; } cases[] = {
        {true, "010203", 4, ""},
        {true, "010203040506070809", 10, ""},
        {true, "01020304050607080910", 10, "01 02 03 04 05 06 07 08 09 "},
        {false, "01020304050607080910", 10, ""},
        {false, "0102030405060708091011", 10, "01 02 03 04 05 06 07 08 09 10 "},
        {true, "", 0, ""},  // only the CRC: empty
        {false, "", 0, ""},
    };
    for (const Case& c : cases) {
        for (int buffer = 0; buffer < 2; ++buffer) {
            J1850Page page(false, timers);
            page.Ifr3CrcChanged(c.crc);
            const PageEditResult r = page.Ifr3Changed(buffer, c.typed);
            EXPECT_EQ(buffer ? page.Image().Ifr3B1Length : page.Image().Ifr3B0Length, c.length)
                << c.typed;
            EXPECT_EQ(page.Ifr3LengthText(buffer), std::to_string(c.length));
            EXPECT_EQ(r.text, c.rewrite) << c.typed;
            EXPECT_EQ(r.message, c.rewrite.empty() ? "" : kJ1850TextIfr3TooLong);
        }
    }
    // The CRC check re-shows the buffer without touching the length; length 0 shows nothing.
    vpw.Ifr3CrcChanged(false);
    vpw.Ifr3Changed(0, "AABBCC");
    EXPECT_EQ(vpw.Ifr3Text(0), "AA BB CC ");
    vpw.Ifr3CrcChanged(true);
    EXPECT_EQ(vpw.Ifr3Text(0), "AA BB ");
    EXPECT_EQ(vpw.Image().Ifr3B0Length, 3);
    EXPECT_EQ(vpw.Ifr3Text(1), "");

    PageEditResult r = vpw.IdBuffChanged("0102030405060708");
    EXPECT_FALSE(r.rewrite);
    r = vpw.IdBuffChanged("010203040506070809");
    EXPECT_EQ(r.text, "01 02 03 04 05 06 07 08 ");
    EXPECT_EQ(r.message, kJ1850TextIdBuffTooLong);
    vpw.IdBuffChanged("F1 22");
    EXPECT_EQ(vpw.IdBuffText(), "F1 22 00 00 00 00 00 00 ");
}

TEST_F(J1850PageTest, YzzCombosWriteTheirBits) {
    struct Case { size_t y; J1850IfrField field; int selection; uint8_t byte; } cases[] = {{0, J1850IfrField::Ifrt, 3, 0x30}, {0, J1850IfrField::Nb, 1, 0x70},
                 {0, J1850IfrField::Idsel, 5, 0x75}, {0, J1850IfrField::Ifr3sel, 1, 0x7D},
                 {0, J1850IfrField::Ifrt, 0, 0x4D},  {7, J1850IfrField::Idsel, 7, 0x07}};
    for (const Case& c : cases) {
        vpw.YzzChanged(c.y, c.field, c.selection);
        EXPECT_EQ(vpw.Image().YZZCON[c.y], c.byte) << c.y;
        EXPECT_EQ(vpw.YzzSelection(c.y, c.field), c.selection);
    }
}

}  // namespace

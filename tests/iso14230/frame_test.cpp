// KWP2000 frame layout of the ISO 14230 page: header by format, length byte, checksum.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "pages/kline/Iso14230Frame.h"
#include "pages/kline/UartImage.h"

namespace {

std::vector<uint8_t> Build(Iso14230Frame frame) {
    UpdateHeaderFields(frame);
    uint8_t out[kIso14230MaxFrame];
    const size_t n = BuildIso14230Frame(frame, out);
    return std::vector<uint8_t>(out, out + n);
}

Iso14230Frame WithData(uint8_t format, bool lengthByte, std::vector<uint8_t> data) {
    Iso14230Frame frame;
    frame.frameFormat = format;
    frame.useLengthByte = lengthByte;
    frame.dataCount = static_cast<uint8_t>(data.size());
    std::copy(data.begin(), data.end(), frame.data);
    return frame;
}

struct FrameCase {
    const char* name;
    uint8_t format;
    bool lengthByte;
    std::vector<uint8_t> data;
    std::vector<uint8_t> expected;
};

TEST(Iso14230Frame, HeaderByFormatAndLengthByte) {
    const std::vector<FrameCase> cases = {
        {"default functional", 3, false, {0x81}, {0xC1, 0x33, 0xF1, 0x81, 0x66}},
        {"functional, length byte", 3, true, {0x81}, {0xC0, 0x33, 0xF1, 0x01, 0x81, 0x66}},
        {"physical", 2, false, {0x10, 0x81}, {0x82, 0x33, 0xF1, 0x10, 0x81, 0x37}},
        {"physical, length byte", 2, true, {0x10, 0x81}, {0x80, 0x33, 0xF1, 0x02, 0x10, 0x81, 0x37}},
        {"no address", 0, false, {0x01, 0x02}, {0x02, 0x01, 0x02, 0x05}},
        {"no address, length byte", 0, true, {0x01, 0x02}, {0x00, 0x02, 0x01, 0x02, 0x05}},
        {"CARB", 1, false, {0x01, 0x00}, {0x68, 0x33, 0xF1, 0x01, 0x00, 0x8D}},
        {"CARB ignores the length byte", 1, true, {0x01, 0x00}, {0x68, 0x33, 0xF1, 0x01, 0x00, 0x8D}},
        {"no data", 3, false, {}, {0xC0, 0x33, 0xF1, 0xE4}},
    };
    for (const FrameCase& c : cases) {
        EXPECT_EQ(Build(WithData(c.format, c.lengthByte, c.data)), c.expected) << c.name;
    }
}

TEST(Iso14230Frame, LongFramesWrapIntoTheHeaderWithoutLengthByte) {
    std::vector<uint8_t> data(100);
    std::iota(data.begin(), data.end(), 0);
    struct Case {
        uint8_t format;
        bool lengthByte;
        uint8_t fmt;
        size_t frameBytes;
    };
    const Case cases[] = {
        {2, false, 0xA4, 1 + 2 + 100 + 1},
        {3, false, 0xE4, 1 + 2 + 100 + 1},
        {0, false, 0x24, 1 + 100 + 1},
        {2, true, 0x80, 1 + 2 + 1 + 100 + 1},
        {3, true, 0xC0, 1 + 2 + 1 + 100 + 1},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> frame = Build(WithData(c.format, c.lengthByte, data));
        ASSERT_EQ(frame.size(), c.frameBytes) << int(c.format) << c.lengthByte;
        EXPECT_EQ(frame[0], c.fmt) << int(c.format) << c.lengthByte;
        if (c.lengthByte) {
            EXPECT_EQ(frame[3], 100);
        }
        const uint8_t sum = std::accumulate(frame.begin(), frame.end() - 1, 0u) & 0xFF;
        EXPECT_EQ(frame.back(), sum);
    }
}

TEST(Iso14230Frame, LargestFrameFitsOnePacket) {
    std::vector<uint8_t> data(255, 0xFF);
    const std::vector<uint8_t> frame = Build(WithData(3, true, data));
    ASSERT_EQ(frame.size(), kIso14230MaxFrame);
    EXPECT_EQ(frame[3], 0xFF);

    uint8_t packet[268] = {};
    const size_t written = BuildUartFramePacket(
        packet, Iso14230SendWord(frame.size(), false, 0), frame.data(), frame.size());
    ASSERT_EQ(written, 266u);
    EXPECT_EQ(packet[2] | packet[3] << 8, 262);
    EXPECT_EQ(packet[4] | packet[5] << 8, 260);
    EXPECT_EQ(packet[265], frame.back());
}

TEST(Iso14230Frame, SendWordCarriesInitTypeOnlyWithInitialisation) {
    struct Case {
        bool withInit;
        uint8_t initType;
        uint16_t word;
    };
    const Case cases[] = {
        {false, 1, 0x0005}, {true, 0, 0x0005}, {true, 1, 0x1005},
        {true, 2, 0x2005},  {true, 3, 0x3005}, {false, 3, 0x0005},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Iso14230SendWord(5, c.withInit, c.initType), c.word)
            << c.withInit << int(c.initType);
    EXPECT_EQ(Iso14230SendWord(260, true, 2), 0x2104);
}

TEST(Iso14230Frame, HeaderViewFollowsFormat) {
    struct Case {
        uint8_t format;
        bool lengthByte;
        bool addressEnabled;
        const char* target;
        bool fmtEditable;
        bool checkEnabled;
        bool checkShown;
        const char* fmt;
        const char* checksum;
    };
    const Case cases[] = {
        {0, true, false, "-", false, true, true, "00", "82"},
        {0, false, false, "-", false, true, false, "01", "82"},
        {1, true, true, "33", true, false, false, "68", "0D"},
        {2, true, true, "33", false, true, true, "80", "26"},
        {3, false, true, "33", false, true, false, "C1", "66"},
    };
    for (const Case& c : cases) {
        Iso14230Frame frame = WithData(c.format, c.lengthByte, {0x81});
        const Iso14230HeaderView view = UpdateHeaderFields(frame);
        SCOPED_TRACE(int(c.format));
        EXPECT_EQ(view.addressEnabled, c.addressEnabled);
        EXPECT_EQ(view.targetText, c.target);
        EXPECT_EQ(view.sourceText, c.addressEnabled ? "F1" : "-");
        EXPECT_EQ(view.fmtEditable, c.fmtEditable);
        EXPECT_EQ(view.lengthCheckEnabled, c.checkEnabled);
        EXPECT_EQ(view.lengthCheckShown, c.checkShown);
        EXPECT_EQ(view.fmtText, c.fmt);
        EXPECT_EQ(view.dlcText, "1");
        EXPECT_EQ(view.checksumText, c.checksum);
        // CARB hides the check but keeps the flag for the other formats.
        EXPECT_EQ(frame.useLengthByte, c.lengthByte);
    }
}

TEST(Iso14230Frame, CarbTypedFmtKeptUntilHeaderUpdate) {
    Iso14230Frame frame = WithData(1, false, {0x01});
    UpdateHeaderFields(frame);
    frame.fmt = 0x55;
    EXPECT_EQ(UpdateChecksum(frame), "7A");  // 55 + 33 + F1 + 01
    uint8_t out[kIso14230MaxFrame];
    ASSERT_EQ(BuildIso14230Frame(frame, out), 5u);
    EXPECT_EQ(out[0], 0x55);
    UpdateHeaderFields(frame);
    EXPECT_EQ(frame.fmt, 0x68);
}

TEST(Iso14230Frame, KeepAliveFrameAndHexText) {
    Iso14230KeepAlive keepAlive;
    uint8_t out[kIso14230MaxKeepAlive + 1];
    ASSERT_EQ(BuildIso14230KeepAliveFrame(keepAlive, out), 5u);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 5), (std::vector<uint8_t>{0xC1, 0x33, 0xF1, 0x3E, 0x23}));

    keepAlive.count = 0;
    ASSERT_EQ(BuildIso14230KeepAliveFrame(keepAlive, out), 1u);
    EXPECT_EQ(out[0], 0);

    const uint8_t bytes[] = {0x00, 0x0A, 0xFF};
    EXPECT_EQ(Iso14230HexBytes(bytes, 3), "00 0A FF ");
    EXPECT_EQ(Iso14230HexBytes(bytes, 0), "");
}

}  // namespace

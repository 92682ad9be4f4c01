// Field handlers, baud and pin tables, frame word and transmit packet of the K-line family.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "pages/kline/UartImage.h"
#include "pages/kline/UartPageOps.h"

namespace {

UartRegisterImage ImageFilledWith(uint8_t value) {
    UartRegisterImage image;
    image.fill(value);
    return image;
}

TEST(DecimalText, ReadsLikeAtoiButSaturates) {
    struct Case { const char* text; int32_t expected; };
    const Case cases[] = {
        {"300", 300}, {"  42", 42}, {"\t-7", -7}, {"+12abc", 12}, {"12 34", 12},
        {"", 0}, {"abc", 0}, {"-", 0}, {"0", 0},
        {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX}, {"99999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN}, {"-99999999999999999999", INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDecimalSaturating(c.text), c.expected) << '"' << c.text << '"';
}

TEST(FieldHandlers, ByteFieldsClampWithTheirMessages) {
    struct Case {
        UartFieldKind kind;
        const char* text;
        uint32_t stored;
        const char* message;  // empty: accepted silently, edit left alone
    };
    const Case cases[] = {
        {UartFieldKind::Ms1To255, "300", 255, "最大255ms!"},
        {UartFieldKind::Ms1To255, "0", 1, "最小1ms!"},
        {UartFieldKind::Ms1To255, "", 1, "最小1ms!"},           // an emptied edit reads 0
        {UartFieldKind::Ms1To255, "-1", 255, "最大255ms!"},     // compared unsigned
        {UartFieldKind::Ms1To255, "99999999999", 255, "最大255ms!"},
        {UartFieldKind::Ms1To255, "1", 1, ""},
        {UartFieldKind::Ms1To255, "255", 255, ""},
        {UartFieldKind::Ms1To255, "256", 255, "最大255ms!"},
        {UartFieldKind::Ms0To255, "0", 0, ""},
        {UartFieldKind::Ms0To255, "255", 255, ""},
        {UartFieldKind::Ms0To255, "300", 255, "最大255ms!"},
        {UartFieldKind::Ms0To255, "-5", 255, "最大255ms!"},
        {UartFieldKind::Units20Ms1To255, "0", 1, "最小1x20ms!"},
        {UartFieldKind::Units20Ms1To255, "256", 255, "最大255x20ms!"},
        {UartFieldKind::Units20Ms1To255, "50", 50, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        UartRegisterImage image = ImageFilledWith(0xAA);
        const FieldResult r = ApplyByteField(image, uart::W4MAX, c.kind, c.text);
        EXPECT_EQ(r.value, c.stored);
        EXPECT_EQ(image[uart::W4MAX], c.stored);
        EXPECT_EQ(r.message, c.message);
        // A clamped value goes back into the edit as decimal text; an accepted one does not.
        EXPECT_EQ(r.rewriteText, r.message.empty() ? std::string() : std::to_string(c.stored));
        // Only the field's own byte changes.
        for (size_t i = 0; i < image.size(); ++i) {
            if (i == uart::W4MAX)
                continue;
            ASSERT_EQ(image[i], 0xAA) << "byte " << i;
        }
    }
}

TEST(FieldHandlers, BrgKeepsTheLow16BitsAndShowsTheRate) {
    struct Case { const char* text; uint16_t brg; bool message; uint32_t rate; };
    const Case cases[] = {
        {"70000", 4464, true, 559},   // 70000 - 65536; 2,500,000 / 4465
        {"-1", 65535, true, 38},
        {"65535", 65535, false, 38},
        {"0", 0, false, 2500000},
        {"239", 239, false, 10416},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        UartRegisterImage image{};
        const FieldResult r = ApplyBrgField(image, c.text);
        EXPECT_EQ(GetImageBrg(image), c.brg);
        EXPECT_EQ(image[uart::BRG], c.brg & 0xFF);
        EXPECT_EQ(image[uart::BRG + 1], c.brg >> 8);
        EXPECT_EQ(r.Clamped(), c.message);
        if (c.message) {
            EXPECT_EQ(r.message, "BRG 最大值为65535");
            EXPECT_EQ(r.rewriteText, std::to_string(c.brg));
        }
        EXPECT_EQ(UartActualBaud(GetImageBrg(image)), c.rate);
    }
}

TEST(FieldHandlers, HexByteFieldsKeepTheLowByteWithoutMessage) {
    struct Case { const char* text; uint8_t stored; };
    const Case cases[] = {
        {"33", 0x33}, {"3 3", 0x33}, {" 1f", 0x1F}, {"123", 0x23}, {"", 0x00},
        {"F", 0x0F}, {"ab\r\n", 0xAB}, {"G1", 0x01},  // a non-hex character counts 0
    };
    for (const Case& c : cases) {
        UartRegisterImage image = ImageFilledWith(0x5A);
        ApplyHexByteField(image, uart::slowInitAddress, c.text);
        EXPECT_EQ(image[uart::slowInitAddress], c.stored) << '"' << c.text << '"';
        EXPECT_EQ(image[uart::BITADJ], 0x5A);
    }
}

TEST(FieldHandlers, KeepAliveIntervalAndCyclePeriod) {
    struct Case { const char* text; uint32_t interval; bool intervalMessage; };
    const Case intervals[] = {
        {"50", 200, true}, {"0", 200, true}, {"199", 200, true}, {"200", 200, false},
        {"3000", 3000, false},
    };
    for (const Case& c : intervals) {
        const FieldResult r = ValidateKeepAliveInterval(c.text);
        EXPECT_EQ(r.value, c.interval) << c.text;
        EXPECT_EQ(r.message, c.intervalMessage ? "最小值为200ms" : "") << c.text;
        EXPECT_EQ(r.rewriteText, c.intervalMessage ? "200" : "") << c.text;
    }
    FieldResult zero = ValidateCyclePeriod("0");
    EXPECT_EQ(zero.value, 1u);
    EXPECT_EQ(zero.message, "最小1ms!");
    EXPECT_TRUE(zero.rewriteText.empty());  // the edit keeps what was typed
    FieldResult hundred = ValidateCyclePeriod("100");
    EXPECT_EQ(hundred.value, 100u);
    EXPECT_FALSE(hundred.Clamped());
}

TEST(BaudTable, RowsFollowTheChipClockAndKeepTheirBlanks) {
    ASSERT_EQ(kUartBaudRows, 12u);
    const unsigned bauds[] = {192000, 115200, 57600, 38400, 28800, 19200,
                              10400,  9600,   4800,  2400,  1200};
    for (size_t row = 0; row < 11; ++row) {
        // round(2,500,000 / baud) - 1
        const unsigned expected = (2 * kUartClockHz / bauds[row] + 1) / 2 - 1;
        EXPECT_EQ(kUartBaudTable[row].BRG, expected) << "row " << row;
        const std::string digits = std::to_string(bauds[row]);
        const std::string name = kUartBaudTable[row].name;
        EXPECT_EQ(name.size(), 10u) << name;  // digits, blanks, " BPS" in ten columns
        EXPECT_EQ(name.substr(0, digits.size()), digits);
        EXPECT_EQ(name.substr(6), " BPS");
    }
    EXPECT_STREQ(kUartBaudTable[6].name, "10400  BPS");
    EXPECT_STREQ(kUartBaudTable[7].name, "9600   BPS");
    EXPECT_STREQ(kUartBaudTable[kUartBaudRowUser].name, "User-defined");
}

TEST(BaudTable, RowSelectionSetsBrgAndTheEditState) {
    for (size_t row = 0; row < kUartBaudRows; ++row) {
        UartRegisterImage image{};
        SetImageBrg(image, 4464);
        const BaudRowResult r = SelectBaudRow(image, row);
        EXPECT_EQ(GetImageBrg(image), kUartBaudTable[row].BRG);
        EXPECT_EQ(r.brg, kUartBaudTable[row].BRG);
        EXPECT_EQ(r.brgEditEnabled, row == kUartBaudRowUser) << row;
        EXPECT_EQ(r.actualBaud, kUartClockHz / (r.brg + 1u));
    }
    UartRegisterImage image{};
    const BaudRowResult user = SelectBaudRow(image, kUartBaudRowUser);
    EXPECT_EQ(user.brg, 239);
    EXPECT_EQ(user.actualBaud, 10416u);
}

TEST(LineFormat, DataFormatAndStopBitsShareOneByte) {
    UartRegisterImage image{};
    image[uart::lineFormat] = 0xF0;  // bits the combos do not own stay
    SelectDataFormat(image, 2);
    SelectStopBits(image, 1);
    EXPECT_EQ(image[uart::lineFormat], 0xF0 | 0x04 | 0x01);
    EXPECT_EQ(DataFormatSelection(image), 2u);
    EXPECT_EQ(StopBitsSelection(image), 1u);
    SelectDataFormat(image, 1);
    EXPECT_EQ(image[uart::lineFormat], 0xF0 | 0x02 | 0x01);
    SelectStopBits(image, 0);
    SelectDataFormat(image, 0);
    EXPECT_EQ(image[uart::lineFormat], 0xF0);

    SetAutoBaud(image, true);
    EXPECT_EQ(image[uart::CONB], uart::ConbAbaud);
    SetImageField(image, uart::UFLENCON, uart::FlenLrrMask, 7);
    SetImageField(image, uart::UFLENCON, uart::FlenLenpMask, 2);
    SetImageBits(image, uart::UFLENCON, uart::FlenLengthControl, true);
    EXPECT_EQ(image[uart::UFLENCON], 0xF2);
}

TEST(Pins, RadiosSetTheLowNibbleAndKeepTheRest) {
    struct Case { UartPin pin; bool ownsEnl; uint8_t pinsel; uint8_t conb; };
    // Start from PINSEL 0xFF and CONB with ENL set (0xFB) or clear (0xF3).
    const Case fromEnlSet[] = {
        {UartPin::K1, false, 0xF0, 0xFB},  {UartPin::K2, false, 0xF5, 0xFB},
        {UartPin::K1, true, 0xF0, 0xF3},   {UartPin::K2, true, 0xF5, 0xF3},
        {UartPin::KL, true, 0xF0, 0xFB},   {UartPin::Rs485, false, 0xFA, 0xFB},
        {UartPin::SciTx1Rx2, false, 0xF4, 0xFB}, {UartPin::SciTx2Rx1, false, 0xF1, 0xFB},
    };
    for (const Case& c : fromEnlSet) {
        UartRegisterImage image{};
        image[uart::PINSEL] = 0xFF;
        image[uart::CONB] = 0xFB;
        ApplyPinSelection(image, c.pin, c.ownsEnl);
        EXPECT_EQ(image[uart::PINSEL], c.pinsel) << static_cast<int>(c.pin);
        EXPECT_EQ(image[uart::CONB], c.conb) << static_cast<int>(c.pin);
    }
    UartRegisterImage image{};
    image[uart::CONB] = 0xF3;
    ApplyPinSelection(image, UartPin::KL, false);
    EXPECT_EQ(image[uart::CONB], 0xFB);
}

TEST(FrameWord, BuildsAndReadsBothDirections) {
    EXPECT_EQ(MakeFrameLengthWord(5, InitNone), 0x0005);
    EXPECT_EQ(MakeFrameLengthWord(5, InitFast), 0x1005);
    EXPECT_EQ(MakeFrameLengthWord(6, InitSlow5Baud), 0x2006);
    EXPECT_EQ(MakeFrameLengthWord(0, InitUserPulse), 0x3000);
    EXPECT_EQ(MakeFrameLengthWord(0x3FF, 9), 0x11FF);  // both fields masked to their width

    const uint16_t received = 0xF9FF;  // LIN header, init 7, checksum bit, count 511
    EXPECT_EQ(FrameLengthCount(received), 0x1FF);
    EXPECT_EQ(FrameLengthInit(received), InitEcuActive);
    EXPECT_TRUE(FrameLengthChecksumBit(received));
    EXPECT_TRUE(FrameLengthLinHeader(received));
    EXPECT_FALSE(FrameLengthChecksumBit(0x7007));
    EXPECT_FALSE(FrameLengthLinHeader(0x7007));
}

TEST(FramePacket, LaysOutTheEngineFrameAndRefusesOverlongOnes) {
    uint8_t packet[268];
    std::memset(packet, 0xEE, sizeof packet);
    const uint8_t frame[] = {0xC1, 0x33, 0xF1, 0x81, 0x66};
    ASSERT_EQ(BuildUartFramePacket(packet, MakeFrameLengthWord(5, InitFast), frame, 5), 11u);
    const uint8_t expected[] = {0x57, 0x3F, 0x07, 0x00, 0x05, 0x10, 0xC1, 0x33, 0xF1, 0x81, 0x66};
    EXPECT_EQ(std::vector<uint8_t>(packet, packet + 11),
              std::vector<uint8_t>(expected, expected + 11));
    EXPECT_EQ(packet[11], 0xEE);

    std::vector<uint8_t> big(kMaxUartFrameBytes + 1, 0x42);
    // 260 frame bytes (the largest the pages build) fit: 266 bytes written.
    EXPECT_EQ(BuildUartFramePacket(packet, 260, big.data(), 260), 266u);
    EXPECT_EQ(packet[2] | (packet[3] << 8), 262);
    EXPECT_EQ(BuildUartFramePacket(packet, 0, big.data(), kMaxUartFrameBytes), 268u);
    // One more would overrun the 268-byte buffer: refused and nothing written.
    std::memset(packet, 0xEE, sizeof packet);
    EXPECT_EQ(BuildUartFramePacket(packet, 0, big.data(), kMaxUartFrameBytes + 1), 0u);
    EXPECT_EQ(packet[0], 0xEE);
    // An empty frame is a word and nothing else.
    EXPECT_EQ(BuildUartFramePacket(packet, 0, nullptr, 0), 6u);
    EXPECT_EQ(packet[2], 2);
}

TEST(DeviceStatus, ButtonsAndCaptionFollowDeviceAndWorker) {
    const std::string connected = "SO14230(KWP2000)-- Device( %d ) Connected";
    const std::string none = "ISO14230(KWP2000) --No device Connected";
    struct Case { bool open, running; bool start, stop, send; const char* caption; };
    const Case cases[] = {
        {true, false, true, false, false, "SO14230(KWP2000)-- Device( 3 ) Connected"},
        {true, true, false, true, true, "SO14230(KWP2000)-- Device( 3 ) Connected"},
        {false, false, false, false, false, "ISO14230(KWP2000) --No device Connected"},
        {false, true, false, false, false, "ISO14230(KWP2000) --No device Connected"},
    };
    for (const Case& c : cases) {
        const UartDeviceStatus s = DecideDeviceStatus(c.open, c.running, 3, connected, none);
        EXPECT_EQ(s.startEnabled, c.start);
        EXPECT_EQ(s.stopEnabled, c.stop);
        EXPECT_EQ(s.sendEnabled, c.send);
        EXPECT_EQ(s.caption, c.caption);
    }
}

TEST(PageTimer, PeriodIsClampedLikeWindowsTimers) {
    EXPECT_EQ(ClampPageTimerPeriod(0), 10u);
    EXPECT_EQ(ClampPageTimerPeriod(9), 10u);
    EXPECT_EQ(ClampPageTimerPeriod(10), 10u);
    EXPECT_EQ(ClampPageTimerPeriod(3000), 3000u);
    EXPECT_EQ(ClampPageTimerPeriod(0xFFFFFFFFu), static_cast<uint32_t>(INT32_MAX));
}

}  // namespace

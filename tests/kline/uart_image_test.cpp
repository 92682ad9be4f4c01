// Field handlers, baud rows and the transmit packet of the K-line family (each edit of a
// page with its own byte and rule: the page's window tests).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pages/kline/UartImage.h"

namespace {

using F = UartFieldKind;
FieldResult Ms1(const std::string& t) { return ValidateByteField(F::Ms1To255, t); }
FieldResult Units20(const std::string& t) { return ValidateByteField(F::Units20Ms1To255, t); }

TEST(FieldHandlers, TypedTextIsClampedWithItsMessage) {
    struct Case {
        FieldResult (*validate)(const std::string&);
        const char* text;
        uint32_t value;
        const char* message;
        const char* rewrite;  // written back into the edit
    };
    const Case cases[] = {
        {Ms1, "-1", 255, "最大255ms!", "255"},  // compared unsigned
        {Ms1, "99999999999", 255, "最大255ms!", "255"},  // saturates instead of overflowing
        {Ms1, "255", 255, "", ""},
        {Units20, "256", 255, "最大255x20ms!", "255"},
        {ValidateBrg, "70000", 4464, "BRG 最大值为65535", "4464"},
        {ValidateBrg, "-1", 65535, "BRG 最大值为65535", "65535"},
        {ValidateBrg, "65535", 65535, "", ""},
        {ValidateKeepAliveInterval, "50", 200, "最小值为200ms", "200"},
        {ValidateKeepAliveInterval, "200", 200, "", ""},
        {ValidateCyclePeriod, "0", 1, "最小1ms!", ""},  // the edit keeps what was typed
    };
    for (const Case& c : cases) {
        const FieldResult r = c.validate(c.text);
        EXPECT_EQ(r.value, c.value) << c.text;
        EXPECT_EQ(r.message, c.message) << c.text;
        EXPECT_EQ(r.rewriteText, c.rewrite) << c.text;
    }
}

TEST(BaudRows, OnlyUserDefinedEnablesTheBrgEdit) {
    struct Case { size_t row; uint16_t brg; bool edit; uint32_t rate; };
    const Case cases[] = {
        {kUartBaudRowUser, 239, true, 10416}, {kUartBaudRow9600, 259, false, 9615},
        {kUartBaudRows, 239, false, 10416},  // past the table: the default row
    };
    EXPECT_STREQ(kUartBaudTable[kUartBaudRowUser].name, "User-defined");
    for (const Case& c : cases) {
        UartRegisterImage image{};
        SetImageBrg(image, 4464);
        const BaudRowResult r = SelectBaudRow(image, c.row);
        EXPECT_EQ(GetImageBrg(image), c.brg) << c.row;
        EXPECT_EQ(r.brgEditEnabled, c.edit) << c.row;
        EXPECT_EQ(r.actualBaud, c.rate) << c.row;
    }
}

TEST(FramePacket, TheLargestFrameFitsAndOneMoreIsRefusedUnwritten) {
    uint8_t packet[268];
    const std::vector<uint8_t> big(kMaxUartFrameBytes + 1, 0x42);
    EXPECT_EQ(BuildUartFramePacket(packet, 0, big.data(), kMaxUartFrameBytes), sizeof packet);
    std::memset(packet, 0xEE, sizeof packet);
    EXPECT_EQ(BuildUartFramePacket(packet, 0, big.data(), kMaxUartFrameBytes + 1), 0u);
    EXPECT_EQ(packet[0], 0xEE);
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/HexText.h"

namespace {

// Numbers read from the right (a non-hex character is 0 at its own place); byte strings drop
// blanks, pair digits from the left and stop at the capacity.
TEST(HexText, NumbersAndByteStrings) {
    const struct { const char* text; uint32_t number; size_t capacity; std::vector<uint8_t> bytes; const char* cleaned; }
        cases[] = {
        {"", 0, 8, {}, ""},
        {"7e8", 0x7E8, 8, {0x7E, 0x08}, "7e8"},
        {"123456789", 0x23456789, 8, {0x12, 0x34, 0x56, 0x78, 0x09}, "123456789"},
        {"FFFFFFFFF", 0xFFFFFFFF, 2, {0xFF, 0xFF}, "FFFFFFFFF"},
        {"1 2", 0x102, 8, {0x12}, "12"},
        {"1G", 0x10, 4, {0x10}, "1G"},
        {"01 02\r\n0A", 0x1002000A, 8, {0x01, 0x02, 0x0A}, "01020A"},
        {" \r\n ", 0, 8, {}, ""},
        {"11 22", 0x11022, 0, {}, "1122"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HexStringToNumber(c.text), c.number);
        std::string text = c.text;
        std::vector<uint8_t> out(c.capacity + 4, 0xEE);  // the guard bytes must stay
        const size_t n = HexStringToBytes(text, out.data(), c.capacity);
        ASSERT_LE(n, c.capacity);
        EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + n), c.bytes);
        EXPECT_EQ(std::vector<uint8_t>(out.begin() + n, out.end()), std::vector<uint8_t>(out.size() - n, 0xEE));
        EXPECT_EQ(text, c.cleaned);
    }
    EXPECT_EQ(HexDigitWeight(8), 0u);
    EXPECT_EQ(HexDigitWeight(-1), 1u);
}

}  // namespace

#include <gtest/gtest.h>

#include <vector>

#include "monitor/HexText.h"

namespace {

TEST(HexText, DigitWeightsStopAtEightDigits) {
    const struct {
        int n;
        uint32_t weight;
    } cases[] = {{-5, 1}, {-1, 1}, {0, 1}, {1, 0x10}, {7, 0x10000000}, {8, 0}, {31, 0}};
    for (const auto& c : cases) EXPECT_EQ(HexDigitWeight(c.n), c.weight) << c.n;
}

TEST(HexText, NumbersReadFromTheRight) {
    const struct {
        const char* text;
        uint32_t value;
    } cases[] = {
        {"", 0},
        {"1F", 31},
        {"1f", 31},
        {"123456789", 0x23456789},  // only the last eight digits count
        {"ffffffff", 0xFFFFFFFF},
        {"FFFFFFFFF", 0xFFFFFFFF},
        {"7E8", 0x7E8},
        // A non-hex character is 0 at its own place, not the digit to its right.
        {"1 2", 0x102},
        {" 1", 0x01},
        {"1 ", 0x10},
        {"G", 0},
        {"1-", 0x10},
    };
    for (const auto& c : cases) EXPECT_EQ(HexStringToNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(HexText, BytesFromTextDropBlanksAndStopAtCapacity) {
    const struct {
        const char* text;
        size_t capacity;
        std::vector<uint8_t> bytes;
        const char* cleaned;
    } cases[] = {
        {"01 02\r\n0A", 8, {0x01, 0x02, 0x0A}, "01020A"},
        {"ABC", 8, {0xAB, 0x0C}, "ABC"},
        {"", 8, {}, ""},
        {" \r\n ", 8, {}, ""},
        {"11 22 33 44", 2, {0x11, 0x22}, "11223344"},
        {"11 22", 0, {}, "1122"},
        {"1G", 4, {0x10}, "1G"},
        {"ff", 1, {0xFF}, "ff"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        // Guard bytes after the capacity must stay untouched.
        std::vector<uint8_t> out(c.capacity + 4, 0xEE);
        const size_t n = HexStringToBytes(text, out.data(), c.capacity);
        EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + n), c.bytes);
        for (size_t i = n; i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE) << i;
        EXPECT_EQ(text, c.cleaned);
    }
}

TEST(HexText, EditFilterKeepsHexDigitsAndEditingKeys) {
    const struct {
        int ch;
        bool accepted;
        int shown;
    } cases[] = {
        {'a', true, 'A'}, {'f', true, 'F'}, {'A', true, 'A'}, {'9', true, '9'}, {'0', true, '0'},
        {'g', false, 'g'}, {'G', false, 'G'}, {'-', false, '-'}, {'x', false, 'x'},
        {8, true, 8},     // backspace
        {' ', true, ' '}, {13, true, 13},
        {3, true, 3},     // Ctrl+C
        {22, true, 22},   // Ctrl+V
        {24, true, 24},   // Ctrl+X
        {1, false, 1},    // Ctrl+A
        {26, false, 26},  // Ctrl+Z
        {'\t', false, '\t'},
        {0x4E2D, false, 0x4E2D},  // a CJK character
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CEditHexAcceptsChar(c.ch), c.accepted) << c.ch;
        EXPECT_EQ(CEditHexTransformChar(c.ch), c.shown) << c.ch;
    }
}

}  // namespace

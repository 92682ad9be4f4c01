// KWP2000 frames of the ISO 14230 page: header by format, length byte, checksum, header fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "monitor/HexText.h"
#include "pages/kline/Iso14230Frame.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(Iso14230Frame, BuiltAndShownByFormatAndLengthByte) {
    struct Case { uint8_t format; bool lengthByte; Bytes data, header; uint8_t checksum; bool address, fmtEditable, checkEnabled, checkShown; };
    const Bytes hundred(100, 0x01), full(255, 0xFF);
    const Case cases[] = {
        {FormatFunctional, false, {0x81}, {0xC1, 0x33, 0xF1}, 0x66, true, false, true, false},
        {FormatFunctional, true, {0x81}, {0xC0, 0x33, 0xF1, 0x01}, 0x66, true, false, true, true},
        {FormatPhysical, false, {0x10, 0x81}, {0x82, 0x33, 0xF1}, 0x37, true, false, true, false},
        {FormatPhysical, true, {0x10, 0x81}, {0x80, 0x33, 0xF1, 0x02}, 0x37, true, false, true, true},
        {FormatNoAddress, false, {0x01, 0x02}, {0x02}, 0x05, false, false, true, false},
        {FormatNoAddress, true, {0x01, 0x02}, {0x00, 0x02}, 0x05, false, false, true, true},
        {FormatCarb, false, {0x01, 0x00}, {0x68, 0x33, 0xF1}, 0x8D, true, true, false, false},
        // CARB never has the length byte; it hides the check but keeps the flag for the others.
        {FormatCarb, true, {0x01, 0x00}, {0x68, 0x33, 0xF1}, 0x8D, true, true, false, false},
        {FormatFunctional, false, {}, {0xC0, 0x33, 0xF1}, 0xE4, true, false, true, false},
        // Without the length byte a count above 63 spills into Fmt's address bits.
        {FormatPhysical, false, hundred, {0xA4, 0x33, 0xF1}, 0x2C, true, false, true, false},
        {FormatFunctional, false, hundred, {0xE4, 0x33, 0xF1}, 0x6C, true, false, true, false},
        {FormatNoAddress, false, hundred, {0x24}, 0x88, false, false, true, false},
        {FormatPhysical, true, hundred, {0x80, 0x33, 0xF1, 0x64}, 0x6C, true, false, true, true},
        {FormatFunctional, true, full, {0xC0, 0x33, 0xF1, 0xFF}, 0xE4, true, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.format) << c.lengthByte << c.data.size());
        Iso14230Frame frame;
        frame.frameFormat = c.format;
        frame.useLengthByte = c.lengthByte;
        frame.dataCount = static_cast<uint8_t>(c.data.size());
        std::copy(c.data.begin(), c.data.end(), frame.data);
        const Iso14230HeaderView view = UpdateHeaderFields(frame);

        Bytes expected = c.header;
        expected.insert(expected.end(), c.data.begin(), c.data.end());
        expected.push_back(c.checksum);
        uint8_t out[kIso14230MaxFrame];
        EXPECT_EQ(Bytes(out, out + BuildIso14230Frame(frame, out)), expected);

        EXPECT_EQ(view.addressEnabled, c.address);
        EXPECT_EQ(view.targetText, c.address ? "33" : "-");
        EXPECT_EQ(view.sourceText, c.address ? "F1" : "-");
        EXPECT_EQ(view.fmtEditable, c.fmtEditable);
        EXPECT_EQ(view.lengthCheckEnabled, c.checkEnabled);
        EXPECT_EQ(view.lengthCheckShown, c.checkShown);
        EXPECT_EQ(view.fmtText, HexByteText(c.header[0]));
        EXPECT_EQ(view.dlcText, std::to_string(c.data.size()));
        EXPECT_EQ(view.checksumText, HexByteText(c.checksum));
        EXPECT_EQ(frame.useLengthByte, c.lengthByte);
    }
}

}  // namespace

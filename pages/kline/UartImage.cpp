#include "pages/kline/UartImage.h"

#include <climits>
#include <cstring>

#include "monitor/HexText.h"

const UartBaudTableEntry kUartBaudTable[kUartBaudRows] = {
    {12, "192000 BPS"},  {21, "115200 BPS"},  {42, "57600  BPS"},   {64, "38400  BPS"},
    {86, "28800  BPS"},  {129, "19200  BPS"}, {239, "10400  BPS"},  {259, "9600   BPS"},
    {520, "4800   BPS"}, {1041, "2400   BPS"}, {2082, "1200   BPS"}, {239, "User-defined"},
};

uint16_t GetImageBrg(const UartRegisterImage& image) {
    return static_cast<uint16_t>(image[uart::BRG] | (image[uart::BRG + 1] << 8));
}

void SetImageBrg(UartRegisterImage& image, uint16_t brg) {
    image[uart::BRG] = static_cast<uint8_t>(brg);
    image[uart::BRG + 1] = static_cast<uint8_t>(brg >> 8);
}

uint32_t UartActualBaud(uint16_t brg) { return kUartClockHz / (static_cast<uint32_t>(brg) + 1); }

void ApplyPinSelection(UartRegisterImage& image, UartPin pin, bool ownsEnl) {
    uint8_t low = 0;
    switch (pin) {
    case UartPin::K1: low = 0x0; break;
    case UartPin::K2: low = 0x5; break;
    case UartPin::KL: low = 0x0; break;
    case UartPin::Rs485: low = 0xA; break;
    case UartPin::SciTx1Rx2: low = 0x4; break;
    case UartPin::SciTx2Rx1: low = 0x1; break;
    }
    image[uart::PINSEL] = static_cast<uint8_t>((image[uart::PINSEL] & 0xF0) | low);
    if (pin == UartPin::KL)
        image[uart::CONB] |= uart::ConbEnl;
    else if (ownsEnl)
        image[uart::CONB] &= static_cast<uint8_t>(~uart::ConbEnl);
}

size_t BuildUartFramePacket(uint8_t* packet, uint16_t word, const uint8_t* frame, size_t count) {
    if (count > kMaxUartFrameBytes)
        return 0;
    const size_t n = count + 2;
    packet[0] = 0x57;
    packet[1] = 0x3F;
    packet[2] = static_cast<uint8_t>(n);
    packet[3] = static_cast<uint8_t>(n >> 8);
    packet[4] = static_cast<uint8_t>(word);
    packet[5] = static_cast<uint8_t>(word >> 8);
    if (count)
        std::memcpy(packet + 6, frame, count);
    return n + 4;
}


namespace {

FieldResult Clamp(uint32_t value, const char* message) {
    FieldResult result;
    result.value = value;
    result.message = message;
    result.rewriteText = std::to_string(value);
    return result;
}

}  // namespace

FieldResult ValidateByteField(UartFieldKind kind, const std::string& text) {
    // Compared unsigned: a negative number is above the maximum.
    const uint32_t value = static_cast<uint32_t>(ParseDecimalSaturating(text));
    switch (kind) {
    case UartFieldKind::Ms1To255:
        if (value == 0)
            return Clamp(1, "最小1ms!");
        if (value > 255)
            return Clamp(255, "最大255ms!");
        break;
    case UartFieldKind::Ms0To255:
        if (value > 255)
            return Clamp(255, "最大255ms!");
        break;
    case UartFieldKind::Units20Ms1To255:
        if (value == 0)
            return Clamp(1, "最小1x20ms!");
        if (value > 255)
            return Clamp(255, "最大255x20ms!");
        break;
    }
    FieldResult result;
    result.value = value;
    return result;
}

FieldResult ApplyByteField(UartRegisterImage& image, size_t offset, UartFieldKind kind,
                           const std::string& text) {
    FieldResult result = ValidateByteField(kind, text);
    if (offset < image.size())
        image[offset] = static_cast<uint8_t>(result.value);
    return result;
}

FieldResult ValidateBrg(const std::string& text) {
    const uint32_t value = static_cast<uint32_t>(ParseDecimalSaturating(text));
    if (value > 0xFFFF)
        return Clamp(value & 0xFFFF, "BRG 最大值为65535");
    FieldResult result;
    result.value = value;
    return result;
}

FieldResult ApplyBrgField(UartRegisterImage& image, const std::string& text) {
    FieldResult result = ValidateBrg(text);
    SetImageBrg(image, static_cast<uint16_t>(result.value));
    return result;
}

void ApplyHexByteField(UartRegisterImage& image, size_t offset, const std::string& text) {
    if (offset < image.size())
        image[offset] = ParseHexByteField(text);
}

FieldResult ValidateKeepAliveInterval(const std::string& text) {
    const uint32_t value = static_cast<uint32_t>(ParseDecimalSaturating(text));
    if (value < 200)
        return Clamp(200, "最小值为200ms");
    FieldResult result;
    result.value = value;
    return result;
}

FieldResult ValidateCyclePeriod(const std::string& text) {
    FieldResult result;
    result.value = static_cast<uint32_t>(ParseDecimalSaturating(text));
    if (result.value == 0) {
        result.value = 1;
        result.message = "最小1ms!";
    }
    return result;
}

BaudRowResult SelectBaudRow(UartRegisterImage& image, size_t row) {
    if (row >= kUartBaudRows)
        row = kUartBaudRowDefault;
    BaudRowResult result;
    result.brg = kUartBaudTable[row].BRG;
    result.brgEditEnabled = row == kUartBaudRowUser;
    result.actualBaud = UartActualBaud(result.brg);
    SetImageBrg(image, result.brg);
    return result;
}

void SelectDataFormat(UartRegisterImage& image, unsigned selection) {
    SetImageField(image, uart::lineFormat, 0x06, static_cast<uint8_t>(selection > 2 ? 0 : selection));
}

void SelectStopBits(UartRegisterImage& image, unsigned selection) {
    SetImageBits(image, uart::lineFormat, 0x01, selection != 0);
}

unsigned DataFormatSelection(const UartRegisterImage& image) {
    const unsigned selection = (image[uart::lineFormat] >> 1) & 3;
    return selection > 2 ? 0 : selection;
}

unsigned StopBitsSelection(const UartRegisterImage& image) { return image[uart::lineFormat] & 1; }

void SetAutoBaud(UartRegisterImage& image, bool on) {
    SetImageBits(image, uart::CONB, uart::ConbAbaud, on);
}

void SetImageBits(UartRegisterImage& image, size_t offset, uint8_t mask, bool on) {
    if (offset >= image.size())
        return;
    if (on)
        image[offset] |= mask;
    else
        image[offset] &= static_cast<uint8_t>(~mask);
}

void SetImageField(UartRegisterImage& image, size_t offset, uint8_t mask, uint8_t value) {
    if (offset >= image.size() || mask == 0)
        return;
    unsigned shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    image[offset] = static_cast<uint8_t>((image[offset] & ~mask) | ((value << shift) & mask));
}

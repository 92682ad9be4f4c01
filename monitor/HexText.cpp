#include "monitor/HexText.h"

namespace {
uint32_t HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
    return 0;
}
}  // namespace

uint32_t HexDigitWeight(int n) {
    // 1u << 32 is undefined, so the shifts are counted rather than done at once.
    uint32_t weight = 1;
    for (int i = 0; i < n && weight != 0; ++i) weight = weight << 4;
    return weight;
}

uint32_t HexStringToNumber(const std::string& text) {
    uint32_t sum = 0;
    const size_t len = text.size();
    // Only the last eight characters carry weight.
    for (size_t p = 0; p < len && p < 8; ++p)
        sum += HexDigitValue(text[len - 1 - p]) * HexDigitWeight(static_cast<int>(p));
    return sum;
}

namespace {

// Spaces and line breaks never count in hex text; byte fields drop tabs as well.
std::string WithoutBlanks(const std::string& text, bool tabs) {
    std::string cleaned;
    cleaned.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\r' && c != '\n' && !(tabs && c == '\t')) cleaned.push_back(c);
    return cleaned;
}

}  // namespace

size_t HexStringToBytes(std::string& text, uint8_t* out, size_t capacity) {
    text = WithoutBlanks(text, false);

    size_t written = 0;
    for (size_t i = 0; i < text.size() && written < capacity; i += 2)
        out[written++] = static_cast<uint8_t>(HexStringToNumber(text.substr(i, 2)) & 0xFF);
    return written;
}

size_t HexTextByteCount(const std::string& text) {
    return (WithoutBlanks(text, false).size() + 1) / 2;
}

uint8_t ParseHexByteField(const std::string& text) {
    return static_cast<uint8_t>(HexStringToNumber(WithoutBlanks(text, true)));
}

std::string HexByteText(uint8_t value) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string{digits[value >> 4], digits[value & 15]};
}

std::string HexBytesText(const uint8_t* bytes, size_t count) {
    std::string text;
    text.reserve(count * 3);
    for (size_t i = 0; i < count; ++i) {
        text += HexByteText(bytes[i]);
        text += ' ';
    }
    return text;
}

bool CEditHexAcceptsChar(int ch) {
    if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f'))
        return true;
    switch (ch) {
        case 8:    // backspace
        case ' ':
        case 13:   // carriage return
        case 3:    // Ctrl+C
        case 22:   // Ctrl+V
        case 24:   // Ctrl+X
            return true;
        default:
            return false;
    }
}

int CEditHexTransformChar(int ch) { return (ch >= 'a' && ch <= 'f') ? ch - 32 : ch; }

#include "pages/shared/FieldText.h"

int32_t ParseDecimalSaturating(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<int64_t>(INT32_MAX) + 1)
            magnitude = static_cast<int64_t>(INT32_MAX) + 1;  // stays saturated
    }
    if (negative)
        return static_cast<int32_t>(-magnitude);  // -2^31 fits
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

PageEditResult CapHexData(std::string text, uint8_t* out, size_t capacity, uint8_t& count,
                          const char* message) {
    PageEditResult result;
    const size_t typed = HexTextByteCount(text);
    count = static_cast<uint8_t>(HexStringToBytes(text, out, capacity));
    if (typed > capacity) {
        result.rewrite = true;
        result.text = HexBytesText(out, count);
        result.message = message;
    }
    return result;
}

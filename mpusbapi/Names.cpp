#include "mpusbapi/Names.h"

#include <cctype>
#include <cstring>

namespace mpusb {
namespace {

// Matches a literal prefix, ignoring case; advances text past it.
bool TakePrefix(const char*& text, const char* prefix) {
    const size_t n = std::strlen(prefix);
    for (size_t i = 0; i < n; ++i) {
        if (text[i] == '\0' ||
            std::tolower(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(prefix[i]))
            return false;
    }
    text += n;
    return true;
}

bool TakeHex16(const char*& text, uint16_t& value) {
    uint16_t result = 0;
    for (int i = 0; i < 4; ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        if (!std::isxdigit(c)) return false;
        const int digit = std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10;
        result = static_cast<uint16_t>((result << 4) | digit);
    }
    text += 4;
    value = result;
    return true;
}

}  // namespace

std::optional<UsbId> ParseSelector(const char* selector) {
    if (selector == nullptr) return std::nullopt;
    UsbId id{};
    const char* p = selector;
    if (!TakePrefix(p, "vid_") || !TakeHex16(p, id.vendor)) return std::nullopt;
    if (!TakePrefix(p, "&pid_") || !TakeHex16(p, id.product)) return std::nullopt;
    if (*p != '\0') return std::nullopt;
    return id;
}

std::optional<uint8_t> ParseEndpointName(const char* name) {
    if (name == nullptr) return std::nullopt;
    const char* p = name;
    if (!TakePrefix(p, "\\mchp_ep")) return std::nullopt;
    unsigned value = 0;
    int digits = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        if (++digits > 2) return std::nullopt;
        value = value * 10 + static_cast<unsigned>(*p - '0');
    }
    if (digits == 0 || *p != '\0' || value < 1 || value > 15) return std::nullopt;
    return static_cast<uint8_t>(value);
}

std::optional<uint8_t> EndpointAddress(uint8_t number, uint32_t direction) {
    if (number < 1 || number > 15) return std::nullopt;
    if (direction == 0) return number;
    if (direction == 1) return static_cast<uint8_t>(0x80 | number);
    return std::nullopt;
}

}  // namespace mpusb

#include "pages/can/CanFrame.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint16_t kW0SidMask = 0x7FF << 2;
constexpr uint16_t kW0Srr = 1 << 1;
constexpr uint16_t kW0Ide = 1 << 0;
constexpr uint16_t kW1EidHigh = 0x0FFF;
constexpr uint16_t kW2EidLowShift = 10;
constexpr uint16_t kW2Rtr = 1 << 9;
constexpr uint16_t kW2Dlc = 0x000F;

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void PutWord(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

uint16_t EcanWord(const EcanMessageBuffer& buffer, size_t word) { return Word(buffer.bytes + 2 * word); }
void SetEcanWord(EcanMessageBuffer& buffer, size_t word, uint16_t value) {
    PutWord(buffer.bytes + 2 * word, value);
}

bool EcanIsExtended(const EcanMessageBuffer& buffer) { return (EcanWord(buffer, 0) & kW0Ide) != 0; }

void SetEcanExtended(EcanMessageBuffer& buffer, bool extended) {
    const uint16_t w0 = EcanWord(buffer, 0);
    SetEcanWord(buffer, 0, static_cast<uint16_t>(extended ? (w0 | kW0Ide) : (w0 & ~kW0Ide)));
}

uint32_t EcanId(const EcanMessageBuffer& buffer) { return EcanIdAs(buffer, EcanIsExtended(buffer)); }

uint32_t EcanIdAs(const EcanMessageBuffer& buffer, bool extended) {
    const uint32_t sid = (EcanWord(buffer, 0) & kW0SidMask) >> 2;
    if (!extended) return sid;
    const uint32_t eidHigh = EcanWord(buffer, 1) & kW1EidHigh;
    const uint32_t eidLow = EcanWord(buffer, 2) >> kW2EidLowShift;
    return sid << 18 | eidHigh << 6 | eidLow;
}

void SetEcanId(EcanMessageBuffer& buffer, uint32_t id, bool extended) {
    const uint32_t sid = extended ? (id >> 18) & 0x7FF : id & 0x7FF;
    const uint16_t w0 = EcanWord(buffer, 0);
    SetEcanWord(buffer, 0, static_cast<uint16_t>((w0 & ~kW0SidMask) | sid << 2));
    if (!extended) return;
    const uint16_t w1 = EcanWord(buffer, 1);
    SetEcanWord(buffer, 1, static_cast<uint16_t>((w1 & ~kW1EidHigh) | ((id >> 6) & kW1EidHigh)));
    const uint16_t w2 = EcanWord(buffer, 2);
    SetEcanWord(buffer, 2, static_cast<uint16_t>((w2 & 0x03FF) | (id & 0x3F) << kW2EidLowShift));
}

std::string CanIdText(uint32_t id, bool extended) {
    char text[16];
    std::snprintf(text, sizeof text, extended ? "%.8X" : "%.3X", id);
    return text;
}

std::string EcanIdText(const EcanMessageBuffer& buffer) {
    return CanIdText(EcanId(buffer), EcanIsExtended(buffer));
}

uint8_t EcanDlc(const EcanMessageBuffer& buffer) { return EcanWord(buffer, 2) & kW2Dlc; }

void SetEcanDlc(EcanMessageBuffer& buffer, uint8_t dlc) {
    const uint16_t w2 = EcanWord(buffer, 2);
    SetEcanWord(buffer, 2, static_cast<uint16_t>((w2 & ~kW2Dlc) | (dlc & kW2Dlc)));
}

bool EcanIsRemote(const EcanMessageBuffer& buffer) { return (EcanWord(buffer, 2) & kW2Rtr) != 0; }

void SetEcanRemote(EcanMessageBuffer& buffer, bool remote) {
    const uint16_t w0 = EcanWord(buffer, 0);
    const uint16_t w2 = EcanWord(buffer, 2);
    SetEcanWord(buffer, 0, static_cast<uint16_t>(remote ? (w0 | kW0Srr) : (w0 & ~kW0Srr)));
    SetEcanWord(buffer, 2, static_cast<uint16_t>(remote ? (w2 | kW2Rtr) : (w2 & ~kW2Rtr)));
}

uint8_t EcanTag(const EcanMessageBuffer& buffer) { return buffer.bytes[3] >> 4; }

size_t EcanShownDataCount(const EcanMessageBuffer& buffer) {
    return std::min<size_t>(EcanDlc(buffer), kCanMaxData);
}

uint32_t CanFilterId29(const CanFilterEntry& entry) {
    const uint16_t w0 = Word(entry.bytes);
    return static_cast<uint32_t>(w0 >> 5) << 18 | static_cast<uint32_t>(w0 & 3) << 16 |
           Word(entry.bytes + 2);
}

void SetCanFilterId29(CanFilterEntry& entry, uint32_t id) {
    const uint16_t w0 = Word(entry.bytes);
    const uint32_t sid = (id >> 18) & 0x7FF;
    PutWord(entry.bytes, static_cast<uint16_t>((w0 & 0x1C) | sid << 5 | ((id >> 16) & 3)));
    PutWord(entry.bytes + 2, static_cast<uint16_t>(id & 0xFFFF));
}

uint16_t CanFilterSid(const CanFilterEntry& entry) { return Word(entry.bytes) >> 5; }

void SetCanFilterSid(CanFilterEntry& entry, uint32_t sid) {
    const uint16_t w0 = Word(entry.bytes);
    PutWord(entry.bytes, static_cast<uint16_t>((w0 & 0x1F) | (sid & 0x7FF) << 5));
}

bool CanFilterExide(const CanFilterEntry& entry) { return (entry.bytes[0] & 0x08) != 0; }

void SetCanFilterExide(CanFilterEntry& entry, bool on) {
    entry.bytes[0] = static_cast<uint8_t>(on ? (entry.bytes[0] | 0x08) : (entry.bytes[0] & ~0x08));
}

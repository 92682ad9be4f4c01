#include "pages/j1850/J1850Frame.h"

#include <algorithm>
#include <cstring>

#include "device/UsbOperation.h"

unsigned J1850HeaderLength(uint8_t flags, uint8_t firstHeaderByte) {
    return (flags & j1850::FlagOneByteHeader) || (firstHeaderByte & j1850::HeaderHBit) ? 1 : 3;
}

unsigned J1850HeaderLength(const J1850FrameRecord& record) {
    return J1850HeaderLength(record.bytes[0], record.Frame()[0]);
}

void BuildJ1850TransmitPacket(uint8_t* packet, const J1850FrameRecord& record) {
    packet[0] = CmdPoll;
    packet[1] = static_cast<uint8_t>((packet[1] & 0xF2) | 0x82);
    packet[2] = static_cast<uint8_t>(kJ1850RecordSize);
    packet[3] = 0;
    std::memcpy(packet + 4, record.bytes, kJ1850RecordSize);
}

size_t BuildJ1850KeepAliveRecord(J1850FrameRecord& record, const uint8_t* bytes, size_t count) {
    const size_t n = std::min(count, kJ1850MaxKeepAliveBytes);
    record.bytes[0] = 0;
    record.bytes[1] = static_cast<uint8_t>((n + 1) & 0x0F);
    record.bytes[2] = 0;
    record.bytes[3] = 0;
    if (n) std::memcpy(record.Frame(), bytes, n);
    return n;
}

#include "testboard/J1850Bus.h"

#include <algorithm>

namespace testboard {

uint8_t J1850Crc(const uint8_t* bytes, unsigned count) {
    uint8_t crc = 0xFF;
    for (unsigned i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint8_t>(crc & 0x80 ? (crc << 1) ^ 0x1D : crc << 1);
    }
    return static_cast<uint8_t>(~crc);
}

bool IsJ1850FramePacket(const Bytes& packet) {
    return packet.size() >= 4 + kJ1850RecordSize && packet[0] == 0xA0 &&
           (packet[1] & 0x80) && (packet[1] & 0x0F) == 2;
}

Bytes J1850SentFrame(const Bytes& packet) {
    const unsigned length = std::min<unsigned>(packet[5] & 0x0F, kJ1850MaxRecordBytes);
    if (length < 1) return Bytes();
    return Bytes(packet.begin() + 8, packet.begin() + 8 + (length - 1));
}

namespace {

Bytes Record(uint8_t flags, const Bytes& frame, const Bytes& ifr) {
    Bytes record(kJ1850RecordSize, 0);
    const unsigned n = std::min<unsigned>(static_cast<unsigned>(frame.size()),
                                          kJ1850MaxRecordBytes - 1);
    std::copy_n(frame.begin(), n, record.begin() + 4);
    record[4 + n] = J1850Crc(frame.data(), n);
    const unsigned ifrCount =
        std::min<unsigned>(static_cast<unsigned>(ifr.size()), kJ1850MaxRecordBytes - (n + 1));
    std::copy_n(ifr.begin(), ifrCount, record.begin() + 4 + n + 1);
    record[0] = flags;
    record[1] = static_cast<uint8_t>(ifrCount << 4 | (n + 1));
    record[3] = 0x20;
    return record;
}

}  // namespace

Bytes J1850EchoRecord(const Bytes& packet, bool pwm, const Bytes& ifr) {
    const uint8_t flags = static_cast<uint8_t>((packet[4] & 0x7E) | (pwm ? 0x01 : 0));
    return Record(flags, J1850SentFrame(packet), ifr);
}

Bytes J1850ReceivedRecord(const Bytes& frame, bool pwm) {
    return Record(static_cast<uint8_t>(0x80 | (pwm ? 0x01 : 0)), frame, Bytes());
}

}  // namespace testboard

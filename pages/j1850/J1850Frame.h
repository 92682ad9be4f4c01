#pragma once
// The J1850 frame record and the packet that hands one to the chip.
//
//   record  byte 0 flags: bit 0 PWM, bit 2 NB, bit 3 one-byte header, bit 7 received
//           byte 1 bits 0-3 frame length (header + data + CRC, at most 12), bits 4-7 IFR bytes
//           byte 2 0, byte 3 tag (2 << 4 from the chip, 0 from the host)
//           bytes 4-15 header (1 or 3 bytes), data, CRC; IFR bytes after the CRC
//   packet  A0, (old byte 1 & F2) | 82, 10 00, record
//
// Records the host builds count the CRC in the length but leave it to the chip.
#include <cstddef>
#include <cstdint>

constexpr size_t kJ1850RecordSize = 16;
constexpr size_t kJ1850FrameOffset = 4;
constexpr uint8_t kJ1850MaxFrameLength = 12;
constexpr size_t kJ1850PacketSize = 4 + kJ1850RecordSize;
// Keep-alive frames: header and data at most 11 bytes, the CRC makes 12.
constexpr size_t kJ1850MaxKeepAliveBytes = 11;

namespace j1850 {
constexpr uint8_t FlagPwm = 0x01;
constexpr uint8_t FlagNb = 0x04;
constexpr uint8_t FlagOneByteHeader = 0x08;
constexpr uint8_t FlagReceived = 0x80;
constexpr uint8_t HeaderHBit = 0x10;
}  // namespace j1850

struct J1850FrameRecord {
    uint8_t bytes[kJ1850RecordSize] = {};

    uint8_t Length() const { return bytes[1] & 0x0F; }
    void SetLength(uint8_t length) {
        bytes[1] = static_cast<uint8_t>((bytes[1] & 0xF0) | (length & 0x0F));
    }
    uint8_t* Frame() { return bytes + kJ1850FrameOffset; }
    const uint8_t* Frame() const { return bytes + kJ1850FrameOffset; }
};

// 1 when flags bit 3 or the H bit of the first header byte is set, else 3.
unsigned J1850HeaderLength(uint8_t flags, uint8_t firstHeaderByte);
unsigned J1850HeaderLength(const J1850FrameRecord& record);

// Fills packet[0..20): keeps bits 4-6 of the byte 1 the buffer held.
void BuildJ1850TransmitPacket(uint8_t* packet, const J1850FrameRecord& record);

// The keep-alive record: flags 0, length n + 1, bytes 2-3 zero, the n bytes (at most 11) from
// byte 4; bytes after them keep what `record` held. Returns n.
size_t BuildJ1850KeepAliveRecord(J1850FrameRecord& record, const uint8_t* bytes, size_t count);

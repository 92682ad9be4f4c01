#pragma once
// The board's J1850 side in bytes: the frame packet, the echo the chip reports of a frame it
// sent, the record of a frame a peer sent, and the SAE J1850 CRC.
//
//   frame packet  A0, byte 1 bit 7 set and low nibble 2, 10 00, 16-byte record
//   record        flags (bit 0 PWM, bit 7 received), IFR count << 4 | frame length, 00, 20,
//                 frame bytes with the CRC last, IFR bytes after it (frame + IFR <= 12)
#include <cstdint>
#include <vector>

namespace testboard {

using Bytes = std::vector<uint8_t>;

constexpr unsigned kJ1850RecordSize = 16;
constexpr unsigned kJ1850MaxRecordBytes = 12;

// CRC-8, polynomial 0x1D, initial 0xFF, inverted.
uint8_t J1850Crc(const uint8_t* bytes, unsigned count);

bool IsJ1850FramePacket(const Bytes& packet);
// The sent frame of a frame packet: the record's length less the CRC (empty when short).
Bytes J1850SentFrame(const Bytes& packet);

// The chip's report of the frame it sent: direction 0, PWM from register 0x09 bit 7, the
// length as sent, the CRC computed, then as many IFR bytes as fit.
Bytes J1850EchoRecord(const Bytes& packet, bool pwm, const Bytes& ifr);
// A frame received from a peer: direction 1, length = frame + CRC (cut to 12).
Bytes J1850ReceivedRecord(const Bytes& frame, bool pwm);

// A scripted peer: a sent frame that starts with `match` gets `ifr` in frame and, when
// `answer` is not empty, the answer frame after it.
struct J1850Peer {
    Bytes match;
    Bytes answer;
    Bytes ifr;
};

}  // namespace testboard

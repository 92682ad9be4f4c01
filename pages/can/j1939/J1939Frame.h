#pragma once
// SAE J1939 in plain bytes: the fields of a 29-bit identifier and the transport protocol's
// data packets as the chip's engine sends them.
//
//   identifier  28:26 priority, 25 reserved, 24 DP, 23:16 PF, 15:8 PS, 7:0 SA
//               PS is the destination address (DA) below PF 240, the group extension (GE)
//               from 240 on; the PGN is DP << 16 | PF << 8, with PS in its low byte from 240
//   TP.CM       byte 0 control (0x10 RTS, 0x20 BAM), 1-2 total size (LE), 3 packet count,
//               4 0xFF, 5-7 the carried PGN (LE, 17 bits)
//   TP.DT       byte 0 sequence 1..n, 7 message bytes; the last packet padded with 0xFF
//
// Pure: no device, no thread; the simulated board builds its packets with it too.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pages/can/Iso15765Frame.h"

constexpr uint8_t kJ1939Pdu2From = 240;
constexpr uint32_t kJ1939ReservedBit = 1u << 25;
constexpr uint8_t kJ1939Rts = 0x10;
constexpr uint8_t kJ1939Bam = 0x20;
constexpr size_t kJ1939PacketData = 7;
constexpr uint8_t kJ1939Padding = 0xFF;

struct J1939Id {
    uint8_t priority = 0;
    bool reserved = false;
    bool dp = false;
    uint8_t pf = 0;
    uint8_t ps = 0;
    uint8_t sa = 0;
};

J1939Id DecodeJ1939Id(uint32_t id);
inline bool J1939IsPdu1(const J1939Id& id) { return id.pf < kJ1939Pdu2From; }
// The reserved bit is no part of it.
uint32_t J1939Pgn(const J1939Id& id);
// The identifier with PS (DA) or SA replaced, every other bit kept.
inline uint32_t WithJ1939Ps(uint32_t id, uint8_t ps) { return (id & ~0xFF00u) | uint32_t{ps} << 8; }
inline uint32_t WithJ1939Sa(uint32_t id, uint8_t sa) { return (id & ~0xFFu) | sa; }
inline uint32_t WithJ1939Priority(uint32_t id, unsigned priority) {
    return (id & ~(7u << 26)) | (priority & 7u) << 26;
}

// Packets a message of total bytes needs: ceil(total / 7).
inline uint32_t J1939PacketCount(uint32_t total) {
    return (total + kJ1939PacketData - 1) / kJ1939PacketData;
}

// The TP.DT packets of a message, 8 data bytes each.
std::vector<CanPayload> BuildJ1939DataPackets(const uint8_t* message, size_t length);

// Puts a message of the announced size back together packet by packet.
class J1939Reassembler {
public:
    enum class State { Receiving, Complete, Error };

    explicit J1939Reassembler(uint32_t total) : total_(total) {}
    // One TP.DT packet: a sequence out of order, a short packet or one past the count ends
    // in Error.
    State Feed(const uint8_t* data, size_t dlc);
    State GetState() const { return state_; }
    const std::vector<uint8_t>& Message() const { return message_; }

private:
    uint32_t total_;
    uint8_t nextSequence_ = 1;
    State state_ = State::Receiving;
    std::vector<uint8_t> message_;
};

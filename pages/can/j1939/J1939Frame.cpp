#include "pages/can/j1939/J1939Frame.h"

#include <algorithm>
#include <cstring>

J1939Id DecodeJ1939Id(uint32_t id) {
    J1939Id j;
    j.priority = static_cast<uint8_t>((id >> 26) & 7);
    j.reserved = (id & kJ1939ReservedBit) != 0;
    j.dp = (id >> 24) & 1;
    j.pf = static_cast<uint8_t>(id >> 16);
    j.ps = static_cast<uint8_t>(id >> 8);
    j.sa = static_cast<uint8_t>(id);
    return j;
}

uint32_t J1939Pgn(const J1939Id& id) {
    const uint32_t pgn = uint32_t{id.dp} << 16 | uint32_t{id.pf} << 8;
    return J1939IsPdu1(id) ? pgn : pgn | id.ps;
}

std::vector<CanPayload> BuildJ1939DataPackets(const uint8_t* message, size_t length) {
    std::vector<CanPayload> packets;
    packets.reserve(J1939PacketCount(static_cast<uint32_t>(length)));
    for (size_t at = 0, sequence = 1; at < length; at += kJ1939PacketData, ++sequence) {
        CanPayload p;
        p.dlc = 8;
        p.data[0] = static_cast<uint8_t>(sequence);
        const size_t n = std::min(kJ1939PacketData, length - at);
        std::memcpy(p.data + 1, message + at, n);
        std::memset(p.data + 1 + n, kJ1939Padding, kJ1939PacketData - n);
        packets.push_back(p);
    }
    return packets;
}

J1939Reassembler::State J1939Reassembler::Feed(const uint8_t* data, size_t dlc) {
    if (state_ != State::Receiving) return state_ = State::Error;
    if (dlc < 8 || data[0] != nextSequence_) return state_ = State::Error;
    ++nextSequence_;
    const size_t n = std::min<size_t>(kJ1939PacketData, total_ - message_.size());
    message_.insert(message_.end(), data + 1, data + 1 + n);
    if (message_.size() == total_) state_ = State::Complete;
    return state_;
}

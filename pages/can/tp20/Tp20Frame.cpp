#include "pages/can/tp20/Tp20Frame.h"

#include <algorithm>
#include <cstring>

std::vector<CanPayload> BuildTp20DataFrames(uint8_t firstByte0, const uint8_t* bytes, size_t count) {
    std::vector<CanPayload> frames;
    frames.reserve((count + kTp20FrameData - 1) / kTp20FrameData);
    uint8_t sequence = firstByte0 & 0x0F;
    for (size_t at = 0; at < count; at += kTp20FrameData) {
        const size_t n = std::min(kTp20FrameData, count - at);
        sequence = (sequence + 1) & 0x0F;
        const uint8_t opcode = at + n == count ? kTp20LastAck : kTp20MoreNoAck;
        CanPayload f;
        f.data[0] = static_cast<uint8_t>(opcode << 4 | sequence);
        std::memcpy(f.data + 1, bytes + at, n);
        f.dlc = static_cast<uint8_t>(1 + n);
        frames.push_back(f);
    }
    return frames;
}

Tp20Reassembler::State Tp20Reassembler::FeedFirst(const uint8_t* data, size_t dlc) {
    message_.clear();
    if (dlc < 1) return state_ = State::Error;
    nextSequence_ = data[0] & 0x0F;
    state_ = State::Receiving;
    return Take(data, dlc);
}

Tp20Reassembler::State Tp20Reassembler::Feed(const uint8_t* data, size_t dlc) {
    if (state_ != State::Receiving || dlc < 1 || (data[0] & 0x0F) != nextSequence_)
        return state_ = State::Error;
    return Take(data, dlc);
}

Tp20Reassembler::State Tp20Reassembler::Take(const uint8_t* data, size_t dlc) {
    const size_t n = std::min<size_t>(dlc, 8);
    message_.insert(message_.end(), data + 1, data + n);
    nextSequence_ = (nextSequence_ + 1) & 0x0F;
    if (Tp20IsLast(data[0])) state_ = State::Complete;
    return state_;
}

#include "pages/can/Iso15765Frame.h"

#include <algorithm>
#include <cstring>

CanPayload BuildIso15765FirstFrame(uint8_t ptype, uint8_t nae, uint32_t totalLength,
                                   const uint8_t* ffData) {
    CanPayload frame;
    size_t at = 0;
    if (ptype == 1) frame.data[at++] = nae;
    frame.data[at++] = Iso15765FirstPci(totalLength);
    frame.data[at++] = static_cast<uint8_t>(totalLength);
    std::memcpy(frame.data + at, ffData, Iso15765FirstFrameData(ptype));
    frame.dlc = 8;
    return frame;
}

std::vector<CanPayload> BuildIso15765ConsecutiveFrames(const uint8_t* bytes, size_t count,
                                                       uint8_t ptype, uint8_t nae) {
    const size_t per = Iso15765ConsecutiveData(ptype);
    std::vector<CanPayload> frames;
    frames.reserve((count + per - 1) / per);
    uint8_t sequence = 1;
    for (size_t at = 0; at < count; at += per) {
        CanPayload frame;
        size_t head = 0;
        if (ptype == 1) frame.data[head++] = nae;
        frame.data[head++] = static_cast<uint8_t>(0x20 | sequence);
        const size_t take = std::min(per, count - at);
        std::memcpy(frame.data + head, bytes + at, take);
        frame.dlc = static_cast<uint8_t>(head + take);
        frames.push_back(frame);
        sequence = static_cast<uint8_t>((sequence + 1) & 0x0F);
    }
    return frames;
}

std::vector<CanPayload> SegmentIso15765(const uint8_t* message, size_t length, uint8_t ptype,
                                        uint8_t nae) {
    const size_t first = Iso15765FirstFrameData(ptype);
    if (length <= first + 1 || length > kIso15765MaxMessage) return {};
    std::vector<CanPayload> frames;
    frames.reserve(1 + (length - first) / Iso15765ConsecutiveData(ptype) + 1);
    frames.push_back(BuildIso15765FirstFrame(ptype, nae, static_cast<uint32_t>(length), message));
    const std::vector<CanPayload> rest =
        BuildIso15765ConsecutiveFrames(message + first, length - first, ptype, nae);
    frames.insert(frames.end(), rest.begin(), rest.end());
    return frames;
}

Iso15765Reassembler::State Iso15765Reassembler::Feed(const uint8_t* data, size_t dlc) {
    dlc = std::min<size_t>(dlc, 8);
    size_t at = 0;
    if (ptype_ == 1) {
        if (dlc < 1) return Fail();
        if (state_ == State::Receiving && data[0] != nae_) return Fail();
        ++at;
    }
    if (at >= dlc) return Fail();
    const uint8_t pci = data[at];
    if ((pci >> 4) == 1) {
        if (dlc < at + 2) return Fail();
        expected_ = static_cast<uint32_t>(pci & 0x0F) << 8 | data[at + 1];
        nae_ = ptype_ == 1 ? data[0] : 0;
        nextSequence_ = 1;
        message_.clear();
        message_.reserve(expected_);
        at += 2;
        const size_t take = std::min<size_t>(dlc - at, expected_);
        message_.insert(message_.end(), data + at, data + at + take);
        state_ = message_.size() >= expected_ ? State::Complete : State::Receiving;
        return state_;
    }
    if ((pci >> 4) != 2 || state_ != State::Receiving) return Fail();
    if ((pci & 0x0F) != nextSequence_) return Fail();
    ++at;
    const size_t remaining = expected_ - message_.size();
    const size_t carried = dlc - at;
    if (carried < std::min(remaining, Iso15765ConsecutiveData(ptype_))) return Fail();
    const size_t take = std::min(carried, remaining);
    message_.insert(message_.end(), data + at, data + at + take);
    nextSequence_ = static_cast<uint8_t>((nextSequence_ + 1) & 0x0F);
    state_ = message_.size() >= expected_ ? State::Complete : State::Receiving;
    return state_;
}

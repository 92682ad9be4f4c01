#pragma once
// ISO 15765-2 segmentation as the chip's engine runs it, in plain bytes (8 data bytes of a
// CAN frame). PTYPE 1 (extended addressing) puts the N_AE byte first in every frame.
//
//   first frame        [N_AE] 1L LL d0 .. : PCI (0x10 | length >> 8), length & 0xFF,
//                      6 - PTYPE message bytes
//   consecutive frame  [N_AE] 2n d .. : sequence n = 1..F, 0, 1 .., 7 - PTYPE bytes each;
//                      the last carries what is left (its DLC says how many)
//
// A message holds up to 4,095 bytes. Pure: no device, no thread; the simulated board builds
// its consecutive frames with it too.
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint32_t kIso15765MaxMessage = 4095;

struct CanPayload {
    uint8_t data[8] = {};
    uint8_t dlc = 0;
};

inline uint8_t Iso15765FirstPci(uint32_t totalLength) {
    return static_cast<uint8_t>(0x10 | ((totalLength >> 8) & 0x0F));
}
inline size_t Iso15765FirstFrameData(uint8_t ptype) { return ptype == 1 ? 5 : 6; }
inline size_t Iso15765ConsecutiveData(uint8_t ptype) { return ptype == 1 ? 6 : 7; }

// The first frame's 8 data bytes: PTYPE 1: N_AE, PCI, length byte, ffData[0..4]; any other
// PTYPE: PCI, length byte, ffData[0..5].
CanPayload BuildIso15765FirstFrame(uint8_t ptype, uint8_t nae, uint32_t totalLength,
                                   const uint8_t* ffData);

// Consecutive frames carrying count bytes, numbered from 1.
std::vector<CanPayload> BuildIso15765ConsecutiveFrames(const uint8_t* bytes, size_t count,
                                                       uint8_t ptype, uint8_t nae);

// A whole message: its first frame, then its consecutive frames. Empty when the message
// does not need a first frame (fewer than 8 - PTYPE bytes) or exceeds 4,095 bytes.
std::vector<CanPayload> SegmentIso15765(const uint8_t* message, size_t length, uint8_t ptype,
                                        uint8_t nae);

// Puts a message back together frame by frame, checking the order and the length.
class Iso15765Reassembler {
public:
    enum class State { Idle, Receiving, Complete, Error };

    explicit Iso15765Reassembler(uint8_t ptype) : ptype_(ptype) {}
    // Feeds one frame's data bytes. A first frame starts a message (also over one in
    // progress); a consecutive frame out of sequence, with the wrong N_AE, too short for a
    // frame that is not the last, or without a first frame ends in Error.
    State Feed(const uint8_t* data, size_t dlc);
    State GetState() const { return state_; }
    uint32_t ExpectedLength() const { return expected_; }
    const std::vector<uint8_t>& Message() const { return message_; }

private:
    State Fail() { return state_ = State::Error; }

    uint8_t ptype_;
    State state_ = State::Idle;
    uint8_t nae_ = 0;
    uint8_t nextSequence_ = 1;
    uint32_t expected_ = 0;
    std::vector<uint8_t> message_;
};

#pragma once
// VW TP2.0 data frames in plain bytes, as the chip's engine sends a message after its first
// frame. Byte 0 is the opcode in the high nibble and the sequence number in the low one; the
// rest (up to 7 bytes) is message. The engine's opcodes, chosen here:
//
//   0x2  more frames follow, no acknowledgement awaited
//   0x1  the last frame of the message, acknowledgement awaited
//
// Bit 0 of the opcode marks the last frame (0x1 and 0x3). The sequence continues the first
// frame's: first frame n, then n + 1, ... modulo 16.
//
// Pure: no device, no thread; the simulated board builds its frames with it too.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pages/can/Iso15765Frame.h"

constexpr uint8_t kTp20MoreNoAck = 0x2;
constexpr uint8_t kTp20LastAck = 0x1;
constexpr size_t kTp20FrameData = 7;

inline bool Tp20IsLast(uint8_t byte0) { return (byte0 >> 4) & 0x1; }

// The frames carrying count bytes after a first frame whose byte 0 is firstByte0.
std::vector<CanPayload> BuildTp20DataFrames(uint8_t firstByte0, const uint8_t* bytes, size_t count);

// Puts a message back together from its first frame on: the payload bytes of each frame.
class Tp20Reassembler {
public:
    enum class State { Idle, Receiving, Complete, Error };

    // The first frame starts a message (also over one in progress); a frame out of sequence,
    // an empty one, or one without a first frame ends in Error.
    State FeedFirst(const uint8_t* data, size_t dlc);
    State Feed(const uint8_t* data, size_t dlc);
    State GetState() const { return state_; }
    const std::vector<uint8_t>& Message() const { return message_; }

private:
    State Take(const uint8_t* data, size_t dlc);

    State state_ = State::Idle;
    uint8_t nextSequence_ = 0;
    std::vector<uint8_t> message_;
};

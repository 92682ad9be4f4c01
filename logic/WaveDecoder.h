#pragma once
// Decoding the UART bytes in a capture.
//
// Interval k runs from sample k to sample k + 1 and lasts d(k) = Δ × 16 / 10 µs, Δ the tick
// difference modulo 2^32 (so a wrap of the chip's clock costs nothing), in 64 bits. The line
// is low during even intervals and high during odd ones. Reading interval k needs sample
// k + 1: a byte whose end has not arrived yet decodes as End, and is decoded once a later
// edge exists.
//
// A byte: sampled at 1.5 bits after its falling edge and every bit after, stepping over at
// most one interval per sampling point; 8 data bits LSB first, in modes 1 (odd) and 2 (even)
// a parity bit, then the stop bit, which must be high. An interval under the bit window
// inside a byte marks it bad but keeps its value.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "logic/LogicSettings.h"

enum class ByteCode : int {
    End = -1,         // the samples end before the answer is known
    Good = 0,
    Bad = 1,          // parity, framing or a too short interval
    Gap = 2,          // a high interval, or a low one longer than a frame
    Break = 4,        // a low longer than a frame in LIN mode
    BeforeStart = 5,  // before the first byte boundary found for the screen
};

struct DecodedByte {
    ByteCode code = ByteCode::End;
    uint32_t next = 0;   // the interval where decoding goes on
    uint64_t value = 0;  // the byte, or the interval's µs for Gap / Break / BeforeStart
    uint64_t gapUs = 0;  // the idle after the byte, or the interval's µs
};

class WaveDecoder {
public:
    WaveDecoder(const uint32_t* samples, uint32_t count, const LogicSettings& settings)
        : s_(samples), n_(count), set_(settings) {}

    // d(k); k + 1 must be below the count.
    uint64_t IntervalUs(uint32_t k) const {
        return uint64_t{static_cast<uint32_t>(s_[k + 1] - s_[k])} * 16 / 10;
    }
    // Width in pixels of the ticks from one sample to another (5 px = timeScaleUs µs).
    static int64_t Pixels(uint32_t fromTick, uint32_t toTick, uint32_t timeScaleUs) {
        const uint32_t ticks = toTick - fromTick;
        const uint32_t scale = timeScaleUs ? timeScaleUs : 1;
        // A 32-bit division where the product fits: the walk does one per interval.
        if (ticks < (1u << 29)) return (ticks << 3) / scale;
        return int64_t{ticks} * 8 / scale;
    }
    // Whether Pixels is 0.
    static bool Narrow(uint32_t fromTick, uint32_t toTick, uint32_t timeScaleUs) {
        return uint64_t{toTick - fromTick} * 8 < (timeScaleUs ? timeScaleUs : 1);
    }

    // The interval i as the start of a byte (i even), or as a gap.
    DecodedByte DecodeByte(uint32_t i, uint32_t decodeStart) const;

    // The first candidate falling edge, found from the start of the capture, at or just before
    // firstShown - 1 (see ByteStartChain); 0 with fewer than 2 samples.
    uint32_t FindFirstByteStart(uint32_t firstShown) const;

    // One step of that walk, shared with ByteStartChain. From the loop head c: skips long lows;
    // false when the samples end there (the result is c).
    bool SkipLongLows(uint32_t& c) const;
    // From candidate c to the next loop head: up to five (high, low) pairs are added until
    // they reach a frame; false when the samples end first (c stays, and is the result).
    bool NextHead(uint32_t& c) const;

private:
    const uint32_t* s_;
    uint32_t n_;
    LogicSettings set_;
};

// Bytes decoded once for one capture and its settings, kept by the interval they start at:
// a byte's decoding never changes once its samples are there, so a screen painted again, or
// scrolled a little, decodes only the bytes it has not met before. Equal to
// WaveDecoder::DecodeByte for every interval.
class DecodedBytes {
public:
    // Forgets every byte unless they were decoded from this capture and these settings.
    void Use(uint32_t generation, const LogicSettings& settings);
    DecodedByte Decode(const WaveDecoder& decoder, uint32_t i, uint32_t decodeStart);

private:
    struct Entry {
        uint8_t length = 0;  // intervals to the next; 0: not decoded yet
        uint8_t bad = 0;
        uint8_t value = 0;
    };
    std::vector<Entry> entries_;  // by interval / 2
    bool used_ = false;
    uint32_t generation_ = 0;
    LogicSettings settings_;
};

// The walk's candidates do not depend on firstShown: this keeps them for one capture and
// its frame window, extends them as samples arrive and looks the answer up, so that a screen
// far into a long capture costs a search, not a walk from its start. Equal to
// WaveDecoder::FindFirstByteStart for every firstShown.
class ByteStartChain {
public:
    uint32_t Find(const uint32_t* samples, uint32_t count, uint32_t generation,
                  const LogicSettings& settings, uint32_t firstShown);
    size_t Candidates() const { return candidates_.size(); }

private:
    void Extend(const WaveDecoder& decoder);

    bool built_ = false;
    uint32_t generation_ = 0;
    uint32_t frameUsMin_ = 0, frameUsMax_ = 0;
    uint32_t count_ = 0;
    std::vector<uint32_t> candidates_;  // increasing
    uint32_t head_ = 0;                 // where the walk stopped for want of samples
};

#include "logic/UartSynth.h"

namespace {

constexpr uint64_t kUnitsPerBit = 1000000;  // a bit lasts 10^6 / baud µs

}  // namespace

UartSynth::UartSynth(uint32_t baud, uint32_t parityMode, uint32_t startTick)
    : baud_(baud ? baud : 1), parityMode_(parityMode), startTick_(startTick) {}

uint32_t UartSynth::NowTick() const {
    // ticks = µs / 1.6 = units * 10 / (16 * baud), rounded
    const uint64_t ticks = (now_ * 10 + 8 * baud_) / (16 * baud_);
    return static_cast<uint32_t>(startTick_ + ticks);
}

void UartSynth::Level(bool high, uint64_t units) {
    if (high != high_) {
        samples_.push_back(NowTick());
        high_ = high;
    }
    now_ += units;
}

void UartSynth::Byte(uint8_t value) {
    Level(false, kUnitsPerBit);
    unsigned ones = 0;
    for (int b = 0; b < 8; ++b) {
        const bool bit = (value >> b) & 1;
        ones += bit;
        Level(bit, kUnitsPerBit);
    }
    if (parityMode_ == 1) Level((ones & 1) == 0, kUnitsPerBit);  // odd: the total count is odd
    if (parityMode_ == 2) Level((ones & 1) != 0, kUnitsPerBit);  // even: the total count is even
    Level(true, kUnitsPerBit);
}

void UartSynth::Bytes(const uint8_t* values, size_t count, uint32_t gapUs) {
    for (size_t i = 0; i < count; ++i) {
        Byte(values[i]);
        Idle(gapUs);
    }
}

void UartSynth::Idle(uint32_t us) { Level(true, us * baud_); }

void UartSynth::Break(uint32_t us) { Level(false, us * baud_); }

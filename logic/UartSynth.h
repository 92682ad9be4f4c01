#pragma once
// A UART line as the chip's capture records it: one u32 timestamp per level change, in ticks
// of 1.6 µs, the line idle high before the first change (so sample 0 is a falling edge).
// A byte is a low start bit, 8 data bits LSB first, an optional parity bit and a high stop
// bit. Time is kept exactly (in 1/baud µs) and each change rounded to the nearest tick, so
// bit lengths vary by at most one tick, as they do on the wire.
//
// Serves the tests, the benchmarks and the simulated board alike.
#include <cstddef>
#include <cstdint>
#include <vector>

class UartSynth {
public:
    // parityMode: 0 none, 1 odd, 2 even (3, LIN, sends no parity bit). startTick is the
    // chip's clock at time 0; it wraps at 2^32 like the chip's.
    UartSynth(uint32_t baud, uint32_t parityMode, uint32_t startTick = 0);

    void Byte(uint8_t value);
    // Each byte followed by gapUs of idle line.
    void Bytes(const uint8_t* values, size_t count, uint32_t gapUs);
    // The line high for us (idle), or low for us (a break, a wake-up low); it stays at that
    // level until the next call, so a byte needs an idle between it and a break.
    void Idle(uint32_t us);
    void Break(uint32_t us);

    const std::vector<uint32_t>& Samples() const { return samples_; }
    std::vector<uint32_t> Take() { return std::move(samples_); }
    // The tick of the current time.
    uint32_t NowTick() const;

private:
    void Level(bool high, uint64_t units);

    uint64_t baud_;
    uint32_t parityMode_;
    uint32_t startTick_;
    uint64_t now_ = 0;  // 1/baud µs since time 0
    bool high_ = true;
    std::vector<uint32_t> samples_;
};

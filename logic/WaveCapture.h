#pragma once
// The captured level changes: up to 1,000,000 chip timestamps (1.6 µs ticks, sample 0 a
// falling edge, the level alternating after it).
//
// Threads: during a capture the capture thread alone appends; it stores a sample, then
// publishes the count (release), so a reader that loads the count (acquire) only ever reads
// samples that are written. Reset and Assign run on the UI thread while no capture runs.
#include <atomic>
#include <cstdint>
#include <vector>

#include "logic/KlgFile.h"

constexpr uint32_t kLogicCaptureSamples = kKlgMaxSamples;

class WaveCapture {
public:
    WaveCapture();

    uint32_t Count() const { return count_.load(std::memory_order_acquire); }
    const uint32_t* Samples() const { return samples_.data(); }
    // Changes whenever the samples are replaced (a new capture, a load), never on appends.
    uint32_t Generation() const { return generation_; }

    // Capture thread: false (nothing stored) once 1,000,000 samples are held.
    bool Append(uint32_t sample);

    // UI thread, no capture running.
    void Reset();
    // Takes these samples (at most 1,000,000) in place of the capture, once they are
    // complete (a load reads into a buffer of its own first).
    void Assign(const std::vector<uint32_t>& samples);

private:
    std::vector<uint32_t> samples_;
    std::atomic<uint32_t> count_{0};
    uint32_t generation_ = 0;
};

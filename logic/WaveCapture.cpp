#include "logic/WaveCapture.h"

#include <algorithm>

WaveCapture::WaveCapture() : samples_(kLogicCaptureSamples) {}

bool WaveCapture::Append(uint32_t sample) {
    const uint32_t count = count_.load(std::memory_order_relaxed);  // only this thread writes it
    if (count >= kLogicCaptureSamples) return false;
    samples_[count] = sample;
    count_.store(count + 1, std::memory_order_release);
    return true;
}

void WaveCapture::Reset() {
    count_.store(0, std::memory_order_release);
    ++generation_;
}

void WaveCapture::Assign(const std::vector<uint32_t>& samples) {
    const uint32_t count = static_cast<uint32_t>(std::min<size_t>(samples.size(), kLogicCaptureSamples));
    std::copy_n(samples.begin(), count, samples_.begin());
    count_.store(count, std::memory_order_release);
    ++generation_;
}

#include "testboard/Capture.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "logic/KlgFile.h"
#include "logic/UartSynth.h"

namespace testboard {

namespace {

constexpr uint8_t kCaptureMode = 0x87;
constexpr uint8_t kUartEngine = 0x02;

}  // namespace

void CaptureSource::Reset() {
    samples_.clear();
    next_ = 0;
    serving_ = false;
    perReply_ = kMaxPerReply;
}

void CaptureSource::Set(std::vector<uint32_t> samples) {
    samples_ = std::move(samples);
    next_ = 0;
}

void CaptureSource::SetPerReply(unsigned perReply) {
    perReply_ = perReply >= 1 && perReply <= kMaxPerReply ? perReply : kMaxPerReply;
}

void CaptureSource::OnPacket(const Bytes& packet) {
    if (packet.empty()) return;
    if (packet[0] == 0xB1) {
        serving_ = packet.size() >= 3 && packet[1] == kCaptureMode && packet[2] == kUartEngine;
        next_ = 0;
    } else if (packet[0] == 0xB2) {
        serving_ = false;
    }
}

Bytes CaptureSource::NextReply() {
    const size_t n = std::min<size_t>(perReply_, samples_.size() - next_);
    Bytes reply(4 + 4 * n, 0);
    reply[2] = static_cast<uint8_t>(4 * n);
    reply[3] = static_cast<uint8_t>((4 * n) >> 8);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t sample = samples_[next_ + i];
        for (int b = 0; b < 4; ++b) reply[4 + 4 * i + b] = static_cast<uint8_t>(sample >> (8 * b));
    }
    next_ += n;
    return reply;
}

std::vector<uint32_t> BuildCapture(const std::vector<CaptureStep>& steps) {
    std::vector<uint32_t> samples;
    std::unique_ptr<UartSynth> line;
    uint32_t gapUs = 0;
    auto flush = [&] {
        if (line) samples = line->Take();
        line.reset();
    };
    for (const CaptureStep& step : steps) {
        switch (step.kind) {
        case CaptureStep::Klg: {
            flush();
            KlgContents contents;
            const KlgResult result = LoadKlg(step.path, contents);
            if (result == KlgResult::Ok)
                samples = std::move(contents.samples);
            else
                std::fprintf(stderr, "testboard: capture klg %s: %s, skipped\n", step.path.c_str(),
                             KlgMessage(result));
            break;
        }
        case CaptureStep::Uart:
            flush();
            line = std::make_unique<UartSynth>(step.number, step.parityMode);
            gapUs = 0;
            break;
        default:
            if (!line) {
                std::fprintf(stderr, "testboard: capture line without a 'capture uart' before it, skipped\n");
                break;
            }
            if (step.kind == CaptureStep::Bytes) line->Bytes(step.data.data(), step.data.size(), gapUs);
            if (step.kind == CaptureStep::Gap) gapUs = step.number;
            if (step.kind == CaptureStep::Idle) line->Idle(step.number);
            if (step.kind == CaptureStep::Break) line->Break(step.number);
            break;
        }
    }
    flush();
    return samples;
}

}  // namespace testboard

#include "logic/WaveView.h"

WaveScreen WaveView::Screen() const {
    WaveScreen screen;
    screen.samples = capture.Samples();
    screen.count = capture.Count();
    screen.firstShown = firstShown;
    screen.decodeStart = decodeStart;
    screen.settings = settings;
    return screen;
}

DecodedByte WaveView::DecodeByte(uint32_t i) const {
    return WaveDecoder(capture.Samples(), capture.Count(), settings).DecodeByte(i, decodeStart);
}

uint32_t WaveView::FindFirstByteStart() {
    return chain_.Find(capture.Samples(), capture.Count(), capture.Generation(), settings, firstShown);
}

void WaveView::UpdateLayout(int width, int height) {
    samplesPerScreen = WaveSamplesPerScreen(Screen(), width, height);
}

uint32_t WaveView::LastScreenStart(int width, int height) const {
    const uint32_t count = capture.Count();
    if (count == 0) return 0;
    // The smallest even start whose screen reaches the end: any later start reaches it too.
    WaveScreen screen = Screen();
    uint32_t lo = 0, hi = (count - 1) & ~1u;
    while (lo < hi) {
        screen.firstShown = (lo + (hi - lo) / 2) & ~1u;
        if (uint64_t{screen.firstShown} + WaveSamplesPerScreen(screen, width, height) >= count)
            hi = screen.firstShown;
        else
            lo = screen.firstShown + 2;
    }
    return lo;
}

WaveDisplayList WaveView::Paint(int width, int height, const WaveLabelWidth& labelWidth) {
    WaveScreen screen = Screen();  // one count for the whole paint
    decodeStart = chain_.Find(screen.samples, screen.count, capture.Generation(), settings, firstShown);
    screen.decodeStart = decodeStart;
    bytes_.Use(capture.Generation(), settings);
    screen.bytes = &bytes_;
    WaveDisplayList list = BuildWaveDisplayList(screen, width, height, labelWidth);
    if (list.samplesPerScreen) samplesPerScreen = list.samplesPerScreen;
    return list;
}

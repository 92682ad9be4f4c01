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

WaveDisplayList WaveView::Paint(int width, int height, const WaveLabelWidth& labelWidth) {
    WaveScreen screen = Screen();  // one count for the whole paint
    decodeStart = chain_.Find(screen.samples, screen.count, capture.Generation(), settings, firstShown);
    screen.decodeStart = decodeStart;
    WaveDisplayList list = BuildWaveDisplayList(screen, width, height, labelWidth);
    if (list.samplesPerScreen) samplesPerScreen = list.samplesPerScreen;
    return list;
}

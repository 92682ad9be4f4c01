#pragma once
// The waveform view without its window: the capture, the settings it is shown with, which
// part is shown, and the operations the window and the page call. The window (CViewLogicWave)
// paints the display list Paint returns.
//
// Threads: UI thread; the capture thread only appends to the capture.
#include <cstdint>

#include "logic/LogicSettings.h"
#include "logic/WaveCapture.h"
#include "logic/WaveDecoder.h"
#include "logic/WaveLayout.h"

class WaveView {
public:
    WaveCapture capture;
    LogicSettings settings;  // timeScaleUs 100 until the page sets its own
    uint32_t firstShown = 0;  // always even
    uint32_t lastDrawnCount = 0;
    uint32_t decodeStart = 0;
    uint32_t samplesPerScreen = 10;

    DecodedByte DecodeByte(uint32_t i) const;
    uint32_t FindFirstByteStart();
    // samplesPerScreen for a client of width x height.
    void UpdateLayout(int width, int height);
    // The first shown sample (even) of the screen that ends with the capture's last sample.
    uint32_t LastScreenStart(int width, int height) const;
    // The display list for a client of width x height; sets decodeStart and, when the trace
    // was walked, samplesPerScreen.
    WaveDisplayList Paint(int width, int height, const WaveLabelWidth& labelWidth);

private:
    WaveScreen Screen() const;
    ByteStartChain chain_;
    DecodedBytes bytes_;
};

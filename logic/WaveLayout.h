#pragma once
// What the waveform view draws, as a display list a thin window paints in order.
//
// Geometry for a client W x H: the row end x_end is the largest of 55, 105, 155, ... that is
// <= W (5 when W < 55); rows 0 .. r + 1 carry the trace, r = (H - 45) / 70 when H >= 115,
// else 0; row k is high at y = 10 + 70k, low at 35 + 70k, its label band at 45 + 70k.
// 5 pixels stand for timeScaleUs µs; the trace starts at x = 55 and wraps at x_end.
//
// The list: the left border, the grid, the label bands, then (with at least 2 samples) the
// yellow lead-in and, row by row, the cyan trace as one polyline per run (edges on one pixel
// column merged, runs of columns that carry both levels as filled blocks), the dashes of an
// interval longer than a row, and the row's labels: each
// byte in hex under the trace (" #" when bad), gaps in ms and LIN breaks ("BRK") above it
// when they are wider than a frame and at least 61 px. A byte label that would start inside
// the previous byte label of its row is left out. The trace ends in a half edge and a yellow
// line when it reaches the last sample.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "logic/LogicSettings.h"
#include "logic/WaveDecoder.h"

struct WaveRgb {
    uint8_t r, g, b;
    bool operator==(const WaveRgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
constexpr WaveRgb kWaveBorder{200, 80, 190};
constexpr WaveRgb kWaveGrid{130, 130, 130};
constexpr WaveRgb kWaveBandFill{80, 80, 80};
constexpr WaveRgb kWaveBandOutline{150, 150, 150};
constexpr WaveRgb kWaveLeadIn{255, 255, 0};
constexpr WaveRgb kWaveTrace{0, 255, 255};
constexpr WaveRgb kWaveText{255, 255, 255};

struct WavePoint {
    int x, y;
    bool operator==(const WavePoint& o) const { return x == o.x && y == o.y; }
};

enum class WaveItemKind { Line, Rect, Polyline, Text };

struct WaveItem {
    WaveItemKind kind;
    WaveRgb colour;  // pen, outline or text
    WaveRgb fill;    // Rect only
    int penWidth;
    // Line: from, to. Rect: (left, top), (right, bottom) just outside it. Polyline: its
    // points. Text: its top-left corner.
    std::vector<WavePoint> points;
    std::string text;
};

struct WaveDisplayList {
    std::vector<WaveItem> items;
    uint32_t samplesPerScreen = 0;  // 0: the trace was not walked (fewer than 2 samples)
};

struct WaveGeometry {
    int xEnd;
    int extraRows;
};
WaveGeometry WaveGeometryFor(int width, int height);
inline int WaveHighY(int row) { return 10 + 70 * row; }
inline int WaveLowY(int row) { return 35 + 70 * row; }

// "12.3ms" for 12345 µs: tenths of a ms, truncated.
std::string FormatGapLabel(uint64_t gapUs);
// "5A", or "5A #" for a bad byte.
std::string FormatByteLabel(uint64_t value, bool bad);

// Pixel width of a label in the font the view draws with.
using WaveLabelWidth = std::function<int(const std::string&)>;

struct WaveScreen {
    const uint32_t* samples = nullptr;
    uint32_t count = 0;
    uint32_t firstShown = 0;
    uint32_t decodeStart = 0;  // FindFirstByteStart for firstShown
    LogicSettings settings;
    DecodedBytes* bytes = nullptr;  // kept from paint to paint, when there is one
};

// One run of the trace into items: a polyline, except that neighbouring pixel columns that
// each span both levels become one filled block (the same pixels, a fraction of the stroke).
void AppendTrace(const std::vector<WavePoint>& points, std::vector<WaveItem>& items);

WaveDisplayList BuildWaveDisplayList(const WaveScreen& screen, int width, int height,
                                     const WaveLabelWidth& labelWidth);

// The samples that fit from firstShown (at least 1): the same walk without drawing, except
// that an interval longer than a row goes on at x = 50.
uint32_t WaveSamplesPerScreen(const WaveScreen& screen, int width, int height);

// The ruler under the view: from 5 px inside the view's left edge and 5 px below its bottom,
// a tick every 5 px (20 long, every fifth 25, every tenth 30 with its number / 10 written
// 32 px below the ruler's top and 5 px to the left) while x <= the view's right edge.
struct RulerTick {
    int x, top, bottom;
};
struct RulerLabel {
    int x, y;
    std::string text;
};
struct RulerMarks {
    std::vector<RulerTick> ticks;
    std::vector<RulerLabel> labels;
};
RulerMarks BuildRuler(int viewLeft, int viewBottom, int viewRight);

#pragma once
// The waveform view's pixels: its display list drawn into a buffer of our own, so that a paint
// hands the toolkit one image instead of thousands of strokes and label bitmaps.
//
// It draws these axis-aligned primitives exactly as the toolkit's antialiased renderer does,
// so a screen keeps every pixel it had when the toolkit drew the list:
// - a pen of odd width strokes through pixel centres, an even one along pixel edges; ends are
//   butt, every corner of a polyline is filled out to the pen's square, and a polyline
//   that turns back on itself gets no more than its two strokes there;
// - a rectangle is its fill inside a one-pixel outline, both covering [left, right) x
//   [top, bottom);
// - every edge falls on a whole or half pixel, so an item covers each pixel in quarters; the
//   item is laid over what is there with that coverage as its weight, one item after another
//   (two items blend where they overlap, one item never with itself);
// - a label is a glyph mask laid over what is there.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "logic/WaveLayout.h"

// A label's glyph coverage, one byte a pixel, row after row.
struct WaveLabelMask {
    int width = 0, height = 0;
    std::vector<uint8_t> alpha;
};
using WaveLabelMasks = std::function<const WaveLabelMask&(const std::string&)>;

class WaveRaster {
public:
    // The list on black, width x height (both at least 1).
    void Draw(const WaveDisplayList& list, int width, int height, const WaveLabelMasks& labels);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0x00RRGGBB, row after row, Width() pixels a row.
    const uint32_t* Pixels() const { return pixels_.data(); }
    uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

private:
    struct PixelBox {
        int left, top, right, bottom;  // inclusive
    };
    void DrawItem(const WaveItem& item, const WaveLabelMask* mask);
    // [x0, x1) x [y0, y1) in half pixels, clipped to the strip, as the pixels it touches; false if none.
    bool Clip(int& x0, int& y0, int& x1, int& y1, PixelBox& box) const;
    // One box laid over the pixels at once: an item of one box cannot overlap itself.
    void BlendBox(int x0, int y0, int x1, int y1, WaveRgb colour);
    // Adds [x0, x1) x [y0, y1), in half pixels, to the item being drawn.
    void AddBox(int x0, int y0, int x1, int y1);
    void AddStroke(const WavePoint* points, size_t count, int penWidth, bool closed);
    // Lays the item's coverage over the pixels in colour, and clears it for the next item.
    void Composite(WaveRgb colour);
    void DrawMask(const WaveLabelMask& mask, int x, int y, WaveRgb colour);

    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
    std::vector<uint8_t> quarters_;  // the item being drawn: a bit a quarter pixel
    std::vector<PixelBox> touched_;  // where quarters_ is not all clear
    std::vector<PixelBox> solids_;   // pixels the item covers whole
    int clipTop_ = 0, clipBottom_ = 0;  // the rows being drawn
    std::vector<uint32_t> stripStart_, stripItems_;  // the items of each strip, in order
    std::vector<const WaveLabelMask*> masks_;  // each label's, looked up once
};

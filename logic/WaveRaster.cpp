#include "logic/WaveRaster.h"

#include <algorithm>
#include <utility>

namespace {

// Quarter bits of one pixel's top half; its bottom half's are these shifted left by 2.
constexpr uint8_t kTopLeft = 1, kTopRight = 2;

// Weight of 0..4 covered quarters (one alone does not occur with these pens).
constexpr uint8_t kCoverage[5] = {0, 64, 128, 192, 255};

constexpr uint8_t kQuarterCount[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};

// x * a / 255, rounded as the toolkit's span renderer rounds it.
inline uint32_t Scale(uint32_t x, uint32_t a) {
    const uint32_t t = x * a + 0x7f;
    return (t + (t >> 8)) >> 8;
}

// x * a / 255, rounded as the toolkit's compositor rounds it for an image laid over.
inline uint32_t ScaleOver(uint32_t x, uint32_t a) {
    const uint32_t t = x * a + 0x80;
    return (t + (t >> 8)) >> 8;
}

inline uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }
inline uint32_t Pack(WaveRgb c) { return Pack(c.r, c.g, c.b); }

// Colour c with weight a over pixel d.
inline uint32_t Lerp(WaveRgb c, uint32_t d, uint32_t a) {
    const uint32_t na = 255 - a;
    const uint32_t r = std::min<uint32_t>(255, Scale(c.r, a) + Scale(d >> 16 & 0xff, na));
    const uint32_t g = std::min<uint32_t>(255, Scale(c.g, a) + Scale(d >> 8 & 0xff, na));
    const uint32_t b = std::min<uint32_t>(255, Scale(c.b, a) + Scale(d & 0xff, na));
    return Pack(r, g, b);
}

}  // namespace

// The quarters a box [x0, x1) x [y0, y1) covers of its first, middle and last pixel
// column in one pixel row.
struct RowQuarters {
    uint8_t first, middle, last;
};

class BoxQuarters {
public:
    BoxQuarters(int x0, int y0, int x1, int y1, int left, int right)
        : y0_(y0),
          y1_(y1),
          first_((x0 & 1 ? 0 : kTopLeft) | (left == right && (x1 & 1) ? 0 : kTopRight)),
          last_(kTopLeft | (x1 & 1 ? 0 : kTopRight)) {}
    RowQuarters Row(int y) const {
        const bool upper = 2 * y >= y0_, lower = 2 * y + 1 < y1_;
        const auto rows = [&](unsigned h) { return static_cast<uint8_t>((upper ? h : 0) | (lower ? h << 2 : 0)); };
        return {rows(first_), rows(kTopLeft | kTopRight), rows(last_)};
    }

private:
    int y0_, y1_;
    unsigned first_, last_;
};

// Rows drawn at a time: a strip of the buffer and its coverage stay in the cache while every
// item that reaches into it is drawn, instead of each item sending the buffer through memory.
// The strips follow the view's rows (70 px apart; the first strip is 40 px), so that a row's
// trace, its labels and the band under it fall into one strip.
constexpr int kStripRows = 70, kFirstStripRows = 40;
inline int StripOf(int y) { return y < kFirstStripRows ? 0 : 1 + (y - kFirstStripRows) / kStripRows; }
inline int StripTop(int s) { return s == 0 ? 0 : kFirstStripRows + (s - 1) * kStripRows; }

void WaveRaster::Draw(const WaveDisplayList& list, int width, int height, const WaveLabelMasks& labels) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    const size_t n = static_cast<size_t>(width_) * height_;
    pixels_.resize(n);
    if (quarters_.size() != n) quarters_.assign(n, 0);
    touched_.clear();
    // The strips each item reaches into, in list order.
    const int strips = StripOf(height_ - 1) + 1;
    stripStart_.assign(static_cast<size_t>(strips) + 1, 0);
    masks_.assign(list.items.size(), nullptr);
    std::vector<std::pair<int, int>> reach(list.items.size());  // first and last strip
    for (size_t i = 0; i < list.items.size(); ++i) {
        const WaveItem& item = list.items[i];
        if (item.points.empty()) {
            reach[i] = {1, 0};
            continue;
        }
        int top = item.points[0].y, bottom = top;
        for (const WavePoint& p : item.points) {
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        if (item.kind == WaveItemKind::Text) {
            masks_[i] = &labels(item.text);
            bottom = top + masks_[i]->height;
        } else {
            top -= item.penWidth;  // the pen reaches past the points
            bottom += item.penWidth;
        }
        const int first = StripOf(std::clamp(top, 0, height_ - 1));
        const int last = StripOf(std::clamp(bottom, 0, height_ - 1));
        reach[i] = {first, last};
        for (int s = first; s <= last; ++s) ++stripStart_[static_cast<size_t>(s) + 1];
    }
    for (int s = 0; s < strips; ++s) stripStart_[static_cast<size_t>(s) + 1] += stripStart_[static_cast<size_t>(s)];
    stripItems_.resize(stripStart_.back());
    std::vector<uint32_t> fill(stripStart_.begin(), stripStart_.end() - 1);
    for (size_t i = 0; i < list.items.size(); ++i)
        for (int s = reach[i].first; s <= reach[i].second; ++s)
            stripItems_[fill[static_cast<size_t>(s)]++] = static_cast<uint32_t>(i);

    for (int s = 0; s < strips; ++s) {
        clipTop_ = StripTop(s);
        clipBottom_ = std::min(height_, StripTop(s + 1));
        std::fill(pixels_.begin() + static_cast<ptrdiff_t>(clipTop_) * width_,
                  pixels_.begin() + static_cast<ptrdiff_t>(clipBottom_) * width_, 0u);
        for (uint32_t k = stripStart_[static_cast<size_t>(s)]; k < stripStart_[static_cast<size_t>(s) + 1]; ++k)
            DrawItem(list.items[stripItems_[k]], masks_[stripItems_[k]]);
    }
}

void WaveRaster::DrawItem(const WaveItem& item, const WaveLabelMask* mask) {
    switch (item.kind) {
    case WaveItemKind::Line:
        if (item.points.size() == 2) {
            AddStroke(item.points.data(), 2, item.penWidth, false);
            Composite(item.colour);
        }
        return;
    case WaveItemKind::Polyline:
        AddStroke(item.points.data(), item.points.size(), item.penWidth, false);
        Composite(item.colour);
        return;
    case WaveItemKind::Rect: {
        const int left = item.points[0].x, top = item.points[0].y;
        const int right = item.points[1].x, bottom = item.points[1].y;
        if (right <= left || bottom <= top) return;
        // The fill stops half a pixel inside; the outline is stroked through the centres of
        // the outer pixels, covering them whole.
        if (item.penWidth == 1 && right - left >= 2 && bottom - top >= 2) {
            // So the outer pixels are the outline's colour, the inner ones the fill's.
            if (item.fill == item.colour) {
                BlendBox(2 * left, 2 * top, 2 * right, 2 * bottom, item.colour);
                return;
            }
            BlendBox(2 * left + 2, 2 * top + 2, 2 * right - 2, 2 * bottom - 2, item.fill);
            BlendBox(2 * left, 2 * top, 2 * right, 2 * top + 2, item.colour);
            BlendBox(2 * left, 2 * bottom - 2, 2 * right, 2 * bottom, item.colour);
            BlendBox(2 * left, 2 * top + 2, 2 * left + 2, 2 * bottom - 2, item.colour);
            BlendBox(2 * right - 2, 2 * top + 2, 2 * right, 2 * bottom - 2, item.colour);
            return;
        }
        BlendBox(2 * left + 1, 2 * top + 1, 2 * right - 1, 2 * bottom - 1, item.fill);
        const WavePoint corners[4] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
        AddStroke(corners, 4, item.penWidth, true);
        Composite(item.colour);
        return;
    }
    case WaveItemKind::Text:
        if (mask) DrawMask(*mask, item.points[0].x, item.points[0].y, item.colour);
        return;
    }
}

bool WaveRaster::Clip(int& x0, int& y0, int& x1, int& y1, PixelBox& box) const {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 2 * clipTop_);
    x1 = std::min(x1, 2 * width_);
    y1 = std::min(y1, 2 * clipBottom_);
    if (x0 >= x1 || y0 >= y1) return false;
    box = {x0 >> 1, y0 >> 1, (x1 - 1) >> 1, (y1 - 1) >> 1};
    return true;
}

void WaveRaster::BlendBox(int x0, int y0, int x1, int y1, WaveRgb colour) {
    PixelBox box;
    if (!Clip(x0, y0, x1, y1, box)) return;
    const uint32_t solid = Pack(colour);
    const BoxQuarters quarters(x0, y0, x1, y1, box.left, box.right);
    for (int y = box.top; y <= box.bottom; ++y) {
        const RowQuarters q = quarters.Row(y);
        uint32_t* out = &pixels_[static_cast<size_t>(y) * width_];
        const auto blend = [&](int x, uint8_t bits) {
            const uint8_t a = kCoverage[kQuarterCount[bits]];
            if (a != 0) out[x] = a == 255 ? solid : Lerp(colour, out[x], a);
        };
        blend(box.left, q.first);
        if (box.right == box.left) continue;
        if (q.middle == 0xF)
            std::fill(out + box.left + 1, out + box.right, solid);
        else
            for (int x = box.left + 1; x < box.right; ++x) blend(x, q.middle);
        blend(box.right, q.last);
    }
}

void WaveRaster::AddBox(int x0, int y0, int x1, int y1) {
    PixelBox box;
    if (!Clip(x0, y0, x1, y1, box)) return;
    // The pixels the box covers whole are the item's colour whatever else covers them; only
    // its edges, where it covers part of a pixel, go through the coverage of the item.
    const PixelBox whole{x0 & 1 ? box.left + 1 : box.left, y0 & 1 ? box.top + 1 : box.top,
                         x1 & 1 ? box.right - 1 : box.right, y1 & 1 ? box.bottom - 1 : box.bottom};
    if (whole.left <= whole.right && whole.top <= whole.bottom) solids_.push_back(whole);
    const auto edge = [&](PixelBox part) {
        for (int y = part.top; y <= part.bottom; ++y) {
            uint8_t* row = &quarters_[static_cast<size_t>(y) * width_];
            const unsigned upper = 2 * y >= y0 ? 1 : 0, lower = 2 * y + 1 < y1 ? 1 : 0;
            for (int x = part.left; x <= part.right; ++x) {
                const unsigned h = (2 * x >= x0 ? kTopLeft : 0) | (2 * x + 1 < x1 ? kTopRight : 0);
                row[x] |= static_cast<uint8_t>((upper ? h : 0) | (lower ? h << 2 : 0));
            }
        }
        touched_.push_back(part);
    };
    // (A box one pixel tall or wide with both edges in that pixel has it once.)
    if (y0 & 1) edge({box.left, box.top, box.right, box.top});
    if ((y1 & 1) && !(box.bottom == box.top && (y0 & 1))) edge({box.left, box.bottom, box.right, box.bottom});
    if (whole.top <= whole.bottom) {
        if (x0 & 1) edge({box.left, whole.top, box.left, whole.bottom});
        if ((x1 & 1) && !(box.right == box.left && (x0 & 1))) edge({box.right, whole.top, box.right, whole.bottom});
    }
}

void WaveRaster::AddStroke(const WavePoint* points, size_t count, int penWidth, bool closed) {
    if (count < 2) return;
    const int offset = penWidth % 2;  // half pixels: odd pens go through pixel centres
    const int half = std::max(penWidth, 1);  // half the pen, in half pixels
    const auto at = [&](size_t i) { return WavePoint{2 * points[i].x + offset, 2 * points[i].y + offset}; };
    const size_t segments = closed ? count : count - 1;
    for (size_t i = 0; i < segments; ++i) {
        const WavePoint a = at(i), b = at((i + 1) % count);
        if (a.y == b.y)
            AddBox(std::min(a.x, b.x), a.y - half, std::max(a.x, b.x), a.y + half);
        else
            AddBox(a.x - half, std::min(a.y, b.y), a.x + half, std::max(a.y, b.y));
    }
    // A corner is filled out to the pen's square; a run that turns back on itself on one
    // line gets nothing there (its end stays half a pen short, as at a free end).
    const auto horizontal = [&](size_t i) { return points[i].y == points[(i + 1) % count].y; };
    for (size_t i = closed ? 0 : 1; i < (closed ? count : count - 1); ++i) {
        if (horizontal(i) == horizontal((i + count - 1) % count)) continue;
        const WavePoint v = at(i);
        AddBox(v.x - half, v.y - half, v.x + half, v.y + half);
    }
}

void WaveRaster::Composite(WaveRgb colour) {
    const uint32_t solid = Pack(colour);
    // A pixel is cleared once laid over, so where edges overlap it is laid over once; the
    // whole pixels come after, over any edge that also fell on them.
    for (const PixelBox& box : touched_)
        for (int y = box.top; y <= box.bottom; ++y) {
            uint8_t* row = &quarters_[static_cast<size_t>(y) * width_];
            uint32_t* out = &pixels_[static_cast<size_t>(y) * width_];
            for (int x = box.left; x <= box.right; ++x) {
                const uint8_t q = row[x];
                if (q == 0) continue;
                row[x] = 0;
                const uint8_t a = kCoverage[kQuarterCount[q]];
                out[x] = a == 255 ? solid : Lerp(colour, out[x], a);
            }
        }
    touched_.clear();
    for (const PixelBox& box : solids_)
        for (int y = box.top; y <= box.bottom; ++y) {
            uint32_t* out = &pixels_[static_cast<size_t>(y) * width_];
            std::fill(out + box.left, out + box.right + 1, solid);
        }
    solids_.clear();
}

void WaveRaster::DrawMask(const WaveLabelMask& mask, int x, int y, WaveRgb colour) {
    const int left = std::max(x, 0), right = std::min(x + mask.width, width_);
    const int top = std::max(y, clipTop_), bottom = std::min(y + mask.height, clipBottom_);
    for (int py = top; py < bottom; ++py) {
        const uint8_t* in = &mask.alpha[static_cast<size_t>(py - y) * mask.width - x];
        uint32_t* out = &pixels_[static_cast<size_t>(py) * width_];
        for (int px = left; px < right; ++px) {
            const uint32_t a = in[px];
            if (a == 0) continue;
            const uint32_t d = out[px], na = 255 - a;
            // The label's colour premultiplied by its coverage, over the pixel.
            out[px] = Pack(std::min<uint32_t>(255, ScaleOver(colour.r, a) + ScaleOver(d >> 16 & 0xff, na)),
                           std::min<uint32_t>(255, ScaleOver(colour.g, a) + ScaleOver(d >> 8 & 0xff, na)),
                           std::min<uint32_t>(255, ScaleOver(colour.b, a) + ScaleOver(d & 0xff, na)));
        }
    }
}

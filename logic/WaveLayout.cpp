#include "logic/WaveLayout.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "logic/WaveDecoder.h"

namespace {

constexpr int kTraceLeft = 55;
constexpr int kRowPitch = 70;
constexpr int kLevelSwing = 25;
constexpr int kMinLabelledWidth = 61;

WaveItem Line(int x1, int y1, int x2, int y2, WaveRgb colour, int width) {
    return WaveItem{WaveItemKind::Line, colour, colour, width, {{x1, y1}, {x2, y2}}, {}};
}

WaveItem Band(int left, int top, int right, int bottom) {
    return WaveItem{WaveItemKind::Rect, kWaveBandOutline, kWaveBandFill, 1, {{left, top}, {right, bottom}}, {}};
}

// Points of one trace run. Vertical moves on one pixel column collapse to the span they
// cover, ending where the run leaves the column, so a dense capture costs a few points per
// column instead of two per edge.
class Polyline {
public:
    void Start(int x, int y) {
        points_.clear();
        points_.push_back({x, y});
    }
    void To(int x, int y) {
        const WavePoint p{x, y};
        const size_t n = points_.size();
        if (n >= 1 && points_[n - 1] == p) return;
        if (n >= 3 && points_[n - 1].x == x && points_[n - 2].x == x && points_[n - 3].x == x &&
            points_[n - 2].y == y && points_[n - 3].y == points_[n - 1].y) {
            points_.pop_back();  // a b a + b covers no more than a b
            return;
        }
        points_.push_back(p);
    }
    // What To can act on: the count and the last three points.
    struct Snapshot {
        size_t size;
        WavePoint tail[3];
        bool operator==(const Snapshot& o) const {
            if (size != o.size) return false;
            for (size_t i = 0; i < std::min<size_t>(size, 3); ++i)
                if (!(tail[i] == o.tail[i])) return false;
            return true;
        }
    };
    Snapshot Snap() const {
        Snapshot s{points_.size(), {}};
        for (size_t i = 0; i < std::min<size_t>(s.size, 3); ++i) s.tail[i] = points_[s.size - 1 - i];
        return s;
    }
    void FlushTo(std::vector<WaveItem>& items) {
        if (points_.size() >= 2) AppendTrace(points_, items);
        points_.clear();
    }

private:
    std::vector<WavePoint> points_;
};

// The pixel columns [first, last] of points that share one x.
struct Column {
    size_t first, last;
    int top, bottom;
};

}  // namespace

void AppendTrace(const std::vector<WavePoint>& points, std::vector<WaveItem>& items) {
    // Columns in order (x never decreases along the trace).
    std::vector<Column> columns;
    for (size_t i = 0; i < points.size(); ++i) {
        if (columns.empty() || points[i].x != points[columns.back().last].x) {
            columns.push_back({i, i, points[i].y, points[i].y});
            continue;
        }
        Column& c = columns.back();
        c.last = i;
        c.top = std::min(c.top, points[i].y);
        c.bottom = std::max(c.bottom, points[i].y);
    }
    auto full = [&](const Column& c) { return c.bottom - c.top == kLevelSwing; };
    auto polyline = [&](size_t from, size_t to) {  // points [from, to]
        if (to > from)
            items.push_back(WaveItem{WaveItemKind::Polyline, kWaveTrace, kWaveTrace, 1,
                                     std::vector<WavePoint>(points.begin() + from, points.begin() + to + 1), {}});
    };
    size_t pieceStart = 0;
    for (size_t c = 0; c < columns.size();) {
        size_t end = c;  // the run of neighbouring columns that each span both levels
        while (full(columns[c]) && end + 1 < columns.size() && full(columns[end + 1]) &&
               points[columns[end + 1].first].x == points[columns[end].first].x + 1 &&
               columns[end + 1].top == columns[c].top)
            ++end;
        if (end == c) {
            ++c;
            continue;
        }
        polyline(pieceStart, columns[c].first);
        const int left = points[columns[c].first].x, right = points[columns[end].first].x;
        items.push_back(WaveItem{WaveItemKind::Rect, kWaveTrace, kWaveTrace, 1,
                                 {{left, columns[c].top}, {right + 1, columns[c].bottom + 1}}, {}});
        pieceStart = columns[end].last;
        c = end + 1;
    }
    polyline(pieceStart, points.size() - 1);
}

namespace {

// The trace walk of the paint and of the layout.
struct Walk {
    Walk(const WaveScreen& s, WaveGeometry geometry, bool drawing, int continueX)
        : screen(s),
          g(geometry),
          draw(drawing),
          overlongContinue(continueX),
          frameWidth(int64_t{s.settings.frameUs} * 5 / (s.settings.timeScaleUs ? s.settings.timeScaleUs : 1)) {}

    const WaveScreen& screen;
    WaveGeometry g;
    bool draw;
    int overlongContinue;  // x after an interval longer than a row
    int64_t frameWidth;  // a frame's pixels
    const WaveLabelWidth* labelWidth = nullptr;
    WaveDisplayList* list = nullptr;

    Polyline poly;
    std::vector<WaveItem> rowItems;  // dashes and labels, after the row's trace
    int lastByteLabelEnd = INT_MIN;

    void FlushRow() {
        poly.FlushTo(list->items);
        for (WaveItem& item : rowItems) list->items.push_back(std::move(item));
        rowItems.clear();
        lastByteLabelEnd = INT_MIN;
    }

    void Text(int x, int y, std::string text) {
        rowItems.push_back(WaveItem{WaveItemKind::Text, kWaveText, kWaveText, 1, {{x, y}}, std::move(text)});
    }

    void Label(const WaveDecoder& decoder, uint32_t k, uint32_t& cursor, int64_t x, int row) {
        const DecodedByte b = screen.bytes ? screen.bytes->Decode(decoder, k, screen.decodeStart)
                                           : decoder.DecodeByte(k, screen.decodeStart);
        if (b.code == ByteCode::End) return;  // the rest waits for later samples
        cursor = b.next;
        const int64_t s = WaveDecoder::Pixels(screen.samples[k], screen.samples[b.next], screen.settings.timeScaleUs);
        const int64_t f = frameWidth;
        const bool pastRow = x + s > g.xEnd;
        switch (b.code) {
        case ByteCode::Good:
        case ByteCode::Bad: {
            const bool bad = b.code == ByteCode::Bad;
            const int tx = static_cast<int>(pastRow ? x + 10 : x + s / 2 - (bad ? 16 : 12));
            if (tx < lastByteLabelEnd) return;
            std::string text = FormatByteLabel(b.value, bad);
            lastByteLabelEnd = tx + ((*labelWidth) ? (*labelWidth)(text) : 0);
            Text(tx, WaveLowY(row) + 10, std::move(text));
            return;
        }
        case ByteCode::Gap:
        case ByteCode::Break: {
            if (!(s > f && s >= kMinLabelledWidth)) return;
            const int tx = static_cast<int>(pastRow ? x + (g.xEnd - x) / 2 : x + s / 2 - 20);
            const bool gap = b.code == ByteCode::Gap;
            const int ty = WaveHighY(row) + (gap && (k & 1) ? 2 : 3);
            Text(tx, ty, gap ? FormatGapLabel(b.gapUs) : "BRK");
            return;
        }
        default:
            return;
        }
    }

    // Intervals narrower than a pixel from interval j on, which the trace draws up and down on
    // column x, with their labels; returns the j of the first interval wider than that (or
    // past the samples). The same points and labels as one interval at a time: labels follow
    // the byte chain through the run, and the points, which To builds from their last three
    // and the next, repeat every two moves once they have repeated once.
    uint64_t Column(const WaveDecoder& decoder, uint64_t j, int x, int& y, int row, uint32_t& cursor) {
        const uint32_t n = screen.count, first = screen.firstShown;
        uint64_t end = j + 1;
        while (uint64_t{first} + end < n && WaveDecoder::Narrow(screen.samples[first + end - 1], screen.samples[first + end],
                                                            screen.settings.timeScaleUs))
            ++end;
        const uint32_t from = static_cast<uint32_t>(first + j - 1), to = static_cast<uint32_t>(first + end - 1);
        while (cursor >= from && cursor < to) {
            const uint32_t at = cursor;
            Label(decoder, at, cursor, x, row);
            if (cursor == at) break;  // the byte's end has not arrived
        }
        Polyline::Snapshot seen[2];
        for (uint64_t move = 0; j < end; ++j, ++move) {
            y += (j & 1) ? kLevelSwing : -kLevelSwing;
            poly.To(x, y);
            const Polyline::Snapshot now = poly.Snap();
            if (move >= 2 && now == seen[move % 2]) {
                // Pairs of moves change nothing from here; an odd one left is one move.
                if ((end - j - 1) % 2 == 1) {
                    y += ((end - 1) & 1) ? kLevelSwing : -kLevelSwing;
                    poly.To(x, y);
                }
                return end;
            }
            seen[move % 2] = now;
        }
        return end;
    }

    // Returns the samples per screen.
    uint32_t Run() {
        const uint32_t n = screen.count;
        const uint32_t first = screen.firstShown;
        const WaveDecoder decoder(screen.samples, n, screen.settings);
        int64_t x = kTraceLeft;
        int row = 0;
        int y = WaveHighY(0);
        uint32_t cursor = first;
        if (draw) poly.Start(kTraceLeft, y);
        uint64_t j = 1;
        for (; uint64_t{first} + j < n; ++j) {
            const uint32_t k = static_cast<uint32_t>(first + j - 1);
            const int64_t w = WaveDecoder::Pixels(screen.samples[k], screen.samples[k + 1], screen.settings.timeScaleUs);
            if (draw && w == 0 && x <= g.xEnd) {
                j = Column(decoder, j, static_cast<int>(x), y, row, cursor) - 1;
                continue;
            }
            y += (j & 1) ? kLevelSwing : -kLevelSwing;
            if (draw) {
                poly.To(static_cast<int>(x), y);
                if (k == cursor) Label(decoder, k, cursor, x, row);
            }
            x += w;
            if (x <= g.xEnd) {
                if (draw) poly.To(static_cast<int>(x), y);
                continue;
            }
            if (draw) poly.To(g.xEnd, y);
            if (++row > g.extraRows + 1) break;
            y += kRowPitch;
            x = 5 + (x - g.xEnd);
            if (draw) FlushRow();
            if (x > g.xEnd) {  // longer than a row
                if (draw)
                    for (int dx = 10; dx <= 50; dx += 10)
                        rowItems.push_back(Line(dx, y, dx + 5, y, kWaveTrace, 1));
                x = overlongContinue;
                if (draw) poly.Start(static_cast<int>(x), y);
            } else if (draw) {
                poly.Start(5, y);
                poly.To(static_cast<int>(x), y);
            }
        }
        const bool reachedEnd = uint64_t{first} + j >= n;
        if (draw) {
            if (reachedEnd) {
                const bool high = y == WaveHighY(row);
                const int mid = high ? WaveHighY(row) + 12 : WaveLowY(row) - 12;
                poly.To(static_cast<int>(x), mid);
                FlushRow();
                list->items.push_back(Line(static_cast<int>(x), mid, static_cast<int>(x) + 50, mid, kWaveLeadIn, 1));
            } else {
                FlushRow();
            }
        }
        return static_cast<uint32_t>(j);
    }
};

}  // namespace

WaveGeometry WaveGeometryFor(int width, int height) {
    WaveGeometry g;
    g.xEnd = width < kTraceLeft ? 5 : kTraceLeft + (width - kTraceLeft) / 50 * 50;
    g.extraRows = height >= 115 ? (height - 45) / kRowPitch : 0;
    return g;
}

std::string FormatGapLabel(uint64_t gapUs) {
    const uint64_t tenths = gapUs / 100;
    char text[48];
    std::snprintf(text, sizeof text, "%llu.%llums", static_cast<unsigned long long>(tenths / 10),
                  static_cast<unsigned long long>(tenths % 10));
    return text;
}

std::string FormatByteLabel(uint64_t value, bool bad) {
    char text[24];
    std::snprintf(text, sizeof text, bad ? "%02llX #" : "%02llX", static_cast<unsigned long long>(value));
    return text;
}

WaveDisplayList BuildWaveDisplayList(const WaveScreen& screen, int width, int height,
                                     const WaveLabelWidth& labelWidth) {
    WaveDisplayList list;
    const WaveGeometry g = WaveGeometryFor(width, height);
    list.items.push_back(Line(5, 0, 5, height, kWaveBorder, 2));
    for (int x = kTraceLeft; x <= width; x += 50) list.items.push_back(Line(x, 0, x, height, kWaveGrid, 1));
    list.items.push_back(Line(g.xEnd + 1, 0, g.xEnd + 1, height, kWaveBorder, 2));
    list.items.push_back(Band(4, 45, width, 70));
    for (int y = 115; y <= height; y += kRowPitch) list.items.push_back(Band(4, y, width, y + 25));
    if (screen.count < 2) return list;

    const int leadY = screen.firstShown > 0 ? WaveHighY(0) : 22;
    list.items.push_back(Line(5, leadY, kTraceLeft, leadY, kWaveLeadIn, 1));
    Walk walk(screen, g, true, kTraceLeft);
    walk.labelWidth = &labelWidth;
    walk.list = &list;
    list.samplesPerScreen = walk.Run();
    return list;
}

uint32_t WaveSamplesPerScreen(const WaveScreen& screen, int width, int height) {
    Walk walk(screen, WaveGeometryFor(width, height), false, 50);
    const uint32_t j = walk.Run();
    return j > 0 ? j : 1;
}

RulerMarks BuildRuler(int viewLeft, int viewBottom, int viewRight) {
    RulerMarks marks;
    const int top = viewBottom + 5;
    for (int i = 0, x = viewLeft + 5; x <= viewRight; ++i, x += 5) {
        const int length = i % 10 == 0 ? 30 : i % 5 == 0 ? 25 : 20;
        marks.ticks.push_back({x, top, top + length});
        if (i % 10 == 0) marks.labels.push_back({x - 5, top + 32, std::to_string(i / 10)});
    }
    return marks;
}

// The display list the view paints, and the ruler under it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "logic/UartSynth.h"
#include "logic/WaveLayout.h"
#include "logic/WaveView.h"

namespace {

using Samples = std::vector<uint32_t>;

LogicSettings Settings(uint32_t timeScaleUs, uint32_t parityMode = ParityNone) {
    LogicSettings s;
    s.parityMode = parityMode;
    ApplyLogicBaud(s, 10400);
    s.timeScaleUs = timeScaleUs;
    return s;
}

// A view holding these samples, painted at this size.
struct Painted {
    WaveView view;
    WaveDisplayList list;
    Painted(const Samples& samples, const LogicSettings& s, int w, int h, uint32_t firstShown = 0,
            const WaveLabelWidth& width = nullptr) {
        view.capture.Assign(samples);
        view.settings = s;
        view.firstShown = firstShown;
        list = view.Paint(w, h, width);
    }
    std::vector<const WaveItem*> Items(WaveItemKind kind) const {
        std::vector<const WaveItem*> out;
        for (const WaveItem& item : list.items)
            if (item.kind == kind) out.push_back(&item);
        return out;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const WaveItem* item : Items(WaveItemKind::Text)) out.push_back(item->text);
        return out;
    }
    std::vector<WavePoint> TracePoints() const {
        std::vector<WavePoint> out;
        for (const WaveItem* item : Items(WaveItemKind::Polyline))
            out.insert(out.end(), item->points.begin(), item->points.end());
        return out;
    }
    // The first point of every line in the colour.
    std::vector<WavePoint> LineStarts(const WaveRgb& colour) const {
        std::vector<WavePoint> out;
        for (const WaveItem* item : Items(WaveItemKind::Line))
            if (item->colour == colour) out.push_back(item->points[0]);
        return out;
    }
    const WaveItem* Text(const std::string& text) const {
        for (const WaveItem* item : Items(WaveItemKind::Text))
            if (item->text == text) return item;
        return nullptr;
    }
};

// A byte FF, then a high gap of gapTicks, then a falling edge.
Samples ByteThenGap(uint32_t gapTicks) { return {0, 60, 60 + gapTicks, 60 + gapTicks + 60}; }

TEST(WaveLayoutTest, RowEndAndRowsFollowTheClientSize) {
    const struct {
        int width, height;
        int xEnd;      // where the second purple line stands, minus 1
        int bands;     // label bands drawn
        int lastLowY;  // the lowest level the trace reaches on a long capture
    } cases[] = {
        {54, 114, 5, 1, 105},   {55, 114, 55, 1, 105},  {104, 115, 55, 2, 175},
        {105, 185, 105, 3, 245}, {1600, 1000, 1555, 14, 35 + 70 * 14},
    };
    UartSynth line(10400, ParityNone);
    for (int i = 0; i < 2000; ++i) line.Byte(0x55);
    line.Break(0);
    for (const auto& c : cases) {
        const Painted grid({}, Settings(50), c.width, c.height);
        const std::vector<WavePoint> purple = grid.LineStarts(kWaveBorder);
        ASSERT_EQ(purple.size(), 2u) << c.width;
        EXPECT_EQ((std::vector<int>{purple[0].x, purple[1].x}), (std::vector<int>{5, c.xEnd + 1})) << c.width;
        EXPECT_EQ(static_cast<int>(grid.Items(WaveItemKind::Rect).size()), c.bands) << c.height;
        const std::vector<WavePoint> trace = Painted(line.Samples(), Settings(50), c.width, c.height).TracePoints();
        EXPECT_EQ(std::max_element(trace.begin(), trace.end(), [](WavePoint a, WavePoint b) { return a.y < b.y; })->y, c.lastLowY) << c.height;
    }
}

TEST(WaveLayoutTest, GapAndBreakLabelsInTenthsOfAMillisecondForMoreThanAFrameAndAtLeast61Pixels) {
    // At 10 µs a frame is 480 px; at 10 ms it is 0 px and 61 px take 76250 ticks.
    const struct { uint32_t timeScaleUs; uint32_t ticks; const char* text; } cases[] = {
        {10, 600, nullptr},     {10, 601, nullptr},   {10, 602, "0.9ms"},      {10, 620, "0.9ms"},
        {10, 624, "0.9ms"},     {10, 625, "1.0ms"},   {10, 7716, "12.3ms"},    {10, 62500, "100.0ms"},
        {10000, 76249, nullptr}, {10000, 76250, "122.0ms"},
    };
    for (const auto& c : cases) {
        const Painted gap(ByteThenGap(c.ticks), Settings(c.timeScaleUs), 1600, 400);
        EXPECT_EQ(gap.Texts(), c.text ? (std::vector<std::string>{"FF", c.text}) : (std::vector<std::string>{"FF"})) << c.ticks;
        // The same interval low, in LIN mode: a break once it is longer than a frame (989 µs).
        const Samples low = {0, c.ticks, c.ticks + 60};
        const Painted brk(low, Settings(c.timeScaleUs, ParityLin), 1600, 400);
        EXPECT_EQ(brk.Text("BRK") != nullptr, c.text && c.ticks * 16 / 10 > 989) << c.timeScaleUs << " " << c.ticks;
    }
    EXPECT_EQ(FormatGapLabel(99), "0.0ms");
}

TEST(WaveLayoutTest, LabelsSitUnderAndAboveTheirIntervals) {
    const Painted p(ByteThenGap(625), Settings(10), 1600, 400);
    // FF: from x 55 over 48 px to its last rising edge; the gap 500 px wide after it.
    ASSERT_NE(p.Text("FF"), nullptr);
    EXPECT_EQ(p.Text("FF")->points[0], (WavePoint{55 + 48 / 2 - 12, 45}));
    ASSERT_NE(p.Text("1.0ms"), nullptr);
    EXPECT_EQ(p.Text("1.0ms")->points[0], (WavePoint{103 + 500 / 2 - 20, 12}));
    // A bad byte is marked and moved 4 px further left.
    Samples shortBit = {0, 60, 110, 180, 240, 300, 360, 420, 480, 540, 600};
    const Painted bad(shortBit, Settings(10), 1600, 400);
    ASSERT_NE(bad.Text("55 #"), nullptr);
    EXPECT_EQ(bad.Text("55 #")->points[0].x, 55 + (540 * 8 / 10) / 2 - 16);
}

TEST(WaveLayoutTest, OneSampleDrawsTheGridAndTheBandsOnly) {
    for (const Samples& samples : {Samples{}, Samples{77}}) {
        const Painted p(samples, Settings(50), 300, 200);
        for (const WaveItem& item : p.list.items)
            EXPECT_TRUE(item.kind == WaveItemKind::Rect ||
                        (item.kind == WaveItemKind::Line && !(item.colour == kWaveLeadIn) && !(item.colour == kWaveTrace)));
        EXPECT_EQ(p.list.samplesPerScreen, 0u);
    }
}

TEST(WaveLayoutTest, AnIntervalLongerThanARowIsDashedAndTheTraceGoesOnAt55) {
    // Width 205: rows run from 55 (5 after a wrap) to 205. The high interval is 10 rows long.
    const Samples samples = {0, 60, 60 + 30000, 60 + 30000 + 60};
    const Painted p(samples, Settings(10), 205, 400);
    EXPECT_EQ(p.LineStarts(kWaveTrace), (std::vector<WavePoint>{{10, 80}, {20, 80}, {30, 80}, {40, 80}, {50, 80}}));
    const std::vector<WavePoint> trace = p.TracePoints();
    EXPECT_NE(std::find(trace.begin(), trace.end(), WavePoint{55, 80}), trace.end());
    EXPECT_NE(std::find(trace.begin(), trace.end(), WavePoint{55, 105}), trace.end()) << "the next edge at 55";
}

TEST(WaveLayoutTest, TheTraceEndsInAHalfEdgeAndAYellowLineAtTheLastSample) {
    const Samples samples = {0, 60, 120};  // low, high, then the last edge
    const Painted p(samples, Settings(10), 1600, 400);
    const std::vector<WavePoint> trace = p.TracePoints();
    EXPECT_EQ(trace, (std::vector<WavePoint>{{55, 10}, {55, 35}, {103, 35}, {103, 10}, {151, 10}, {151, 22}}));
    std::vector<std::vector<WavePoint>> yellow;
    for (const WaveItem* item : p.Items(WaveItemKind::Line))
        if (item->colour == kWaveLeadIn) yellow.push_back(item->points);
    EXPECT_EQ(yellow, (std::vector<std::vector<WavePoint>>{{{5, 22}, {55, 22}}, {{151, 22}, {201, 22}}}));
    EXPECT_EQ(p.list.samplesPerScreen, 3u);
    // Shown from sample 2 on: the lead-in is high; the end half edge goes up from low.
    const Samples more = {0, 60, 120, 180};
    const Painted later(more, Settings(10), 1600, 400, 2);
    const std::vector<WavePoint> laterTrace = later.TracePoints();
    EXPECT_EQ(laterTrace.back(), (WavePoint{103, 23}));
    EXPECT_EQ(later.Items(WaveItemKind::Line)[later.Items(WaveItemKind::Line).size() - 2]->points[0], (WavePoint{5, 10}));
}

TEST(WaveLayoutTest, ADenseCaptureCostsAFewPointsPerPixelColumn) {
    UartSynth line(19200, ParityNone);
    for (int i = 0; i < 20000; ++i) line.Byte(0x55);  // 200,000 edges
    line.Break(0);
    const Painted p(line.Samples(), Settings(10000), 1600, 1000);
    const size_t points = p.TracePoints().size();
    EXPECT_LT(points, 4u * 1600 * 15) << "edges on one column are merged";
    EXPECT_GT(p.list.samplesPerScreen, 100000u);
}

TEST(WaveLayoutTest, EdgesNarrowerThanAPixelSpanTheirColumnAndTheTraceLeavesItAtTheLevelItHasThen) {
    // At 10 ms per 5 px a pixel is 1250 ticks: a low of 2 px, then n edges 100 ticks apart on
    // column 57, then 2 px at the level the last of them leaves, then a falling edge.
    for (uint32_t n = 1; n <= 9; ++n) {
        Samples samples = {0, 2500};
        for (uint32_t i = 0; i < n; ++i) samples.push_back(samples.back() + 100);
        samples.push_back(samples.back() + 2500);
        samples.push_back(samples.back() + 2500);
        const Painted p(samples, Settings(10000), 1600, 400);
        std::vector<int> column;  // the levels on column 57, in order
        for (const WavePoint& point : p.TracePoints())
            if (point.x == 57) column.push_back(point.y);
        // The interval after the n edges is low (35) when n is odd, high (10) when even.
        const std::vector<int> expected = n % 2 ? std::vector<int>{35, 10, 35} : std::vector<int>{35, 10};
        EXPECT_EQ(column, expected) << n << " edges";
        const std::vector<WavePoint> trace = p.TracePoints();
        const auto after = std::find_if(trace.begin(), trace.end(), [](const WavePoint& q) { return q.x > 57; });
        ASSERT_NE(after, trace.end());
        EXPECT_EQ(*after, (WavePoint{59, n % 2 ? 35 : 10})) << n << " edges";
        EXPECT_EQ(p.list.samplesPerScreen, samples.size()) << n << " edges";
    }
}

TEST(WaveLayoutTest, BytesPackedIntoOnePixelColumnKeepTheByteChainForTheLabelsAfterThem) {
    // Five bytes back to back take under 3 px at 10 ms; the bytes after 60 ms of idle are
    // labelled only if every byte in the column was followed to its end.
    for (uint32_t mode : {ParityNone, ParityEven}) {
        UartSynth line(10400, mode == ParityEven ? ParityEven : ParityNone);
        line.Idle(500);
        for (uint8_t b : {0x11, 0x22, 0x33, 0x44, 0x55}) line.Byte(b);
        line.Idle(60000);
        line.Byte(0xA5);
        line.Idle(60000);
        line.Byte(0x5A);
        line.Break(0);
        const Painted p(line.Samples(), Settings(10000, mode), 1600, 400, 0, [](const std::string&) { return 14; });
        EXPECT_EQ(p.Texts(), (std::vector<std::string>{"11", "A5", "5A"})) << "parity mode " << mode;
    }
}

TEST(WaveLayoutTest, AByteLabelStartingInsideThePreviousOneIsLeftOut) {
    UartSynth line(10400, ParityNone);
    line.Idle(500);
    for (int i = 0; i < 40; ++i) {
        line.Byte(static_cast<uint8_t>(i));
        line.Idle(2000);
    }
    line.Break(0);
    // At 1 ms a byte and its idle take 15 px: labels 25 px wide overlap, labels 8 px wide do not.
    const auto width = [](int px) { return [px](const std::string&) { return px; }; };
    const Painted narrow(line.Samples(), Settings(1000), 1600, 400, 0, width(8));
    const Painted wide(line.Samples(), Settings(1000), 1600, 400, 0, width(25));
    EXPECT_EQ(narrow.Texts().size(), 40u);
    const std::vector<const WaveItem*> labels = wide.Items(WaveItemKind::Text);
    EXPECT_LT(labels.size(), 25u);
    EXPECT_GT(labels.size(), 10u);
    for (size_t i = 1; i < labels.size(); ++i)
        EXPECT_GE(labels[i]->points[0].x, labels[i - 1]->points[0].x + 25);
}

TEST(WaveLayoutTest, LayoutCountsTheSamplesOfOneScreen) {
    // 60 ticks are 9 px at 50 µs.
    const Samples samples = {0, 60, 120, 180, 240, 300, 360, 420, 480, 540, 600};
    WaveScreen screen;
    screen.samples = samples.data();
    screen.count = static_cast<uint32_t>(samples.size());
    screen.settings = Settings(50);
    EXPECT_EQ(WaveSamplesPerScreen(screen, 1600, 400), 11u);
    // Width 64: row 0 ends where it starts (55); row 1 (the last) holds five intervals from 5.
    EXPECT_EQ(WaveSamplesPerScreen(screen, 64, 50), 6u);
    screen.count = 0;
    EXPECT_EQ(WaveSamplesPerScreen(screen, 1600, 400), 1u);
}

TEST(WaveLayoutTest, RulerTicksEveryFivePixelsWithNumbersEveryFifty) {
    const RulerMarks marks = BuildRuler(190, 100, 250);
    ASSERT_EQ(marks.ticks.size(), 12u);  // x 195 .. 250
    std::vector<int> lengths;
    for (const RulerTick& t : marks.ticks) lengths.push_back(t.bottom - t.top);
    EXPECT_EQ(lengths, (std::vector<int>{30, 20, 20, 20, 20, 25, 20, 20, 20, 20, 30, 20}));
    EXPECT_EQ(marks.ticks[0].x, 195);
    EXPECT_EQ(marks.ticks[0].top, 105);
    ASSERT_EQ(marks.labels.size(), 2u);
    EXPECT_EQ(marks.labels[1].text, "1");
    EXPECT_EQ(marks.labels[1].x, 240);
    EXPECT_EQ(marks.labels[1].y, 137);
}

}  // namespace

namespace {

using Pixels = std::set<std::pair<int, int>>;

void AddSegment(Pixels& pixels, WavePoint a, WavePoint b) {
    for (int x = std::min(a.x, b.x); x <= std::max(a.x, b.x); ++x)
        for (int y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y) pixels.insert({x, y});
}

Pixels Covered(const std::vector<WaveItem>& items) {
    Pixels pixels;
    for (const WaveItem& item : items) {
        if (item.kind == WaveItemKind::Polyline)
            for (size_t i = 0; i + 1 < item.points.size(); ++i) AddSegment(pixels, item.points[i], item.points[i + 1]);
        if (item.kind == WaveItemKind::Rect)
            AddSegment(pixels, item.points[0], {item.points[1].x - 1, item.points[1].y - 1});
    }
    return pixels;
}

TEST(WaveLayoutTest, TraceBlocksCoverTheSamePixelsAsThePolyline) {
    std::mt19937 random(5);
    size_t blocks = 0;
    for (int trial = 0; trial < 300; ++trial) {
        // A trace between the levels 80 and 105, moving right by 0-2 px between edges.
        std::vector<WavePoint> points = {{5, 80}};
        int x = 5, y = 80;
        for (int edge = 0; edge < 60; ++edge) {
            y = y == 80 ? 105 : 80;
            points.push_back({x, y});
            x += static_cast<int>(random() % 3);
            points.push_back({x, y});
        }
        points.push_back({x, y == 80 ? 92 : 93});
        std::vector<WavePoint> merged;  // as the builder hands them over: repeats dropped
        for (const WavePoint& p : points)
            if (merged.empty() || !(merged.back() == p)) merged.push_back(p);
        std::vector<WaveItem> items;
        AppendTrace(merged, items);
        const WaveItem line{WaveItemKind::Polyline, kWaveTrace, kWaveTrace, 1, merged, {}};
        ASSERT_EQ(Covered(items), Covered({line})) << "trial " << trial;
        size_t itemPoints = 0;
        for (const WaveItem& item : items) {
            itemPoints += item.points.size();
            blocks += item.kind == WaveItemKind::Rect;
        }
        EXPECT_LE(itemPoints, merged.size());
    }
    EXPECT_GT(blocks, 300u);
}

}  // namespace

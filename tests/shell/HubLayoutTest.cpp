#include "monitor/HubLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

TEST(HubLayout, RowsPerPageFollowHeightAndRowHeightWithinTheColourTables) {
    struct Case { int cy, rowPixels; uint32_t rows; } cases[] = {
        {-500, 14, 0},  {0, 14, 0},    {90, 14, 0},    {131, 14, 0},  {145, 14, 0},  // never a wrapped count
        {146, 14, 1},   {760, 14, 44}, {700, 19, 29},  {166, 19, 1},  {300, 100, 0},
        {700, 0, 40},   {700, 5, 40},                                                 // never below 14 pixels
        {3813, 14, 256}, {100000, 14, 256}, {6000, 19, 256},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HubRowsPerPage(c.cy, c.rowPixels), c.rows) << c.cy << " / " << c.rowPixels;
        EXPECT_EQ(ComputeHubLayout(1000, c.cy, c.rowPixels).rowsPerPage, c.rows) << c.cy;
    }
    const HubLayout big = ComputeHubLayout(1000, 700), tiny = ComputeHubLayout(10, 20);
    EXPECT_EQ((std::array{big.list.width, big.list.height, big.scrollBar.x, big.scrollBar.height}),
              (std::array{970, 610, 975, 610}));
    EXPECT_EQ((std::array{tiny.list.width, tiny.list.height, tiny.scrollBar.height}), (std::array{0, 0, 0}));
}

TEST(HubLayout, ScrollClampsToTheLastFullPageAndToZero) {
    struct Clamp { int64_t position, step, page, max; int32_t result; } clamps[] = {
        {10, 1, 20, 100, 11},    {79, 1, 20, 100, 80}, {80, 1, 20, 100, 80},  // past the end: max - page
        {50, 1000, 20, 100, 80}, {3, -5, 20, 100, 0},  {0, -1, 20, 100, 0},   // above the start: 0
        {0, 1, 20, 5, 0},        {0, 5, 0, 0, 0},      {99990, 5, 256, 100000, 99744},
        {2, HubWheelStep(120), 20, 100, 0},  {78, HubWheelStep(-120), 20, 100, 80},  // wheel: 5 rows
        {50, HubWheelStep(0), 20, 100, 45},  {50, HubWheelStep(-1), 20, 100, 55},
    };
    for (const Clamp& c : clamps)
        EXPECT_EQ(HubClampScroll(c.position, c.step, c.page, c.max), c.result)
            << c.position << " + " << c.step << " page " << c.page << " max " << c.max;
}

namespace {

bool Overlap(const HubRect& a, const HubRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// What fails the hub at a client of cx x cy, empty when whole: every button inside, with 10
// pixels of its own left and right (the row buttons stand 20 apart), below the list; the list
// with its header and a row, its scroll bar at least scrollBarHeight.
std::string Fault(int cx, int cy, int rowPixels, int scrollBarHeight) {
    const HubLayout layout = ComputeHubLayout(cx, cy, rowPixels);
    for (const HubButtonPlace& a : layout.buttons) {
        const HubRect r = a.rect;
        if (r.x < 0 || r.y < 0 || r.x + r.width > cx || r.y + r.height > cy) return "outside";
        if (Overlap(r, layout.list) || Overlap(r, layout.scrollBar)) return "over the list";
        for (const HubButtonPlace& b : layout.buttons)
            if (a.id != b.id && Overlap({r.x - 10, r.y, r.width + 20, r.height}, {b.rect.x - 10, b.rect.y, b.rect.width + 20, b.rect.height}))
                return "buttons too close";
    }
    if (layout.rowsPerPage < 1) return "no row";
    if (layout.scrollBar.height < scrollBarHeight || layout.scrollBar.x + layout.scrollBar.width > cx) return "scroll bar";
    return "";
}

}  // namespace

TEST(HubLayout, TheLeastClientKeepsTheHubWholeAndAPixelLessDoesNot) {
    struct Case { int rowPixels, scrollBarHeight, cx, cy; } cases[] = {
        {14, 46, 920, 146}, {17, 46, 920, 158}, {14, 80, 920, 170}, {0, 0, 920, 146}, {30, 20, 920, 210},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rowPixels) + " / " + std::to_string(c.scrollBarHeight));
        const HubSize least = HubMinimumClient(c.rowPixels, c.scrollBarHeight);
        EXPECT_EQ((std::array{least.cx, least.cy}), (std::array{c.cx, c.cy}));
        EXPECT_EQ(Fault(c.cx, c.cy, c.rowPixels, c.scrollBarHeight), "");
        EXPECT_EQ(Fault(1300, 760, c.rowPixels, c.scrollBarHeight), "");
        EXPECT_NE(Fault(c.cx - 1, c.cy, c.rowPixels, c.scrollBarHeight), "");
        EXPECT_NE(Fault(c.cx, c.cy - 1, c.rowPixels, c.scrollBarHeight), "");
    }
}

#include "monitor/HubLayout.h"

#include <gtest/gtest.h>

#include <array>

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

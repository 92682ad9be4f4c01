#include "monitor/HubLayout.h"

#include <gtest/gtest.h>

#include <map>

TEST(HubRowsPerPage, FollowsHeightAndStaysWithinTheColourTables) {
    struct Case {
        int cy;
        uint32_t rows;
    } cases[] = {
        {-500, 0},  {0, 0},     {90, 0},     {131, 0},   // no room: no rows, never a wrapped count
        {132, 0},   {145, 0},   {146, 1},    {159, 1},   // 90 + 14 * (3 + k) gives k
        {160, 2},   {760, 44},  {3800, 256}, {3813, 256},
        {3814, 256}, {100000, 256},
    };
    for (const Case& c : cases) EXPECT_EQ(HubRowsPerPage(c.cy), c.rows) << "cy " << c.cy;
}

TEST(HubRowsPerPage, FollowsTheListsOwnRowHeight) {
    struct Case {
        int cy, rowPixels;
        uint32_t rows;
    } cases[] = {
        {700, 14, 40},  {700, 19, 29},  {700, 20, 27},   // (cy - 90) / row - 3
        {147, 19, 0},   {166, 19, 1},   {700, 0, 40},    // no height measured: 14
        {700, 5, 40},   {6000, 19, 256}, {300, 100, 0},  // never below 14, never above 256
    };
    for (const Case& c : cases)
        EXPECT_EQ(HubRowsPerPage(c.cy, c.rowPixels), c.rows) << "cy " << c.cy << " row " << c.rowPixels;
    const HubLayout layout = ComputeHubLayout(1000, 700, 19);
    EXPECT_EQ(layout.rowsPerPage, 29u);
    EXPECT_EQ(layout.list.height, 610);
}

TEST(HubLayout, PlacesListBarAndButtonsForTheClientSize) {
    const HubLayout layout = ComputeHubLayout(1000, 700);
    EXPECT_EQ(layout.list.x, 5);
    EXPECT_EQ(layout.list.y, 0);
    EXPECT_EQ(layout.list.width, 970);
    EXPECT_EQ(layout.list.height, 610);
    EXPECT_EQ(layout.scrollBar.x, 975);
    EXPECT_EQ(layout.scrollBar.width, 20);
    EXPECT_EQ(layout.scrollBar.height, 610);
    EXPECT_EQ(layout.rowsPerPage, 610u / 14 - 3);

    std::map<int, HubRect> byId;
    for (const HubButtonPlace& b : layout.buttons) byId[b.id] = b.rect;
    ASSERT_EQ(byId.size(), 14u) << "every page button placed once";

    struct Expected {
        int id, x, y, width, height;
    } expected[] = {
        {1007, 15, 620, 145, 30}, {1008, 180, 620, 120, 30}, {1006, 320, 620, 80, 30},
        {1009, 420, 620, 80, 30}, {1010, 520, 620, 80, 30},  {1013, 620, 620, 80, 30},
        {1003, 15, 660, 145, 30}, {1004, 180, 660, 120, 30}, {1005, 320, 660, 80, 30},
        {1011, 420, 660, 80, 30}, {1160, 520, 660, 80, 30},  {1014, 620, 660, 80, 30},
        {1017, 800, 630, 80, 50}, {1015, 900, 630, 80, 50},
    };
    for (const Expected& e : expected) {
        const HubRect& r = byId.at(e.id);
        EXPECT_EQ(r.x, e.x) << e.id;
        EXPECT_EQ(r.y, e.y) << e.id;
        EXPECT_EQ(r.width, e.width) << e.id;
        EXPECT_EQ(r.height, e.height) << e.id;
    }
}

TEST(HubLayout, TinyClientGetsEmptyRectanglesNotNegativeOnes) {
    const HubLayout layout = ComputeHubLayout(10, 20);
    EXPECT_EQ(layout.list.width, 0);
    EXPECT_EQ(layout.list.height, 0);
    EXPECT_EQ(layout.scrollBar.height, 0);
    EXPECT_EQ(layout.rowsPerPage, 0u);
}

TEST(HubScroll, StepsByCode) {
    struct Case {
        HubScrollCode code;
        int32_t position, page, track, step;
    } cases[] = {
        {HubScrollCode::LineUp, 10, 20, 0, -1},
        {HubScrollCode::LineDown, 10, 20, 0, 1},
        {HubScrollCode::PageUp, 10, 20, 0, -20},
        {HubScrollCode::PageDown, 10, 20, 0, 20},
        {HubScrollCode::ThumbTrack, 10, 20, 57, 47},
        {HubScrollCode::ThumbPosition, 80, 20, 3, -77},
        {HubScrollCode::Other, 10, 20, 99, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HubScrollStep(c.code, c.position, c.page, c.track), c.step)
            << static_cast<int>(c.code);
}

TEST(HubScroll, ClampsToTheLastFullPageAndToZero) {
    struct Case {
        int64_t position, step, page, max;
        int32_t result;
    } cases[] = {
        {10, 1, 20, 100, 11},          // inside
        {79, 1, 20, 100, 80},          // reaches the last full page
        {80, 1, 20, 100, 80},          // past the end stops at max - page
        {50, 1000, 20, 100, 80},
        {3, -5, 20, 100, 0},           // above the start stops at 0
        {0, -1, 20, 100, 0},
        {0, 1, 20, 5, 0},              // fewer records than a page
        {0, 5, 0, 0, 0},               // empty ring, no rows
        {99990, 5, 256, 100000, 99744},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HubClampScroll(c.position, c.step, c.page, c.max), c.result)
            << c.position << " + " << c.step << " page " << c.page << " max " << c.max;
}

TEST(HubScroll, WheelMovesFiveRowsAgainstTheTurn) {
    EXPECT_EQ(HubWheelStep(120), -5);
    EXPECT_EQ(HubWheelStep(0), -5);
    EXPECT_EQ(HubWheelStep(-120), 5);
    EXPECT_EQ(HubClampScroll(2, HubWheelStep(120), 20, 100), 0);
    EXPECT_EQ(HubClampScroll(78, HubWheelStep(-120), 20, 100), 80);
}

TEST(HubTick, RefreshesOnNewRecordsAndStopsWhenTheWorkerEnds) {
    struct Case {
        int id;
        uint32_t seq, lastSeen;
        bool running, refresh, stop;
    } cases[] = {
        {1, 1, 1, true, false, false},        // nothing new while running
        {1, 7, 1, true, true, false},         // new records follow
        {1, 7, 7, false, false, true},        // worker ended, nothing new: stop only
        {1, 9, 7, false, true, true},         // last records and the end in one tick: both
        {2, 9, 7, true, false, false},        // a foreign timer never refreshes the list
        {2, 9, 7, false, false, true},        // but stops it whatever the id
        // The ring holds 100000 at most; the sequence keeps counting past it.
        {1, 100002, 100001, true, true, false},
        {1, 0, 0xFFFFFFFFu, true, true, false},
    };
    for (const Case& c : cases) {
        const HubTickDecision d = DecideHubTick(c.id, c.seq, c.lastSeen, c.running);
        EXPECT_EQ(d.refreshList, c.refresh) << c.id << " " << c.seq << " " << c.lastSeen;
        EXPECT_EQ(d.stopTimer, c.stop) << c.id << " " << c.seq << " " << c.lastSeen;
    }
}

// The page's rules without a board: scrolling, the timer tick and the buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "logic/LogicPage.h"
#include "logic/UartSynth.h"

namespace {

TEST(LogicPageTest, ScrollingPagesThroughTheCaptureByScreens) {
    LogicPage page;
    // Empty: two positions, and nothing to scroll to.
    EXPECT_EQ(page.ResetScroll(800, 300).max, 1);
    EXPECT_EQ(page.View().samplesPerScreen, 1u);
    page.Scroll(HubScrollCode::LineDown, 0);
    EXPECT_EQ(page.View().firstShown, 0u);
    UartSynth line(10400, ParityNone);
    for (int i = 0; i < 500; ++i) line.Byte(0x55);  // 5000 edges, 9 px apart at 50 µs
    page.View().capture.Assign(line.Take());
    const LogicScroll reset = page.ResetScroll(1600, 400);
    const uint32_t perScreen = page.View().samplesPerScreen;
    ASSERT_GT(perScreen, 100u);
    ASSERT_LT(perScreen, 5000u);
    EXPECT_EQ(reset.max, static_cast<int32_t>(5000 / perScreen + 1));
    EXPECT_EQ(reset.position, 0);
    const int32_t max = reset.max;
    const uint32_t perPosition = 5000 / (max + 1);
    const struct { HubScrollCode code; int32_t track; int32_t position; } steps[] = {
        {HubScrollCode::LineUp, 0, 0},        {HubScrollCode::LineDown, 0, 1},
        {HubScrollCode::PageDown, 0, 2},      {HubScrollCode::ThumbTrack, max + 5, max},
        {HubScrollCode::LineDown, 0, max},    {HubScrollCode::PageUp, 0, max - 1},
        {HubScrollCode::ThumbPosition, 3, 3}, {HubScrollCode::Other, 9, 3},
        {HubScrollCode::ThumbTrack, -4, 0},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(page.Scroll(s.code, s.track).position, s.position) << static_cast<int>(s.code);
        EXPECT_EQ(page.View().firstShown, (perPosition * static_cast<uint32_t>(s.position)) & ~1u);
    }
    page.Scroll(HubScrollCode::ThumbTrack, 1);
    EXPECT_EQ(page.View().firstShown % 2, 0u);
    // A new time scale lays out again and goes back to the start.
    page.SelectTimeScale(8);
    EXPECT_EQ(page.ResetScroll(1600, 400).max, 2) << "all 5000 on one screen";
    EXPECT_EQ(page.View().firstShown, 0u);
}

// The last scroll position shows the capture's last sample at every scale where bytes can be
// read (the floored step per position used to stop up to 1,487 samples short).
TEST(LogicPageTest, TheLastPositionShowsTheEndOfTheCapture) {
    UartSynth line(10400, ParityNone);
    for (int i = 0; i < 11001; ++i) line.Byte(0x55);  // 10 edges a byte
    line.Idle(1000);
    line.Break(0);
    LogicPage page;
    page.View().capture.Assign(line.Take());
    const uint32_t count = page.View().capture.Count();
    ASSERT_GT(count, 100000u);
    for (unsigned row : {0u, 1u, 2u, 3u}) {  // 10, 50, 100, 200 µs
        SCOPED_TRACE(row);
        page.SelectTimeScale(row);
        const LogicScroll reset = page.ResetScroll(1600, 1000);
        page.Scroll(HubScrollCode::ThumbTrack, reset.max);
        WaveView& view = page.View();
        EXPECT_EQ(view.firstShown % 2, 0u);
        view.UpdateLayout(1600, 1000);
        EXPECT_GE(view.firstShown + view.samplesPerScreen, count) << "the last sample is on the last screen";
        EXPECT_LT(view.firstShown + 2 * view.samplesPerScreen, count + view.samplesPerScreen + 3) << "and the screen is full";
    }
}

TEST(LogicPageTest, TheTickRepaintsForNewSamplesBlinksAndEndsWithTheCapture) {
    LogicPage page;
    g_WorkerRunning = 1;
    const LogicTick first = page.OnTimer();
    EXPECT_FALSE(first.repaint);
    EXPECT_EQ(first.countText, "0");
    EXPECT_FALSE(first.ended);
    page.View().capture.Append(5);
    page.View().capture.Append(9);
    const LogicTick second = page.OnTimer();
    EXPECT_TRUE(second.repaint);
    EXPECT_EQ(second.countText, "");
    EXPECT_EQ(page.View().lastDrawnCount, 2u);
    EXPECT_EQ(page.OnTimer().countText, "2");
    EXPECT_FALSE(page.OnTimer().repaint);
    g_WorkerRunning = 0;
    const LogicTick last = page.OnTimer();  // would have been the hidden phase
    EXPECT_TRUE(last.ended);
    EXPECT_EQ(last.countText, "2");
}

}  // namespace

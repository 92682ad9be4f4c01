#pragma once
// The hub's arithmetic without a window: where its controls go for a client size, how many
// monitor rows fit, how scrolling moves and clamps the top row, and what a timer tick does.
#include <array>
#include <cstdint>

struct HubRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct HubButtonPlace {
    int id;
    HubRect rect;
};

struct HubLayout {
    HubRect list;
    HubRect scrollBar;
    std::array<HubButtonPlace, 14> buttons;
    uint32_t rowsPerPage = 0;
};

// Monitor rows that fit a client cy pixels high: (cy - 90) / rowPixels - 3, truncating, within
// [0, 256], rowPixels at least 14. A client 131 pixels high or less shows no rows, so the list
// never indexes outside its 256-entry colour tables. The caller passes the height its list
// really draws a row with (taller than 14 with most fonts here), so that every row of a page,
// the newest ones included, is in sight.
constexpr int kHubMinRowPixels = 14;
uint32_t HubRowsPerPage(int cy, int rowPixels = kHubMinRowPixels);

// Rectangles for a client of cx x cy. Negative widths and heights (a tiny client) are 0.
HubLayout ComputeHubLayout(int cx, int cy, int rowPixels = kHubMinRowPixels);

// The least client for ComputeHubLayout that keeps the hub whole: every button inside it and
// clear of the others, and the list tall enough for its header, one row and a scroll bar of
// scrollBarHeight (the toolkit's least).
struct HubSize {
    int cx = 0;
    int cy = 0;
};
HubSize HubMinimumClient(int rowPixels, int scrollBarHeight);

enum class HubScrollCode { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Other };

// Rows to move for a scroll-bar code: +-1, +-page, or to the thumb (track - position).
int32_t HubScrollStep(HubScrollCode code, int32_t position, int32_t page, int32_t trackPosition);

// 5 rows up for a wheel turned away from the user (delta >= 0), 5 down otherwise.
int32_t HubWheelStep(int wheelDelta);

// position + step, then at most max - page (so the last page stays full), then at least 0.
int32_t HubClampScroll(int64_t position, int64_t step, int64_t page, int64_t max);

struct HubTickDecision {
    bool refreshList = false;  // new records arrived: follow them to the last page
    bool stopTimer = false;    // the worker ended: kill the timer and refresh the pages
};

// One monitor-timer tick. New records are detected from the append sequence, which never
// saturates (the count stops at the ring's capacity). The caller must read workerRunning
// before currentSeq: a worker's last appends then always come before the tick that stops
// the timer, so they are shown.
HubTickDecision DecideHubTick(int timerId, uint32_t currentSeq, uint32_t lastSeenSeq,
                              bool workerRunning);

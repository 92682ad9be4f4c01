#include "monitor/HubLayout.h"

#include <algorithm>

namespace {

constexpr int kBottomBand = 90;   // below the list: two rows of buttons
constexpr int kHeaderRows = 3;
constexpr int kMaxRows = 256;     // the list's colour tables

struct FixedButton {
    int id;
    int x;
    int fromBottom;
    int width;
};

// The two rows of page buttons, 30 pixels high, at fixed x.
constexpr FixedButton kRowButtons[12] = {
    {1007, 15, 80, 145}, {1008, 180, 80, 120}, {1006, 320, 80, 80},
    {1009, 420, 80, 80}, {1010, 520, 80, 80},  {1013, 620, 80, 80},
    {1003, 15, 40, 145}, {1004, 180, 40, 120}, {1005, 320, 40, 80},
    {1011, 420, 40, 80}, {1160, 520, 40, 80},  {1014, 620, 40, 80},
};

// The two big buttons at the right: their left edges stand this far from the client's.
constexpr int kBigButtonsFromRight = 200;
constexpr int kButtonGap = 20;  // between neighbouring row buttons

HubRect Rect(int x, int y, int width, int height) {
    return HubRect{x, y, std::max(width, 0), std::max(height, 0)};
}

}  // namespace

uint32_t HubRowsPerPage(int cy, int rowPixels) {
    const int rows = (cy - kBottomBand) / std::max(rowPixels, kHubMinRowPixels) - kHeaderRows;
    return static_cast<uint32_t>(std::clamp(rows, 0, kMaxRows));
}

HubLayout ComputeHubLayout(int cx, int cy, int rowPixels) {
    HubLayout layout;
    layout.list = Rect(5, 0, cx - 30, cy - kBottomBand);
    layout.rowsPerPage = HubRowsPerPage(cy, rowPixels);
    layout.scrollBar = Rect(cx - 25, 0, 20, cy - kBottomBand);
    size_t i = 0;
    for (const FixedButton& b : kRowButtons)
        layout.buttons[i++] = {b.id, Rect(b.x, cy - b.fromBottom, b.width, 30)};
    layout.buttons[i++] = {1017, Rect(cx - kBigButtonsFromRight, cy - 70, 80, 50)};
    layout.buttons[i++] = {1015, Rect(cx - 100, cy - 70, 80, 50)};
    return layout;
}

HubSize HubMinimumClient(int rowPixels, int scrollBarHeight) {
    int rowsRight = 0;
    for (const FixedButton& b : kRowButtons) rowsRight = std::max(rowsRight, b.x + b.width);
    const int listHeight = std::max((kHeaderRows + 1) * std::max(rowPixels, kHubMinRowPixels), scrollBarHeight);
    return HubSize{rowsRight + kButtonGap + kBigButtonsFromRight, kBottomBand + listHeight};
}

int32_t HubScrollStep(HubScrollCode code, int32_t position, int32_t page, int32_t trackPosition) {
    switch (code) {
    case HubScrollCode::LineUp: return -1;
    case HubScrollCode::LineDown: return 1;
    case HubScrollCode::PageUp: return -page;
    case HubScrollCode::PageDown: return page;
    case HubScrollCode::ThumbPosition:
    case HubScrollCode::ThumbTrack: return trackPosition - position;
    case HubScrollCode::Other: break;
    }
    return 0;
}

int32_t HubWheelStep(int wheelDelta) { return wheelDelta >= 0 ? -5 : 5; }

int32_t HubClampScroll(int64_t position, int64_t step, int64_t page, int64_t max) {
    int64_t next = position + step;
    if (next + page >= max) next = max - page;
    if (next < 0) next = 0;
    return static_cast<int32_t>(std::min<int64_t>(next, INT32_MAX));
}

HubTickDecision DecideHubTick(int timerId, uint32_t currentSeq, uint32_t lastSeenSeq,
                              bool workerRunning) {
    HubTickDecision decision;
    decision.refreshList = timerId == 1 && currentSeq != lastSeenSeq;
    decision.stopTimer = !workerRunning;
    return decision;
}

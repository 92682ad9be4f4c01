#pragma once
// The keyboard's lock keys as they stand now, for the status bar's indicators.
#include <string>

struct LockKeyState {
    bool caps = false;
    bool num = false;
    bool scroll = false;
    bool operator==(const LockKeyState& o) const { return caps == o.caps && num == o.num && scroll == o.scroll; }
};

// Caps and Num Lock through the toolkit; Scroll Lock from the X server's "Scroll Lock"
// indicator, which the toolkit does not report (off on a display that is not X11).
LockKeyState CurrentLockKeys();

// The indicator panes' texts: "CAP", "NUM", "SCRL" while the lock is on, empty while off.
std::string LockPaneText(int pane, const LockKeyState& state);

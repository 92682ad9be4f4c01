#pragma once
// The keyboard's lock keys as they stand now, for the status bar's indicators.
#include <functional>
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

// Calls changed on the UI thread whenever the X server reports that a lock or a keyboard
// indicator changed, in whatever window of the desktop the key was pressed (the X keyboard
// extension's notifications): the status bar follows the locks without polling them. On a
// display that is not X11 it reports nothing.
class LockKeyWatcher {
public:
    explicit LockKeyWatcher(std::function<void()> changed);
    ~LockKeyWatcher();
    LockKeyWatcher(const LockKeyWatcher&) = delete;
    LockKeyWatcher& operator=(const LockKeyWatcher&) = delete;

    // One X event as the toolkit receives it: changed is called for a lock's or an
    // indicator's change only. Every other event, a Shift pressed included, goes past on what
    // the event itself says, with no request to the server.
    void Look(const void* xevent);

    // How often changed was called.
    unsigned Wakes() const { return wakes_; }

private:
    std::function<void()> changed_;
    int xkbEventBase_ = -1;
    unsigned wakes_ = 0;
};

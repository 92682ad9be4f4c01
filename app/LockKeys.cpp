#include "app/LockKeys.h"

#include <wx/utils.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace {

bool ScrollLockOn() {
    const wxDisplayInfo display = wxGetDisplayInfo();
    if (display.type != wxDisplayX11 || !display.dpy) return false;
    auto* x = static_cast<Display*>(display.dpy);
    static const Atom name = XInternAtom(x, "Scroll Lock", False);
    Bool on = False;
    return XkbGetNamedIndicator(x, name, nullptr, &on, nullptr, nullptr) && on;
}

}  // namespace

LockKeyState CurrentLockKeys() {
    LockKeyState state;
    state.caps = wxGetKeyState(WXK_CAPITAL);
    state.num = wxGetKeyState(WXK_NUMLOCK);
    state.scroll = ScrollLockOn();
    return state;
}

std::string LockPaneText(int pane, const LockKeyState& state) {
    switch (pane) {
    case 1: return state.caps ? "CAP" : "";
    case 2: return state.num ? "NUM" : "";
    case 3: return state.scroll ? "SCRL" : "";
    default: return "";
    }
}

#include "app/LockKeys.h"

#include <wx/utils.h>

#include <gdk/gdkx.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace {

Display* XDisplay() {
    const wxDisplayInfo display = wxGetDisplayInfo();
    return display.type == wxDisplayX11 ? static_cast<Display*>(display.dpy) : nullptr;
}

// Every X event reaches the toolkit's filters before the toolkit itself.
GdkFilterReturn FilterXkbEvents(GdkXEvent* xevent, GdkEvent*, gpointer data) {
    static_cast<LockKeyWatcher*>(data)->Look(xevent);
    return GDK_FILTER_CONTINUE;
}

bool ScrollLockOn() {
    Display* x = XDisplay();
    if (!x) return false;
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

LockKeyWatcher::LockKeyWatcher(std::function<void()> changed) : changed_(std::move(changed)) {
    Display* x = XDisplay();
    int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!x || !XkbQueryExtension(x, &opcode, &xkbEventBase_, &error, &major, &minor)) {
        xkbEventBase_ = -1;
        return;
    }
    // Indicators (Scroll Lock is one without a modifier) and the locked modifiers (Caps and
    // Num Lock): only these details.
    XkbSelectEvents(x, XkbUseCoreKbd, XkbIndicatorStateNotifyMask, XkbIndicatorStateNotifyMask);
    XkbSelectEventDetails(x, XkbUseCoreKbd, XkbStateNotify, XkbModifierLockMask, XkbModifierLockMask);
    gdk_window_add_filter(nullptr, FilterXkbEvents, this);
}

LockKeyWatcher::~LockKeyWatcher() {
    if (xkbEventBase_ >= 0) gdk_window_remove_filter(nullptr, FilterXkbEvents, this);
}

void LockKeyWatcher::Look(const void* xevent) {
    const auto* event = static_cast<const XkbEvent*>(xevent);
    if (xkbEventBase_ < 0 || event->type != xkbEventBase_) return;
    // The toolkit shares the connection and asks for every change of the modifiers' state:
    // the state notifications of a Shift, Ctrl or Alt arrive here too.
    const bool tells = event->any.xkb_type == XkbIndicatorStateNotify ||
                       (event->any.xkb_type == XkbStateNotify && (event->state.changed & XkbModifierLockMask));
    if (!tells) return;
    ++wakes_;
    changed_();
}

#pragma once
// The X server under the GUI tests, as the desktop sees the program: windows found by their
// title, and keys pressed on the server's own keyboard (XTest). Tests that use these share
// the one server's focus and keyboard, so they run alone (SERIAL).
//
// Include it last: Xlib's macros (None, Status, ...) would clash with the program's names.
#include <wx/string.h>
#include <wx/utils.h>

#include <vector>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

// The toolkit's own connection to the server.
inline Display* X() { return static_cast<Display*>(wxGetDisplayInfo().dpy); }

// While it lives, an X error (a window that went while it was looked at) is ignored instead of
// ending the program: windows come and go while a test walks the screen.
class IgnoreXErrors {
public:
    IgnoreXErrors() : previous_((XSync(X(), False), XSetErrorHandler([](Display*, XErrorEvent*) { return 0; }))) {}
    ~IgnoreXErrors() {
        XSync(X(), False);
        XSetErrorHandler(previous_);
    }
    IgnoreXErrors(const IgnoreXErrors&) = delete;
    IgnoreXErrors& operator=(const IgnoreXErrors&) = delete;

private:
    XErrorHandler previous_;
};

// The 32-bit items of a window's property (a window manager's lists and numbers), none when
// it is not set.
inline std::vector<unsigned long> WindowProperty(Window window, const char* name, long most = 4096) {
    std::vector<unsigned long> items;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const IgnoreXErrors gone;
    if (XGetWindowProperty(X(), window, XInternAtom(X(), name, False), 0, most, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success && data && format == 32)
        items.assign(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
    if (data) XFree(data);
    return items;
}

// The window (at any depth: a window manager reparents) whose _NET_WM_NAME is title, or 0.
inline Window FindByTitle(Window under, const wxString& title) {
    const Atom netName = XInternAtom(X(), "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(X(), "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* name = nullptr;
    if (XGetWindowProperty(X(), under, netName, 0, 1024, False, utf8, &type, &format, &items, &after, &name) ==
            Success && name) {
        const bool same = wxString::FromUTF8(reinterpret_cast<const char*>(name), items) == title;
        XFree(name);
        if (same) return under;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(X(), under, &root, &parent, &children, &count))
        for (unsigned i = 0; i < count && !found; ++i) found = FindByTitle(children[i], title);
    if (children) XFree(children);
    return found;
}
inline Window FindByTitle(const wxString& title) {
    const IgnoreXErrors gone;
    return FindByTitle(DefaultRootWindow(X()), title);
}

// A key pressed and let go on the server's keyboard, as a user presses it: it goes to the
// window with the X input focus.
inline void SendRealKey(KeySym key) {
    const KeyCode code = XKeysymToKeycode(X(), key);
    XTestFakeKeyEvent(X(), code, True, CurrentTime);
    XTestFakeKeyEvent(X(), code, False, CurrentTime);
    XSync(X(), False);
}

// A click of the first button at a point of the screen, as a user clicks there.
inline void SendRealClick(int x, int y) {
    XTestFakeMotionEvent(X(), -1, x, y, CurrentTime);
    XTestFakeButtonEvent(X(), 1, True, CurrentTime);
    XTestFakeButtonEvent(X(), 1, False, CurrentTime);
    XSync(X(), False);
}

// Asks the window manager to activate a client window as a task bar does when the user picks
// it (_NET_ACTIVE_WINDOW from a pager).
inline void ActivateFromTaskBar(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(X(), "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // source: a pager, the user's own choice
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(X(), DefaultRootWindow(X()), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(X(), False);
}

// The main window as the desktop sees it: the status bar's lock indicators follow the X
// server's keyboard. The lock state is the one X server's, shared by every GUI test, so these
// run alone (SERIAL) and leave every lock off.
#include <gtest/gtest.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include <string>

#include "tests/support/ProgramFixture.h"

// Last: Xlib's macros (None, Status, ...) would clash with the program's names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

Display* X() { return static_cast<Display*>(wxGetDisplayInfo().dpy); }

// The locks as a key press anywhere on the desktop leaves them.
void SetLocks(bool caps, bool num, bool scroll) {
    const unsigned numMask = XkbKeysymToModifiers(X(), XK_Num_Lock);
    XkbLockModifiers(X(), XkbUseCoreKbd, LockMask | numMask, (caps ? LockMask : 0) | (num ? numMask : 0));
    XkbSetNamedIndicator(X(), XInternAtom(X(), "Scroll Lock", False), True, scroll, False, nullptr);
    XSync(X(), False);
}

class DesktopTest : public ProgramTest {
protected:
    void TearDown() override {
        SetLocks(false, false, false);
        ProgramTest::TearDown();
    }
    std::string Pane(int i) const { return frame_->GetStatusBar()->GetStatusText(i).utf8_string(); }
    bool Panes(const char* caps, const char* num, const char* scroll) const {
        return Pane(1) == caps && Pane(2) == num && Pane(3) == scroll;
    }
};

TEST_F(DesktopTest, TheStatusBarShowsTheLockKeysAsTheyChange) {
    ASSERT_EQ(wxGetDisplayInfo().type, wxDisplayX11);
    SetLocks(false, false, false);
    StartProgram();
    EXPECT_TRUE(PumpUntil([&] { return Panes("", "", ""); }));
    EXPECT_EQ(Pane(0), "Ready");
    const struct { bool caps, num, scroll; const char *capText, *numText, *scrollText; } steps[] = {
        {true, false, false, "CAP", "", ""},
        {true, true, false, "CAP", "NUM", ""},
        {true, true, true, "CAP", "NUM", "SCRL"},
        {false, true, true, "", "NUM", "SCRL"},
        {false, false, false, "", "", ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.capText) + "|" + s.numText + "|" + s.scrollText);
        SetLocks(s.caps, s.num, s.scroll);
        EXPECT_TRUE(PumpUntil([&] { return Panes(s.capText, s.numText, s.scrollText); }))
            << "[" << Pane(1) << "|" << Pane(2) << "|" << Pane(3) << "]";
    }
}

}  // namespace

// The program's windows as the desktop sees them: the status bar's lock indicators follow the
// X server's keyboard, page windows have no owner, the device chooser takes real keys, the
// main window opens centred under a window manager, and file dialogs have a title. The lock
// state, the keys and the window manager are the one X server's, shared by every GUI test, so
// these run alone (SERIAL) and leave every lock off.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/statusbr.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/CSelectDeive.h"
#include "monitor/MonitorRing.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/ProgramFixture.h"

#include "tests/support/XDesktop.h"  // last: Xlib's macros

namespace {

// The locks as a key press anywhere on the desktop leaves them.
void SetLocks(bool caps, bool num, bool scroll) {
    const unsigned numMask = XkbKeysymToModifiers(X(), XK_Num_Lock);
    XkbLockModifiers(X(), XkbUseCoreKbd, LockMask | numMask, (caps ? LockMask : 0) | (num ? numMask : 0));
    XkbSetNamedIndicator(X(), XInternAtom(X(), "Scroll Lock", False), True, scroll, False, nullptr);
    XSync(X(), False);
}

// The window manager's view of a shown top-level window, found by its title: the window it is
// transient for (0: none), or -1 when no such window is on the screen.
long TransientFor(const wxString& title) {
    const Window window = FindByTitle(title);
    if (!window) return -1;
    Window owner = 0;
    return XGetTransientForHint(X(), window, &owner) ? static_cast<long>(owner) : 0;
}

// A window manager on the test's display (openbox, which scripts/install.sh installs), from
// its start until the object goes; and what the program writes to stderr meanwhile.
class WindowManager {
public:
    WindowManager() {
        std::fflush(stderr);
        savedErr_ = dup(2);
        const int log = open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(log, 2);
        close(log);
        pid_ = fork();
        if (pid_ == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~WindowManager() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        RestoreStderr();
        std::remove(log_.c_str());
    }
    // True once the window manager has taken the screen.
    bool Running() const {
        const Atom check = XInternAtom(X(), "_NET_SUPPORTING_WM_CHECK", False);
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        const bool up = XGetWindowProperty(X(), DefaultRootWindow(X()), check, 0, 1, False, AnyPropertyType, &type,
                                           &format, &items, &after, &data) == Success && items == 1;
        if (data) XFree(data);
        return up;
    }
    // What the program wrote to stderr since the window manager started.
    std::string Stderr() {
        std::fflush(stderr);
        std::ifstream in(log_);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void RestoreStderr() {
        if (savedErr_ < 0) return;
        std::fflush(stderr);
        dup2(savedErr_, 2);
        close(savedErr_);
        savedErr_ = -1;
    }

private:
    std::string log_ = "/tmp/vr3526-desktop-test-" + std::to_string(getpid()) + ".err";
    int savedErr_ = -1;
    pid_t pid_ = -1;
};

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

// Every page window is a window of its own, so the main window can be raised over it; a
// dialog the program owns is still transient for its owner (the probe sees owners).
TEST_F(DesktopTest, PageWindowsHaveNoOwner) {
    StartProgram();
    for (int button : {1003, 1006, 1007, 1015}) {  // ISO 14230, ISO 15765, J1850 VPW, ECU simulator
        SCOPED_TRACE(button);
        wxWindow* page = Open(button);
        ASSERT_NE(page, nullptr);
        page->SetLabel(wxString::Format("page %d", button));
        XSync(X(), False);
        EXPECT_TRUE(PumpUntil([&] { return TransientFor(page->GetLabel()) == 0; }))
            << TransientFor(page->GetLabel());
        page->Hide();
    }
    auto* owned = new wxDialog(frame_, wxID_ANY, "owned");
    owned->Show();
    EXPECT_TRUE(PumpUntil([&] { return TransientFor("owned") > 0; }));
    owned->Destroy();
}

// The device chooser opens with its list focused: Down picks the second board and Return
// connects it, as 确定 is the default button; Return on a focused 取消 and Esc cancel.
TEST_F(DesktopTest, ReturnInTheDeviceChooserConnectsAndEscCancels) {
    tb_reset();
    tb_set_board_count(2);
    frame_ = CreateMainWindow();
    ASSERT_NE(frame_, nullptr);
    enum Way { Esc, ReturnOnCancel, ReturnOnList };
    for (const Way way : {Esc, ReturnOnCancel, ReturnOnList}) {
        SCOPED_TRACE(way == Esc ? "Esc" : way == ReturnOnCancel ? "Return on 取消" : "Return on the list");
        bool sawChooser = false;
        wxTheApp->CallAfter([&] {
            auto* chooser = ShownWindow<CSelectDeive>();
            if (!chooser) return;
            sawChooser = true;
            EXPECT_EQ(chooser->GetDefaultItem(), chooser->FindWindow(wxID_OK));
            // Whatever fails below, the chooser's loop ends.
            struct Close {
                CSelectDeive* d;
                ~Close() { if (d->IsModal()) d->EndModal(wxID_CANCEL); }
            } close{chooser};
            chooser->GetDeviceChoice()->SetFocus();  // where the chooser opens its focus
            PumpPending();
            SendRealKey(XK_Down);
            ASSERT_TRUE(PumpUntil([&] { return chooser->GetDeviceChoice()->GetSelection() == 1; }))
                << "the list has the keys";
            if (way == Esc) {
                SendRealKey(XK_Escape);
            } else {
                if (way == ReturnOnCancel) {
                    chooser->FindWindow(wxID_CANCEL)->SetFocus();
                    ASSERT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == chooser->FindWindow(wxID_CANCEL); }));
                }
                SendRealKey(XK_Return);
            }
            EXPECT_TRUE(PumpUntil([&] { return !chooser->IsModal(); })) << "the key ended the chooser";
        });
        frame_->OnConnect();
        EXPECT_TRUE(sawChooser);
        EXPECT_EQ(g_DeviceOpen.load(), way == ReturnOnList ? 1u : 0u);
        if (way == ReturnOnList) {
            EXPECT_EQ(g_DeviceNumber.load(), 1u);
        }
    }
}

// Under a window manager the main window opens wholly on the screen, centred, and the toolkit
// says nothing (it warned of a tool bar laid out with no room at every start).
TEST_F(DesktopTest, TheMainWindowOpensCentredAndWithoutAToolkitWarning) {
    WindowManager wm;
    ASSERT_TRUE(PumpUntil([&] { return wm.Running(); })) << "openbox runs";
    StartProgram();
    Window window = 0;
    long extents[4] = {0, 0, 0, 0};  // left, right, top, bottom
    const Atom frameExtents = XInternAtom(X(), "_NET_FRAME_EXTENTS", False);
    ASSERT_TRUE(PumpUntil([&] {
        window = FindByTitle(frame_->GetTitle());
        if (!window) return false;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        const bool known = XGetWindowProperty(X(), window, frameExtents, 0, 4, False, AnyPropertyType, &type, &format,
                                              &items, &after, &data) == Success && items == 4;
        if (known)
            for (int i = 0; i < 4; ++i) extents[i] = reinterpret_cast<long*>(data)[i];
        if (data) XFree(data);
        return known;
    }));
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(X(), window, &attributes));
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(X(), window, DefaultRootWindow(X()), 0, 0, &x, &y, &child);
    const long left = x - extents[0], top = y - extents[2];
    const long right = x + attributes.width + extents[1], bottom = y + attributes.height + extents[3];
    const long screenW = DisplayWidth(X(), DefaultScreen(X())), screenH = DisplayHeight(X(), DefaultScreen(X()));
    const std::string where = std::to_string(left) + "," + std::to_string(top) + " - " + std::to_string(right) +
                              "," + std::to_string(bottom);
    EXPECT_TRUE(left >= 0 && top >= 0 && right <= screenW && bottom <= screenH) << where;
    EXPECT_LE(std::abs(left - (screenW - right)), 40) << where;
    EXPECT_LE(std::abs(top - (screenH - bottom)), 40) << where;
    const std::string err = wm.Stderr();
    wm.RestoreStderr();
    EXPECT_EQ(err.find("Gtk-"), std::string::npos) << err;
}

// The save and open dialogs carry the toolkit's usual title: found on the screen by it, and
// closed with Esc as a user closes them.
TEST_F(DesktopTest, SaveAndOpenDialogsHaveTheToolkitsTitle) {
    StartProgram();
    const uint8_t data[2] = {0x55, 0xAA};
    AppendMonitorRecord(1, KindUart, 2, 100, data, 2);
    for (const bool save : {true, false}) {
        SCOPED_TRACE(save ? "save" : "open");
        bool found = false;
        int ticks = 0;
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            const Window dialog = FindByTitle("Select a file");
            if (dialog && !found) {
                found = true;
                XSetInputFocus(X(), dialog, RevertToParent, CurrentTime);
                SendRealKey(XK_Escape);
            } else if (++ticks > 100 || found) {
                SendRealKey(XK_Escape);  // whatever has the focus: never leave the dialog open
            }
        });
        timer.Start(50);
        save ? frame_->OnSaveToFile() : frame_->OnOpenFile();
        timer.Stop();
        EXPECT_TRUE(found);
    }
}

}  // namespace

#pragma once
// The program under a window manager (openbox, which scripts/install.sh installs), as the
// desktop sees it: the window manager's stack and active window, windows picked as a task bar
// picks them, and dialogs watched as they come up. The window manager, the focus and the
// keyboard are the one X server's, so tests that use these run alone (SERIAL).
//
// Include it last: Xlib's macros (None, Status, ...) would clash with the program's names.
#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/timer.h>
#include <wx/toplevel.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "monitor/MonitorRing.h"
#include "tests/support/ProgramFixture.h"

#include "tests/support/XDesktop.h"  // last: Xlib's macros

// A window manager on the test's display (openbox, which scripts/install.sh installs), from
// its start until the object goes; and what the program writes to stderr meanwhile.
class WindowManager {
public:
    WindowManager() {
        ForgetEarlierWindowManager();
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
        if (probe_) XDestroyWindow(X(), probe_);
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        ForgetEarlierWindowManager();
        RestoreStderr();
        std::remove(log_.c_str());
    }
    // True once the window manager manages new windows: a probe window mapped now gets its
    // frame. Its mark on the root comes earlier, and openbox loses a window mapped while it
    // still starts (the program's main window stayed unmapped on a busy machine); a probe that
    // gets no frame within a second is mapped anew.
    bool Running() {
        if (ready_) return true;
        const Window root = DefaultRootWindow(X());
        if (WindowProperty(root, "_NET_SUPPORTING_WM_CHECK", 1).size() != 1) return false;
        const auto now = std::chrono::steady_clock::now();
        if (probe_ && WindowProperty(probe_, "_NET_FRAME_EXTENTS", 4).size() == 4) ready_ = true;
        if (probe_ && (ready_ || now - probeMapped_ > std::chrono::seconds(1))) {
            XDestroyWindow(X(), probe_);
            probe_ = 0;
        }
        if (!ready_ && !probe_) {
            probe_ = XCreateSimpleWindow(X(), root, 0, 0, 1, 1, 0, 0, 0);
            XMapWindow(X(), probe_);
            probeMapped_ = now;
        }
        XSync(X(), False);
        return ready_;
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
    // The root keeps a window manager's mark after it ended: the next test would take it for
    // one that runs, and map its windows before the new one manages them.
    static void ForgetEarlierWindowManager() {
        XDeleteProperty(X(), DefaultRootWindow(X()), XInternAtom(X(), "_NET_SUPPORTING_WM_CHECK", False));
        XSync(X(), False);
    }

    bool ready_ = false;
    Window probe_ = 0;
    std::chrono::steady_clock::time_point probeMapped_;
    std::string log_ = "/tmp/vr3526-desktop-test-" + std::to_string(getpid()) + ".err";
    int savedErr_ = -1;
    pid_t pid_ = -1;
};

// The decorations the window manager put around a client window: left, right, top, bottom.
inline std::vector<long> FrameExtents(Window window) {
    const std::vector<unsigned long> e = WindowProperty(window, "_NET_FRAME_EXTENTS", 4);
    return e.size() == 4 ? std::vector<long>(e.begin(), e.end()) : std::vector<long>(4, 0);
}

// The window manager's stack of client windows, bottom to top, and its active window.
inline std::vector<Window> Stacking() {
    const std::vector<unsigned long> stack = WindowProperty(DefaultRootWindow(X()), "_NET_CLIENT_LIST_STACKING");
    return std::vector<Window>(stack.begin(), stack.end());
}
inline Window ActiveWindow() {
    const std::vector<unsigned long> active = WindowProperty(DefaultRootWindow(X()), "_NET_ACTIVE_WINDOW", 1);
    return active.empty() ? 0 : active[0];
}
// True while the window titled `title` is the top of the stack, of the program's windows and
// all others, and the active window.
inline bool OnTopAndActive(const wxString& title) {
    const Window w = FindByTitle(title);
    const std::vector<Window> stack = Stacking();
    return w && !stack.empty() && stack.back() == w && ActiveWindow() == w;
}
// Where the window titled `title` stands: its place from the top of the stack, and whether it
// is active, for a failure's message.
inline std::string StandingOf(const wxString& title) {
    const Window w = FindByTitle(title);
    if (!w) return "not on the screen";
    const std::vector<Window> stack = Stacking();
    size_t below = 0;
    while (below < stack.size() && stack[stack.size() - 1 - below] != w) ++below;
    return std::to_string(below) + " windows above it, " + (ActiveWindow() == w ? "active" : "not active");
}

// Ends the dialog or box titled `title` that is up, as the user's Esc would: the toolkit's
// file dialogs by the key itself.
inline void CloseTitled(const wxString& title) {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(window);
        if (!dialog || dialog->IsBeingDeleted() || dialog->GetTitle() != title || dynamic_cast<wxFileDialog*>(dialog))
            continue;
        if (dialog->IsModal())
            dialog->EndModal(wxID_CANCEL);
        else if (dialog->IsShown())
            dialog->Destroy();
        return;
    }
    if (const Window w = FindByTitle(title)) {
        XSetInputFocus(X(), w, RevertToParent, CurrentTime);
        SendRealKey(XK_Escape);
    }
}

// Runs open, which may run the dialog's own loop, while a timer watches the screen: the window
// titled `title` must come up at the top of the stack and active. Then it is closed. Returns
// how it stood when it was closed ("" when on top and active).
inline std::string OpensOnTop(const wxString& title, const std::function<void()>& open,
                       const std::function<void()>& whileUp = {}) {
    std::string standing = "never seen";
    bool done = false;
    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (done) return;
        const bool onTop = OnTopAndActive(title);
        if (!onTop && ++ticks < 300) return;  // 15 s: a busy machine
        standing = onTop ? std::string() : StandingOf(title);
        done = true;
        timer.Stop();
        if (onTop && whileUp) whileUp();
        CloseTitled(title);
    });
    timer.Start(50);
    open();
    PumpUntil([&] { return done; }, std::chrono::seconds(20));
    PumpPending();
    return standing;
}


// The program started on the simulated board under a running window manager; its main
// window is titled "main window".
class OnTopFixture : public ProgramTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(PumpUntil([&] { return wm_.Running(); }, std::chrono::seconds(15))) << "openbox runs";
        StartProgram();
        frame_->SetTitle("main window");
    }
    void TearDown() override {
        wm_.RestoreStderr();
        ProgramTest::TearDown();
    }
    // A page window over the main window, on top and active.
    wxWindow* PageOnTop(int hubButton, const char* title) {
        wxWindow* page = Open(hubButton);
        if (!page) return nullptr;
        page->SetLabel(title);
        EXPECT_TRUE(Activate(page, title)) << StandingOf(title);
        return page;
    }
    // The SCI page over the main window, whose list shows one record (11 22 33).
    wxWindow* SciPageOverARecord() {
        wxWindow* page = PageOnTop(IDC_BUTTON_SCI, "SCI page");
        const uint8_t data[3] = {0x11, 0x22, 0x33};
        AppendMonitorRecord(1, KindUart, 3, 100, data, 3);
        frame_->GetHub()->RefreshMonitorList();
        return page;
    }
    // Names the page again once the hub's tick has seen its worker end: that tick writes the
    // page's caption, and on a busy machine it comes late. The page's Start button is enabled
    // again by it. False when it never came.
    static bool NameAfterWorkerEnd(wxWindow* page, int startButton, const wxString& title) {
        const bool seen = PumpUntil([&] { return page->FindWindow(startButton)->IsEnabled(); });
        page->SetLabel(title);
        return seen;
    }
    // Picks the window in the task bar, until the window manager and the toolkit both have it
    // on top and active.
    static bool Activate(wxWindow* window, const wxString& title) {
        auto* top = dynamic_cast<wxTopLevelWindow*>(window);
        int tries = 0;
        const bool done = PumpUntil([&] {
            // The program may write its own caption meanwhile (a page's status, at a tick).
            if (top->GetTitle() != title) top->SetTitle(title);
            if (OnTopAndActive(title) && top->IsActive()) return true;
            // Now and then, as a task bar and as the program itself would ask.
            if (tries % 20 == 0)
                if (const Window w = FindByTitle(title)) ActivateFromTaskBar(w);
            if (tries++ % 20 == 10) top->Raise();
            return false;
        }, std::chrono::seconds(15));
        if (!done) ADD_FAILURE() << title << ": " << StandingOf(title) << (top->IsActive() ? "" : ", inactive for the toolkit");
        return done;
    }

    WindowManager wm_;
};

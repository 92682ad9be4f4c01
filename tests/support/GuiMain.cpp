// The main of the GUI tests: one wx application for all cases (run under xvfb-run).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ui/OnTop.h"
#include "platform/ui/TextLimit.h"
#include "platform/ui/WxMessageSink.h"
#include "tests/support/GuiPump.h"

namespace {
wxEventLoopBase* g_loop = nullptr;
constexpr int kDisplayRetries = 3;
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        g_loop->DispatchTimeout(20);
        wxTheApp->ProcessPendingEvents();
    }
    return true;
}

void PumpPending() {
    // The loop in charge: inside a modal window, the window's own (ours is not running then).
    wxEventLoopBase* loop = wxEventLoopBase::GetActive() ? wxEventLoopBase::GetActive() : g_loop;
    while (loop->Pending()) loop->Dispatch();
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
}

int main(int argc, char** argv) {
    // As called: the test framework takes its own flags out of argv.
    std::vector<char*> asCalled(argv, argv + argc + 1);
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases needs no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        // GTK says nothing when it cannot reach the display; say it here.
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "GUI tests: the toolkit did not start (DISPLAY=%s)\n", display ? display : "unset");
        // A busy Xvfb now and then resets a new connection (ECONNRESET, EAGAIN): the test
        // program starts again, a few times, before its cases count as failed.
        const char* tries = std::getenv("VR_GUI_TEST_START");
        const int started = tries ? std::atoi(tries) : 0;
        if (display && started < kDisplayRetries) {
            setenv("VR_GUI_TEST_START", std::to_string(started + 1).c_str(), 1);
            usleep(200 * 1000);
            execv("/proc/self/exe", asCalled.data());
        }
        return 1;
    }
    // As the program does: a worker's news reaches windows on this thread only, dialogs and
    // boxes open above every window of the program, and limited edits keep what fits.
    platform::InstallWxUiPoster();
    platform::InstallOnTopDialogs();
    platform::InstallTextLimits();
    int result = 1;
    {
        wxEventLoop loop;
        wxEventLoopActivator active(&loop);
        g_loop = &loop;
        result = RUN_ALL_TESTS();
        PumpPending();
        g_loop = nullptr;
    }
    wxEntryCleanup();
    return result;
}

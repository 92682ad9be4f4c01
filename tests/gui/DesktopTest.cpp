// The program's windows as the desktop sees them: the status bar's lock indicators follow the
// X server's keyboard, page windows have no owner, the device chooser takes real keys, the
// main window opens centred under a window manager, file dialogs have a title, and every
// dialog and box opens above every window of the program, active, by the window manager's own
// stack. The lock state, the keys and the window manager are the one X server's, shared by
// every GUI test, so these run alone (SERIAL) and leave every lock off.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/eventfilter.h>
#include <wx/filedlg.h>
#include <wx/statusbr.h>
#include <wx/timer.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/CChildView.h"
#include "app/CKM5804DemoApp.h"
#include "app/CSelectDeive.h"
#include "app/ResourceIds.h"
#include "logic/ui/CDialogLogic.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CListMessage.h"
#include "pages/kline/ui/UartPageDialog.h"
#include "platform/ui/WxMessageSink.h"
#include "platform/ui/WxText.h"
#include "simulator/ui/CDialogObdSimu.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/ProgramFixture.h"

#include "tests/support/WindowManager.h"  // last: Xlib's macros

#include <X11/Xutil.h>

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

// An idle program sleeps: no timer wakes its main thread (the lock panes follow the X
// server's notifications), and a lock changed then still shows.
TEST_F(DesktopTest, AnIdleProgramGetsNoTimerEventsAndStillFollowsTheLocks) {
    SetLocks(false, false, false);
    StartProgram();
    PumpPending();
    struct TimerCount : wxEventFilter {
        int timers = 0;
        int FilterEvent(wxEvent& event) override {
            if (event.GetEventType() == wxEVT_TIMER) ++timers;
            return Event_Skip;
        }
    } count;
    wxEvtHandler::AddFilter(&count);
    PumpUntil([] { return false; }, std::chrono::milliseconds(1500));
    wxEvtHandler::RemoveFilter(&count);
    EXPECT_EQ(count.timers, 0);
    SetLocks(false, false, true);
    EXPECT_TRUE(PumpUntil([&] { return Panes("", "", "SCRL"); }));
}

// Until the toolkit has read every X event that came so far (and so run its filters on them).
void ReadAllXEvents() {
    XSync(X(), False);
    EXPECT_TRUE(PumpUntil([] { return XEventsQueued(X(), QueuedAlready) == 0; }));
    PumpPending();
}

// The watcher wakes for the locks only: Shift, Ctrl and Alt, which the X server reports as
// changes of the keyboard's state too, go past it; a lock changed after them still shows.
TEST_F(DesktopTest, ModifierKeysDoNotWakeTheLockWatcher) {
    SetLocks(false, false, false);
    StartProgram();
    EXPECT_TRUE(PumpUntil([&] { return Panes("", "", ""); }));
    const LockKeyWatcher* watcher = frame_->GetLockKeyWatcher();
    ASSERT_NE(watcher, nullptr);
    ReadAllXEvents();
    const unsigned before = watcher->Wakes();
    for (const KeySym key : {XK_Shift_L, XK_Control_L, XK_Alt_L, XK_Shift_R, XK_Control_R}) SendRealKey(key);
    ReadAllXEvents();
    EXPECT_EQ(watcher->Wakes(), before);
    for (const bool caps : {true, false}) {
        SetLocks(caps, false, false);
        EXPECT_TRUE(PumpUntil([&] { return Panes(caps ? "CAP" : "", "", ""); }));
    }
    SetLocks(false, false, true);
    EXPECT_TRUE(PumpUntil([&] { return Panes("", "", "SCRL"); }));
    EXPECT_GE(watcher->Wakes(), before + 3);
}

// Each lock pane holds its whole text: the toolkit, painting the bar, cuts none of them, and
// each is wider than its text with the bar's margins (the last also holds the size grip).
TEST_F(DesktopTest, EveryLockPaneShowsItsWholeText) {
    SetLocks(true, true, true);
    StartProgram();
    ASSERT_TRUE(PumpUntil([&] { return Panes("CAP", "NUM", "SCRL"); }));
    wxStatusBar* bar = frame_->GetStatusBar();
    struct PaintCount : wxEventFilter {
        explicit PaintCount(wxWindow* w) : window(w) { wxEvtHandler::AddFilter(this); }
        ~PaintCount() override { wxEvtHandler::RemoveFilter(this); }
        int FilterEvent(wxEvent& event) override {
            if (event.GetEventType() == wxEVT_PAINT && event.GetEventObject() == window) ++paints;
            return Event_Skip;
        }
        wxWindow* window;
        int paints = 0;
    } count(bar);
    bar->Refresh();
    bar->Update();
    ASSERT_TRUE(PumpUntil([&] { return count.paints > 0; }));
    const int grip = bar->GetClientSize().y - 2, margins = 2 * 2;
    for (int pane = 1; pane <= 3; ++pane) {
        SCOPED_TRACE(Pane(pane));
        EXPECT_FALSE(bar->GetField(pane).IsEllipsized());
        wxRect rect;
        ASSERT_TRUE(bar->GetFieldRect(pane, rect));
        const int room = rect.width - margins - (pane == 3 ? grip : 0);
        EXPECT_GE(room, bar->GetTextExtent(U8(Pane(pane))).x) << rect.width;
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
    ASSERT_TRUE(PumpUntil([&] { return wm.Running(); }, std::chrono::seconds(15))) << "openbox runs";
    StartProgram();
    Window window = 0;
    std::vector<unsigned long> extents;  // left, right, top, bottom
    ASSERT_TRUE(PumpUntil([&] {
        window = FindByTitle(frame_->GetTitle());
        if (window) extents = WindowProperty(window, "_NET_FRAME_EXTENTS", 4);
        return extents.size() == 4;
    }, std::chrono::seconds(15)));  // a busy machine
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(X(), window, &attributes));
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(X(), window, DefaultRootWindow(X()), 0, 0, &x, &y, &child);
    const long left = x - static_cast<long>(extents[0]), top = y - static_cast<long>(extents[2]);
    const long right = x + attributes.width + static_cast<long>(extents[1]);
    const long bottom = y + attributes.height + static_cast<long>(extents[3]);
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

// What fails the hub as it is laid out now, empty when whole: every button inside the hub,
// clear of the others and below the list; the list showing a row; its scroll bar no shorter
// than the toolkit's least.
std::string HubFault(CDialogMainA* hub) {
    const wxRect client(hub->GetClientSize());
    const wxRect list = hub->GetList()->GetRect(), bar = hub->GetScrollBar()->GetRect();
    std::vector<wxRect> buttons;
    for (const int id : kHubButtonOrder) buttons.push_back(hub->GetPageButton(id)->GetRect());
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (!client.Contains(buttons[i])) return "a button outside the hub";
        if (buttons[i].Intersects(list) || buttons[i].Intersects(bar)) return "a button over the list";
        for (size_t j = i + 1; j < buttons.size(); ++j)
            if (buttons[i].Intersects(buttons[j])) return "buttons over each other";
    }
    if (g_MonitorRowsPerPage.load() < 1) return "no row in the list";
    int least = 0, natural = 0;
    gtk_widget_get_preferred_height(hub->GetScrollBar()->m_widget, &least, &natural);
    if (bar.height < least || !client.Contains(bar)) return "scroll bar " + std::to_string(bar.height);
    return "";
}

// The main window keeps the hub whole at every size it takes, and the toolkit never warns:
// asked through the window manager for less (as a drag of its border asks), it stays at its
// least size; a tool bar shown again at that size makes it grow.
TEST_F(DesktopTest, TheMainWindowKeepsTheHubWholeAtEverySize) {
    WindowManager wm;
    ASSERT_TRUE(PumpUntil([&] { return wm.Running(); }, std::chrono::seconds(15))) << "openbox runs";
    StartProgram();
    frame_->SetTitle("main window");
    Window window = 0;
    // Framed first: a size asked for before the window manager took the window would be lost.
    ASSERT_TRUE(PumpUntil([&] {
        window = FindByTitle("main window");
        return window && WindowProperty(window, "_NET_FRAME_EXTENTS", 4).size() == 4;
    }, std::chrono::seconds(15)));  // a busy machine
    CDialogMainA* hub = frame_->GetHub();
    const auto xSize = [&] {
        XWindowAttributes a{};
        XGetWindowAttributes(X(), window, &a);
        return wxSize(a.width, a.height);
    };
    // True once the toolkit has laid the window out at the size the X server gave it.
    const auto laidOut = [&] {
        GtkAllocation a{};
        gtk_widget_get_allocation(frame_->m_widget, &a);
        return wxSize(a.width, a.height) == xSize() && hub->GetSize() == frame_->GetView()->GetClientSize();
    };
    const auto text = [](wxSize size) { return std::to_string(size.x) + "x" + std::to_string(size.y); };
    const wxSize large(1250, 700);
    XResizeWindow(X(), window, large.x, large.y);
    ASSERT_TRUE(PumpUntil([&] { return xSize() == large && laidOut(); })) << text(xSize());
    // The least size the window tells the window manager, once the toolkit has passed on the
    // program's own (which counts the decorations in).
    const auto hinted = [&] {
        XSizeHints hints{};
        long supplied = 0;
        return XGetWMNormalHints(X(), window, &hints, &supplied) && (hints.flags & PMinSize)
                   ? wxSize(hints.min_width, hints.min_height) : wxSize();
    };
    EXPECT_TRUE(PumpUntil([&] { return hinted() == frame_->GetMinSize() - (frame_->GetSize() - xSize()); }))
        << text(hinted()) << " against " << text(frame_->GetMinSize());
    const wxSize least = hinted();
    // Asks for a size from the larger one, so that the window manager's answer shows as a change.
    const auto ask = [&](wxSize size) {
        XResizeWindow(X(), window, large.x, large.y);
        EXPECT_TRUE(PumpUntil([&] { return xSize() == large && laidOut(); })) << text(xSize());
        XResizeWindow(X(), window, size.x, size.y);
        EXPECT_TRUE(PumpUntil([&] { return xSize() != large && laidOut(); })) << text(xSize());
    };
    const wxSize asked[] = {
        {1000, 500}, least, {least.x - 1, least.y}, {least.x, least.y - 1}, {1100, 220}, {600, 400}, {200, 100}, {1, 1},
    };
    for (const wxSize& size : asked) {
        SCOPED_TRACE(text(size) + " asked, least " + text(least));
        ask(size);
        EXPECT_EQ(text(xSize()), text(wxSize(std::max(size.x, least.x), std::max(size.y, least.y))));
        EXPECT_EQ(HubFault(hub), "");
    }
    // At the least size: the tool bar hidden, then shown again.
    for (int i = 0; i < 2; ++i) {
        wxCommandEvent toggle(wxEVT_MENU, WxId(ID_VIEW_TOOLBAR));
        frame_->ProcessWindowEvent(toggle);
        EXPECT_TRUE(PumpUntil([&] { return laidOut() && HubFault(hub).empty(); })) << HubFault(hub);
    }
    EXPECT_TRUE(frame_->GetToolBar()->IsShown());
    const std::string err = wm.Stderr();
    wm.RestoreStderr();
    EXPECT_EQ(err.find("Gtk-"), std::string::npos) << err;
    EXPECT_EQ(err.find("gtk_"), std::string::npos) << err;
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

class OnTopTest : public OnTopFixture {};


// A page is an ordinary window: the main window, activated, comes above it, and the page
// above the main window again.
TEST_F(OnTopTest, TheMainWindowAndAPageComeAboveEachOtherAsTheyAreActivated) {
    wxWindow* page = PageOnTop(IDC_BUTTON_SCI, "SCI page");
    ASSERT_NE(page, nullptr);
    // A click on the main window's status bar, beside the page.
    const wxRect main = frame_->GetScreenRect();
    SendRealClick(main.GetRight() - 20, main.GetBottom() - 8);
    EXPECT_TRUE(PumpUntil([&] { return OnTopAndActive("main window"); })) << StandingOf("main window");
    EXPECT_TRUE(Activate(page, "SCI page")) << StandingOf("SCI page");
}

// With a page over the main window, every dialog and box the main window, the monitor list or
// the page opens comes up above it and active.
TEST_F(OnTopTest, DialogsAndBoxesOpenAboveAPageThatCoversTheMainWindow) {
    wxWindow* page = SciPageOverARecord();
    ASSERT_NE(page, nullptr);

    // About, and it stays above the page when the page is raised meanwhile: a modal window
    // under the window the user clicked would lock the program out of reach.
    const wxString about = U8("关于 VR3526Kits");
    EXPECT_EQ(OpensOnTop(about, [&] { CKM5804DemoApp::OnAppAbout(frame_); }, [&] {
        dynamic_cast<wxTopLevelWindow*>(page)->Raise();
        PumpUntil([] { return false; }, std::chrono::milliseconds(300));
        EXPECT_TRUE(PumpUntil([&] { return OnTopAndActive(about); })) << StandingOf(about);
    }), "") << "About";
    EXPECT_EQ(OpensOnTop("Show Message Detail", [&] { frame_->GetHub()->GetList()->OnNMDblclk(0); }), "")
        << "the detail dialog";
    EXPECT_EQ(OpensOnTop("Select a file", [&] { frame_->OnSaveToFile(); }), "") << "the save dialog";
    frame_->OnDisconnect();
    frame_->SetDeviceChooser(nullptr);
    EXPECT_EQ(OpensOnTop("Please Select Device Number", [&] { frame_->OnConnect(); }), "") << "the device chooser";
    frame_->SetDeviceChooser([](uint32_t) { return 0; });
    frame_->OnConnect();
    frame_->SetTitle("main window");

    platform::WxMessageSink boxes;
    const platform::ScopedMessageSink shown(&boxes);
    ClickButton(page, IDC_UART_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    EXPECT_EQ(OpensOnTop(U8("请先停止"), [&] { frame_->Close(); }), "") << "the refusal box of 退出";

    // A worker's fault box while the main window is active, and again after the page was
    // raised over it.
    const wxString kitTitle = "VR3526 Developer Kits V1.00";
    EXPECT_TRUE(Activate(frame_, "main window")) << StandingOf("main window");
    EXPECT_EQ(OpensOnTop(kitTitle, [] { tb_set_fault(1); }, [&] {
        tb_set_fault(0);
        g_WorkerThread.JoinEnded();
        EXPECT_TRUE(NameAfterWorkerEnd(page, IDC_UART_START, "SCI page"));
        EXPECT_TRUE(Activate(page, "SCI page")) << StandingOf("SCI page");
        ClickButton(page, IDC_UART_START);
        tb_set_fault(1);
        EXPECT_TRUE(PumpUntil([&] { return g_WorkerRunning.load() == 0; }));
        EXPECT_TRUE(PumpUntil([&] { return OnTopAndActive(kitTitle); })) << "the repeat: " << StandingOf(kitTitle);
    }), "") << "a worker's fault box";
    tb_set_fault(0);
    g_WorkerThread.JoinEnded();
}

// The simulator's and the logic analyser's own dialogs open above them, and the logic
// analyser above the page that covers the main window.
TEST_F(OnTopTest, TheSimulatorsAndTheLogicAnalysersDialogsOpenOnTop) {
    wxWindow* simulator = PageOnTop(IDC_BUTTON_OBD_SIMU, "simulator page");
    ASSERT_NE(simulator, nullptr);
    EXPECT_EQ(OpensOnTop("Set ECU Simulation Parameter", [&] { ClickButton(simulator, IDC_OBD_PARAMS); }), "")
        << "the parameter dialog";

    const wxString logicTitle = "K1 Logic Analysis-- Device( 0 ) Connected";
    std::string save = "not opened";
    EXPECT_EQ(OpensOnTop(logicTitle, [&] { frame_->GetHub()->OnPageButton(IDC_BUTTON_LOGIC); }, [&] {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* logic = dynamic_cast<CDialogLogic*>(window))
                save = OpensOnTop("Select a file", [logic] { ClickButton(logic, IDC_LOGIC_SAVE); });
    }), "") << "the logic analyser";
    EXPECT_EQ(save, "") << "the logic analyser's save dialog";
}

// The logic analyser opens centred over the main window every time, also after pages were
// opened and closed, and no window makes the toolkit warn of its layout.
TEST_F(OnTopTest, TheLogicAnalyserOpensCentredOverTheMainWindow) {
    // The centre of a window with its decorations on the screen, as the X server has it.
    auto centre = [](const wxString& title) {
        const Window w = FindByTitle(title);
        XWindowAttributes a{};
        int x = 0, y = 0;
        Window child = 0;
        if (!w || !XGetWindowAttributes(X(), w, &a)) return wxPoint(-1, -1);
        XTranslateCoordinates(X(), w, DefaultRootWindow(X()), 0, 0, &x, &y, &child);
        const std::vector<long> e = FrameExtents(w);  // left, right, top, bottom
        return wxPoint(x - e[0] + (e[0] + a.width + e[1]) / 2, y - e[2] + (e[2] + a.height + e[3]) / 2);
    };
    for (const int page : {0, int{IDC_BUTTON_SCI}, int{IDC_BUTTON_OBD_SIMU}, int{IDC_BUTTON_VPW}}) {
        SCOPED_TRACE(page);
        if (page) {
            wxWindow* window = Open(page);
            ASSERT_NE(window, nullptr);
            PumpUntil([] { return false; }, std::chrono::milliseconds(200));
            window->Close();
            PumpPending();
        }
        const wxString title = "K1 Logic Analysis-- Device( 0 ) Connected";
        wxPoint logic, main;
        EXPECT_EQ(OpensOnTop(title, [&] { frame_->GetHub()->OnPageButton(IDC_BUTTON_LOGIC); }, [&] {
            logic = centre(title);
            main = centre("main window");
        }), "");
        // Within a title bar's height: the window manager decorates it once it is shown.
        EXPECT_LE(std::abs(logic.x - main.x), 40) << logic.x << " against " << main.x;
        EXPECT_LE(std::abs(logic.y - main.y), 40) << logic.y << " against " << main.y;
    }
    const std::string err = wm_.Stderr();
    wm_.RestoreStderr();
    EXPECT_EQ(err.find("Gtk-"), std::string::npos) << err;
    EXPECT_EQ(err.find("gtk_"), std::string::npos) << err;
}

}  // namespace

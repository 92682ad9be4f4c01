// A modal dialog or box never leaves the user's reach, whatever the user clicks or picks in the
// task bar, and when it closes the window that opened it is on top and active again. Checked
// under a window manager (openbox) by its own stack and active window, with real clicks and
// keys on the X server, so these run alone (SERIAL).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/eventfilter.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "app/CKM5804DemoApp.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CListMessage.h"
#include "pages/kline/lin/ui/CDialogEditIDTable.h"
#include "pages/kline/lin/ui/CDiaglogLin.h"
#include "pages/kline/ui/UartPageDialog.h"
#include "platform/ui/WxMessageSink.h"
#include "platform/ui/WxText.h"
#include "simulator/ui/CDialogObdSimu.h"
#include "simulator/ui/CDialogSetEcuPara.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/TempFiles.h"

#include "tests/support/WindowManager.h"  // last: Xlib's macros

namespace {

const char* const kKitTitle = "VR3526 Developer Kits V1.00";

// The shown box that says text, or nullptr.
platform::WxBox* BoxSaying(const char* text) {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* box = dynamic_cast<platform::WxBox*>(window);
        if (box && box->IsShown() && !box->IsBeingDeleted() && box->Text() == text) return box;
    }
    return nullptr;
}

// True while a window of the program titled `title` is shown.
bool ShownTitled(const wxString& title) {
    for (wxWindow* window : wxTopLevelWindows)
        if (window->IsShown() && !window->IsBeingDeleted() && window->GetLabel() == title) return true;
    return false;
}

// Counts the mouse presses that reach one control, while it lives.
class PressCount : public wxEventFilter {
public:
    explicit PressCount(wxWindow* control) : control_(control) { wxEvtHandler::AddFilter(this); }
    ~PressCount() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() == wxEVT_LEFT_DOWN && event.GetEventObject() == control_) ++presses;
        return Event_Skip;
    }
    int presses = 0;

private:
    const wxObject* control_;
};

// A real click in the middle of a control, as the user clicks it, once its window stays where
// the window manager put it. With every core busy, a click on a dialog just shown now and then
// never reaches the toolkit (its event queue stays empty: lost on the way from the server
// through the window manager), and a user would click again: so does the test when no press
// came within 5 s.
void ClickOn(wxWindow* control) {
    wxRect at = control->GetScreenRect();
    PumpUntil([&] {
        PumpUntil([] { return false; }, std::chrono::milliseconds(100));
        const wxRect now = control->GetScreenRect();
        const bool still = now == at;
        at = now;
        return still;
    });
    PressCount pressed(control);
    for (int tries = 0; tries < 3; ++tries) {
        SendRealClick(at.x + at.width / 2, at.y + at.height / 2);
        if (PumpUntil([&] { return pressed.presses > 0; })) return;
    }
}

// Clicks OK in the box that says text, as the user does, and waits until the box is gone.
// False when no such box was up or the click did not close it.
bool ClickOkIn(const char* text) {
    platform::WxBox* box = BoxSaying(text);
    if (!box) return false;
    ClickOn(box->FindWindow(wxID_OK));
    return PumpUntil([&] { return !BoxSaying(text); });
}

// True while the window titled `upper` stands above the one titled `lower` in the window
// manager's stack.
bool StacksAbove(const wxString& upper, const wxString& lower) {
    const std::vector<Window> stack = Stacking();
    const auto up = std::find(stack.begin(), stack.end(), FindByTitle(upper));
    const auto down = std::find(stack.begin(), stack.end(), FindByTitle(lower));
    return up != stack.end() && down != stack.end() && up > down;
}

// Esc on the server's keyboard, as the user presses it; true once the window titled `title`
// has gone.
bool EscCloses(const wxString& title) {
    SendRealKey(XK_Escape);
    return PumpUntil([&] { return !ShownTitled(title); });
}

// Waits a little for the window manager to act on a click, then until the window titled
// `title` is on top and active.
bool StaysOnTop(const wxString& title) {
    PumpUntil([] { return false; }, std::chrono::milliseconds(300));
    return PumpUntil([&] { return OnTopAndActive(title); });
}

class ModalTest : public OnTopFixture {
protected:
    // A click on a free place of a window (its status bar's right end, or a corner of its
    // client area), where it raises the window as any click does.
    static void ClickBeside(wxWindow* window, bool statusBar) {
        const wxRect r = window->GetScreenRect();
        if (statusBar)
            SendRealClick(r.GetRight() - 20, r.GetBottom() - 8);
        else
            SendRealClick(r.x + 4, r.y + 4);
    }

    platform::WxMessageSink boxes_;
};

// "最大255ms!" over the SCI page: clicks on the main window and on the page leave the box on
// top and active, and the main window is not left over the page; the box's OK, clicked, gives
// the page back on top and active.
TEST_F(ModalTest, ABoxStaysOnTopWhateverWindowIsClickedAndGivesBackItsPage) {
    const platform::ScopedMessageSink shown(&boxes_);
    wxWindow* page = PageOnTop(IDC_BUTTON_SCI, "SCI page");
    ASSERT_NE(page, nullptr);
    auto* edit = dynamic_cast<wxTextCtrl*>(page->FindWindow(1016));  // UTXP1T
    ASSERT_NE(edit, nullptr);
    std::string afterMainClick = "not seen", afterPageClick = "not seen";
    EXPECT_EQ(OpensOnTop(kKitTitle, [&] { Retype(edit, "300"); }, [&] {
        ClickBeside(frame_, true);
        afterMainClick = StaysOnTop(kKitTitle) ? "" : StandingOf(kKitTitle);
        ClickBeside(page, false);
        afterPageClick = StaysOnTop(kKitTitle) ? "" : StandingOf(kKitTitle);
        EXPECT_TRUE(ClickOkIn("最大255ms!")) << "the click closed the box";
    }), "");
    EXPECT_EQ(afterMainClick, "") << "after a click on the main window";
    EXPECT_EQ(afterPageClick, "") << "after a click on the page";
    EXPECT_TRUE(PumpUntil([&] { return OnTopAndActive("SCI page"); })) << StandingOf("SCI page");
    EXPECT_TRUE(StacksAbove("SCI page", "main window"));
    EXPECT_EQ(edit->GetValue(), "255");
}

// The detail dialog, opened from the main window's list while a page covers it: a click on
// the page and the page picked in the task bar leave the dialog on top; Esc closes it and the
// main window is on top and active.
TEST_F(ModalTest, TheDetailDialogStaysOnTopWhenThePageIsClickedOrPicked) {
    wxWindow* page = SciPageOverARecord();
    ASSERT_NE(page, nullptr);
    const wxString detail = "Show Message Detail";
    std::string afterClick = "not seen", afterPick = "not seen";
    bool closedByKey = false;
    EXPECT_EQ(OpensOnTop(detail, [&] { frame_->GetHub()->GetList()->OnNMDblclk(0); }, [&] {
        ClickBeside(page, false);
        afterClick = StaysOnTop(detail) ? "" : StandingOf(detail);
        ActivateFromTaskBar(FindByTitle("SCI page"));
        afterPick = StaysOnTop(detail) ? "" : StandingOf(detail);
        closedByKey = EscCloses(detail);
    }), "");
    EXPECT_EQ(afterClick, "") << "after a click on the page";
    EXPECT_EQ(afterPick, "") << "after the page was picked in the task bar";
    EXPECT_TRUE(closedByKey) << "Esc reached the dialog";
    EXPECT_TRUE(PumpUntil([&] { return OnTopAndActive("main window"); })) << StandingOf("main window");
}

// A worker's fault box that comes while About, the detail dialog or the refusal of 退出 is up:
// on top, active, its OK takes a real click; then the dialog under it is on top and active,
// and Esc ends it.
TEST_F(ModalTest, ABoxOverAModalDialogTakesTheClickAndGivesTheDialogBack) {
    wxWindow* page = SciPageOverARecord();
    ASSERT_NE(page, nullptr);
    const platform::ScopedMessageSink shown(&boxes_);
    const struct {
        const char* title;
        std::function<void()> open;
        const char* opener;  // on top and active once the dialog is closed
    } dialogs[] = {
        {"关于 VR3526Kits", [&] { CKM5804DemoApp::OnAppAbout(frame_); }, "main window"},
        {"Show Message Detail", [&] { frame_->GetHub()->GetList()->OnNMDblclk(0); }, "main window"},
        // 退出 asked while the page is the window in use: the refusal belongs to it.
        {"请先停止", [&] { frame_->Close(); }, "SCI page"},
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.title);
        const wxString title = U8(d.title);
        page->SetLabel("SCI page");
        ASSERT_TRUE(Activate(page, "SCI page"));
        ClickButton(page, IDC_UART_START);
        ASSERT_EQ(g_WorkerRunning.load(), 1u);
        std::string box = "not seen", dialogAfter = "not seen";
        bool ended = false;
        EXPECT_EQ(OpensOnTop(title, d.open, [&] {
            box = OpensOnTop(kKitTitle, [] { tb_set_fault(1); }, [&] {
                tb_set_fault(0);
                auto* shownBox = ShownWindow<platform::WxWorkerBox>();
                ASSERT_NE(shownBox, nullptr);
                ClickOn(shownBox->FindWindow(wxID_OK));
                EXPECT_TRUE(PumpUntil([&] { return !ShownWindow<platform::WxWorkerBox>(); })) << "the click closed it";
            });
            dialogAfter = PumpUntil([&] { return OnTopAndActive(title); }) ? "" : StandingOf(title);
            ended = EscCloses(title);
        }), "");
        EXPECT_EQ(box, "") << "the worker's box";
        EXPECT_EQ(dialogAfter, "") << "the dialog after the box";
        EXPECT_TRUE(ended) << "Esc reached the dialog";
        EXPECT_TRUE(NameAfterWorkerEnd(page, IDC_UART_START, "SCI page")) << "the hub saw the end";
        EXPECT_TRUE(PumpUntil([&] { return OnTopAndActive(d.opener); })) << StandingOf(d.opener);
        g_WorkerThread.JoinEnded();
    }
}

// The simulator's file dialog and the box after a bad file belong to the simulator page: the
// main window is never raised over the page, and the page is on top and active after each.
TEST_F(ModalTest, TheSimulatorsFileDialogAndItsBoxGiveThePageBack) {
    // Opened before boxes are shown: no default table beside the tests.
    auto* simulator = dynamic_cast<CDialogObdSimu*>(PageOnTop(IDC_BUTTON_OBD_SIMU, "simulator page"));
    ASSERT_NE(simulator, nullptr);
    const platform::ScopedMessageSink shown(&boxes_);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        bool pageOverMain = false;
        EXPECT_EQ(OpensOnTop("Select a file", [&] { ClickButton(simulator, IDC_OBD_LOAD); },
                             [&] { pageOverMain = StacksAbove("simulator page", "main window"); }),
                  "");
        EXPECT_TRUE(pageOverMain) << "while the file dialog was up";
        simulator->SetTitle("simulator page");
        EXPECT_TRUE(PumpUntil([&] { return OnTopAndActive("simulator page"); })) << StandingOf("simulator page");
    }

    TempDir dir;
    const std::string bad = dir.Path("bad.sim");
    std::ofstream(bad) << "not a table";
    simulator->m_ChooseFile = [&](bool) { return bad; };
    bool pageOverMain = false;
    EXPECT_EQ(OpensOnTop(kKitTitle, [&] { ClickButton(simulator, IDC_OBD_LOAD); }, [&] {
        pageOverMain = StacksAbove("simulator page", "main window");
        EXPECT_TRUE(ClickOkIn("文件格式错误！"));
    }), "");
    EXPECT_TRUE(pageOverMain) << "while the box was up";
    simulator->SetTitle("simulator page");
    EXPECT_TRUE(PumpUntil([&] { return OnTopAndActive("simulator page"); })) << StandingOf("simulator page");
}

// 取消 in the parameter dialog and OK in its question, both clicked: the simulator page is on
// top and active, never the main window under it.
TEST_F(ModalTest, CancellingTheParameterDialogGivesTheSimulatorPageBack) {
    auto* simulator = dynamic_cast<CDialogObdSimu*>(PageOnTop(IDC_BUTTON_OBD_SIMU, "simulator page"));
    ASSERT_NE(simulator, nullptr);
    const wxString params = "Set ECU Simulation Parameter";
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        std::string question = "not seen";
        EXPECT_EQ(OpensOnTop(params, [&] { ClickButton(simulator, IDC_OBD_PARAMS); }, [&] {
            auto* dialog = ShownWindow<CDialogSetEcuPara>();
            ASSERT_NE(dialog, nullptr);
            question = OpensOnTop("Information", [&] { ClickOn(dialog->FindWindow(wxID_CANCEL)); }, [&] {
                EXPECT_TRUE(ClickOkIn("确定取消对相关参数的更改吗?"));
            });
            EXPECT_TRUE(PumpUntil([&] { return !dialog->IsShown(); })) << "the question's OK ended the dialog";
        }), "");
        EXPECT_EQ(question, "") << "the question";
        EXPECT_TRUE(PumpUntil([&] { return OnTopAndActive("simulator page"); })) << StandingOf("simulator page");
        EXPECT_TRUE(StacksAbove("simulator page", "main window"));
    }
}

// The LIN page's ID-table editor and its boxes: each box belongs to the editor, which is on
// top and active after it, with the LIN page still above the main window.
TEST_F(ModalTest, TheLinEditorsBoxesGiveTheEditorBack) {
    const platform::ScopedMessageSink shown(&boxes_);
    auto* lin = dynamic_cast<CDiaglogLin*>(PageOnTop(IDC_BUTTON_LIN, "LIN page"));
    ASSERT_NE(lin, nullptr);
    ClickButton(lin, IDC_LIN_SET_ID_TABLE);
    auto* editor = ShownWindow<CDialogEditIDTable>();
    ASSERT_NE(editor, nullptr);
    const wxString editorTitle = editor->GetTitle();
    EXPECT_TRUE(Activate(editor, editorTitle));
    Pick(dynamic_cast<wxRadioButton*>(editor->FindWindow(IDC_IDTABLE_RANGE)));
    auto* from = dynamic_cast<wxTextCtrl*>(editor->FindWindow(IDC_IDTABLE_FROM));
    auto* to = dynamic_cast<wxTextCtrl*>(editor->FindWindow(IDC_IDTABLE_TO));
    ASSERT_NE(from, nullptr);
    ASSERT_NE(to, nullptr);
    Retype(to, "1");
    const struct {
        const char* text;
        std::function<void()> open;
    } boxes[] = {
        {"有效ID应为0-63", [&] { Retype(from, "99"); }},
        {"结束的ID不应小于开始的ID!", [&] { ClickOn(editor->FindWindow(IDC_IDTABLE_APPLY)); }},
    };
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.text);
        EXPECT_EQ(OpensOnTop(kKitTitle, b.open, [&] {
            EXPECT_TRUE(ClickOkIn(b.text));
        }), "");
        EXPECT_TRUE(PumpUntil([&] { return OnTopAndActive(editorTitle); })) << StandingOf(editorTitle);
        EXPECT_TRUE(StacksAbove("LIN page", "main window"));
    }
}

}  // namespace

#pragma once
// A page window opened through the hub on a fresh simulated board (GUI tests, under Xvfb):
// the hub in a frame, the page registered behind its button, clicks, and the monitor rows.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/listctrl.h>

#include <memory>
#include <string>

#include "device/UsbOperation.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CListMessage.h"
#include "pages/shared/BusWorker.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/GuiPump.h"
#include "tests/support/UserInput.h"

// Presses the window's button, which must be there and enabled.
inline void ClickButton(wxWindow* window, int id) {
    auto* button = dynamic_cast<wxButton*>(window->FindWindow(id));
    ASSERT_NE(button, nullptr) << id;
    Press(button);
}

// The first row of the list with a cell that holds the text, or -1.
inline long ListRowShowing(const wxListCtrl* list, const std::string& text) {
    for (long row = 0; row < list->GetItemCount(); ++row)
        for (int col = 0; col < list->GetColumnCount(); ++col)
            if (list->GetItemText(row, col).utf8_string().find(text) != std::string::npos) return row;
    return -1;
}

// The first shown top-level window of that type, or nullptr.
template <class Window>
Window* ShownWindow() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* shown = dynamic_cast<Window*>(window); shown && shown->IsShown()) return shown;
    return nullptr;
}

template <class Dialog>
class PageWindowTest : public ::testing::Test {
protected:
    PageWindowTest(int buttonId, std::unique_ptr<HubPage> (*makePage)())
        : buttonId_(buttonId), makePage_(makePage) {}

    static void SetUpTestSuite() { ASSERT_EQ(UsbLoadLibrary(), 1); }

    void SetUp() override {
        tb_reset();
        ASSERT_EQ(UsbOpenPipes(), 1);
        g_DeviceOpen = 1;
        frame_ = new wxFrame(nullptr, wxID_ANY, "hub", wxDefaultPosition, wxSize(1000, 600));
        hub_ = new CDialogMainA(frame_);
        frame_->Show();
        hub_->RegisterPage(buttonId_, makePage_());
    }
    void TearDown() override {
        tb_set_responder(nullptr, nullptr);
        if (g_WorkerRunning.load()) g_WorkerThread.Stop();
        frame_->Destroy();
        PumpPending();
        UsbClosePipes();
        g_DeviceOpen = 0;
    }

    // Presses the page's hub button; the page when it is shown, else nullptr.
    Dialog* OpenPage() {
        hub_->OnPageButton(buttonId_);
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* page = dynamic_cast<Dialog*>(window)) dialog_ = page;
        return dialog_ && dialog_->IsShown() ? dialog_ : nullptr;
    }

    template <class T = wxWindow>
    T* Control(int id, wxWindow* parent = nullptr) const {
        return dynamic_cast<T*>((parent ? parent : dialog_)->FindWindow(id));
    }
    wxButton* Button(int id) const { return Control<wxButton>(id); }
    void Click(int id, wxWindow* parent = nullptr) { ClickButton(parent ? parent : dialog_, id); }

    // The first monitor row with a cell that holds the text, or -1.
    long RowShowing(const std::string& text) const { return ListRowShowing(hub_->GetList(), text); }
    bool ListShows(const std::string& text) const { return RowShowing(text) >= 0; }

    platform::RecordingMessageSink messages_;
    wxFrame* frame_ = nullptr;
    CDialogMainA* hub_ = nullptr;
    Dialog* dialog_ = nullptr;

private:
    int buttonId_;
    std::unique_ptr<HubPage> (*makePage_)();
};

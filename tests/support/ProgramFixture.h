#pragma once
// The whole program's main window on a fresh simulated board, connected to its first device,
// and a page opened from the hub as the user opens it (GUI tests, under Xvfb).
#include <gtest/gtest.h>

#include "app/CKM5804DemoApp.h"
#include "app/CMainFrame.h"
#include "device/UsbOperation.h"
#include "monitor/ui/CDialogMainA.h"
#include "pages/shared/BusWorker.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/GuiPump.h"

class ProgramTest : public ::testing::Test {
protected:
    // setupFile: a board set-up file loaded before the program connects (nullptr: none).
    void StartProgram(const char* setupFile = nullptr) {
        tb_reset();
        if (setupFile) {
            ASSERT_EQ(tb_load_setup(setupFile), 1);
        }
        frame_ = CreateMainWindow();
        ASSERT_NE(frame_, nullptr);
        frame_->SetDeviceChooser([](uint32_t) { return 0; });
        frame_->OnConnect();
        ASSERT_EQ(g_DeviceOpen.load(), 1u);
    }
    void TearDown() override {
        if (g_WorkerRunning.load()) g_WorkerThread.Stop();
        if (!frame_) return;
        frame_->OnDisconnect();
        frame_->Destroy();
        PumpPending();
    }
    // Presses the hub's button; the page window it shows (the newest shown), or nullptr.
    wxWindow* Open(int hubButton) {
        frame_->GetHub()->OnPageButton(hubButton);
        wxWindow* page = nullptr;
        for (wxWindow* window : wxTopLevelWindows)
            if (window != frame_ && window->IsShown()) page = window;
        return page;
    }

    platform::RecordingMessageSink messages_;
    CMainFrame* frame_ = nullptr;
};

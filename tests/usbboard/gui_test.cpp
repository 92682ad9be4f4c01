// The whole program on the real USB library: connect to an emulated board and run an
// ISO 14230 exchange through the page, as a user with a board on the desk does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CKM5804DemoApp.h"
#include "app/CMainFrame.h"
#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CListMessage.h"
#include "pages/shared/BusWorker.h"
#include "pages/kline/ui/CDialog14230.h"
#include "platform/Message.h"
#include "testboard/Board.h"
#include "testboard/testboard.h"
#include "testboard/usb/EmulatedUsbBus.h"
#include "tests/support/PageWindowFixture.h"

namespace {

// The ECU answers every frame the page sends with a positive response.
void PlayEcu(void*, const uint8_t* packet, unsigned length) {
    if (length < 6 || packet[0] != 0x57 || packet[1] != 0x3F) return;
    const uint8_t reply[] = {0x00, StatusUartFrame, 0x07, 0x00, 0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3};
    tb_queue_reply(reply, sizeof reply);
}

TEST(RealLibraryProgram, ConnectStartSendAndTheAnswerInTheList) {
    tb_reset();
    tb_set_chip(0x43, 0x15);
    tb_set_responder(PlayEcu, nullptr);
    testboard::EmulatedUsbBus bus;
    bus.Plug(testboard::TheBoard());
    platform::RecordingMessageSink messages;

    // The program finds bin/libmpusbapi.so by name, through this test's run path.
    CMainFrame* frame = CreateMainWindow();
    ASSERT_NE(frame, nullptr);
    frame->SetDeviceChooser([](uint32_t count) { return static_cast<int>(count) - 1; });
    frame->OnConnect();
    EXPECT_EQ(frame->GetTitle(), "VR3526Kits -- Device(0) Connected. VR3526 ID: 0x43 VER: 0x15");
    EXPECT_EQ(bus.Claims(0), 1u) << "the emulated board is the one the program talks to";

    frame->GetHub()->OnPageButton(IDC_BUTTON_14230);
    CDialog14230* page = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* found = dynamic_cast<CDialog14230*>(window)) page = found;
    ASSERT_NE(page, nullptr);
    auto click = [page](int id) { ClickButton(page, id); };
    click(IDC_14230_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    click(IDC_14230_SEND);
    const wxListCtrl* list = frame->GetHub()->GetList();
    EXPECT_TRUE(PumpUntil(
        [&] { return ListRowShowing(list, "C1 33 F1 81 66") >= 0 && ListRowShowing(list, "83 F1 10 C1 EF 8F C3") >= 0; }));
    click(IDC_14230_STOP);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_EQ(messages.Count(), 0u);

    tb_set_responder(nullptr, nullptr);
    frame->OnDisconnect();
    EXPECT_EQ(bus.Releases(0), 1u);
    EXPECT_TRUE(frame->Close());
    PumpPending();  // the frame goes, and the library with it, before the bus
    ResetMonitorRing();
}

}  // namespace

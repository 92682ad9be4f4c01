// The UART test page in its window, opened through the hub, against the simulated board.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include <string>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CListMessage.h"
#include "pages/kline/SerialWorker.h"
#include "pages/kline/uarttest/ui/CDiaglogTestUart.h"
#include "pages/kline/ui/Pages.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/PageWindowFixture.h"

namespace {

class UartTestGuiTest : public PageWindowTest<CDiaglogTestUart> {
protected:
    UartTestGuiTest() : PageWindowTest(IDC_BUTTON_TEST_UART, MakeDiaglogTestUartPage) {}
};

TEST_F(UartTestGuiTest, StartSendEchoAndTheSleepTestWhileRunning) {
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "UART Test-- Device( 0 ) Connected");
    auto* dlc = Control<wxTextCtrl>(IDC_TESTUART_DLC);
    EXPECT_EQ(dlc->GetValue(), "8");
    auto* wue = Control<wxCheckBox>(IDC_TESTUART_WUE);
    EXPECT_TRUE(wue->GetValue());

    tb_set_uart_echo(1);
    tb_set_register(0x02, 0x85);
    Click(IDC_TESTUART_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    Click(IDC_TESTUART_SEND);
    ASSERT_TRUE(PumpUntil([&] { return g_MonitorCount.load() >= 2 && RowShowing("00 01 02 03 04 05 06 07") >= 0; }));
    const CListMessage* list = hub_->GetList();
    ASSERT_GE(list->GetItemCount(), 2);
    EXPECT_NE(list->GetItemTextColour(0), list->GetItemTextColour(1)) << "sent and heard rows differ";

    Click(IDC_TESTUART_RD_INTF);
    EXPECT_EQ(Control<wxTextCtrl>(IDC_TESTUART_INTF)->GetValue(), "0x85 ");
    Click(IDC_TESTUART_STOP);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_EQ(messages_.Count(), 0u);
}

}  // namespace

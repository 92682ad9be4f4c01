// The two J1850 pages in their windows, opened through the hub, against the simulated board.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CListMessage.h"
#include "pages/j1850/ui/CDialogVpw.h"
#include "pages/j1850/ui/CListSectorLock.h"
#include "pages/j1850/ui/Pages.h"
#include "pages/shared/BusWorker.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/GuiPump.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/UserInput.h"

namespace {

std::unique_ptr<HubPage> MakeVpw() { return MakeDialogVpwPage(false); }
std::unique_ptr<HubPage> MakePwm() { return MakeDialogVpwPage(true); }

class J1850GuiTest : public PageWindowTest<CDialogVpw> {
protected:
    explicit J1850GuiTest(bool pwm = false)
        : PageWindowTest(pwm ? IDC_BUTTON_PWM : IDC_BUTTON_VPW, pwm ? MakePwm : MakeVpw) {}
    void SetUp() override {
        PageWindowTest::SetUp();
        ResetMonitorRing();
    }

    wxTextCtrl* Edit(int id) const { return Control<wxTextCtrl>(id); }
    std::string Text(int id) const { return Edit(id)->GetValue().utf8_string(); }

    // Rows of the monitor list that hold every one of the texts.
    int RowsShowing(const std::vector<std::string>& texts) const {
        const CListMessage* list = hub_->GetList();
        int rows = 0;
        for (long row = 0; row < list->GetItemCount(); ++row) {
            std::string line;
            for (int col = 0; col < list->GetColumnCount(); ++col)
                line += list->GetItemText(row, col).utf8_string() + "|";
            bool all = true;
            for (const std::string& t : texts) all = all && line.find(t) != std::string::npos;
            rows += all ? 1 : 0;
        }
        return rows;
    }
};

class J1850PwmGuiTest : public J1850GuiTest {
protected:
    J1850PwmGuiTest() : J1850GuiTest(true) {}
};

TEST_F(J1850GuiTest, VpwStartSendEchoAnswerKeepAliveStopClose) {
    const uint8_t match[] = {0x68, 0x6A, 0xF1};
    const uint8_t answer[] = {0x48, 0x6B, 0x10, 0x41, 0x00, 0xBE};
    const uint8_t ifr[] = {0x10};
    tb_j1850_add_peer(match, 3, answer, 6, ifr, 1);
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "J1850 VPW 10.4KPBS -- Device( 0 ) Connected");
    EXPECT_EQ(Text(IDC_VPW_KEEPALIVE_DATA), "68 6A  F1 01 00");
    EXPECT_FALSE(Button(IDC_VPW_SEND)->IsEnabled());
    EXPECT_FALSE(Button(IDC_VPW_KEEPALIVE)->IsEnabled());
    EXPECT_EQ(Control<wxListBox>(IDC_VPW_LIST_PHYSICAL)->GetCount(), 256u);

    Click(IDC_VPW_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    EXPECT_TRUE(hub_->MonitorTimerRunning());
    EXPECT_FALSE(Button(IDC_VPW_START)->IsEnabled());

    Click(IDC_VPW_SEND);
    ASSERT_TRUE(PumpUntil([&] {
        return RowsShowing({"发送", "J1850", "VPW: 68 6A F1 01 00", "CRC:", "IFR: 10"}) == 1 &&
               RowsShowing({"接收", "VPW: 48 6B 10 41 00 BE"}) == 1;
    }));

    Edit(IDC_VPW_KEEPALIVE_PERIOD)->SetValue("20");
    Click(IDC_VPW_KEEPALIVE);
    EXPECT_EQ(Button(IDC_VPW_KEEPALIVE)->GetLabel().utf8_string(), "停止链路保持");
    EXPECT_TRUE(dialog_->KeepAliveTimerRunning());
    ASSERT_TRUE(PumpUntil([&] { return RowsShowing({"发送", "VPW: 68 6A F1 01 00"}) >= 3; }));

    Click(IDC_VPW_STOP);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_FALSE(dialog_->KeepAliveTimerRunning());
    EXPECT_FALSE(Button(IDC_VPW_KEEPALIVE)->IsEnabled());
    EXPECT_EQ(Button(IDC_VPW_KEEPALIVE)->GetLabel().utf8_string(), "启动链路保持");
    EXPECT_TRUE(Button(IDC_VPW_START)->IsEnabled());

    Click(IDC_VPW_EXIT);
    EXPECT_FALSE(dialog_->IsShown());
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(J1850PwmGuiTest, PwmPageShowsPwmRowsAndItsCaption) {
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "J1850 PWM 41.6KPBS -- Device( 0 ) Connected");
    EXPECT_EQ(Text(IDC_VPW_HEADER), "61");
    Click(IDC_VPW_START);
    EXPECT_EQ(tb_get_register(0x09), 0xFE);
    Click(IDC_VPW_SEND);
    ASSERT_TRUE(PumpUntil([&] { return RowsShowing({"发送", "PWM: 61 6A F1 01 00"}) == 1; }));
    Click(IDC_VPW_STOP);
    g_DeviceOpen = 0;
    dialog_->RefreshDeviceStatus();
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "J1850 PWM 41.6KPBS -- No device Connected");
    EXPECT_FALSE(Button(IDC_VPW_START)->IsEnabled());
}

TEST_F(J1850GuiTest, GridAndFormatDriveTheHeaderFields) {
    ASSERT_NE(OpenPage(), nullptr);
    CListSectorLock* grid = dialog_->Grid();
    // A click at the H column's x toggles the H bit.
    grid->OnNMClick(grid->ColumnAt(3 * CListSectorLock::kColumnWidth + 5));
    EXPECT_EQ(Text(IDC_VPW_HEADER), "78");
    EXPECT_EQ(Text(IDC_VPW_TARGET), "-");
    EXPECT_FALSE(Edit(IDC_VPW_TARGET)->IsEnabled());
    EXPECT_EQ(Text(IDC_VPW_DATA), "6A F1 01 00 ");
    // Typing the header byte rebuilds the grid.
    Edit(IDC_VPW_HEADER)->SetValue("E8");
    EXPECT_EQ(grid->Cells()[1], "1");
    EXPECT_EQ(grid->Cells()[4], "0");
    EXPECT_EQ(Text(IDC_VPW_TARGET), "6A");

    auto* oneByte = Control<wxRadioButton>(IDC_VPW_ONE_BYTE);
    oneByte->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, IDC_VPW_ONE_BYTE);
    oneByte->ProcessWindowEvent(event);
    EXPECT_FALSE(grid->IsEnabled());
    EXPECT_EQ(grid->Cells()[5], "-");
    grid->OnNMClick(2);  // disabled: nothing changes
    EXPECT_EQ(Text(IDC_VPW_HEADER), "E8");

    // The data limit through the edit: the ninth byte behind a one-byte header is kept.
    Edit(IDC_VPW_DATA)->SetValue("0102030405060708090A0B");
    PumpPending();
    EXPECT_EQ(Text(IDC_VPW_DATA), "01 02 03 04 05 06 07 08 09 0A ");
    EXPECT_EQ(Text(IDC_VPW_DLC), "12");
    ASSERT_EQ(messages_.Count(), 1u);
    EXPECT_EQ(messages_.Texts()[0], "数据桢的总长度(Header+data+crc)不可大于12字节!");

    // A read-back shows what the chip holds; a failed one says so and shows what arrived.
    const uint8_t filter[256] = {};
    tb_set_block(2, filter, sizeof filter);
    tb_set_register(0x08, 0x01);
    dialog_->OnBnClickedReadRegisters();
    EXPECT_EQ(Control<wxListBox>(IDC_VPW_LIST_PHYSICAL)->GetCount(), 0u);
    EXPECT_FALSE(grid->IsEnabled()) << "JCON0 bit 0 read back";
    messages_.Clear();
    tb_fail_write(1);
    dialog_->OnBnClickedReadRegisters();
    EXPECT_EQ(messages_.Texts(), (std::vector<std::string>{"设备出现通信错误停止!", "读寄存器错误!"}));

    // The OBD2 preset returns to the three-byte format the image now says.
    Click(IDC_VPW_PRESET_OBD2);
    EXPECT_TRUE(grid->IsEnabled());
    EXPECT_EQ(Control<wxListBox>(IDC_VPW_LIST_FUNCTIONAL)->GetString(0), "0x6B");
    EXPECT_EQ(dialog_->Page().Record().bytes[0] & 0x08, 0);
}

// The header byte typed key by key, as a user does: "78" stays 78 and goes on the wire;
// Backspace empties the edit; leaving it shows the byte kept.
TEST_F(J1850GuiTest, TheHeaderByteCanBeTypedKeyByKey) {
    ASSERT_NE(OpenPage(), nullptr);
    wxTextCtrl* header = Edit(IDC_VPW_HEADER);
    Retype(header, "78");
    EXPECT_EQ(Text(IDC_VPW_HEADER), "78");
    EXPECT_EQ(dialog_->Grid()->Cells()[3], "1") << "the H bit of 78";
    TypeKey(header, WXK_BACK);
    TypeKey(header, WXK_BACK);
    EXPECT_EQ(Text(IDC_VPW_HEADER), "");
    Retype(header, "78");
    Leave(header);
    EXPECT_EQ(Text(IDC_VPW_HEADER), "78");
    Press(Button(IDC_VPW_START));
    Press(Button(IDC_VPW_SEND));
    ASSERT_TRUE(PumpUntil([&] { return RowsShowing({"发送", "VPW: 78 "}) == 1; }));
    Press(Button(IDC_VPW_STOP));
}

}  // namespace

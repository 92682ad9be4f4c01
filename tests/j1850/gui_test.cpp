// The two J1850 pages in their windows, opened through the hub, against the simulated board.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/checkbox.h>
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
#include "tests/support/BoardLog.h"
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

// What the page shows of a register read-back: the header format, the address and IFR lists,
// the ID buffer, both IFR3 buffers with their lengths and CRC, and the YZZ choices, each from
// the register or block the board holds.
TEST_F(J1850GuiTest, TheReadBackShowsWhatTheBoardHolds) {
    ASSERT_NE(OpenPage(), nullptr);
    tb_set_register(0x08, 0x03);  // JCON0: one-byte header, IFR3 CRC
    tb_set_register(0x06, 5);     // IFR3 B0: 4 bytes and the CRC
    tb_set_register(0x07, 3);     // IFR3 B1: 2 bytes and the CRC
    Bytes yzz(8, 0), idifr(256, 0), filter(256, 0), idbuff, b0, b1;
    yzz[0] = 0x7B;     // IDSEL 3, IFR3SEL 1, IFRT 3, NB 1
    idifr[0x10] = 0x25;  // IDSEL 5, IFR3SEL 0, IFRT 2, NB 0
    idifr[0xF1] = 0x58;  // IDSEL 0, IFR3SEL 1, IFRT 1, NB 1
    idifr[0x33] = 0x4F;  // IFRT 0: no response, not listed
    filter[0x10] = 0x02, filter[0x6A] = 0x06, filter[0xF1] = 0x01;  // physical; physical and functional; head ID
    for (uint8_t i = 0; i < 8; ++i) idbuff.push_back(static_cast<uint8_t>(0x11 * (i + 1)));
    for (uint8_t i = 0; i < 10; ++i) b0.push_back(static_cast<uint8_t>(0xA0 + i)), b1.push_back(static_cast<uint8_t>(0xB0 + i));
    const Bytes* blocks[] = {&yzz, &idifr, &filter, &idbuff, &b0, &b1};
    for (uint8_t b = 0; b < 6; ++b) tb_set_block(b, blocks[b]->data(), static_cast<unsigned>(blocks[b]->size()));

    dialog_->OnBnClickedReadRegisters();
    EXPECT_EQ(messages_.Count(), 0u);
    EXPECT_TRUE(Control<wxRadioButton>(IDC_VPW_ONE_BYTE)->GetValue());
    EXPECT_FALSE(Control<wxRadioButton>(IDC_VPW_CONSOLIDATED)->GetValue());
    EXPECT_FALSE(Edit(IDC_VPW_TARGET)->IsEnabled()) << "a one-byte header has no addresses";
    auto lines = [this](int id) {
        std::vector<std::string> shown;
        for (const wxString& line : Control<wxListBox>(id)->GetStrings()) shown.push_back(line.utf8_string());
        return shown;
    };
    EXPECT_EQ(lines(IDC_VPW_LIST_PHYSICAL), (std::vector<std::string>{"0x10", "0x6A"}));
    EXPECT_EQ(lines(IDC_VPW_LIST_FUNCTIONAL), (std::vector<std::string>{"0x6A"}));
    EXPECT_EQ(lines(IDC_VPW_LIST_HEAD_ID), (std::vector<std::string>{"0xF1"}));
    EXPECT_EQ(lines(IDC_VPW_IFR_LIST),
              (std::vector<std::string>{"0x10 IFRT:2 IDSEL:5 IF3SEL:0 NB:0", "0xF1 IFRT:1 IDSEL:0 IF3SEL:1 NB:1"}));
    EXPECT_EQ(Text(IDC_VPW_IDBUFF), "11 22 33 44 55 66 77 88 ");
    EXPECT_TRUE(Control<wxCheckBox>(IDC_VPW_IFR3_CRC)->GetValue());
    EXPECT_EQ(Text(IDC_VPW_IFR3_B0), "A0 A1 A2 A3 ");
    EXPECT_EQ(Text(IDC_VPW_IFR3_B0_LENGTH), "5");
    EXPECT_EQ(Text(IDC_VPW_IFR3_B1), "B0 B1 ");
    EXPECT_EQ(Text(IDC_VPW_IFR3_B1_LENGTH), "3");
    EXPECT_EQ(Control<wxChoice>(IDC_VPW_YZZ_IFRT0)->GetSelection(), 3);
    EXPECT_EQ(Control<wxChoice>(IDC_VPW_YZZ_IFRT0 + 1)->GetSelection(), 1) << "NB of YZZ 0";
    EXPECT_EQ(Control<wxChoice>(IDC_VPW_YZZ_IFR3SEL0)->GetSelection(), 1);
    EXPECT_EQ(Control<wxChoice>(IDC_VPW_YZZ_IFRT0 + 2)->GetSelection(), 0) << "IFRT of YZZ 1";

    // A failed read-back says so and shows the image as far as it was read.
    tb_fail_write(10);  // the block 3 (ID buffer) request
    tb_set_register(0x07, 7);
    dialog_->OnBnClickedReadRegisters();
    EXPECT_EQ(messages_.Texts(), (std::vector<std::string>{"设备出现通信错误停止-5!", "读寄存器错误!"}));
    EXPECT_EQ(Text(IDC_VPW_IFR3_B1_LENGTH), "7");
    EXPECT_EQ(Text(IDC_VPW_IFR3_B1), "B0 B1 B2 B3 B4 B5 ");
}

}  // namespace

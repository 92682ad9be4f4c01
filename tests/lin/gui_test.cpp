// The LIN page with its ID-table editor and the UART test page in their windows, opened
// through the hub, against the simulated board.
#include <gtest/gtest.h>
#include <wx/radiobut.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "monitor/MonitorRing.h"
#include "pages/kline/lin/ui/CDialogEditIDTable.h"
#include "pages/kline/lin/ui/CDiaglogLin.h"
#include "pages/kline/uarttest/ui/CDiaglogTestUart.h"
#include "pages/kline/ui/Pages.h"
#include "tests/support/BoardLog.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/UserInput.h"

namespace {

class LinGuiTest : public PageWindowTest<CDiaglogLin> {
protected:
    LinGuiTest() : PageWindowTest(IDC_BUTTON_LIN, MakeDiaglogLinPage) {}
    void SetUp() override {
        PageWindowTest::SetUp();
        ASSERT_NE(OpenPage(), nullptr);
    }
    std::string Shown(int id) const { return Control<wxTextCtrl>(id)->GetValue().utf8_string(); }
};

TEST_F(LinGuiTest, OpensStartsSendsAndAnswersAHeaderInOneRow) {
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "LIN-- Device( 0 ) Connected");
    EXPECT_EQ(Shown(IDC_LIN_CS), "E3");
    EXPECT_EQ(Shown(IDC_LIN_ID_LEN), "8");
    EXPECT_EQ(Shown(IDC_LIN_DLC), "8");
    auto* list = Control<wxListCtrl>(IDC_LIN_ID_LIST);
    ASSERT_EQ(list->GetItemCount(), 64);
    EXPECT_EQ(list->GetItemText(5, 0), "05-0X05");
    EXPECT_EQ(list->GetItemText(40, 3), "2");

    const uint8_t header[] = {0x00, 0x10, 0x01, 0x80, 0x0C};
    tb_add_periodic_reply(50, header, sizeof header);
    Click(IDC_LIN_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    EXPECT_FALSE(Button(IDC_LIN_START)->IsEnabled());
    Click(IDC_LIN_SEND);
    long sent = -1, answered = -1;
    ASSERT_TRUE(PumpUntil([&] { return (sent = RowShowing("30 00 01 02 03 04 05 06 07")) >= 0 && (answered = RowShowing("0C 20 21 22 23 24 25 26 27")) >= 0; }));
    EXPECT_EQ(hub_->GetList()->GetItemTextColour(sent), hub_->GetList()->GetItemTextColour(answered)) << "both went out";

    Click(IDC_LIN_STOP);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_TRUE(Button(IDC_LIN_START)->IsEnabled());
    EXPECT_EQ(messages_.Count(), 0u);
}

// The hub goes while the LIN worker answers headers from the page's rows: the worker ends,
// with its stop packet, before the page does (AddressSanitizer saw the rows read after free).
TEST_F(LinGuiTest, TheHubEndsARunningWorkerBeforeItsPagesGo) {
    const uint8_t header[] = {0x00, 0x10, 0x01, 0x80, 0x0C};
    tb_add_periodic_reply(1, header, sizeof header);
    Click(IDC_LIN_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    ASSERT_TRUE(PumpUntil([&] { return ListShows("0C 20 21 22 23 24 25 26 27"); }));
    delete hub_;  // as the main frame's view deletes it, the worker still running
    hub_ = nullptr;
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_FALSE(g_WorkerThread.HasThread()) << "joined";
    const Bytes last = LoggedPacket(tb_log_count() - 1);
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(last[0], 0xB2) << "the stop packet went out last";
}

// The editor follows the user's clicks, not the rows the page selects itself: a composed byte
// survives "更改" for the next range, and a click on the highlighted row moves the editor.
TEST_F(LinGuiTest, TheEditorTakesClicksNotTheSelectionsThePageMakes) {
    Click(IDC_LIN_SET_ID_TABLE);
    CDialogEditIDTable* editor = dialog_->Editor();
    ASSERT_TRUE(editor && editor->IsShown());
    auto* list = Control<wxListCtrl>(IDC_LIN_ID_LIST);
    auto current = [&] { return Control<wxStaticText>(IDC_IDTABLE_CURRENT, editor)->GetLabel().utf8_string(); };

    Pick(Control<wxRadioButton>(IDC_IDTABLE_RANGE, editor));
    Retype(Control<wxTextCtrl>(IDC_IDTABLE_FROM, editor), "1");
    Retype(Control<wxTextCtrl>(IDC_IDTABLE_TO, editor), "3");
    Choose(Control<wxChoice>(IDC_IDTABLE_CSM, editor), 1);
    Press(Control<wxButton>(IDC_IDTABLE_APPLY, editor));
    EXPECT_EQ(Control<wxChoice>(IDC_IDTABLE_CSM, editor)->GetSelection(), 1) << "the composed byte stays";
    Retype(Control<wxTextCtrl>(IDC_IDTABLE_FROM, editor), "10");
    Retype(Control<wxTextCtrl>(IDC_IDTABLE_TO, editor), "12");
    Press(Control<wxButton>(IDC_IDTABLE_APPLY, editor));
    for (long row : {1, 2, 3, 10, 11, 12}) EXPECT_EQ(list->GetItemText(row, 4).utf8_string(), "1") << row;
    EXPECT_EQ(list->GetItemText(9, 4).utf8_string(), "0");

    Pick(Control<wxRadioButton>(IDC_IDTABLE_SINGLE, editor));
    ClickListRow(list, 48);
    EXPECT_EQ(current(), "48 (0x30)");
    Click(IDC_LIN_SET_ID_TABLE);
    EXPECT_EQ(current(), "0 (0x00)");
    ClickListRow(list, 48);  // the row still highlighted
    EXPECT_EQ(current(), "48 (0x30)");
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(LinGuiTest, EditorChangeShowsInTheListAndTheChecksum) {
    Click(IDC_LIN_SET_ID_TABLE);
    CDialogEditIDTable* editor = dialog_->Editor();
    ASSERT_TRUE(editor && editor->IsShown());
    EXPECT_EQ(Control<wxStaticText>(IDC_IDTABLE_CURRENT, editor)->GetLabel(), "0 (0x00)");

    // Moving to the master ID's row by a click, CSM enhanced, "更改".
    auto* list = Control<wxListCtrl>(IDC_LIN_ID_LIST);
    ClickListRow(list, 48);
    EXPECT_EQ(Control<wxStaticText>(IDC_IDTABLE_CURRENT, editor)->GetLabel(), "48 (0x30)");
    auto* csm = Control<wxChoice>(IDC_IDTABLE_CSM, editor);
    csm->SetSelection(1);
    wxCommandEvent chosen(wxEVT_CHOICE, IDC_IDTABLE_CSM);
    chosen.SetInt(1), csm->ProcessWindowEvent(chosen);
    Click(IDC_IDTABLE_APPLY, editor);
    EXPECT_EQ(list->GetItemText(48, 4), "1");
    EXPECT_EQ(Shown(IDC_LIN_CS), "F2");

    Click(IDC_IDTABLE_EXIT, editor);
    EXPECT_FALSE(editor->IsShown());
    Click(IDC_LIN_SET_ID_TABLE);
    EXPECT_EQ(dialog_->Editor(), editor) << "created once";
    EXPECT_TRUE(editor->IsShown());
    EXPECT_EQ(messages_.Count(), 0u);
}

bool EditorOnScreen() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* shown = dynamic_cast<wxTopLevelWindow*>(window);
            shown && shown->IsShown() && shown->GetTitle() == "ID TABLE Modify")
            return true;
    return false;
}

// The editor goes with its page, by 退出 and by the page's close box, as its own 退出 would:
// the byte composed in the combos is dropped, the mode and the range stay.
TEST_F(LinGuiTest, TheEditorClosesWithItsPageAndOpensAgainWithIt) {
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "退出");
        Click(IDC_LIN_SET_ID_TABLE);
        ASSERT_TRUE(EditorOnScreen());
        CDialogEditIDTable* editor = dialog_->Editor();
        Pick(Control<wxRadioButton>(IDC_IDTABLE_RANGE, editor));
        Retype(Control<wxTextCtrl>(IDC_IDTABLE_FROM, editor), "5");
        Choose(Control<wxChoice>(IDC_IDTABLE_CSM, editor), 1);

        if (closeBox)
            dialog_->Close();
        else
            Click(IDC_LIN_EXIT);
        PumpPending();
        EXPECT_FALSE(dialog_->IsShown());
        EXPECT_FALSE(EditorOnScreen()) << "left behind by its page";

        ASSERT_EQ(OpenPage(), dialog_);
        EXPECT_FALSE(EditorOnScreen()) << "the page opens alone";
        Click(IDC_LIN_SET_ID_TABLE);
        EXPECT_TRUE(EditorOnScreen());
        EXPECT_EQ(dialog_->Editor(), editor);
        EXPECT_EQ(Control<wxChoice>(IDC_IDTABLE_CSM, editor)->GetSelection(), 0) << "the table's byte, not the composed one";
        EXPECT_TRUE(Control<wxRadioButton>(IDC_IDTABLE_RANGE, editor)->GetValue());
        EXPECT_EQ(Control<wxTextCtrl>(IDC_IDTABLE_FROM, editor)->GetValue(), "5");
        EXPECT_EQ(Control<wxListCtrl>(IDC_LIN_ID_LIST)->GetItemText(0, 4), "0") << "nothing applied";
        Click(IDC_IDTABLE_EXIT, editor);
    }
    EXPECT_EQ(messages_.Count(), 0u);
}

class UartTestGuiTest : public PageWindowTest<CDiaglogTestUart> {
protected:
    UartTestGuiTest() : PageWindowTest(IDC_BUTTON_TEST_UART, MakeDiaglogTestUartPage) {}
};

TEST_F(UartTestGuiTest, StartSendEchoAndTheSleepTestWhileRunning) {
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(Control<wxStaticText>(IDC_TESTUART_BATTERY)->GetFont().GetPixelSize().GetHeight(), 24) << "24 pixels high";
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "UART Test-- Device( 0 ) Connected");
    EXPECT_EQ(Control<wxTextCtrl>(IDC_TESTUART_DLC)->GetValue(), "8");
    EXPECT_TRUE(Control<wxCheckBox>(IDC_TESTUART_WUE)->GetValue());

    tb_set_uart_echo(1), tb_set_register(0x02, 0x85);
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

// The mode group shows the engine's four frame modes: "000--UART" checked and the one enabled,
// the other three disabled; no SCI mode.
TEST_F(UartTestGuiTest, TheModeGroupShowsFourModesWithUartCheckedAndEnabled) {
    ASSERT_NE(OpenPage(), nullptr);
    std::vector<std::string> shown;
    for (wxWindow* box : dialog_->GetChildren()) {
        if (box->GetLabel() != wxString::FromUTF8("工作模式(FMOD)")) continue;
        for (wxWindow* child : box->GetChildren())
            if (auto* radio = dynamic_cast<wxRadioButton*>(child))
                shown.push_back(radio->GetLabel().utf8_string() + (radio->GetValue() ? " checked" : "") +
                                (radio->IsEnabled() ? " enabled" : ""));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"000--UART checked enabled", "001--ISO14230", "010--LIN ",
                                               "011--USER Frame"}));
}

}  // namespace

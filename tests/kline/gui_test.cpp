// The KW1281, SCI, user-mode and J1708 pages in their windows, opened through the hub,
// against the simulated board.
#include <gtest/gtest.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <functional>

#include "monitor/MonitorRing.h"
#include "pages/kline/j1708/ui/CDialogJ1708.h"
#include "pages/kline/kw1281/ui/CDialogKW1281.h"
#include "pages/kline/sci/ui/CDialogSCI.h"
#include "pages/kline/ui/Pages.h"
#include "pages/kline/usermode/ui/CDialogUser.h"
#include "tests/support/BoardLog.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/UserInput.h"

namespace {

// The KW1281 page is the fixture's own; the other three hang behind their buttons too.
class KLinePagesGuiTest : public PageWindowTest<CDialogKW1281> {
protected:
    KLinePagesGuiTest() : PageWindowTest(IDC_BUTTON_KW1281, MakeDialogKW1281Page) {}

    void SetUp() override {
        PageWindowTest::SetUp();
        ResetMonitorRing();
        hub_->RegisterPage(IDC_BUTTON_USER, MakeDialogUserPage());
        hub_->RegisterPage(IDC_BUTTON_J1708, MakeDialogJ1708Page());
        hub_->RegisterPage(IDC_BUTTON_SCI, MakeDialogSCIPage());
    }
    void TearDown() override {
        EXPECT_EQ(tb_frame_length_mismatches(), 0u);
        PageWindowTest::TearDown();
    }

    template <class Page>
    Page* Open(int button) { return hub_->OnPageButton(button), ShownWindow<Page>(); }
};

TEST_F(KLinePagesGuiTest, EachPageOpensStartsSendsShowsItsRowsStopsAndCloses) {
    tb_set_init5(1, 0x00, 0x8A, 0x01);
    // rows: texts the list shows after the send; edit: typed before Start.
    const struct { const char* name; std::function<wxDialog*()> open; const char* caption; int send; std::vector<std::string> rows; std::function<void(wxDialog*)> edit; } cases[] = {
        {"KW1281", [&] { return Open<CDialogKW1281>(IDC_BUTTON_KW1281); }, "KW1281 -- Device( 0 ) Connected", IDC_UART_SEND_INIT, {" SLOW INIT; ADDR= 0X15 DATA: ", "INIT=OK; BRG= 239 KEYWORD: 8A 01"}, {}},
        {"SCI", [&] { return Open<CDialogSCI>(IDC_BUTTON_SCI); }, "SCI -- Device( 0 ) Connected", IDC_UART_SEND, {"11 22 33 44 55 "}, {}},
        {"user mode", [&] { return Open<CDialogUser>(IDC_BUTTON_USER); }, "USER MOD (ISO9141) -- Device( 0 ) Connected", IDC_UART_SEND, {"68 6A F1 01 00 C4 "}, {}},
        // 0 ms is accepted here without a message.
        {"J1708", [&] { return Open<CDialogJ1708>(IDC_BUTTON_J1708); }, "J1708-- Device( 0 ) Connected", IDC_UART_SEND, {"10 0A 0B 0C 0D 0E 0F 10 11 84 "},
         [](wxDialog* page) { dynamic_cast<wxTextCtrl*>(page->FindWindow(IDC_J1708_URXP1MAX))->SetValue("0"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wxDialog* page = c.open();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->GetTitle().utf8_string(), c.caption);
        if (c.edit) c.edit(page);
        Click(IDC_UART_START, page);
        ASSERT_EQ(g_WorkerRunning.load(), 1u);
        Click(c.send, page);
        ASSERT_TRUE(PumpUntil([&] { return std::all_of(c.rows.begin(), c.rows.end(), [&](const std::string& row) { return ListShows(row); }); }));
        Click(IDC_UART_EXIT, page);
        EXPECT_TRUE(page->IsShown()) << "close refused while running";
        Click(IDC_UART_STOP, page);
        EXPECT_EQ(g_WorkerRunning.load(), 0u);
        Click(IDC_UART_EXIT, page);
        EXPECT_FALSE(page->IsShown());
    }
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>(4, "VR3526正在工作，请先停止VR3526工作"));
}

// The KW1281 page's own Start and Stop run from its buttons: a new session counts its blocks
// from 0 again and sends no keep-alive before a new initialisation.
TEST_F(KLinePagesGuiTest, Kw1281ButtonsRunThePagesOwnStartAndStop) {
    tb_set_init5(1, 0x00, 0x8A, 0x01);
    tb_set_kw1281_ack(1);
    auto* page = Open<CDialogKW1281>(IDC_BUTTON_KW1281);
    ASSERT_NE(page, nullptr);
    auto button = [page](int id) { return dynamic_cast<wxButton*>(page->FindWindow(id)); };
    Press(button(IDC_UART_START));
    Press(button(IDC_UART_SEND_INIT));
    ASSERT_TRUE(PumpUntil([&] { return ListShows("INIT=OK"); }));
    Press(button(IDC_UART_STOP));
    Press(button(IDC_UART_START));
    tb_log_clear();
    PumpUntil([] { return false; }, std::chrono::milliseconds(700));
    for (const Bytes& p : LoggedPackets()) EXPECT_FALSE(IsEngineFrame(p)) << "a block before any initialisation";
    Press(button(IDC_UART_SEND));
    ASSERT_GE(WaitForPacket(IsEngineFrame), 0);
    const Bytes block = LoggedPackets()[static_cast<size_t>(WaitForPacket(IsEngineFrame))];
    EXPECT_EQ(block, (Bytes{0x57, 0x3F, 0x06, 0x00, 0x04, 0x00, 0x03, 0x00, 0x09, 0x03}));
    Press(button(IDC_UART_STOP));
}

// A hex byte field with no limit of its own takes any hex text and stores its low byte with no
// message ("1FF" stores FF); the user mode's trigger address and BITADJ keep their 2 characters.
TEST_F(KLinePagesGuiTest, HexByteFieldsStoreTheLowByteOfWhatIsTyped) {
    auto kw1281 = [&] { auto* p = Open<CDialogKW1281>(IDC_BUTTON_KW1281); return std::make_pair<wxDialog*, const UartRegisterImage*>(p, &p->Page().Image()); };
    auto sci = [&] { auto* p = Open<CDialogSCI>(IDC_BUTTON_SCI); return std::make_pair<wxDialog*, const UartRegisterImage*>(p, &p->Page().Image()); };
    auto user = [&] { auto* p = Open<CDialogUser>(IDC_BUTTON_USER); return std::make_pair<wxDialog*, const UartRegisterImage*>(p, &p->Page().Image()); };
    const struct { const char* name; std::function<std::pair<wxDialog*, const UartRegisterImage*>()> open; int id; const char* typed; const char* shown; size_t offset; uint8_t stored; } cases[] = {
        {"KW1281 trigger address", kw1281, 1162, "1FF", "1FF", uart::slowInitAddress, 0xFF},
        {"KW1281 BITADJ", kw1281, 1057, "12A", "12A", uart::BITADJ, 0x2A},
        {"SCI UFLAND", sci, 1027, "3C5", "3C5", uart::UFLAND, 0xC5},
        {"user mode UFLAND", user, 1027, "1AB", "1AB", uart::UFLAND, 0xAB},
        {"user mode USERKW", user, 1047, "2CD", "2CD", uart::USERKW, 0xCD},
        {"user mode trigger address: 2 characters", user, 1162, "1FF", "1F", uart::slowInitAddress, 0x1F},
        {"user mode BITADJ: 2 characters", user, 1057, "1FF", "1F", uart::BITADJ, 0x1F},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [page, image] = c.open();
        ASSERT_NE(page, nullptr);
        auto* edit = dynamic_cast<wxTextCtrl*>(page->FindWindow(c.id));
        ASSERT_NE(edit, nullptr);
        Retype(edit, c.typed);
        EXPECT_EQ(edit->GetValue().utf8_string(), c.shown);
        EXPECT_EQ((*image)[c.offset], c.stored);
        Click(IDC_UART_EXIT, page);
    }
    EXPECT_EQ(messages_.Count(), 0u);
}


// A paste into a 2-character hex field keeps what fits at the caret, over the selection, and
// the register image takes what the field shows.
TEST_F(KLinePagesGuiTest, APasteIntoAHexByteFieldKeepsWhatFits) {
    constexpr long kAll = -1;
    const struct { const char* name; int id; const char* typed; long from, to; const char* pasted; const char* shown; size_t offset; uint8_t stored; } cases[] = {
        {"BITADJ over its whole text", 1057, "1F", kAll, kAll, "2AB", "2A", uart::BITADJ, 0x2A},
        {"BITADJ at the caret", 1057, "F", 0, 0, "3CD", "3F", uart::BITADJ, 0x3F},
        {"trigger address over its second character", 1162, "33", 1, 2, "C5", "3C", uart::slowInitAddress, 0x3C},
        {"trigger address into an empty field", 1162, "", kAll, kAll, "e1f", "e1", uart::slowInitAddress, 0xE1},
    };
    auto* page = Open<CDialogUser>(IDC_BUTTON_USER);
    ASSERT_NE(page, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* edit = dynamic_cast<wxTextCtrl*>(page->FindWindow(c.id));
        ASSERT_NE(edit, nullptr);
        Retype(edit, c.typed);
        edit->SetSelection(c.from, c.to);
        Paste(edit, c.pasted);
        EXPECT_EQ(edit->GetValue().utf8_string(), c.shown);
        EXPECT_EQ(page->Page().Image()[c.offset], c.stored);
    }
    Click(IDC_UART_EXIT, page);
    EXPECT_EQ(messages_.Count(), 0u);
}

}  // namespace

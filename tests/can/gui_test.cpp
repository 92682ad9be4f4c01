// The CAN pages in their windows, opened through the hub, against the simulated board.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <fstream>
#include <string>

#include "monitor/MonitorRing.h"
#include "pages/can/j1939/ui/CDialogJ1939.h"
#include "pages/can/tp20/ui/CDialogTP20.h"
#include "pages/can/ui/CDialog15765.h"
#include "pages/can/ui/Pages.h"
#include "tests/support/BoardLog.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/UserInput.h"

namespace {

// The peers answer each page's default single frame, as a set-up file says it: the ECU the
// request 7DF 02 01 00 from 7E8; a J1939 node the request for PGN 0xFEE0 with 18FEE000; a
// TP2.0 ECU the tester's 32E frame with a channel set-up for unit 0x1F.
const char* const kSetup =
    "on A0 80 10 00 7C 1F => can 7E8 06 41 00 BE 1F B8 10\n"
    "on A0 80 10 00 E9 18 => can 18FEE000 01 02 03 04 05 06 07 08\n"
    "on A0 80 10 00 B8 0C => can 200 1F C0 00 10 00 03 01\n";

template <class Dialog, int Button, std::unique_ptr<HubPage> (*Make)()>
class CanGuiTest : public PageWindowTest<Dialog> {
protected:
    CanGuiTest() : PageWindowTest<Dialog>(Button, Make) {}
    void SetUp() override {
        PageWindowTest<Dialog>::SetUp();
        // One file a test: ctest runs the tests of this binary side by side.
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string path = ::testing::TempDir() + test->test_suite_name() + "." + test->name() + ".txt";
        std::ofstream(path) << kSetup;
        ASSERT_EQ(tb_load_setup(path.c_str()), 1);
        std::remove(path.c_str());
        ResetMonitorRing();
    }
    wxTextCtrl* Edit(int id) const { return this->template Control<wxTextCtrl>(id); }
};
using Iso15765GuiTest = CanGuiTest<CDialog15765, IDC_BUTTON_15765, MakeDialog15765Page>;
using J1939GuiTest = CanGuiTest<CDialogJ1939, IDC_BUTTON_J1939, MakeDialogJ1939Page>;
using Tp20GuiTest = CanGuiTest<CDialogTP20, IDC_BUTTON_TP20, MakeDialogTP20Page>;

TEST_F(Iso15765GuiTest, StartSendAnswerMultiFrameStopAndClose) {
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "CAN -- Device( 0 ) Connected");
    EXPECT_FALSE(Button(IDC_15765_SEND)->IsEnabled());
    EXPECT_FALSE(Button(IDC_15765_KEEPALIVE)->IsEnabled());
    // The page opens on "置OBD2 11bits".
    EXPECT_EQ(Edit(1058)->GetValue(), "1FA00000");  // F0's 29-bit edit: SID 7E8
    EXPECT_EQ(Edit(1099)->GetValue(), "7E8");
    EXPECT_EQ(Edit(IDC_15765_FC1_ID)->GetValue(), "7E1");
    EXPECT_EQ(Edit(IDC_15765_SINGLE_DATA)->GetValue(), "02 01 00 ");
    EXPECT_EQ(Edit(IDC_15765_LENGTH)->GetValue(), "258");
    EXPECT_EQ(Edit(IDC_15765_KEEPALIVE_ID)->GetValue(), "7DF");
    // Eight typed bytes are shown back spaced, one character past what typing may enter.
    Edit(IDC_15765_SINGLE_DATA)->SetValue("0102030405060708");
    wxFocusEvent leave(wxEVT_KILL_FOCUS, IDC_15765_SINGLE_DATA);
    Edit(IDC_15765_SINGLE_DATA)->ProcessWindowEvent(leave);
    EXPECT_EQ(Edit(IDC_15765_SINGLE_DATA)->GetValue(), "01 02 03 04 05 06 07 08 ");
    EXPECT_EQ(Edit(IDC_15765_SINGLE_DLC)->GetValue(), "8");
    // Typed key by key, the edit takes 23 characters: eight bytes, and no ninth to refuse.
    Edit(IDC_15765_SINGLE_DATA)->SelectAll();
    TypeText(Edit(IDC_15765_SINGLE_DATA), "02 01 00 00 00 00 00 00 FF");
    EXPECT_EQ(Edit(IDC_15765_SINGLE_DATA)->GetValue(), "02 01 00 00 00 00 00 00");
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{});
    Leave(Edit(IDC_15765_SINGLE_DATA));
    EXPECT_EQ(Edit(IDC_15765_SINGLE_DATA)->GetValue(), "02 01 00 00 00 00 00 00 ");
    // Nine bytes pasted whole are cut to eight with the box, shown in full.
    Edit(IDC_15765_SINGLE_DATA)->SetValue("020100000000000000FF");
    PumpPending();
    EXPECT_EQ(Edit(IDC_15765_SINGLE_DATA)->GetValue(), "02 01 00 00 00 00 00 00 ");
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"数据桢的总长度不可大于8字节!"});
    messages_.Clear();
    Edit(IDC_15765_SINGLE_DATA)->SetValue("02 01 00");

    Edit(IDC_15765_N_BS)->SetValue("300");  // typed: clamped with its message, once the edit's event returned
    PumpPending();
    EXPECT_EQ(Edit(IDC_15765_N_BS)->GetValue(), "255");
    ASSERT_EQ(messages_.Count(), 1u);
    EXPECT_EQ(messages_.Messages()[0].text, " 最大值为255");

    Click(IDC_15765_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    EXPECT_TRUE(hub_->MonitorTimerRunning());
    EXPECT_FALSE(Button(IDC_15765_START)->IsEnabled());
    EXPECT_TRUE(Button(IDC_15765_KEEPALIVE)->IsEnabled());

    Click(IDC_15765_SEND);
    ASSERT_TRUE(PumpUntil([&] { return ListShows("02 01 00") && ListShows("06 41 00 BE 1F B8 10"); }));
    EXPECT_LT(RowShowing("02 01 00"), RowShowing("06 41 00 BE 1F B8 10")) << "sent before the answer";

    Click(IDC_15765_MULTI_FRAME);
    ASSERT_TRUE(PumpUntil([&] { return ListShows("11 02 00 01 02 03 04 05"); }));

    Click(IDC_15765_KEEPALIVE);
    EXPECT_EQ(Button(IDC_15765_KEEPALIVE)->GetLabel().utf8_string(), "停止链路保持");
    Click(IDC_15765_STOP);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_EQ(Button(IDC_15765_KEEPALIVE)->GetLabel().utf8_string(), "启动链路保持");
    EXPECT_FALSE(Button(IDC_15765_KEEPALIVE)->IsEnabled());
    EXPECT_TRUE(Button(IDC_15765_START)->IsEnabled());

    Click(IDC_15765_EXIT);
    EXPECT_FALSE(dialog_->IsShown());
    EXPECT_EQ(messages_.Count(), 1u);
}

// The identifier of an ECAN record as the chip reads it: 11 bits at w0 bits 2-12, or 29
// (w0 bit 0) from w0 bits 2-12, w1 bits 0-11 and w2 bits 10-15.
uint32_t RecordId(const Bytes& r, size_t at) {
    const unsigned w0 = r[at] | r[at + 1] << 8, w1 = r[at + 2] | r[at + 3] << 8, w2 = r[at + 4] | r[at + 5] << 8;
    if (!(w0 & 1)) return (w0 >> 2) & 0x7FF;
    return ((((w0 >> 2) & 0x7FF) << 12 | (w1 & 0xFFF)) << 6) | (w2 >> 10);
}

// The last packet written that starts with the bytes, or an empty one.
Bytes LastPacket(const Bytes& start) {
    Bytes found;
    for (const Bytes& p : LoggedPackets())
        if (p.size() >= start.size() && std::equal(start.begin(), start.end(), p.begin())) found = p;
    return found;
}

// What the identifier edits show is what Start downloads and Send puts on the wire, whatever
// the user pressed before: presets, the single frame's type, the flow-control radios.
TEST_F(Iso15765GuiTest, IdentifiersShownAreTheIdentifiersSent) {
    ASSERT_NE(OpenPage(), nullptr);
    auto hex = [this](int id) { return static_cast<uint32_t>(std::stoul(Edit(id)->GetValue().utf8_string(), nullptr, 16)); };
    auto startAndSend = [&] {
        tb_log_clear();
        Press(Button(IDC_15765_START));
        Press(Button(IDC_15765_SEND));
        ASSERT_TRUE(PumpUntil([] { return !LastPacket({0xA0, 0x80, 0x10, 0x00}).empty(); }));
        Press(Button(IDC_15765_STOP));
    };
    const struct { const char* name; std::function<void()> act; const char* fc0; const char* fc1; const char* single; } cases[] = {
        {"29-bit preset, then 11-bit", [&] { Press(Button(IDC_15765_PRESET_OBD29)); Press(Button(IDC_15765_PRESET_OBD11)); }, "7E0", "7E1", "7DF"},
        {"29-bit preset, single frame back to standard", [&] { Press(Button(IDC_15765_PRESET_OBD29)); Choose(Control<wxChoice>(IDC_15765_SINGLE_TYPE), 0); }, "18DA10F1", "18DA10F1", "636"},
        {"29-bit preset, flow control back to 11 bits", [&] { Press(Button(IDC_15765_PRESET_OBD29)); Pick(Control<wxRadioButton>(IDC_15765_FC_11BIT)); }, "636", "636", "18DB33F1"},
        {"a 29-bit single id typed, then preset 1", [&] { Press(Button(IDC_15765_PRESET_OBD29)); Retype(Edit(IDC_15765_SINGLE_ID), "18DB33F2"); Press(Button(IDC_15765_PRESET_OBD11)); }, "7E0", "7E1", "7DF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Press(Button(IDC_15765_PRESET_ALL));
        c.act();
        EXPECT_EQ(Edit(IDC_15765_FC0_ID)->GetValue().utf8_string(), c.fc0);
        EXPECT_EQ(Edit(IDC_15765_FC1_ID)->GetValue().utf8_string(), c.fc1);
        EXPECT_EQ(Edit(IDC_15765_SINGLE_ID)->GetValue().utf8_string(), c.single);
        startAndSend();
        EXPECT_EQ(RecordId(LastPacket({0x54, 0x24, 0x10, 0x00}), 4), hex(IDC_15765_FC0_ID));
        EXPECT_EQ(RecordId(LastPacket({0x54, 0x25, 0x10, 0x00}), 4), hex(IDC_15765_FC1_ID));
        EXPECT_EQ(RecordId(LastPacket({0xA0, 0x80, 0x10, 0x00}), 4), hex(IDC_15765_SINGLE_ID));
    }
    EXPECT_EQ(messages_.Count(), 0u);
}

// 300 bytes dropped into the buffer at once: cut to 256 and told, after the toolkit's insertion
// has returned (rewriting the edit inside it killed the program).
TEST_F(Iso15765GuiTest, ALongInsertionIntoTheBufferIsCutAfterItReturned) {
    ASSERT_NE(OpenPage(), nullptr);
    std::string bytes;
    for (int i = 0; i < 300; ++i) bytes += "5A ";
    Edit(IDC_15765_BUFFER)->SelectAll();
    Edit(IDC_15765_BUFFER)->WriteText(bytes);
    EXPECT_EQ(messages_.Count(), 0u) << "no box inside the insertion";
    PumpPending();
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"缓冲区数据长度不可大于256字节!"});
    EXPECT_EQ(Edit(IDC_15765_BUFFER)->GetValue().utf8_string(), bytes.substr(0, 256 * 3));
    EXPECT_EQ(Edit(IDC_15765_LENGTH)->GetValue().utf8_string(), "258") << "the length follows: 256 + 2";
}

// PTYPE 1 sends at most 6 flow-control bytes; the 7 the user typed come back under PTYPE 0.
TEST_F(Iso15765GuiTest, FlowControlDataIsClampedOnTheWireNotInTheEdit) {
    ASSERT_NE(OpenPage(), nullptr);
    Retype(Edit(IDC_15765_FC0_DATA), "30 00 00 11 22 33 44");
    Leave(Edit(IDC_15765_FC0_DATA));
    EXPECT_EQ(Edit(IDC_15765_FC0_DLC)->GetValue().utf8_string(), "8");
    wxChoice* ptype = Control<wxChoice>(1035);  // PTYPE
    ASSERT_NE(ptype, nullptr);
    Choose(ptype, 1);
    EXPECT_EQ(Edit(IDC_15765_FC0_DLC)->GetValue().utf8_string(), "8") << "N_AE, PCI and 6 of the 7";
    Choose(ptype, 0);
    EXPECT_EQ(Edit(IDC_15765_FC0_DATA)->GetValue().utf8_string(), "30 00 00 11 22 33 44 ");
    EXPECT_EQ(Edit(IDC_15765_FC0_DLC)->GetValue().utf8_string(), "8");
    tb_log_clear();
    Press(Button(IDC_15765_START));
    const Bytes fc0 = LastPacket({0x54, 0x24, 0x10, 0x00});
    ASSERT_EQ(fc0.size(), 20u);
    EXPECT_EQ(fc0[8], 8) << "DLC";
    EXPECT_EQ(Bytes(fc0.begin() + 10, fc0.begin() + 18), (Bytes{0x30, 0x30, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44}));
    Press(Button(IDC_15765_STOP));
}

TEST_F(Iso15765GuiTest, PresetsAndThe29BitChoiceRewriteThePanel) {
    ASSERT_NE(OpenPage(), nullptr);
    Click(IDC_15765_PRESET_OBD29);
    EXPECT_EQ(Edit(IDC_15765_FC0_ID)->GetValue(), "18DA10F1");
    EXPECT_EQ(Edit(IDC_15765_SINGLE_ID)->GetValue(), "18DB33F1");
    EXPECT_EQ(Edit(1058)->GetValue(), "18DAF100");
    EXPECT_EQ(Edit(IDC_15765_KEEPALIVE_ID)->GetValue(), "18DB33F1");
    Click(IDC_15765_PRESET_ALL);
    EXPECT_EQ(Edit(IDC_15765_FC0_ID)->GetValue(), "7E0");
    EXPECT_EQ(Edit(IDC_15765_KEEPALIVE_ID)->GetValue(), "18DB33F1") << "preset 0 leaves it";
    Edit(IDC_15765_BUFFER)->SetValue("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13");
    EXPECT_EQ(Edit(IDC_15765_LENGTH)->GetValue(), "26");
    EXPECT_EQ(Edit(IDC_15765_FF_PCI)->GetValue(), "10");
    EXPECT_EQ(Edit(IDC_15765_FF_LENGTH_BYTE)->GetValue(), "1A");
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(J1939GuiTest, StartSendAnswerRtsStopAndClose) {
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "J1939 -- Device( 0 ) Connected");
    EXPECT_EQ(Edit(IDC_J1939_TOTAL)->GetValue(), "23");
    EXPECT_EQ(Edit(IDC_J1939_SINGLE_DATA)->GetValue(), "E0 FE 00 FF FF FF FF FF ");
    EXPECT_EQ(Edit(IDC_J1939_RTS_DATA)->GetValue(), "10 17 00 04 FF E3 FE 00 ");
    EXPECT_FALSE(Edit(1056)->IsEnabled()) << "BRP is fixed";
    auto label = [this](int id) { return dialog_->FindWindow(id)->GetLabel().utf8_string(); };
    EXPECT_EQ(label(IDC_J1939_PDU_PGN), "0x00EA00 ( 59904 )");
    Edit(IDC_J1939_SINGLE_ID)->SetValue("18FEF100");
    EXPECT_EQ(label(IDC_J1939_PDU_FORMAT), "PDU2");
    EXPECT_EQ(label(IDC_J1939_PDU_GE), "0xF1");
    Edit(IDC_J1939_SINGLE_ID)->SetValue("18EA00F9");

    wxCommandEvent bam(wxEVT_CHECKBOX, IDC_J1939_BAM);
    bam.SetInt(1);
    dynamic_cast<wxCheckBox*>(dialog_->FindWindow(IDC_J1939_BAM))->SetValue(true);
    dialog_->FindWindow(IDC_J1939_BAM)->ProcessWindowEvent(bam);
    EXPECT_EQ(Edit(IDC_J1939_TP_DA)->GetValue(), "FF");
    EXPECT_FALSE(Edit(IDC_J1939_TP_DA)->IsEnabled());
    EXPECT_EQ(Edit(IDC_J1939_RTS_ID)->GetValue(), "1CECFFF9");

    Click(IDC_J1939_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    Click(IDC_J1939_SEND);
    ASSERT_TRUE(PumpUntil([&] { return ListShows("E0 FE 00 FF FF FF FF FF") && ListShows("01 02 03 04 05 06 07 08"); }));
    Click(IDC_J1939_MULTI_FRAME);
    ASSERT_TRUE(PumpUntil([&] { return ListShows("20 17 00 04 FF E3 FE 00"); }));
    Click(IDC_J1939_STOP);
    EXPECT_TRUE(Button(IDC_J1939_START)->IsEnabled());
    Click(IDC_J1939_EXIT);
    EXPECT_FALSE(dialog_->IsShown());
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(Tp20GuiTest, StartSendAnswerChannelStopAndClose) {
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "CAN TP2.0 -- Device( 0 ) Connected");
    EXPECT_EQ(Edit(IDC_TP20_CCF_DL)->GetValue(), "234");
    EXPECT_EQ(Edit(IDC_TP20_FF_DATA)->GetValue(), "21 00 EF 01 02 03 04 05 ");
    EXPECT_EQ(Edit(1099)->GetValue(), "300");  // F0's 11-bit edit
    Click(IDC_TP20_PRESET_ECU);
    EXPECT_EQ(Edit(1099)->GetValue(), "32E");
    EXPECT_EQ(Edit(IDC_TP20_SINGLE_ID)->GetValue(), "300");
    Click(IDC_TP20_PRESET_TESTER);
    Edit(IDC_TP20_BSIZ)->SetValue("0");
    PumpPending();
    EXPECT_EQ(Edit(IDC_TP20_BSIZ)->GetValue(), "15");
    ASSERT_EQ(messages_.Count(), 1u);
    EXPECT_EQ(messages_.Messages()[0].text, "BSIZ 值为0-15间");

    Click(IDC_TP20_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    Click(IDC_TP20_SEND);
    ASSERT_TRUE(PumpUntil([&] { return ListShows("10 00 02 1A 9B") && ListShows("1F C0 00 10 00 03 01"); }));
    // The answer went to the chip, whose stand-in put it on the bus: 21F 00 D0 00 03 2E 03 01.
    ASSERT_TRUE(PumpUntil([] { return tb_bus_frame_count() > 0; }));
    uint8_t answer[16] = {};
    ASSERT_EQ(tb_bus_frame(0, answer, sizeof answer), 16u);
    EXPECT_EQ(Bytes(answer, answer + 6), (Bytes{0x7C, 0x08, 0x00, 0x00, 0x07, 0x00}));
    Click(IDC_TP20_CONNECT);
    ASSERT_TRUE(PumpUntil([&] { return g_MultiFrameRequest.load() == 0 && tb_bus_frame_count() > 1; }));
    uint8_t setUp[16] = {};
    tb_bus_frame(1, setUp, sizeof setUp);
    EXPECT_EQ(setUp[6], 0x1F) << "the channel set-up went to the chip";
    Click(IDC_TP20_STOP);
    EXPECT_TRUE(Button(IDC_TP20_START)->IsEnabled());
    Click(IDC_TP20_EXIT);
    EXPECT_FALSE(dialog_->IsShown());
}

// On the TP2.0 page only "使能协议" reaches register 0x29; "OP0E Enable" and "OP1E Enable"
// have no handler there.
TEST_F(Tp20GuiTest, OnlyTheProtocolEnableCheckChangesRegister29) {
    ASSERT_NE(OpenPage(), nullptr);
    Press(Button(IDC_TP20_START));
    Press(Button(IDC_TP20_STOP));
    const uint8_t before = tb_get_register(0x29);
    for (int id : {1012, 1013}) {  // OP0E, OP1E
        auto* check = Control<wxCheckBox>(id);
        SetCheck(check, !check->GetValue());
    }
    Press(Button(IDC_TP20_START));
    Press(Button(IDC_TP20_STOP));
    EXPECT_EQ(tb_get_register(0x29), before);
    SetCheck(Control<wxCheckBox>(1011), !Control<wxCheckBox>(1011)->GetValue());  // 使能协议
    Press(Button(IDC_TP20_START));
    Press(Button(IDC_TP20_STOP));
    EXPECT_EQ(tb_get_register(0x29), before ^ 0x80);
}

// The current-frame row is readable for PDU2 and for the longest PGN: no label drawn over its
// neighbour or cut; the transport frames show their DLC; the buffer has the hub's 13-pixel font.
TEST_F(J1939GuiTest, TheCurrentFrameRowAndTheTransportFramesAreReadable) {
    ASSERT_NE(OpenPage(), nullptr);
    auto label = [this](int id) { return Control<wxStaticText>(id); };
    auto readable = [&](int id) {
        wxStaticText* l = label(id);
        return l->GetSize().x >= l->GetBestSize().x && l->GetRect().GetRight() < l->GetParent()->GetClientSize().x;
    };
    Retype(Edit(IDC_J1939_SINGLE_ID), "18FEF100");
    EXPECT_EQ(label(IDC_J1939_PDU_GE)->GetLabel().utf8_string(), "0xF1");
    EXPECT_EQ(label(IDC_J1939_PDU_DA)->GetLabel().utf8_string(), "--");
    EXPECT_FALSE(label(IDC_J1939_PDU_GE)->GetRect().Intersects(label(IDC_J1939_PDU_DA)->GetRect()));
    for (int id = IDC_J1939_PDU_FORMAT; id <= IDC_J1939_PDU_PGN; ++id) EXPECT_TRUE(readable(id)) << id;
    Retype(Edit(IDC_J1939_SINGLE_ID), "1FFFFFFF");
    Leave(Edit(IDC_J1939_SINGLE_ID));
    EXPECT_EQ(Edit(IDC_J1939_SINGLE_ID)->GetValue().utf8_string(), "1DFFFFFF");
    EXPECT_EQ(label(IDC_J1939_PDU_PGN)->GetLabel().utf8_string(), "0x01FFFF ( 131071 )");
    for (int id = IDC_J1939_PDU_FORMAT; id <= IDC_J1939_PDU_PGN; ++id) EXPECT_TRUE(readable(id)) << id;

    for (int id : {1266, 1267, 1268, 1269}) {  // RTS, DT, CTS0, CTS1
        ASSERT_NE(Edit(id), nullptr) << id;
        EXPECT_EQ(Edit(id)->GetValue().utf8_string(), "8");
        EXPECT_FALSE(Edit(id)->IsEditable());
    }
    EXPECT_EQ(Edit(IDC_J1939_BUFFER)->GetFont().GetPixelSize().GetHeight(), 13);
}

// "数据总长:" takes any length of text: the page's own rule replaces a value above 252 with 9.
TEST_F(J1939GuiTest, TheTotalLengthIsReplacedByTheRuleNotCutByALimit) {
    ASSERT_NE(OpenPage(), nullptr);
    Retype(Edit(IDC_J1939_TOTAL), "1000");
    EXPECT_EQ(Edit(IDC_J1939_TOTAL)->GetValue(), "9");
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{" KM5804自动发送时，最大值为252，最小值为9"});
}

// "长度(CCF_DL):" and "保持时间:" take any length of text: the page's rules replace what is out
// of range (1000 bytes, 10000 ms) with their own values and messages.
TEST_F(Tp20GuiTest, LengthAndKeepAliveTimeAreReplacedByTheirRulesNotCutByALimit) {
    ASSERT_NE(OpenPage(), nullptr);
    Retype(Edit(IDC_TP20_CCF_DL), "1000");
    Leave(Edit(IDC_TP20_CCF_DL));
    EXPECT_EQ(Edit(IDC_TP20_CCF_DL)->GetValue(), "252");
    Retype(Edit(IDC_TP20_KEEPALIVE_PERIOD), "10000");
    Leave(Edit(IDC_TP20_KEEPALIVE_PERIOD));
    EXPECT_EQ(Edit(IDC_TP20_KEEPALIVE_PERIOD)->GetValue(), "800");
    EXPECT_EQ(messages_.Texts(), (std::vector<std::string>{"最大有效值 252字节", "链路时间应设在100ms-1000ms间"}));
}

}  // namespace

namespace {

// A paste keeps what fits the field, inserted at the caret over the selection; the page
// stores what the field shows. The hex filter sees keys only: a pasted text comes unchanged.
TEST_F(Iso15765GuiTest, APasteKeepsWhatFitsTheKeepAliveId) {
    ASSERT_NE(OpenPage(), nullptr);
    constexpr long kAll = -1;
    const struct { const char* name; const char* typed; long from, to; const char* pasted; const char* shown; long caret; uint32_t stored; } cases[] = {
        {"over the whole text", "7DF", kAll, kAll, "7E9A", "7E9", 3, 0x7E9},
        {"over the whole text, small letters", "7DF", kAll, kAll, "7e9a", "7e9", 3, 0x7E9},
        {"at the caret in the middle", "7D", 1, 1, "9AB", "79D", 2, 0x79D},
        {"over a part of the text", "7DF", 1, 2, "0123", "70F", 2, 0x70F},
        {"over the text's start", "7DF", 0, 2, "6EE", "6EF", 2, 0x6EF},
        {"into an empty field", "", kAll, kAll, "12345678", "123", 3, 0x123},
    };
    wxTextCtrl* edit = Edit(IDC_15765_KEEPALIVE_ID);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Retype(edit, c.typed);
        edit->SetSelection(c.from, c.to);
        Paste(edit, c.pasted);
        EXPECT_EQ(edit->GetValue().utf8_string(), c.shown);
        EXPECT_EQ(edit->GetInsertionPoint(), c.caret) << "after the part pasted";
        EXPECT_EQ(EcanId(dialog_->Page().KeepAliveFrame()), c.stored);
    }
    EXPECT_EQ(messages_.Count(), 0u);
}

}  // namespace

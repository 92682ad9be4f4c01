// The simulator page in its window under Xvfb, against the simulated board playing the tester.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "simulator/EcuSimFile.h"
#include "simulator/ui/CDialogAddAckFromList.h"
#include "simulator/ui/CDialogEitRepondFrame.h"
#include "simulator/ui/CDialogObdSimu.h"
#include "simulator/ui/CDialogSetEcuPara.h"
#include "tests/simulator/SimEntries.h"
#include "tests/support/BoardLog.h"
#include "tests/support/PageWindowFixture.h"
#include "tests/support/PageTestSupport.h"
#include "tests/support/TempFiles.h"
#include "tests/support/UserInput.h"

namespace {

class ObdSimuGuiTest : public PageWindowTest<CDialogObdSimu> {
protected:
    ObdSimuGuiTest() : PageWindowTest(1015, MakeDialogObdSimuPage) {}

    std::string Label(int id) const { return Control<wxWindow>(id)->GetLabel().utf8_string(); }

    // A .sim file with two entries: 01 00 answered with its four bytes, and 09 02.
    std::string WriteTable() {
        std::vector<OBDRespondEntry> table = {simtest::PidEntry(simtest::kPids), simtest::AnswerEntry({0x09, 0x02}, {0x49, 0x02}, {})};
        EcuSimParams params{};
        LoadDefaultParams(params);
        WriteAll(temp_.Path("table.sim"), EncodeEcuSimFile(0, params, table.data(), 2));
        return temp_.Path("table.sim");
    }
    TempDir temp_;
};

}  // namespace

TEST_F(ObdSimuGuiTest, OpenLoadStartAnswerStopAndExit) {
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Obd2DeFault.DAT打开文件出错！"});
    EXPECT_EQ(Control<wxChoice>(IDC_OBD_PROTOCOL)->GetStringSelection(), "ISO9141-2");
    EXPECT_EQ(Label(IDC_OBD_SUMMARY), ProtocolSummary(g_EcuSimParams, 0));
    EXPECT_EQ(dialog_->List()->GetItemCount(), 0);
    EXPECT_EQ(dialog_->List()->GetColumnCount(), 12);
    EXPECT_EQ(Label(IDC_OBD_STATUS), "未启动");
    EXPECT_EQ(Label(IDC_OBD_START), "启动模拟");
    EXPECT_TRUE(Control<wxCheckBox>(IDC_OBD_NEGATIVE)->GetValue());
    EXPECT_EQ(dialog_->GetTitle().utf8_string(), "ECU Simulator -- Device( 0 ) Connected");

    std::vector<std::string> questions;
    bool answer = true;
    dialog_->m_AskOkCancel = [&](const std::string& text, const std::string&) {
        questions.push_back(text);
        return answer;
    };
    const std::string file = WriteTable();
    dialog_->m_ChooseFile = [&](bool) { return file; };
    Click(IDC_OBD_LOAD);
    ASSERT_EQ(dialog_->List()->GetItemCount(), 2);
    EXPECT_EQ(dialog_->List()->GetItemText(0, 8).utf8_string(), "BE 3F B8 13 ");

    Click(IDC_OBD_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    EXPECT_EQ(Label(IDC_OBD_START), "STOP");
    EXPECT_FALSE(Button(IDC_OBD_LOAD)->IsEnabled());
    EXPECT_FALSE(Control<wxChoice>(IDC_OBD_PROTOCOL)->IsEnabled());
    Queue({0x00, 0x10, 0x00, 0x70});
    Queue({0x00, 0x10, 0x06, 0x00, 0x68, 0x6A, 0xF1, 0x01, 0x00, 0xC4});
    ASSERT_TRUE(PumpUntil([&] {
        return ListShows("ECU INIT ACTIVE") && ListShows("68 6A F1 01 00 C4") &&
               ListShows("48 6B 10 41 00 BE 3F B8 13 CC") && Label(IDC_OBD_STATUS) == "等待请求指令...";
    }));
    EXPECT_EQ(hub_->GetList()->GetItemCount(), 3);

    Click(IDC_OBD_START);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_EQ(Label(IDC_OBD_START), "START");
    EXPECT_TRUE(PumpUntil([&] { return Label(IDC_OBD_STATUS) == "未启动"; }));
    EXPECT_TRUE(Button(IDC_OBD_DELETE)->IsEnabled());

    // A responder that ends by itself leaves the page on START with its controls back.
    Click(IDC_OBD_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    tb_fail_next_read();
    ASSERT_TRUE(PumpUntil([&] { return Label(IDC_OBD_START) == "START" && Button(IDC_OBD_LOAD)->IsEnabled(); }));
    EXPECT_TRUE(PumpUntil([&] { return Label(IDC_OBD_STATUS) == "未启动"; }));
    EXPECT_EQ(messages_.Texts().back(), "设备出现通信错误停止! Read 1");

    dialog_->List()->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    Click(IDC_OBD_DELETE);
    EXPECT_EQ(questions, std::vector<std::string>{"确定要册除选择的 1 项数据吗?"});
    EXPECT_EQ(dialog_->List()->GetItemCount(), 1);

    questions.clear();
    answer = false;
    Click(IDC_OBD_LOAD);  // unsaved: asked first, and Cancel keeps the table
    EXPECT_EQ(questions, std::vector<std::string>{"当前数据已更改，还未保存。\n确定放弃现数据，调入新数据吗"});
    EXPECT_EQ(dialog_->List()->GetItemCount(), 1);

    questions.clear();
    Click(IDC_OBD_EXIT);
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_TRUE(dialog_->IsShown());
    EXPECT_FALSE(hub_->GetPageButton(1003)->IsEnabled()) << "hub buttons stay off while the page stays";
    answer = true;
    Click(IDC_OBD_EXIT);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_FALSE(dialog_->IsShown());
    EXPECT_EQ(messages_.Count(), 2u);

    // Reopened: the same table, nothing read again.
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(dialog_->List()->GetItemCount(), 1);
    EXPECT_EQ(messages_.Count(), 2u);
}

TEST_F(ObdSimuGuiTest, EntriesTypedInTheEditorAnswerOnCanAfterAParameterChange) {
    ASSERT_NE(OpenPage(), nullptr);
    // The editor as a user fills it: request and answer typed, then "新增一项".
    dialog_->m_RunModal = [&](wxDialog& d) {
        auto& editor = dynamic_cast<CDialogEitRepondFrame&>(d);
        EXPECT_FALSE(Control<wxButton>(wxID_OK, &editor)->IsEnabled()) << "a new entry cannot be saved over another";
        editor.Edit(IDC_EDIT_REQUEST)->SetValue("01 00");
        editor.Edit(IDC_EDIT_ACK)->SetValue("41 00");
        editor.Edit(IDC_EDIT_MESSAGE1)->SetValue("BE 3F B8 13");
        Click(IDC_EDIT_ADD, &editor);
        return editor.GetReturnCode();
    };
    Click(IDC_OBD_ADD);
    ASSERT_EQ(dialog_->List()->GetItemCount(), 1);
    EXPECT_EQ(dialog_->List()->GetItemText(0, 5).utf8_string(), "41 00 ");
    EXPECT_EQ(dialog_->List()->GetItemText(0, 6).utf8_string(), "1");

    // A double click edits the row in place.
    dialog_->m_RunModal = [&](wxDialog& d) {
        auto& editor = dynamic_cast<CDialogEitRepondFrame&>(d);
        EXPECT_EQ(editor.Edit(IDC_EDIT_ACK)->GetValue(), "41 00 ");
        editor.Edit(IDC_EDIT_MESSAGE1)->SetValue("BE 3F B8 11");
        Click(wxID_OK, &editor);
        return editor.GetReturnCode();
    };
    wxListEvent activate(wxEVT_LIST_ITEM_ACTIVATED, IDC_OBD_LIST);
    activate.m_itemIndex = 0;
    dialog_->List()->ProcessWindowEvent(activate);
    ASSERT_EQ(dialog_->List()->GetItemCount(), 1);
    EXPECT_EQ(dialog_->List()->GetItemText(0, 8).utf8_string(), "BE 3F B8 11 ");

    // Parameters: a new response id shows in the summary of CAN 11-bit.
    auto* protocol = Control<wxChoice>(IDC_OBD_PROTOCOL);
    protocol->SetSelection(SimCan11);
    dialog_->OnCbnSelchangeComboProtocol();
    dialog_->m_RunModal = [&](wxDialog& d) {
        auto& para = dynamic_cast<CDialogSetEcuPara&>(d);
        Control<wxTextCtrl>(1015, &para)->SetValue("7E9");
        Click(wxID_OK, &para);
        return para.GetReturnCode();
    };
    Click(IDC_OBD_PARAMS);
    EXPECT_NE(Label(IDC_OBD_SUMMARY).find("Ack.Respobd ID: 0x7E9"), std::string::npos);

    Click(IDC_OBD_START);
    ASSERT_EQ(g_WorkerRunning.load(), 1u);
    const uint8_t request[8] = {0x02, 0x01, 0x00};
    tb_queue_can_frame(0x7DF, 0, request, 8);
    ASSERT_TRUE(PumpUntil([&] {
        return ListShows("02 01 00 00 00 00 00 00") && ListShows("06 41 00 BE 3F B8 11 00");
    }));
    EXPECT_LT(RowShowing("02 01 00 00"), RowShowing("06 41 00 BE 3F B8 11 00"));
    EXPECT_TRUE(ListShows("7E9"));
    Click(IDC_OBD_START);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
}

namespace {

// The entry editor on its own, as the page opens it for a new entry.
class EntryEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = new wxFrame(nullptr, wxID_ANY, "page");
        InitRespondEntry(entry_);
        editor_ = new CDialogEitRepondFrame(frame_, entry_, false, true);
    }
    void TearDown() override {
        editor_->Destroy();
        frame_->Destroy();
        PumpPending();
    }
    wxTextCtrl* Edit(int id) const { return editor_->Edit(id); }

    platform::RecordingMessageSink messages_;
    wxFrame* frame_ = nullptr;
    OBDRespondEntry entry_{};
    CDialogEitRepondFrame* editor_ = nullptr;
};

// 300 bytes dropped into Message 1 at once: the cut and its message come after the toolkit's
// insertion has returned, never inside it (GTK died there).
TEST_F(EntryEditorTest, ALongInsertionIsCutAfterTheInsertionReturned) {
    for (int id : {IDC_EDIT_MESSAGE1, IDC_EDIT_MESSAGE2}) {
        SCOPED_TRACE(id);
        messages_.Clear();
        Edit(id)->WriteText(ByteRun(300));
        EXPECT_EQ(messages_.Count(), 0u) << "no box inside the insertion";
        EXPECT_EQ(Edit(id)->GetValue().utf8_string(), ByteRun(300));
        PumpPending();
        EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"数据长度不可大于256字节!"});
        EXPECT_EQ(Edit(id == IDC_EDIT_MESSAGE1 ? IDC_EDIT_LENGTH1 : IDC_EDIT_LENGTH2)->GetValue().utf8_string(), "256");
        EXPECT_EQ(editor_->entry.message1Length, 256u);
    }
}

// A Chinese note of 43 characters (129 bytes) keeps 42 whole ones, and the box shows those.
TEST_F(EntryEditorTest, ANoteIsCutAtACharacterBoundary) {
    std::string note;
    for (int i = 0; i < 43; ++i) note += "节";
    TypeText(Edit(IDC_EDIT_NOTE), note);
    const std::string kept = note.substr(0, 42 * 3);
    EXPECT_EQ(std::string(editor_->entry.note), kept);
    EXPECT_EQ(Edit(IDC_EDIT_NOTE)->GetValue().utf8_string(), kept);
    EXPECT_TRUE(wxString::FromUTF8(editor_->entry.note).length() == 42);
}

// Eight ACK bytes while a message exists: the cut's message, then the frame-length one.
TEST_F(EntryEditorTest, AnAckTooLongForTheFrameGivesBothMessages) {
    TypeText(Edit(IDC_EDIT_MESSAGE1), "11 22");
    TypeText(Edit(IDC_EDIT_ACK), "41 00 01 02 03 04 05 ");
    messages_.Clear();
    TypeText(Edit(IDC_EDIT_ACK), "0");  // an eighth byte begun
    EXPECT_EQ(messages_.Texts(), (std::vector<std::string>{"数据长度不可大于7字节!", "应答的服务SID/DATA的长度已达到设置的数据桢长度，无法处理消息分帧!"}));
    EXPECT_EQ(Edit(IDC_EDIT_ACK)->GetValue().utf8_string(), "41 00 01 02 03 04 05 ");
}

// No message byte fits a frame after the ACK: the message edits are left as they stand, as
// typed or as grouped before.
TEST_F(EntryEditorTest, MessagesStayAsTheyAreWhenNoByteFitsAfterTheAck) {
    TypeText(Edit(IDC_EDIT_ACK), "01020304050607");
    TypeText(Edit(IDC_EDIT_MESSAGE1), "0102030405");
    Leave(Edit(IDC_EDIT_MESSAGE1));
    EXPECT_EQ(Edit(IDC_EDIT_MESSAGE1)->GetValue().utf8_string(), "0102030405");
    EXPECT_EQ(Edit(IDC_EDIT_LENGTH1)->GetValue().utf8_string(), "5");

    editor_->OnBnClickedClear();
    TypeText(Edit(IDC_EDIT_ACK), "41 00");
    TypeText(Edit(IDC_EDIT_MESSAGE1), "A0A1A2A3A4A5A6");
    Leave(Edit(IDC_EDIT_MESSAGE1));
    const std::string grouped = Edit(IDC_EDIT_MESSAGE1)->GetValue().utf8_string();
    EXPECT_EQ(grouped.substr(0, 20), "A0 A1 A2 A3 A4     A");
    messages_.Clear();
    Choose(dynamic_cast<wxChoice*>(editor_->FindWindow(IDC_EDIT_PER_FRAME)), 0);  // one byte a frame
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"帧长度设置太小"});
    EXPECT_EQ(Edit(IDC_EDIT_MESSAGE1)->GetValue().utf8_string(), grouped);

    // Such an entry opened for editing, and an import into it, show the bytes it holds.
    OBDRespondEntry stored = editor_->entry;
    auto* again = new CDialogEitRepondFrame(frame_, stored, true, true);
    EXPECT_EQ(again->Edit(IDC_EDIT_MESSAGE1)->GetValue().utf8_string(), "A0 A1 A2 A3 A4 A5 A6 ");
    EXPECT_EQ(again->Edit(IDC_EDIT_LENGTH1)->GetValue().utf8_string(), "7");
    again->m_RunImport = [](ImportState& state) {
        state = ImportState{};
        state.ackLength = 2;
        state.ack[0] = 0x41, state.ack[1] = 0x0C;
        state.message1Length = 2;
        state.message1[0] = 0x1A, state.message1[1] = 0xF8;
        return true;
    };
    again->OnBnClickedImport();
    EXPECT_EQ(again->Edit(IDC_EDIT_MESSAGE1)->GetValue().utf8_string(), "1A F8 ");
    EXPECT_EQ(again->Edit(IDC_EDIT_LENGTH1)->GetValue().utf8_string(), "2");
    again->Destroy();
}

}  // namespace

namespace {

// From / To take every number the monitor list shows (10 digits); the list numbers records past
// 99999 and 确定 takes the record that shows the number typed.
TEST(ImportDialog, FromAndToTakeEveryNumberTheListShows) {
    ResetMonitorRing();
    const uint8_t other[16] = {0x04, 0x00, 0x41, 0x00}, wanted[16] = {0x48, 0x6B, 0x10, 0x41, 0x0D, 0x42, 0xCC};
    for (uint32_t n = 1; n <= 100005; ++n)
        AppendMonitorRecord(1, KindUart, n == 100003 ? 7 : 4, 10, n == 100003 ? wanted : other, n == 100003 ? 7 : 4);
    platform::RecordingMessageSink messages;
    auto* frameWindow = new wxFrame(nullptr, wxID_ANY, "page");
    auto* import = new CDialogAddAckFromList(frameWindow);
    TypeText(import->m_From, "100003");
    EXPECT_EQ(import->m_From->GetValue().utf8_string(), "100003");
    import->OnBnClickedOk();
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(import->GetReturnCode(), wxID_OK);
    EXPECT_EQ(Bytes(import->State().ack, import->State().ack + 2), (Bytes{0x41, 0x0D}));
    EXPECT_EQ(Bytes(import->State().message1, import->State().message1 + import->State().message1Length), Bytes{0x42});

    import->m_From->Clear();
    TypeText(import->m_From, "42949672971");
    EXPECT_EQ(import->m_From->GetValue().utf8_string(), "4294967297");
    TypeText(import->m_To, "12345678901");
    EXPECT_EQ(import->m_To->GetValue().utf8_string(), "1234567890");
    import->OnBnClickedOk();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"序号超过监控窗口中已有的数据!"});

    import->m_To->SetSelection(-1, -1);
    Paste(import->m_To, "98765432109876");
    EXPECT_EQ(import->m_To->GetValue().utf8_string(), "9876543210") << "a paste keeps what fits";
    import->Destroy();
    frameWindow->Destroy();
    PumpPending();
}

}  // namespace

namespace {

// A stored value longer than its field (a .sim file's session time of 10000 ms, an 11-bit
// respond id of 0x1234) shows whole, and OK keeps it; typing still stops at the field's limit.
TEST_F(ObdSimuGuiTest, StoredValuesLongerThanTheirFieldShowWhole) {
    ASSERT_NE(OpenPage(), nullptr);
    EcuSimParams params{};
    LoadDefaultParams(params);
    params.sessionTimeoutMs = 10000;
    params.can11RespondId = 0x1234;
    CDialogSetEcuPara para(dialog_, params);
    auto* session = Control<wxTextCtrl>(1038, &para);
    auto* respondId = Control<wxTextCtrl>(1015, &para);
    EXPECT_EQ(session->GetValue().utf8_string(), "10000");
    EXPECT_EQ(respondId->GetValue().utf8_string(), "1234");
    para.OnBnClickedOk();
    EXPECT_EQ(para.GetReturnCode(), wxID_OK);
    EXPECT_EQ(para.Params().sessionTimeoutMs, 10000u);
    EXPECT_EQ(para.Params().can11RespondId, 0x1234u);

    Retype(session, "123456");
    EXPECT_EQ(session->GetValue().utf8_string(), "1234");
    Retype(respondId, "7E9A");
    EXPECT_EQ(respondId->GetValue().utf8_string(), "7E9");
    EXPECT_EQ(para.Params().sessionTimeoutMs, 1234u);
    EXPECT_EQ(para.Params().can11RespondId, 0x7E9u);
}

// A paste keeps what fits the field at the caret, over the selection; a field that shows a
// longer stored value takes no more than its limit, and never grows past what it shows.
TEST_F(ObdSimuGuiTest, APasteIntoAParameterKeepsWhatFits) {
    ASSERT_NE(OpenPage(), nullptr);
    constexpr long kAll = -1;
    auto session = [](const EcuSimParams& p) { return p.sessionTimeoutMs; };
    auto respondId = [](const EcuSimParams& p) { return p.can11RespondId; };
    const struct {
        const char* name; int id; uint32_t stored; long from, to; const char* pasted; const char* shown;
        std::function<uint32_t(const EcuSimParams&)> value; uint32_t kept;
    } cases[] = {
        {"session time over its whole text", 1038, 5000, kAll, kAll, "12345", "1234", session, 1234},
        {"session time at the caret", 1038, 50, 1, 1, "789", "5780", session, 5780},
        {"session time over a part", 1038, 5000, 1, 3, "6789", "5670", session, 5670},
        {"a longer stored session time, over its whole text", 1038, 10000, kAll, kAll, "123456", "1234", session, 1234},
        {"a longer stored session time, over a part", 1038, 10000, 1, 3, "99", "1900", session, 1900},
        {"a longer stored session time, over its first digit", 1038, 10000, 0, 1, "99", "0000", session, 0},
        {"respond id over its whole text", 1015, 0x7E8, kAll, kAll, "7E9A", "7E9", respondId, 0x7E9},
        {"a longer stored respond id, over its whole text", 1015, 0x1234, kAll, kAll, "7E9A", "7E9", respondId, 0x7E9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EcuSimParams params{};
        LoadDefaultParams(params);
        params.sessionTimeoutMs = c.id == 1038 ? c.stored : params.sessionTimeoutMs;
        params.can11RespondId = c.id == 1015 ? c.stored : params.can11RespondId;
        CDialogSetEcuPara para(dialog_, params);
        auto* edit = Control<wxTextCtrl>(c.id, &para);
        edit->SetFocus();
        edit->SetSelection(c.from, c.to);
        Paste(edit, c.pasted);
        EXPECT_EQ(edit->GetValue().utf8_string(), c.shown);
        EXPECT_EQ(c.value(para.Params()), c.kept);
        TypeText(edit, "1");
        EXPECT_EQ(edit->GetValue().utf8_string(), c.shown) << "a full field takes no key";
    }
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Obd2DeFault.DAT打开文件出错！"}) << "the page's only";
}

// The parameter dialog's Cancel, its Esc and its close box ask first; "no" stays, "yes"
// leaves with nothing changed.
TEST_F(ObdSimuGuiTest, ParameterCancelAndEscapeAskThenChangeNothing) {
    ASSERT_NE(OpenPage(), nullptr);
    const std::string summary = Label(IDC_OBD_SUMMARY);
    const EcuSimParams before = g_EcuSimParams;
    std::vector<std::pair<std::string, std::string>> asked;
    dialog_->m_RunModal = [&](wxDialog& d) {
        auto& para = dynamic_cast<CDialogSetEcuPara&>(d);
        bool answer = false;
        para.m_AskOkCancel = [&](const std::string& text, const std::string& caption) {
            asked.emplace_back(text, caption);
            return answer;
        };
        Retype(Control<wxTextCtrl>(1015, &para), "7E9");
        Press(Control<wxButton>(wxID_CANCEL, &para));  // "取消", answered no: stays
        para.SetFocus();
        wxKeyEvent esc(wxEVT_CHAR_HOOK);
        esc.m_keyCode = WXK_ESCAPE;
        esc.SetEventObject(&para);
        para.GetEventHandler()->ProcessEvent(esc);  // Esc, answered no: stays
        para.Close();  // the close box, answered no
        answer = true;
        para.Close();  // yes: cancelled
        return para.GetReturnCode();
    };
    Click(IDC_OBD_PARAMS);
    const std::pair<std::string, std::string> question{"确定取消对相关参数的更改吗?", "Information"};
    EXPECT_EQ(asked, (std::vector<std::pair<std::string, std::string>>(4, question)));
    EXPECT_EQ(Label(IDC_OBD_SUMMARY), summary);
    EXPECT_EQ(g_EcuSimParams.can11RespondId, before.can11RespondId) << "nothing changed";
}

}  // namespace

namespace {

// Every heading of the response list and every field of the parameter dialog shows its whole
// text in the font the program runs with (the dialog's own widths where the text fits).
TEST_F(ObdSimuGuiTest, HeadingsAndFullFieldsShowTheirWholeText) {
    ASSERT_NE(OpenPage(), nullptr);
    wxListCtrl* list = dialog_->List();
    for (int c = 0; c < list->GetColumnCount(); ++c) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_WIDTH);
        ASSERT_TRUE(list->GetColumn(c, column));
        SCOPED_TRACE(column.GetText().utf8_string());
        EXPECT_GE(list->GetColumnWidth(c) - 8, list->GetTextExtent(column.GetText()).x) << "4 px margins";
    }
    EXPECT_EQ(list->GetColumnWidth(1), 50) << "kept where the heading fits";

    EcuSimParams params{};
    LoadDefaultParams(params);
    CDialogSetEcuPara parameters(dialog_, params);
    int checked = 0;
    for (wxWindow* window : parameters.GetChildren()) {
        for (wxWindow* child : window->GetChildren()) {
            auto* edit = dynamic_cast<wxTextCtrl*>(child);
            if (!edit) continue;
            SCOPED_TRACE(edit->GetId());
            const wxString shown = edit->GetValue();
            EXPECT_GE(edit->GetSize().x, edit->GetSizeFromTextSize(edit->GetTextExtent(shown)).x) << shown.utf8_string();
            ++checked;
        }
    }
    EXPECT_GT(checked, 20);
    auto* fc = dynamic_cast<wxTextCtrl*>(parameters.FindWindow(1011));
    ASSERT_NE(fc, nullptr);
    EXPECT_EQ(fc->GetValue().utf8_string().substr(0, 23), "30 00 00 00 00 00 00 00");
}

}  // namespace

#include "simulator/ui/CDialogEitRepondFrame.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "monitor/HexText.h"
#include "monitor/ui/CEditHex.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/Message.h"
#include "platform/ui/WxText.h"
#include "simulator/ui/CDialogAddAckFromList.h"
#include "simulator/ui/EndDialog.h"

namespace {

constexpr int kGap = 4;
const int kProtocolIds[kSimProtocolCount] = {1282, 1285, 1286, 1287, 1288, 1289, 1290};
const char* const kProtocolLabels[kSimProtocolCount] = {
    "ISO9141-2", "ISO14230-SLOW", "ISO14230-FAST", "J1850 VPW", "J1850 PWM", "ISO15765_11Bits", "ISO15765_29Bits"};

// The editor's lines end in "\r\n"; a wx text control wants "\n".
wxString Lines(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return U8(out);
}

}  // namespace

CDialogEitRepondFrame::CDialogEitRepondFrame(wxWindow* parent, const OBDRespondEntry& e,
                                             bool existing, bool addAllowed)
    : wxDialog(parent, 163, "Edit Repond Frame Data"), entry(e), editingExisting(existing ? 1 : 0) {
    m_RunImport = [this](ImportState& state) {
        CDialogAddAckFromList dialog(this);
        if (dialog.ShowModal() != wxID_OK) return false;
        state = dialog.State();
        return true;
    };
    CreateControls(addAllowed);
    if (!editingExisting) InitRespondEntry(entry);
    UpdateControls();
    CentreOnParent();
}

void CDialogEitRepondFrame::CreateControls(bool addAllowed) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto hex = [this](wxWindow* parent, int id, wxSize size, long style) {
        auto* edit = new CEditHex(parent, id, wxEmptyString, wxDefaultPosition, size, style);
        m_Edits[id] = edit;
        OnEditText(edit, [this, id] { OnHexText(id); });
        edit->Bind(wxEVT_KILL_FOCUS, [this, id](wxFocusEvent& event) {
            OnLeave(id);
            event.Skip();
        });
        return edit;
    };
    auto label = [this](wxWindow* parent, const char* text) { return new wxStaticText(parent, wxID_ANY, U8(text)); };

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(label(this, "当前应答数据有效 :"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    wxArrayString enable;
    enable.Add("Enable");
    enable.Add("Disable");
    m_Enable = new wxChoice(this, IDC_EDIT_ENABLE, wxDefaultPosition, wxDefaultSize, enable);
    m_Enable->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { entry.enabled = m_Enable->GetSelection() == 0 ? 1 : 0; });
    row->Add(m_Enable, 0);
    top->Add(row, 0, wxALL, kGap * 2);

    auto* request = new wxStaticBoxSizer(wxHORIZONTAL, this, U8("诊断仪请求服务 SID"));
    request->Add(hex(request->GetStaticBox(), IDC_EDIT_REQUEST, wxSize(220, -1), 0), 0, wxALL, kGap);
    m_RequestLabel = new wxStaticText(request->GetStaticBox(), IDC_EDIT_REQUEST_LABEL, U8("最长7字节 Length="));
    request->Add(m_RequestLabel, 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
    top->Add(request, 0, wxEXPAND | wxLEFT | wxRIGHT, kGap * 2);

    auto* protocols = new wxStaticBoxSizer(wxHORIZONTAL, this, "Repond to  Protocols");
    for (uint32_t i = 0; i < kSimProtocolCount; ++i) {
        m_Protocols[i] = new wxCheckBox(protocols->GetStaticBox(), kProtocolIds[i], kProtocolLabels[i]);
        m_Protocols[i]->Bind(wxEVT_CHECKBOX, [this, i](wxCommandEvent&) {
            entry.protocolMask = m_Protocols[i]->GetValue() ? entry.protocolMask | (1u << i)
                                                             : entry.protocolMask & ~(1u << i);
        });
        protocols->Add(m_Protocols[i], 0, wxALL, kGap);
    }
    top->Add(protocols, 0, wxEXPAND | wxALL, kGap * 2);

    auto* grid = new wxFlexGridSizer(4, kGap, kGap);
    grid->Add(label(this, "Note:"), 0, wxALIGN_CENTER_VERTICAL);
    auto* note = new wxTextCtrl(this, IDC_EDIT_NOTE, wxEmptyString, wxDefaultPosition, wxSize(320, -1));
    note->SetMaxLength(kEditorNoteChars);
    OnEditText(note, [this, note] {
        const std::string typed = note->GetValue().utf8_string();
        const std::string kept = EditNote(entry, typed);
        // What the box shows is what the entry keeps.
        if (kept != typed) AfterOwnTextEvent(note, [note, kept] { note->ChangeValue(U8(kept)); note->SetInsertionPointEnd(); });
    });
    m_Edits[IDC_EDIT_NOTE] = note;
    grid->Add(note, 0);
    grid->Add(label(this, "ACK.SID/PID/DATA:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(hex(this, IDC_EDIT_ACK, wxSize(220, -1), 0), 0);
    grid->Add(label(this, "Respond Message CNT:"), 0, wxALIGN_CENTER_VERTICAL);
    wxArrayString counts;
    for (const char* c : {"0", "1", "2"}) counts.Add(c);
    m_Count = new wxChoice(this, IDC_EDIT_COUNT, wxDefaultPosition, wxDefaultSize, counts);
    m_Count->Disable();  // follows the message lengths
    grid->Add(m_Count, 0);
    grid->Add(label(this, "每帧发送数据长度(CAN无关):"), 0, wxALIGN_CENTER_VERTICAL);
    wxArrayString perFrame;
    for (const char* c : {"1", "2", "3", "4", "5", "6", "7", "8"}) perFrame.Add(c);
    m_PerFrame = new wxChoice(this, IDC_EDIT_PER_FRAME, wxDefaultPosition, wxDefaultSize, perFrame);
    m_PerFrame->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
        const EditorEdit edit = EditBytesPerFrame(entry, m_PerFrame->GetSelection());
        if (!edit.message.empty()) platform::ShowMessage(edit.message);
        FormatMessages();
    });
    grid->Add(m_PerFrame, 0);
    top->Add(grid, 0, wxALL, kGap * 2);

    const wxFont font(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE).FaceName(U8("宋体")));
    for (int m = 1; m <= 2; ++m) {
        auto* message = new wxBoxSizer(wxHORIZONTAL);
        message->Add(label(this, m == 1 ? "Message  1: " : "Message  2: "), 0, wxRIGHT, kGap);
        wxTextCtrl* edit = hex(this, m == 1 ? IDC_EDIT_MESSAGE1 : IDC_EDIT_MESSAGE2, wxSize(420, 90), wxTE_MULTILINE);
        edit->SetFont(font);
        message->Add(edit, 1, wxRIGHT, kGap);
        message->Add(label(this, m == 1 ? "M1 Length: " : "M2 Length: "), 0, wxRIGHT, kGap);
        const int lengthId = m == 1 ? IDC_EDIT_LENGTH1 : IDC_EDIT_LENGTH2;
        m_Edits[lengthId] = new wxTextCtrl(this, lengthId, wxEmptyString, wxDefaultPosition, wxSize(50, -1), wxTE_READONLY);
        message->Add(m_Edits[lengthId], 0);
        top->Add(message, 0, wxEXPAND | wxALL, kGap * 2);
    }

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto button = [&](int id, const char* text, void (CDialogEitRepondFrame::*method)()) {
        auto* b = new wxButton(this, id, U8(text));
        b->Bind(wxEVT_BUTTON, [this, method](wxCommandEvent&) { (this->*method)(); });
        buttons->Add(b, 0, wxRIGHT, kGap);
        return b;
    };
    button(IDC_EDIT_IMPORT, "从监控主窗口列表项导入", &CDialogEitRepondFrame::OnBnClickedImport);
    buttons->AddSpacer(kGap * 6);
    button(wxID_OK, "保存修改", &CDialogEitRepondFrame::OnBnClickedSave)->Enable(editingExisting != 0);
    button(IDC_EDIT_ADD, "新增一项", &CDialogEitRepondFrame::OnBnClickedAdd)->Enable(addAllowed);
    button(IDC_EDIT_CLEAR, "清空", &CDialogEitRepondFrame::OnBnClickedClear);
    new wxButton(this, wxID_CANCEL, U8("取消"));
    buttons->Add(FindWindow(wxID_CANCEL), 0);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, kGap * 2);
    SetSizerAndFit(top);
    SetEscapeId(wxID_CANCEL);
}

void CDialogEitRepondFrame::UpdateControls() {
    m_Enable->SetSelection(entry.enabled ? 0 : 1);
    ShowCount();
    m_PerFrame->SetSelection(static_cast<int>(std::clamp<uint32_t>(entry.bytesPerFrame, 1, 8) - 1));
    for (uint32_t i = 0; i < kSimProtocolCount; ++i) m_Protocols[i]->SetValue((entry.protocolMask >> i) & 1);
    m_Edits.at(IDC_EDIT_NOTE)->ChangeValue(U8(std::string(entry.note, strnlen(entry.note, kNoteBytes))));
    m_RequestLabel->SetLabel(U8(RequestLengthLabel(entry)));
    m_Edits.at(IDC_EDIT_REQUEST)->ChangeValue(HexBytesText(entry.request, std::min(entry.requestLength, kEditorRequestBytes)));
    m_Edits.at(IDC_EDIT_ACK)->ChangeValue(HexBytesText(entry.ack, std::min(entry.ackLength, kEditorAckBytes)));
    ShowMessages();
}

void CDialogEitRepondFrame::ShowMessages() {
    // Every byte as stored, then grouped into frames where a message byte fits after the ACK:
    // the edits never show other bytes than the entry holds.
    const uint8_t* bytes[2] = {entry.message1, entry.message2};
    const uint32_t lengths[2] = {std::min(entry.message1Length, kMaxMessageBytes),
                                 std::min(entry.message2Length, kMaxMessageBytes)};
    for (int m = 0; m < 2; ++m) {
        m_Edits.at(m == 0 ? IDC_EDIT_MESSAGE1 : IDC_EDIT_MESSAGE2)->ChangeValue(HexBytesText(bytes[m], lengths[m]));
        m_Edits.at(m == 0 ? IDC_EDIT_LENGTH1 : IDC_EDIT_LENGTH2)->ChangeValue(std::to_string(lengths[m]));
    }
    FormatMessages();
}

void CDialogEitRepondFrame::FormatMessages() {
    const std::optional<::FormattedMessages> f = ::FormatMessages(entry);
    if (!f) return;
    m_Edits.at(IDC_EDIT_MESSAGE1)->ChangeValue(Lines(f->text[0]));
    m_Edits.at(IDC_EDIT_MESSAGE2)->ChangeValue(Lines(f->text[1]));
    m_Edits.at(IDC_EDIT_LENGTH1)->ChangeValue(f->length[0]);
    m_Edits.at(IDC_EDIT_LENGTH2)->ChangeValue(f->length[1]);
}

void CDialogEitRepondFrame::ShowCount() { m_Count->SetSelection(static_cast<int>(std::min(entry.messageCount, 2u))); }

void CDialogEitRepondFrame::OnHexText(int id) {
    const std::string text = m_Edits.at(id)->GetValue().utf8_string();
    EditorEdit edit;
    switch (id) {
    case IDC_EDIT_REQUEST:
        edit = EditRequest(entry, text);
        m_RequestLabel->SetLabel(U8(RequestLengthLabel(entry)));
        break;
    case IDC_EDIT_ACK: edit = EditAck(entry, text); break;
    default: {
        const int which = id == IDC_EDIT_MESSAGE1 ? 1 : 2;
        edit = EditMessage(entry, which, text);
        m_Edits.at(which == 1 ? IDC_EDIT_LENGTH1 : IDC_EDIT_LENGTH2)
            ->ChangeValue(std::to_string(which == 1 ? entry.message1Length : entry.message2Length));
        ShowCount();
        break;
    }
    }
    // Rewrites this edit and may open a box: not while the toolkit is inside its insertion.
    AfterOwnTextEvent(m_Edits.at(id), [this, id, edit] {
        if (edit.rewrite) m_Edits.at(id)->ChangeValue(U8(edit.text));
        if (edit.formatMessages) FormatMessages();
        if (!edit.message.empty()) platform::ShowMessage(edit.message);
        if (!edit.then.empty()) platform::ShowMessage(edit.then);
    });
}

void CDialogEitRepondFrame::OnLeave(int id) {
    if (id == IDC_EDIT_REQUEST)
        m_Edits.at(id)->ChangeValue(HexBytesText(entry.request, entry.requestLength));
    if (id == IDC_EDIT_ACK) m_Edits.at(id)->ChangeValue(HexBytesText(entry.ack, entry.ackLength));
    if (id != IDC_EDIT_REQUEST) FormatMessages();
}

void CDialogEitRepondFrame::CloseWith(EditorClose button) {
    if (const char* refusal = EditorClosingCheck(entry, button)) {
        platform::ShowMessage(refusal);
        return;
    }
    replaceEntry = button == EditorClose::SaveChanges ? 1 : 0;
    EndSimDialog(*this, wxID_OK);
}

void CDialogEitRepondFrame::OnBnClickedSave() { CloseWith(EditorClose::SaveChanges); }
void CDialogEitRepondFrame::OnBnClickedAdd() { CloseWith(EditorClose::AddNew); }

void CDialogEitRepondFrame::OnBnClickedClear() {
    InitRespondEntry(entry);
    UpdateControls();
}

void CDialogEitRepondFrame::OnBnClickedImport() {
    ImportState state;
    if (!m_RunImport(state)) return;
    ApplyImport(entry, state);
    m_Edits.at(IDC_EDIT_ACK)->ChangeValue(HexBytesText(entry.ack, entry.ackLength));
    ShowMessages();
    ShowCount();
}

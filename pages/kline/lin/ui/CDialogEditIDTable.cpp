#include "pages/kline/lin/ui/CDialogEditIDTable.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include "pages/kline/lin/ui/CDiaglogLin.h"
#include "pages/kline/ui/UartPageLayout.h"
#include "platform/ui/WxText.h"

namespace {

struct FieldCombo {
    int id;
    const char* label;
    LinIdTableEditor::Field field;
    std::initializer_list<const char*> items;
};
const FieldCombo kCombos[] = {
    {IDC_IDTABLE_IDEN, "IDEN:", LinIdTableEditor::Iden, {"0: Slave Disable", "1: Slave Enable"}},
    {IDC_IDTABLE_SRP, "SRP:", LinIdTableEditor::Srp,
     {"0: M Send Data ,S not Respond", "1: M olny Header ,S Respond"}},
    {IDC_IDTABLE_LENC, "LENC:", LinIdTableEditor::Lenc,
     {"0: Free Length", "1: 2bytes", "2: 4bytes", "3: 8bytes"}},
    {IDC_IDTABLE_CSM, "CSM:", LinIdTableEditor::Csm, {"0: classic checksum", "1: Enhanced checksum"}},
    {IDC_IDTABLE_AFE, "AFE:", LinIdTableEditor::Afe,
     {"0: AutoFrame Respond Disable", "1: AutoFrame Respond Enable"}},
    {IDC_IDTABLE_AFP, "AFP:", LinIdTableEditor::Afp, {"0", "1", "2", "3"}},
};

}  // namespace

CDialogEditIDTable::CDialogEditIDTable(CDiaglogLin* page, LinIdTableEditor& editor)
    : wxDialog(page, IDD_DIALOG_EDIT_ID_TABLE, "ID TABLE Modify"), m_Page(page), m_Editor(editor) {
    CreateControls();
    BindHandlers();
    SetMode(false);
    UpdateControls();
    CentreOnParent();
}

void CDialogEditIDTable::CreateControls() {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* grid = NewFieldGrid();
    grid->Add(new wxStaticText(this, wxID_ANY, U8("当前ID:")), 0, wxALIGN_CENTER_VERTICAL);
    m_Current = new wxStaticText(this, IDC_IDTABLE_CURRENT, wxString());
    grid->Add(m_Current, 0, wxALIGN_CENTER_VERTICAL);
    for (size_t i = 0; i < m_Fields.size(); ++i) {
        grid->Add(new wxStaticText(this, wxID_ANY, U8(kCombos[i].label)), 0, wxALIGN_CENTER_VERTICAL);
        m_Fields[i] = NewChoice(this, kCombos[i].id, kCombos[i].items);
        grid->Add(m_Fields[i], 0, wxEXPAND);
    }
    top->Add(grid, 0, wxALL, 8);

    auto* range = new wxBoxSizer(wxHORIZONTAL);
    m_Single = new wxRadioButton(this, IDC_IDTABLE_SINGLE, U8("修改单个ID"), wxDefaultPosition,
                                 wxDefaultSize, wxRB_GROUP);
    m_Range = new wxRadioButton(this, IDC_IDTABLE_RANGE, U8("多个ID修改"));
    range->Add(m_Single, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    range->Add(m_Range, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    const wxTextValidator digits(wxFILTER_DIGITS);
    range->Add(new wxStaticText(this, wxID_ANY, "FROM:"), 0, wxALIGN_CENTER_VERTICAL);
    m_From = new wxTextCtrl(this, IDC_IDTABLE_FROM, wxString(), wxDefaultPosition, wxSize(40, -1), 0, digits);
    range->Add(m_From, 0, wxLEFT | wxRIGHT, 4);
    range->Add(new wxStaticText(this, wxID_ANY, "TO:"), 0, wxALIGN_CENTER_VERTICAL);
    m_To = new wxTextCtrl(this, IDC_IDTABLE_TO, wxString(), wxDefaultPosition, wxSize(40, -1), 0, digits);
    range->Add(m_To, 0, wxLEFT, 4);
    top->Add(range, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);

    std::map<int, wxButton*> shown;
    auto* buttons = NewPageButtonRow(this,
                                     {{IDC_IDTABLE_ALL_IDEN0, "一键所有IDEN=0"},
                                      {IDC_IDTABLE_ALL_IDEN1, "一键所有IDEN=1"},
                                      {IDC_IDTABLE_RECOMMENDED_LENC, "LENC长度为LIN推荐"},
                                      {IDC_IDTABLE_APPLY, "更改"},
                                      {IDC_IDTABLE_EXIT, "退出"}},
                                     IDC_IDTABLE_EXIT, shown);
    top->Add(buttons, 0, wxALL, 8);
    SetSizerAndFit(top);
}

void CDialogEditIDTable::BindHandlers() {
    auto onButton = [this](int id, auto handler) {
        FindWindow(id)->Bind(wxEVT_BUTTON, [handler](wxCommandEvent&) { handler(); });
    };
    onButton(IDC_IDTABLE_APPLY, [this] { OnBnClickedOk(); });
    onButton(IDC_IDTABLE_EXIT, [this] { OnBnClickedCancel(); });
    onButton(IDC_IDTABLE_ALL_IDEN0, [this] { OnBnClickedAllIden(false); });
    onButton(IDC_IDTABLE_ALL_IDEN1, [this] { OnBnClickedAllIden(true); });
    onButton(IDC_IDTABLE_RECOMMENDED_LENC, [this] { OnBnClickedRecommendedLenc(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        if (!event.CanVeto()) {
            event.Skip();
            return;
        }
        OnBnClickedCancel();
    });
    for (size_t i = 0; i < m_Fields.size(); ++i)
        m_Fields[i]->Bind(wxEVT_CHOICE, [this, i](wxCommandEvent&) {
            m_Editor.SetField(kCombos[i].field, static_cast<unsigned>(m_Fields[i]->GetSelection()));
        });
    m_Single->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { SetMode(false); });
    m_Range->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { SetMode(true); });
    OnEditText(m_From, [this] { ShowFieldEdit(m_From, m_Editor.FromChanged(m_From->GetValue().utf8_string())); });
    OnEditText(m_To, [this] { ShowFieldEdit(m_To, m_Editor.ToChanged(m_To->GetValue().utf8_string())); });
}

void CDialogEditIDTable::SetMode(bool range) {
    m_Editor.SetRangeMode(range);
    m_Single->SetValue(!range);
    m_Range->SetValue(range);
    m_From->Enable(range);
    m_To->Enable(range);
}

void CDialogEditIDTable::UpdateControls() {
    m_Editor.Reload();
    m_Current->SetLabel(m_Editor.CurrentIdText());
    for (size_t i = 0; i < m_Fields.size(); ++i)
        m_Fields[i]->SetSelection(static_cast<int>(m_Editor.FieldValue(kCombos[i].field)));
    m_From->ChangeValue(wxString::Format("%u", m_Editor.From()));
    m_To->ChangeValue(wxString::Format("%u", m_Editor.To()));
}

void CDialogEditIDTable::OnBnClickedOk() {
    if (m_Editor.Apply()) m_Page->OnIdTableChanged(true);
}

void CDialogEditIDTable::OnBnClickedCancel() { Hide(); }

void CDialogEditIDTable::OnBnClickedAllIden(bool on) {
    m_Editor.SetAllIden(on);
    m_Page->OnIdTableChanged(false);
}

void CDialogEditIDTable::OnBnClickedRecommendedLenc() {
    m_Editor.RecommendedLenc();
    m_Page->OnIdTableChanged(false);
}

#include "simulator/ui/CDialogSetEcuPara.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "monitor/ui/CEditHex.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/Message.h"
#include "platform/ui/WxMessageSink.h"
#include "platform/ui/WxText.h"
#include "simulator/ObdSimuPage.h"
#include "simulator/ui/EndDialog.h"

namespace {

constexpr int kGap = 4;

}  // namespace

CDialogSetEcuPara::CDialogSetEcuPara(wxWindow* parent, const EcuSimParams& params)
    : wxDialog(parent, 162, "Set ECU Simulation Parameter"), m_Params(params) {
    m_AskOkCancel = [this](const std::string& text, const std::string& caption) {
        return platform::AskWx(this, text, caption, wxOK | wxCANCEL, platform::MessageIcon::Information);
    };
    InitControls();
    UpdateControls();
    CentreOnParent();
}

void CDialogSetEcuPara::InitControls() {
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    // One gap between the columns (the dialog's border is outside them): the three stand beside
    // each other within a 1366-pixel screen.
    auto group = [&](const char* title) {
        auto* box = new wxStaticBoxSizer(wxVERTICAL, this, U8(title));
        columns->Add(box, 0, wxEXPAND | (columns->IsEmpty() ? 0 : wxLEFT), kGap);
        return box;
    };
    wxStaticBoxSizer* kline = group("ISO9141/ ISO14230  Protocol Parameter");
    wxStaticBoxSizer* j1850 = group("J1850 VPW / PWM");
    wxStaticBoxSizer* can = group("ISO15765 Protocol Parameter");
    std::map<EcuParamGroup, std::pair<wxStaticBoxSizer*, wxFlexGridSizer*>> grids;
    auto grid = [&](EcuParamGroup g, wxStaticBoxSizer* box, const char* subtitle) {
        if (subtitle) box->Add(new wxStaticText(box->GetStaticBox(), wxID_ANY, U8(subtitle)), 0, wxTOP, kGap);
        auto* flex = new wxFlexGridSizer(3, kGap, kGap);
        box->Add(flex, 0, wxALL, kGap);
        grids[g] = {box, flex};
    };
    grid(EcuParamGroup::KLine, kline, "K线通用参数");
    grid(EcuParamGroup::Iso9141, kline, "ISO9141-2");
    grid(EcuParamGroup::Iso14230, kline, "ISO14230");
    grid(EcuParamGroup::J1850, j1850, nullptr);
    grid(EcuParamGroup::Can, can, nullptr);
    for (const EcuParamField& f : EcuParamFields()) {
        auto [box, flex] = grids.at(f.group);
        wxWindow* parent = box->GetStaticBox();
        flex->Add(new wxStaticText(parent, wxID_ANY, U8(f.label)), 0, wxALIGN_CENTER_VERTICAL);
        if (f.kind == EcuParamKind::Choice) {
            wxArrayString items;
            for (const char* item : f.choices) items.Add(U8(item));
            auto* choice = new wxChoice(parent, f.id, wxDefaultPosition, wxDefaultSize, items);
            choice->Bind(wxEVT_CHOICE, [this, id = f.id](wxCommandEvent&) { OnFieldChoice(id); });
            m_Choices[f.id] = choice;
            flex->Add(choice, 0, wxEXPAND);
        } else {
            wxTextCtrl* edit = f.kind == EcuParamKind::Hex
                                   ? static_cast<wxTextCtrl*>(new CEditHex(parent, f.id, wxEmptyString))
                                   : new wxTextCtrl(parent, f.id, wxEmptyString);
            // The dialog's widths, or wider where a full field's text would be cut.
            const wxSize full = edit->GetSizeFromTextSize(edit->GetTextExtent(wxString('D', f.limit + 1)));
            edit->SetInitialSize(wxSize(std::max(f.limit > 8 ? 170 : 100, full.x), -1));
            KeepLimitWhileTyping(edit, static_cast<unsigned>(f.limit));
            OnEditText(edit, [this, id = f.id] { OnFieldText(id); });
            m_Edits[f.id] = edit;
            m_Limits[f.id] = static_cast<unsigned>(f.limit);
            flex->Add(edit, 0);
        }
        flex->Add(new wxStaticText(parent, wxID_ANY, f.unit), 0, wxALIGN_CENTER_VERTICAL);
    }
    wxWindow* j1850Parent = j1850->GetStaticBox();
    m_VpwAddresses = new wxStaticText(j1850Parent, IDC_PARA_VPW_ADDRESSES, wxEmptyString);
    m_PwmAddresses = new wxStaticText(j1850Parent, IDC_PARA_PWM_ADDRESSES, wxEmptyString);
    j1850->Add(m_VpwAddresses, 0, wxALL, kGap);
    j1850->Add(m_PwmAddresses, 0, wxALL, kGap);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* defaults = new wxButton(this, IDC_PARA_OBD2_DEFAULT, U8("OBD2默认"));
    auto* ok = new wxButton(this, wxID_OK, U8("确定保存"));
    auto* cancel = new wxButton(this, wxID_CANCEL, U8("取消"));
    buttons->Add(defaults, 0, wxRIGHT, kGap * 4);
    buttons->Add(ok, 0, wxRIGHT, kGap);
    buttons->Add(cancel, 0);
    defaults->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedObd2Default(); });
    ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedOk(); });
    cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedCancel(); });
    // The close box and Esc ask the same question as "取消".
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnBnClickedCancel(); });

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(columns, 0, wxALL, kGap);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, kGap * 2);
    SetSizerAndFit(top);
    SetEscapeId(wxID_CANCEL);
}

void CDialogSetEcuPara::UpdateControls() {
    // A stored value longer than its field (a file's session time of 10000 ms) shows whole.
    for (auto& [id, edit] : m_Edits) ShowLimitedText(edit, m_Limits.at(id), EcuParamText(m_Params, id));
    for (auto& [id, choice] : m_Choices) choice->SetSelection(EcuParamChoice(m_Params, id));
    m_VpwAddresses->SetLabel(U8(J1850AddressText(m_Params, false, false)));
    m_PwmAddresses->SetLabel(U8(J1850AddressText(m_Params, true, false)));
}

void CDialogSetEcuPara::OnFieldText(int id) {
    wxTextCtrl* edit = m_Edits.at(id);
    const EcuParamEdit result = SetEcuParamText(m_Params, id, edit->GetValue().utf8_string());
    ApplyEditResult(edit, result, std::string(), platform::MessageIcon::Exclamation, m_Limits.at(id));
    const int addresses = AddressStaticOf(id);
    if (addresses == IDC_PARA_VPW_ADDRESSES) m_VpwAddresses->SetLabel(U8(J1850AddressText(m_Params, false, true)));
    if (addresses == IDC_PARA_PWM_ADDRESSES) m_PwmAddresses->SetLabel(U8(J1850AddressText(m_Params, true, true)));
}

void CDialogSetEcuPara::OnFieldChoice(int id) { SetEcuParamChoice(m_Params, id, m_Choices.at(id)->GetSelection()); }

void CDialogSetEcuPara::OnBnClickedObd2Default() {
    SetDefaultParams(m_Params);
    UpdateControls();
}

void CDialogSetEcuPara::OnBnClickedOk() { EndSimDialog(*this, wxID_OK); }

void CDialogSetEcuPara::OnBnClickedCancel() {
    if (m_AskOkCancel(kParaTextCancelQuestion, kCaptionInformation)) EndSimDialog(*this, wxID_CANCEL);
}

#include "simulator/ui/CDialogAddAckFromList.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <cstdlib>

#include "platform/Message.h"
#include "platform/ui/WxText.h"
#include "simulator/ui/EndDialog.h"

namespace {

constexpr int kGap = 4;
// Every sequence number the monitor list shows: it numbers records past 99999.
constexpr unsigned long kNumberDigits = 10;

}  // namespace

CDialogAddAckFromList::CDialogAddAckFromList(wxWindow* parent)
    : wxDialog(parent, 167, "Load Data From ItemList") {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* range = new wxBoxSizer(wxHORIZONTAL);
    const wxTextValidator digits(wxFILTER_DIGITS);
    m_From = new wxTextCtrl(this, 1011, wxEmptyString, wxDefaultPosition, wxSize(100, -1), 0, digits);
    m_To = new wxTextCtrl(this, 1012, wxEmptyString, wxDefaultPosition, wxSize(100, -1), 0, digits);
    m_From->SetMaxLength(kNumberDigits);
    m_To->SetMaxLength(kNumberDigits);
    range->Add(new wxStaticText(this, wxID_ANY, U8("调入序号:  From")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    range->Add(m_From, 0, wxRIGHT, kGap);
    range->Add(new wxStaticText(this, wxID_ANY, "to"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    range->Add(m_To, 0);
    top->Add(range, 0, wxALL, kGap * 2);
    auto* ack = new wxBoxSizer(wxHORIZONTAL);
    wxArrayString counts;
    for (const char* c : {"0", "1", "2", "3"}) counts.Add(c);
    m_AckCount = new wxChoice(this, 1026, wxDefaultPosition, wxDefaultSize, counts);
    m_AckCount->SetSelection(2);
    ack->Add(new wxStaticText(this, wxID_ANY, U8("所有应答帧共用的服务标识字节数:")), 0,
             wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    ack->Add(m_AckCount, 0);
    top->Add(ack, 0, wxALL, kGap * 2);
    for (const char* note : {kImportNoteCan, kImportNoteMessage1}) {
        auto* text = new wxStaticText(this, wxID_ANY, U8(note));
        text->Wrap(460);
        top->Add(text, 0, wxALL, kGap * 2);
    }
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* ok = new wxButton(this, wxID_OK, U8("确定"));
    buttons->Add(ok, 0, wxRIGHT, kGap);
    buttons->Add(new wxButton(this, wxID_CANCEL, U8("取消")), 0);
    ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedOk(); });
    top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, kGap * 2);
    SetSizerAndFit(top);
    CentreOnParent();
}

void CDialogAddAckFromList::OnBnClickedOk() {
    const int item = m_AckCount->GetSelection();
    const auto number = [](wxTextCtrl* edit) {
        return static_cast<uint64_t>(std::strtoull(edit->GetValue().utf8_string().c_str(), nullptr, 10));
    };
    const char* refusal =
        ImportMonitorRange(m_State, item < 0 ? 0 : static_cast<uint32_t>(item), number(m_From), number(m_To));
    if (refusal) {
        platform::ShowMessage(refusal);
        return;
    }
    EndSimDialog(*this, wxID_OK);
}

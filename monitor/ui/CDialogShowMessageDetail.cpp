#include "monitor/ui/CDialogShowMessageDetail.h"

#include <wx/button.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tokenzr.h>

#include <algorithm>

#include "monitor/RecordFormat.h"

namespace {

constexpr int kMargin = 10;
constexpr int kDataHeight = 160;

wxString FromRecordText(const std::string& text) {
    wxString s = wxString::FromUTF8(text);
    s.Replace("\r\n", "\n");
    return s;
}

// A line of 32 bytes as the UART layout makes it: the widest that frame bytes alone fill.
wxString FullUartLine() {
    MonitorRecord r{};
    r.direction = 1;
    r.kind = KindUart;
    r.lengthWord = 32;
    std::fill(std::begin(r.data), std::begin(r.data) + 32, 0xDD);
    RecordDetail detail;
    DecodeUartDetail(r, detail);
    return FromRecordText(detail.data).BeforeFirst('\n');
}

// Wide enough for a whole line of 32 bytes and for every line the field holds (a first line
// may carry an init prefix), measured in the field's own font, as far as the screen allows;
// only past that does the field scroll sideways.
int DataFieldWidth(wxTextCtrl* field, wxWindow* placedOver) {
    int widest = field->GetTextExtent(FullUartLine()).x;
    for (const wxString& line : wxStringTokenize(field->GetValue(), "\n", wxTOKEN_RET_EMPTY_ALL))
        widest = std::max(widest, field->GetTextExtent(line).x);
    const int display = wxDisplay::GetFromWindow(placedOver);
    const int screen = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea().width;
    return std::min(field->GetSizeFromTextSize(widest).x, screen - 4 * kMargin);
}

}  // namespace

CDialogShowMessageDetail::CDialogShowMessageDetail(wxWindow* parent, const MonitorRecord& record)
    : wxDialog(parent, IDD_DIALOG_SHOW_DETAIL, "Show Message Detail"), m_Record(record) {
    auto* grid = new wxFlexGridSizer(2, wxSize(12, 6));
    grid->AddGrowableCol(1);
    auto addRow = [&](const char* label, int id) {
        grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(label)), 0,
                  wxALIGN_CENTER_VERTICAL);
        auto* value = new wxStaticText(this, id, wxString());
        grid->Add(value, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
        return value;
    };
    m_Sequence = addRow("序号:", IDC_DETAIL_SEQUENCE);
    m_Direction = addRow("方向:", IDC_DETAIL_DIRECTION);
    m_Bus = addRow("总线:", IDC_DETAIL_BUS);
    m_Header = addRow("Header (ID):", IDC_DETAIL_HEADER);
    m_Dlc = addRow("DLC:", IDC_DETAIL_DLC);
    m_Crc = addRow("CRC:", IDC_DETAIL_CRC);

    m_Data = new wxTextCtrl(this, IDC_DETAIL_DATA, wxString(), wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY | wxHSCROLL);
    m_Data->SetFont(wxFontInfo().Family(wxFONTFAMILY_TELETYPE));
    ShowRecord();
    m_Data->SetMinSize(wxSize(DataFieldWidth(m_Data, parent ? parent : this), kDataHeight));

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(grid, 0, wxEXPAND | wxALL, kMargin);
    top->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8("数据:")), 0, wxLEFT | wxRIGHT, kMargin);
    top->Add(m_Data, 1, wxEXPAND | wxALL, kMargin);
    // The exit button is the dialog's Cancel, so Escape and the close box end it too.
    top->Add(new wxButton(this, wxID_CANCEL, wxString::FromUTF8("退出")), 0,
             wxALIGN_RIGHT | wxRIGHT | wxBOTTOM, kMargin);
    SetSizerAndFit(top);
    SetEscapeId(wxID_CANCEL);
}

void CDialogShowMessageDetail::ShowRecord() {
    const RecordDetail detail = DecodeRecordDetail(m_Record);
    m_Sequence->SetLabelText(FromRecordText(detail.sequence));
    m_Direction->SetLabelText(FromRecordText(detail.direction));
    m_Bus->SetLabelText(FromRecordText(detail.bus));
    m_Header->SetLabelText(FromRecordText(detail.header));
    m_Dlc->SetLabelText(FromRecordText(detail.dlc));
    m_Crc->SetLabelText(FromRecordText(detail.crc));
    m_Data->ChangeValue(FromRecordText(detail.data));
}

wxString CDialogShowMessageDetail::FieldText(int controlId) const {
    switch (controlId) {
    case IDC_DETAIL_SEQUENCE: return m_Sequence->GetLabelText();
    case IDC_DETAIL_DIRECTION: return m_Direction->GetLabelText();
    case IDC_DETAIL_BUS: return m_Bus->GetLabelText();
    case IDC_DETAIL_HEADER: return m_Header->GetLabelText();
    case IDC_DETAIL_DLC: return m_Dlc->GetLabelText();
    case IDC_DETAIL_CRC: return m_Crc->GetLabelText();
    case IDC_DETAIL_DATA: return m_Data->GetValue();
    default: return wxString();
    }
}

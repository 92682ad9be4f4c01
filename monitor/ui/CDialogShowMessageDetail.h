#pragma once
// One monitor record in full: its fields one per label and the frame split into header,
// length, data and CRC by the record's kind. Modal; changes nothing.
#include <wx/dialog.h>

#include "monitor/MonitorRing.h"

class wxStaticText;
class wxTextCtrl;

enum DetailControlId : int {
    IDD_DIALOG_SHOW_DETAIL = 166,
    IDC_DETAIL_SEQUENCE = 1283,
    IDC_DETAIL_DIRECTION = 1284,
    IDC_DETAIL_BUS = 1285,
    IDC_DETAIL_HEADER = 1007,
    IDC_DETAIL_DLC = 1286,
    IDC_DETAIL_CRC = 1287,
    IDC_DETAIL_DATA = 1011,
};

class CDialogShowMessageDetail : public wxDialog {
public:
    CDialogShowMessageDetail(wxWindow* parent, const MonitorRecord& record);

    const MonitorRecord& Record() const { return m_Record; }
    // The text a field shows, by its control id (empty for an unknown id).
    wxString FieldText(int controlId) const;

private:
    void ShowRecord();

    MonitorRecord m_Record;
    wxStaticText* m_Sequence;
    wxStaticText* m_Direction;
    wxStaticText* m_Bus;
    wxStaticText* m_Header;
    wxStaticText* m_Dlc;
    wxStaticText* m_Crc;
    wxTextCtrl* m_Data;
};

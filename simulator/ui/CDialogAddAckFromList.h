#pragma once
// "Load Data From ItemList": a range of monitor rows into an ACK and Message1 (MonitorImport).
#include <wx/dialog.h>

#include "simulator/MonitorImport.h"

class wxChoice;
class wxTextCtrl;

class CDialogAddAckFromList : public wxDialog {
public:
    explicit CDialogAddAckFromList(wxWindow* parent);

    void OnBnClickedOk();
    const ImportState& State() const { return m_State; }

    wxTextCtrl* m_From = nullptr;
    wxTextCtrl* m_To = nullptr;
    wxChoice* m_AckCount = nullptr;

private:
    ImportState m_State;
};

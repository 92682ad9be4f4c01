#pragma once
#include <wx/dialog.h>

// The about box: name and version, one button.
class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);
};

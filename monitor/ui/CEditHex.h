#pragma once
// An edit field for hexadecimal text: only hex digits and a few editing characters can be
// typed, and a-f arrive as A-F. Navigation keys work as usual; pasted text is not filtered.
#include <wx/textctrl.h>

class CEditHex : public wxTextCtrl {
public:
    CEditHex(wxWindow* parent, wxWindowID id, const wxString& value = wxString(),
             const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
             long style = 0);

    // The character filter; public so a test can feed it key events.
    void OnChar(wxKeyEvent& event);
};

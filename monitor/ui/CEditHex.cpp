#include "monitor/ui/CEditHex.h"

#include "monitor/HexText.h"

CEditHex::CEditHex(wxWindow* parent, wxWindowID id, const wxString& value, const wxPoint& pos,
                   const wxSize& size, long style)
    : wxTextCtrl(parent, id, value, pos, size, style) {
    Bind(wxEVT_CHAR, &CEditHex::OnChar, this);
}

void CEditHex::OnChar(wxKeyEvent& event) {
    const int unicode = static_cast<int>(event.GetUnicodeKey());
    const int key = event.GetKeyCode();
    // Keys that are not characters, and Tab and Delete (which wx delivers as characters), keep
    // their usual meaning: moving and deleting must work in every field.
    if (unicode == WXK_NONE || key == WXK_TAB || key == WXK_DELETE || key >= WXK_START ||
        event.AltDown()) {
        event.Skip();
        return;
    }
    if (!CEditHexAcceptsChar(unicode)) return;
    const int shown = CEditHexTransformChar(unicode);
    // Writing the upper-case letter ourselves would get past a read-only field.
    if (shown != unicode && IsEditable()) {
        WriteText(wxString(static_cast<wxChar>(shown)));
        return;
    }
    event.Skip();
}

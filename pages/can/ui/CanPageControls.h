#pragma once
// The controls a CAN page window keeps by id: their builders, the one-line bindings its
// handlers use, and what every CAN window does alike at Start, Stop and close. Programmatic
// writes go through Show (ChangeValue), so they never run a handler.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "pages/can/CanPageOps.h"
#include "pages/can/ui/CanPageLayout.h"
#include "pages/shared/ui/PageWindow.h"
#include "pages/shared/PageStatus.h"

class CDialogMainA;
class wxFlexGridSizer;
class wxSizer;
class wxTopLevelWindow;
class wxWindow;

struct CanPageControls {
    // The edits and buttons are the window's own maps (PageDialog's).
    CanPageControls(std::map<int, wxTextCtrl*>& e, std::map<int, wxButton*>& b) : edits(e), buttons(b) {}
    std::map<int, wxTextCtrl*>& edits;
    std::map<int, wxButton*>& buttons;
    std::map<int, wxChoice*> choices;
    std::map<int, wxCheckBox*> checks;
    std::map<int, wxStaticText*> labels;

    wxTextCtrl* Edit(int id) const { return edits.at(id); }
    std::string Text(int id) const { return Edit(id)->GetValue().utf8_string(); }
    void Show(int id, const std::string& text) const { Edit(id)->ChangeValue(wxString::FromUTF8(text)); }
    void ShowLabel(int id, const std::string& text) const { labels.at(id)->SetLabel(wxString::FromUTF8(text)); }

    // Builders: each control is kept under its id. Hex edits are CEditHex; limit 0 is none.
    wxTextCtrl* NewEdit(wxWindow* parent, int id, bool hex, int width, unsigned limit = 0, long style = 0);
    wxTextCtrl* NewDisplay(wxWindow* parent, int id, int width);
    wxCheckBox* NewCheck(wxWindow* parent, int id, const char* text);
    wxButton* NewButton(wxWindow* parent, int id, const char* text);
    static wxStaticText* NewLabel(wxWindow* parent, const char* text);
    wxChoice* NewIndexChoice(wxWindow* parent, int id);  // "0".."7"
    void AddIndexChoiceRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, int id);
    // A label, its edit and the unit in one grid row.
    void AddRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, int id, bool hex, int width,
                unsigned limit, const char* unit = nullptr);

    // A handler's rewrite and message into edit id; the messages are plain boxes with the
    // default caption.
    void Apply(int id, const PageEditResult& result) const;
    void OnButton(int id, std::function<void()> handler) const {
        buttons.at(id)->Bind(wxEVT_BUTTON, [handler](wxCommandEvent&) { handler(); });
    }
    void OnText(int id, std::function<void()> handler) const {
        OnEditText(Edit(id), std::move(handler));
    }
    void OnLeave(int id, std::function<void()> handler) const {
        Edit(id)->Bind(wxEVT_KILL_FOCUS, [handler](wxFocusEvent& event) {
            event.Skip();
            handler();
        });
    }
    void OnCheck(int id, std::function<void(bool)> handler) const {
        wxCheckBox* box = checks.at(id);
        box->Bind(wxEVT_CHECKBOX, [box, handler](wxCommandEvent&) { handler(box->GetValue()); });
    }
    void OnChoice(int id, std::function<void(unsigned)> handler) const {
        wxChoice* choice = choices.at(id);
        choice->Bind(wxEVT_CHOICE, [choice, handler](wxCommandEvent&) {
            handler(static_cast<unsigned>(std::max(0, choice->GetSelection())));
        });
    }
};

// The left column of a page that runs one protocol: the head panel (all four PTYPE items) over
// the filter grid with its 29-bit or its 11-bit edits.
void AddOneProtocolHeadColumn(wxWindow* parent, wxSizer* columns, bool with29, CanHeadControls& head,
                              CanFilterGridControls& filters);

// Binds the head panel and the filter grid to a page that runs one protocol (its PTYPE choice
// is shown, never changed); field messages are plain boxes with the default caption. Without
// opChecks the "OP0E Enable" / "OP1E Enable" checks change nothing (the TP2.0 page).
template <class Page>
void BindOneProtocolHead(Page& page, CanHeadControls& head, CanFilterGridControls& filters, bool opChecks = true) {
    CanHeadBinding b;
    b.head = [&page]() -> CanRegisterImage& { return page.EditHead(); };
    b.selectBaud = [&page](size_t row) { return page.SelectBaud(row); };
    b.setProtocolBit = [&page, opChecks](uint8_t mask, bool on) {
        if (opChecks || mask == kCproconEnable) page.SetProtocolBit(mask, on);
    };
    b.setPtype = [](unsigned) {};
    b.apply = [](wxTextCtrl* edit, const PageEditResult& r) {
        ApplyEditResult(edit, r, std::string(), platform::MessageIcon::None);
    };
    BindCanHead(head, b);
    BindCanFilterGrid(filters, b);
}

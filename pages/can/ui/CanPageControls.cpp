#include "pages/can/ui/CanPageControls.h"

#include <wx/sizer.h>
#include <wx/toplevel.h>

#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CEditHex.h"
#include "monitor/ui/DialogHubPage.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/ui/WxText.h"

wxTextCtrl* CanPageControls::NewEdit(wxWindow* parent, int id, bool hex, int width, unsigned limit, long style) {
    wxTextCtrl* e = hex ? new CEditHex(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1), style)
                        : new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1), style);
    if (limit) e->SetMaxLength(limit);
    return edits[id] = e;
}

wxTextCtrl* CanPageControls::NewDisplay(wxWindow* parent, int id, int width) {
    return NewEdit(parent, id, false, width, 0, wxTE_READONLY);
}

wxCheckBox* CanPageControls::NewCheck(wxWindow* parent, int id, const char* text) {
    return checks[id] = new wxCheckBox(parent, id, U8(text));
}

wxButton* CanPageControls::NewButton(wxWindow* parent, int id, const char* text) {
    return buttons[id] = new wxButton(parent, id, U8(text));
}

wxStaticText* CanPageControls::NewLabel(wxWindow* parent, const char* text) {
    return new wxStaticText(parent, wxID_ANY, U8(text));
}

wxChoice* CanPageControls::NewIndexChoice(wxWindow* parent, int id) {
    return choices[id] = NewChoice(parent, id, {"0", "1", "2", "3", "4", "5", "6", "7"});
}

void CanPageControls::AddIndexChoiceRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, int id) {
    grid->Add(new wxStaticText(parent, wxID_ANY, U8(label)), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(NewIndexChoice(parent, id));
}

void CanPageControls::AddRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, int id, bool hex,
                             int width, unsigned limit, const char* unit) {
    edits[id] = AddFieldRow(parent, grid, label, id, hex, width, unit);
    if (limit) edits[id]->SetMaxLength(limit);
}

void CanPageControls::Apply(int id, const PageEditResult& result) const {
    ApplyEditResult(Edit(id), result, std::string(), platform::MessageIcon::None);
}

void AddOneProtocolHeadColumn(wxWindow* parent, wxSizer* columns, bool with29, CanHeadControls& head,
                              CanFilterGridControls& filters) {
    auto* left = new wxBoxSizer(wxVERTICAL);
    columns->Add(left, 0, wxEXPAND | wxRIGHT, 6);
    left->Add(NewCanHeadPanel(parent, {"000 ISO15765 STD ADDR", "001 ISO15765 EXT ADDR", "010 J1939", "011 TP2.0"}, head),
              0, wxEXPAND | wxBOTTOM, kPageLayoutGap);
    left->Add(NewCanFilterGrid(parent, with29, !with29, filters), 0, wxEXPAND);
}


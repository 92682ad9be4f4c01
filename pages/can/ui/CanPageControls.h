#pragma once
// The controls a CAN page window keeps by id, with the one-line bindings its handlers use.
// Programmatic writes go through Show (ChangeValue), so they never run a handler.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "pages/shared/PageStatus.h"

struct CanPageControls {
    std::map<int, wxTextCtrl*> edits;
    std::map<int, wxButton*> buttons;
    std::map<int, wxChoice*> choices;
    std::map<int, wxCheckBox*> checks;
    std::map<int, wxStaticText*> labels;

    wxTextCtrl* Edit(int id) const { return edits.at(id); }
    std::string Text(int id) const { return Edit(id)->GetValue().utf8_string(); }
    void Show(int id, const std::string& text) const { Edit(id)->ChangeValue(wxString::FromUTF8(text)); }
    void ShowLabel(int id, const std::string& text) const { labels.at(id)->SetLabel(wxString::FromUTF8(text)); }

    void OnButton(int id, std::function<void()> handler) const {
        buttons.at(id)->Bind(wxEVT_BUTTON, [handler](wxCommandEvent&) { handler(); });
    }
    void OnText(int id, std::function<void()> handler) const {
        Edit(id)->Bind(wxEVT_TEXT, [handler](wxCommandEvent&) { handler(); });
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

#pragma once
// What a window shows a user, control by control in the order they were made: captions,
// labels, edit texts, choices with their items, checks, radios, buttons and list headings,
// each with its id and whether it is enabled. A test compares it with a literal table.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <algorithm>
#include <string>
#include <vector>

namespace snapshot_detail {

inline std::string Id(wxWindow* w) { return w->GetId() >= 0 ? std::to_string(w->GetId()) : "~"; }
inline std::string Off(wxWindow* w) { return w->IsThisEnabled() ? "" : " [off]"; }

inline void Walk(wxWindow* w, std::vector<std::string>& out) {
    auto u8 = [](const wxString& s) { return s.utf8_string(); };
    if (auto* b = dynamic_cast<wxStaticBox*>(w)) {
        out.push_back("box " + u8(b->GetLabel()));
    } else if (auto* t = dynamic_cast<wxStaticText*>(w)) {
        if (!t->GetLabel().empty() || t->GetId() >= 0) out.push_back("text " + Id(w) + " " + u8(t->GetLabel()));
    } else if (auto* b = dynamic_cast<wxButton*>(w)) {
        out.push_back("button " + Id(w) + " " + u8(b->GetLabel()) + Off(w));
    } else if (auto* e = dynamic_cast<wxTextCtrl*>(w)) {
        std::string value = u8(e->GetValue());
        for (size_t at; (at = value.find('\n')) != std::string::npos;) value.replace(at, 1, "\\n");
        out.push_back("edit " + Id(w) + " \"" + value + "\"" + (e->IsEditable() ? "" : " [ro]") + Off(w));
        return;
    } else if (auto* c = dynamic_cast<wxChoice*>(w)) {
        std::string items;
        for (unsigned i = 0; i < c->GetCount(); ++i) items += (i ? "|" : "") + u8(c->GetString(i));
        out.push_back("choice " + Id(w) + " " + std::to_string(c->GetSelection()) + " of " + items + Off(w));
        return;
    } else if (auto* c = dynamic_cast<wxCheckBox*>(w)) {
        out.push_back("check " + Id(w) + " " + u8(c->GetLabel()) + (c->GetValue() ? " =1" : " =0") + Off(w));
    } else if (auto* r = dynamic_cast<wxRadioButton*>(w)) {
        out.push_back("radio " + Id(w) + " " + u8(r->GetLabel()) + (r->GetValue() ? " =1" : " =0") + Off(w));
    } else if (auto* l = dynamic_cast<wxListCtrl*>(w)) {
        std::string heads;
        for (int i = 0; i < l->GetColumnCount(); ++i) {
            wxListItem item;
            item.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_WIDTH);
            l->GetColumn(i, item);
            heads += (i ? "|" : "") + u8(item.GetText()) + ":" + std::to_string(item.GetWidth());
        }
        out.push_back("list " + Id(w) + " " + heads + " rows " + std::to_string(l->GetItemCount()) + Off(w));
        return;
    } else if (auto* l = dynamic_cast<wxListBox*>(w)) {
        out.push_back("listbox " + Id(w) + " rows " + std::to_string(l->GetCount()) +
                      (l->GetCount() ? " first " + u8(l->GetString(0)) : std::string()) + Off(w));
        return;
    }
    for (wxWindow* child : w->GetChildren())
        if (!child->IsTopLevel()) Walk(child, out);
}

}  // namespace snapshot_detail

// The window as lines; with enabledOnly, only the ids and enable state of its controls.
inline std::string Snapshot(wxWindow* window) {
    std::vector<std::string> lines;
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(window)) lines.push_back("title " + top->GetTitle().utf8_string());
    for (wxWindow* child : window->GetChildren())
        if (!child->IsTopLevel()) snapshot_detail::Walk(child, lines);
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The enabled controls that have an id, as "id id id ...": what a user can operate now.
inline std::string EnabledIds(wxWindow* window) {
    std::string ids;
    std::vector<wxWindow*> stack(window->GetChildren().begin(), window->GetChildren().end());
    std::vector<int> on;
    while (!stack.empty()) {
        wxWindow* w = stack.back();
        stack.pop_back();
        if (w->IsTopLevel()) continue;
        if (w->GetId() >= 0 && w->IsEnabled() && !dynamic_cast<wxStaticText*>(w) && !dynamic_cast<wxStaticBox*>(w)) on.push_back(w->GetId());
        for (wxWindow* c : w->GetChildren()) stack.push_back(c);
    }
    std::sort(on.begin(), on.end());
    on.erase(std::unique(on.begin(), on.end()), on.end());
    for (int id : on) ids += (ids.empty() ? "" : " ") + std::to_string(id);
    return ids;
}

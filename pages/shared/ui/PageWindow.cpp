#include "pages/shared/ui/PageWindow.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/eventfilter.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <algorithm>
#include <vector>

#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CEditHex.h"
#include "platform/ui/OnTop.h"
#include "platform/ui/TextLimit.h"
#include "platform/ui/WxText.h"

wxFlexGridSizer* NewFieldGrid() { return new wxFlexGridSizer(2, kPageLayoutGap, 2 * kPageLayoutGap); }

wxTextCtrl* AddFieldRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, int id,
                        bool hex, int width, const char* unit) {
    grid->Add(new wxStaticText(parent, wxID_ANY, U8(label)), 0, wxALIGN_CENTER_VERTICAL);
    wxTextCtrl* edit =
        hex ? new CEditHex(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1))
            : new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1));
    if (!unit) {
        grid->Add(edit, 0, wxALIGN_CENTER_VERTICAL);
        return edit;
    }
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(edit, 0, wxALIGN_CENTER_VERTICAL);
    row->Add(new wxStaticText(parent, wxID_ANY, U8(unit)), 0, wxALIGN_CENTER_VERTICAL | wxLEFT,
             kPageLayoutGap);
    grid->Add(row, 0, wxALIGN_CENTER_VERTICAL);
    return edit;
}

wxChoice* NewChoice(wxWindow* parent, int id, std::initializer_list<const char*> items) {
    auto* choice = new wxChoice(parent, id);
    for (const char* item : items) choice->Append(U8(item));
    return choice;
}

void ShowLimitedText(wxTextCtrl* edit, unsigned limit, const std::string& text) {
    const wxString shown = U8(text);
    edit->SetEvtHandlerEnabled(false);
    edit->SetMaxLength(0);
    edit->ChangeValue(shown);
    // GTK cuts a text longer than a new limit: such a text keeps its length as the limit.
    edit->SetMaxLength(std::max<unsigned long>(limit, shown.length()));
    edit->SetEvtHandlerEnabled(true);
}

void KeepLimitWhileTyping(wxTextCtrl* edit, unsigned limit) {
    edit->SetMaxLength(limit);
    // Typing and pasting alike: a text that fits gets the limit back, and a longer one is
    // never cut.
    platform::HoldTextLimit(edit, limit);
}

namespace {

// The edits whose change handlers are running now (nested when a handler changes another
// edit through SetValue).
std::vector<const wxTextCtrl*>& EditsInTheirTextEvent() {
    static std::vector<const wxTextCtrl*> edits;
    return edits;
}

}  // namespace

void PlacePageWindow(wxTopLevelWindow* window, wxWindow* hub) {
    platform::MakeIndependentWindow(window);
    CentreOverMainWindow(window, hub);
}

void CentreOverMainWindow(wxWindow* window, wxWindow* hub) {
    wxWindow* main = hub ? wxGetTopLevelParent(hub) : nullptr;
    if (main)
        platform::CentreOver(window, main);
    else
        window->Centre();
}

namespace {

// Space and Enter on the control the program moved the focus to do nothing, as on the
// disabled button the user pressed, until the focus leaves it or it is clicked: a keyboard
// user who started a page with Space and presses it again must not stop it. Esc reaches the
// window (it comes as the window's char hook), and Tab moves on as usual.
class MovedFocusGuard : public wxEventFilter {
public:
    static MovedFocusGuard& Instance() {
        // Never destroyed: the toolkit holds filters until the program ends.
        static MovedFocusGuard* guard = [] {
            auto* g = new MovedFocusGuard;
            wxEvtHandler::AddFilter(g);
            return g;
        }();
        return *guard;
    }
    void Guard(wxWindow* window) { guarded_ = window; }

    int FilterEvent(wxEvent& event) override {
        if (!guarded_ || event.GetEventObject() != guarded_) return Event_Skip;
        const wxEventType type = event.GetEventType();
        if (type == wxEVT_KILL_FOCUS || type == wxEVT_LEFT_DOWN || type == wxEVT_DESTROY) {
            guarded_ = nullptr;
            return Event_Skip;
        }
        if (type != wxEVT_KEY_DOWN && type != wxEVT_KEY_UP && type != wxEVT_CHAR) return Event_Skip;
        const int key = static_cast<wxKeyEvent&>(event).GetKeyCode();
        const bool activates = key == WXK_SPACE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER ||
                               key == WXK_NUMPAD_SPACE;
        return activates ? Event_Processed : Event_Skip;
    }

private:
    wxWindow* guarded_ = nullptr;
};

}  // namespace

void KeepFocusInWindow(wxWindow* window, wxWindow* focusBefore, std::initializer_list<wxWindow*> next) {
    if (!focusBefore || wxGetTopLevelParent(focusBefore) != window || focusBefore->IsEnabled()) return;
    for (wxWindow* candidate : next)
        if (candidate && candidate->IsEnabled()) {
            candidate->SetFocus();
            MovedFocusGuard::Instance().Guard(candidate);
            return;
        }
    window->SetFocus();
}

wxWindow* ListRowWindow(wxListCtrl* list) {
    // The generic list makes its row window first, then the header.
    return list->GetChildren().empty() ? list : list->GetChildren().front();
}

void OnListRowClick(wxListCtrl* list, std::function<void(long row)> handler) {
    ListRowWindow(list)->Bind(wxEVT_LEFT_UP, [list, handler](wxMouseEvent& event) {
        event.Skip();
        int flags = 0;
        const long row = list->HitTest(event.GetPosition(), flags);
        if (row != wxNOT_FOUND) list->CallAfter([handler, row] { handler(row); });
    });
}

void OnEditText(wxTextCtrl* edit, std::function<void()> handler) {
    edit->Bind(wxEVT_TEXT, [edit, handler](wxCommandEvent&) {
        EditsInTheirTextEvent().push_back(edit);
        struct Pop {
            ~Pop() { EditsInTheirTextEvent().pop_back(); }
        } pop;
        handler();
    });
}

void AfterOwnTextEvent(wxTextCtrl* edit, std::function<void()> work) {
    const auto& inside = EditsInTheirTextEvent();
    if (std::find(inside.begin(), inside.end(), edit) == inside.end()) {
        work();
        return;
    }
    // Dropped with the edit if it goes first.
    edit->CallAfter(std::move(work));
}

void OnEditLeft(wxTextCtrl* edit, std::function<void()> handler) {
    edit->Bind(wxEVT_KILL_FOCUS, [handler](wxFocusEvent& event) {
        event.Skip();
        handler();
    });
}

void ApplyEditResult(wxTextCtrl* edit, const PageEditResult& result, const std::string& caption,
                     platform::MessageIcon icon, unsigned limit) {
    if (!result.rewrite && result.message.empty()) return;
    AfterOwnTextEvent(edit, [edit, result, caption, icon, limit] {
        if (result.rewrite) {
            // Neither way runs the handler (and its message) a second time.
            if (limit)
                ShowLimitedText(edit, limit, result.text);
            else
                edit->ChangeValue(U8(result.text));
            edit->SetInsertionPointEnd();
        }
        if (!result.message.empty()) platform::ShowMessage(result.message, caption, icon);
    });
}

void ShowFieldEdit(wxTextCtrl* edit, const PageEditResult& result, const std::string& caption) {
    ApplyEditResult(edit, result, caption, platform::MessageIcon::Exclamation);
}

bool StartedForPage(PageStartResult result, CDialogMainA* hub) {
    if (result != PageStartResult::Started && result != PageStartResult::Redownloaded) return false;
    if (hub) hub->StartMonitorTimer();
    return true;
}

bool PageMayClose(CDialogMainA* hub) { return !hub || hub->ConfirmPageClose(); }

wxBoxSizer* NewPageButtonRow(wxDialog* page,
                             std::initializer_list<std::pair<int, const char*>> buttons,
                             int exitId, std::map<int, wxButton*>& out) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (const auto& [id, caption] : buttons) {
        auto* button = new wxButton(page, id, U8(caption));
        out[id] = button;
        row->Add(button, 0, wxRIGHT, 6);
    }
    page->SetEscapeId(exitId);
    return row;
}

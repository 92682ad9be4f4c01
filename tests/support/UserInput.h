#pragma once
// Drives a window's controls the way a user does, through the events the toolkit would send:
// keys typed one by one into an edit (the character filter sees each, the edit inserts what
// it lets through at the caret, under its length limit), pasting, leaving an edit, choosing,
// checking and clicking. GUI tests only.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/scrolbar.h>
#include <wx/textctrl.h>

#include <string>

#include "tests/support/GuiPump.h"

// One key: the character filter first; a key it lets through is inserted at the caret. The
// edit's own change handler runs inside the insertion, as it does on GTK.
inline void TypeKey(wxTextCtrl* edit, wxChar key) {
    wxKeyEvent event(wxEVT_CHAR);
    event.m_keyCode = key < 128 ? static_cast<int>(key) : static_cast<int>(WXK_NONE);
    event.m_uniChar = key;
    event.SetEventObject(edit);
    event.SetId(edit->GetId());
    if (edit->GetEventHandler()->ProcessEvent(event)) return;  // taken by the filter
    if (key == WXK_BACK) {
        long from = 0, to = 0;
        edit->GetSelection(&from, &to);
        if (from == to && from > 0) --from;
        if (from != to) edit->Remove(from, to);
        return;
    }
    edit->WriteText(wxString(key));
}

// Types the text key by key (UTF-8), then lets deferred work of the handlers run.
inline void TypeText(wxTextCtrl* edit, const std::string& text) {
    for (wxChar key : wxString::FromUTF8(text)) TypeKey(edit, key);
    PumpPending();
}

// Selects everything in the edit and types over it.
inline void Retype(wxTextCtrl* edit, const std::string& text) {
    edit->SetFocus();
    edit->SelectAll();
    if (!text.empty()) {
        TypeText(edit, text);
        return;
    }
    TypeKey(edit, WXK_BACK);
    PumpPending();
}

// Puts the text on the clipboard and pastes it over the edit's selection (at its caret without
// one) as Ctrl+V and the edit's menu do: wx's Paste emits the entry's "paste-clipboard", and
// GTK inserts when the clipboard's text arrives. Every paste here changes the edit's text,
// which is how the test knows it has arrived.
inline void Paste(wxTextCtrl* edit, const std::string& text) {
    ASSERT_TRUE(wxTheClipboard->Open());
    ASSERT_TRUE(wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text))));
    wxTheClipboard->Close();
    const wxString before = edit->GetValue();
    edit->Paste();
    ASSERT_TRUE(PumpUntil([&] { return edit->GetValue() != before; })) << "pasted: " << text;
    PumpPending();
    // The clipboard gives its text up (wx frees it then), as the next copy would.
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->Clear();
    wxTheClipboard->Close();
}

// Focus goes elsewhere: the edit's leave handler runs.
inline void Leave(wxTextCtrl* edit) {
    wxFocusEvent event(wxEVT_KILL_FOCUS, edit->GetId());
    event.SetEventObject(edit);
    edit->GetEventHandler()->ProcessEvent(event);
    PumpPending();
}

inline void Choose(wxChoice* choice, int row) {
    ASSERT_NE(choice, nullptr);
    ASSERT_TRUE(choice->IsEnabled());
    choice->SetSelection(row);
    wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
    event.SetEventObject(choice);
    event.SetInt(row);
    choice->GetEventHandler()->ProcessEvent(event);
    PumpPending();
}

inline void SetCheck(wxCheckBox* check, bool on) {
    ASSERT_NE(check, nullptr);
    ASSERT_TRUE(check->IsEnabled());
    check->SetValue(on);
    wxCommandEvent event(wxEVT_CHECKBOX, check->GetId());
    event.SetEventObject(check);
    event.SetInt(on);
    check->GetEventHandler()->ProcessEvent(event);
    PumpPending();
}

inline void Pick(wxRadioButton* radio) {
    ASSERT_NE(radio, nullptr);
    ASSERT_TRUE(radio->IsEnabled());
    radio->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
    event.SetEventObject(radio);
    event.SetInt(1);
    radio->GetEventHandler()->ProcessEvent(event);
    PumpPending();
}

// A click on an enabled button; a disabled one cannot be clicked.
inline void Press(wxButton* button) {
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->IsEnabled()) << button->GetLabel().utf8_string();
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
    PumpPending();
}

// Esc pressed in the window, as the toolkit sends it to the focused control: nothing happens
// when no control of the window has the focus. pump false: the Esc may end a modal loop, after
// which there is no loop to pump.
inline bool PressEscape(wxWindow* window, bool pump = true) {
    wxWindow* focus = wxWindow::FindFocus();
    if (!focus || wxGetTopLevelParent(focus) != window) return false;
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = WXK_ESCAPE;
    event.SetEventObject(focus);
    focus->GetEventHandler()->ProcessEvent(event);
    if (pump) PumpPending();
    return true;
}

// A click on a scroll bar's arrow or trough (wxEVT_SCROLL_LINEDOWN, _PAGEUP, ...), or its thumb
// dragged to position and let go (wxEVT_SCROLL_THUMBTRACK), as the toolkit reports them.
inline void ScrollBy(wxScrollBar* bar, wxEventType type, int position = -1) {
    ASSERT_NE(bar, nullptr);
    const auto send = [&](wxEventType t, int at) {
        wxScrollEvent event(t, bar->GetId(), at, bar->IsVertical() ? wxVERTICAL : wxHORIZONTAL);
        event.SetEventObject(bar);
        bar->GetEventHandler()->ProcessEvent(event);
    };
    if (type == wxEVT_SCROLL_THUMBTRACK) {
        send(wxEVT_SCROLL_THUMBTRACK, position);
        send(wxEVT_SCROLL_THUMBRELEASE, position);
    } else {
        send(type, bar->GetThumbPosition());
    }
    PumpPending();
}

// A click on a row of a report list, where the user would click it.
inline void ClickListRow(wxListCtrl* list, long row) {
    ASSERT_NE(list, nullptr);
    list->EnsureVisible(row);
    PumpPending();
    wxRect rect;
    ASSERT_TRUE(list->GetItemRect(row, rect));
    wxWindow* rows = list->GetChildren().front();
    const wxPoint at(rect.x + 5, rect.y + rect.height / 2 - rows->GetPosition().y);
    for (wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetEventObject(rows);
        rows->GetEventHandler()->ProcessEvent(event);
    }
    PumpPending();
}

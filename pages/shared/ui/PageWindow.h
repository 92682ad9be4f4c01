#pragma once
// The window glue every page family uses: labelled edits in grids, choices, edit handlers and
// their results, the caption and run buttons by the device status, Start's hub timer, Exit
// that the hub may refuse, and the page's button row.
#include <wx/dialog.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "pages/shared/PageOps.h"
#include "pages/shared/PageStatus.h"
#include "platform/Message.h"

class CDialogMainA;
class wxBoxSizer;
class wxButton;
class wxChoice;
class wxDialog;
class wxFlexGridSizer;
class wxListCtrl;
class wxTextCtrl;
class wxTopLevelWindow;
class wxWindow;

constexpr int kPageLayoutGap = 4;

// Two columns: labels, then edits.
wxFlexGridSizer* NewFieldGrid();

// A label and its edit in one grid row, the unit after the edit; hex edits are CEditHex.
wxTextCtrl* AddFieldRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, int id,
                        bool hex, int width, const char* unit = nullptr);

wxChoice* NewChoice(wxWindow* parent, int id, std::initializer_list<const char*> items);

// A page window is a top-level window of its own: no owner that the window manager keeps it
// above, so the main window can be raised over it. The hub still opens, refreshes and
// destroys it.
constexpr long kPageWindowStyle = wxDEFAULT_DIALOG_STYLE | wxMINIMIZE_BOX | wxDIALOG_NO_PARENT;
// Centres the window over the main window that holds the hub (on the screen without one),
// kept on that screen.
void CentreOverMainWindow(wxWindow* window, wxWindow* hub);
// A page window before it is first shown: an ordinary window of its own (the window manager
// stacks it among the program's windows as the user raises them, dialogs and boxes above),
// centred over the main window.
void PlacePageWindow(wxTopLevelWindow* window, wxWindow* hub);

// Shows a field handler's result: the text written back (without running the edit's handler
// again) and the message with the page's caption and icon. An edit with a length limit names
// it, so the text written back is not cut by it.
void ApplyEditResult(wxTextCtrl* edit, const PageEditResult& result, const std::string& caption,
                     platform::MessageIcon icon, unsigned limit = 0);

// A field handler's result as the family's pages show it: exclamation icon, the caption given
// (empty: the program's title).
void ShowFieldEdit(wxTextCtrl* edit, const PageEditResult& result,
                   const std::string& caption = std::string());

// Shows text in an edit under a new length limit. Neither the limit nor the text runs the
// edit's handler, and the limit never cuts the text (GTK cuts what is longer, and tells the
// edit's handler so, which would store the cut value): a longer text is shown whole, and
// typing cannot lengthen it.
void ShowLimitedText(wxTextCtrl* edit, unsigned limit, const std::string& text);
// The edit's limit for what the user types or pastes, also while it shows a longer text that
// ShowLimitedText showed: the text grows past neither the limit nor its own length.
void KeepLimitWhileTyping(wxTextCtrl* edit, unsigned limit);

// An edit's handler for every change of its text, and for leaving it (focus goes elsewhere).
// While the change handler runs, the toolkit is still inside the edit's insertion: what the
// handler writes back into that edit, and any message box it opens, must wait until the
// event has returned (AfterOwnTextEvent); GTK crashes on a long insertion otherwise.
void OnEditText(wxTextCtrl* edit, std::function<void()> handler);
// Runs work now, or, while the edit's own change handler runs, right after its event.
void AfterOwnTextEvent(wxTextCtrl* edit, std::function<void()> work);
void OnEditLeft(wxTextCtrl* edit, std::function<void()> handler);

// After a Start the hub's monitor timer runs; true when a worker runs for the page now (the
// page refreshes its status).
bool StartedForPage(PageStartResult result, CDialogMainA* hub);
// Exit: the hub refuses while a worker runs, else re-enables its buttons.
bool PageMayClose(CDialogMainA* hub);

// A click on a row of a report list: handler(row) once the click is over, also for the row
// already selected. A selection the program makes is no click and calls nothing.
void OnListRowClick(wxListCtrl* list, std::function<void(long row)> handler);
// The list's window that holds the rows (and gets their clicks), below its header.
wxWindow* ListRowWindow(wxListCtrl* list);

// Disabling the control that has the focus (the button just clicked) leaves GTK's focus
// nowhere, and Esc would reach nothing. Called with FindFocus() from before the controls were
// enabled or disabled: when that control is in the window and now disabled, the first enabled
// of next (else the window itself) takes the focus. Space and Enter on it do nothing until the
// focus leaves it or it is clicked, as they did on the disabled control; Esc still works.
void KeepFocusInWindow(wxWindow* window, wxWindow* focusBefore, std::initializer_list<wxWindow*> next);

// The page's buttons in one row, in order, into out by id. Esc presses the exit button ("退出"),
// whose id is not wx's cancel id.
wxBoxSizer* NewPageButtonRow(wxDialog* page,
                             std::initializer_list<std::pair<int, const char*>> buttons,
                             int exitId, std::map<int, wxButton*>& out);

#pragma once
// Where the program's dialogs and boxes stand among its windows, under any X window manager
// that honours transient-for and the window group.
//
// Page windows are windows of their own (no owner), so the window manager may raise the main
// window over a page, or a page over the main window, whatever a dialog is up. The rules:
// - a modal dialog or box that opens over no other is transient for the program's whole
//   window group: the window manager keeps it above every window of the program, gives it the
//   focus whichever of them the user clicks or activates, and raises none of them with it;
// - a dialog or box that opens while a modal one is up is transient for that one, and takes
//   the clicks above it (it is made modal itself, as a box over a box is on Windows);
// - a modeless dialog or box is transient for the window that opened it;
// - when one closes, the window that opened it is raised and activated again.
// Each is presented (raised and activated) once it is on the screen.
#include <wx/toplevel.h>

namespace platform {

// Installs the rules for every dialog and box (every window but the pages, which are made
// ordinary windows below) and every window marked below. Once, after the toolkit started.
void InstallOnTopDialogs();

// A modeless box (a worker's message) that follows the same rules when shown.
void MarkOnTop(wxTopLevelWindow* window);

// Raises a shown window above the program's others again and activates it.
void PresentOnTop(wxTopLevelWindow* window);

// A page window: an ordinary top-level window of its own, which the main window can be raised
// over (a dialog without an owner would be kept above every window of the program).
void MakeIndependentWindow(wxTopLevelWindow* window);

// Moves the window so that it stands centred over `over`, wholly on the screen `over` is on.
void CentreOver(wxWindow* window, wxWindow* over);

// The window the user works in now, which a box the program shows without naming a window
// belongs to: the innermost modal window that is up, else the window active last, else the
// main window. Never a hidden one.
wxWindow* CurrentProgramWindow();

}  // namespace platform

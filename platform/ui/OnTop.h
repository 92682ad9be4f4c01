#pragma once
// Every modal dialog and message box of the program opens above every window of the program
// and active, whichever window opened it.
//
// Page windows are windows of their own (no owner), so a dialog owned by the main window
// could open under a page that covers it: modal, it would lock the program out of reach.
// When such a window is shown it is made transient for the program's window the user last
// worked in (the active one, else the one last active), which the window manager stacks it
// above, and it is presented (raised and activated) once it is on the screen.
#include <wx/toplevel.h>

namespace platform {

// Installs the rule for every dialog and box (every window but the pages, which are made
// ordinary windows below) and every window marked below. Once, after the toolkit started.
void InstallOnTopDialogs();

// A modeless box (a worker's message) that follows the same rule when shown.
void MarkOnTop(wxTopLevelWindow* window);

// Raises a shown window above the program's others again and activates it.
void PresentOnTop(wxTopLevelWindow* window);

// A page window: an ordinary top-level window of its own, which the main window can be raised
// over (a dialog without an owner would be kept above every window of the program).
void MakeIndependentWindow(wxTopLevelWindow* window);

}  // namespace platform

#pragma once
// What assistive technology is told of the program's own windows.
#include <wx/toplevel.h>

namespace platform {

// The window is an alert (a screen reader announces it as it opens, with its caption and
// text), as the toolkit's own message dialogs are.
void MakeAlert(wxTopLevelWindow* window);

}  // namespace platform

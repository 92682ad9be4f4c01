#pragma once
// Ends a dialog with a code whether it runs modally or is driven by a test without a loop.
#include <wx/dialog.h>

inline void EndSimDialog(wxDialog& dialog, int code) {
    if (dialog.IsModal())
        dialog.EndModal(code);
    else
        dialog.SetReturnCode(code);
}

#pragma once
// A title bar that shows a window's whole caption.
#include <wx/toplevel.h>

namespace platform {

// What a window manager's title bar takes besides the caption (icon, close button, padding).
constexpr int kTitleBarButtonsWidth = 120;

// The least width at which the window's title bar shows its whole caption.
inline int CaptionWidth(const wxTopLevelWindow* window) {
    return window->GetTextExtent(window->GetTitle()).x + kTitleBarButtonsWidth;
}

}  // namespace platform

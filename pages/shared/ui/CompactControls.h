#pragma once
// The theme's edits, choices and buttons are 34 pixels tall; the densest pages (the CAN family)
// would then stand taller than a 768-pixel laptop screen. A window marked here draws those
// controls with less padding above and below their text (24 pixels tall). Widths and texts stay
// the theme's.
class wxWindow;

// Call on the top-level window before its controls are made: their sizes are measured then.
void UseCompactControls(wxWindow* topLevel);

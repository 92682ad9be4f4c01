#pragma once
// Which step a wx scroll-bar event stands for, in the terms of HubScrollStep.
#include <wx/event.h>

#include "monitor/HubLayout.h"

HubScrollCode ScrollCodeOf(wxEventType type);

// Binds the scroll-bar events that move a position (lines, pages, the thumb) to handler.
template <typename Handler>
void BindScrollSteps(wxEvtHandler* bar, Handler handler) {
    for (const wxEventTypeTag<wxScrollEvent>& type : {wxEVT_SCROLL_LINEUP, wxEVT_SCROLL_LINEDOWN, wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN,
                             wxEVT_SCROLL_THUMBTRACK, wxEVT_SCROLL_THUMBRELEASE})
        bar->Bind(type, handler);
}

#include "monitor/ui/ScrollCode.h"

HubScrollCode ScrollCodeOf(wxEventType type) {
    if (type == wxEVT_SCROLL_LINEUP) return HubScrollCode::LineUp;
    if (type == wxEVT_SCROLL_LINEDOWN) return HubScrollCode::LineDown;
    if (type == wxEVT_SCROLL_PAGEUP) return HubScrollCode::PageUp;
    if (type == wxEVT_SCROLL_PAGEDOWN) return HubScrollCode::PageDown;
    if (type == wxEVT_SCROLL_THUMBTRACK) return HubScrollCode::ThumbTrack;
    if (type == wxEVT_SCROLL_THUMBRELEASE) return HubScrollCode::ThumbPosition;
    return HubScrollCode::Other;
}

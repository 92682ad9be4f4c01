#include "app/ResourceIds.h"

#include <wx/defs.h>

namespace {

struct IdMapping {
    int resourceId;
    int wxId;
};

// Open and Exit keep ids of their own: wx's stock ids would add Ctrl+O and Ctrl+Q, which the
// menu does not have.
constexpr IdMapping kHighIds[] = {
    {ID_CONNECT, 2771},          {ID_DISCONNECT, 2772},       {ID_OPEN_FILE, 2774},
    {ID_APP_ABOUT, wxID_ABOUT},  {ID_APP_EXIT, 2665},    {ID_VIEW_TOOLBAR, 2392},
    {ID_VIEW_STATUS_BAR, 2393},  {AFX_IDW_PANE_FIRST, 2648},
};

}  // namespace

int WxId(int resourceId) {
    for (const IdMapping& m : kHighIds)
        if (m.resourceId == resourceId) return m.wxId;
    return resourceId < 32767 ? resourceId : wxID_ANY;
}

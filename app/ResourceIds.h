#pragma once
// Command and window ids of the main frame. wx refuses ids of 32767 and above, so those of
// the menu, tool bar, status bar and view go through the one table in WxId.
enum ResourceId : int {
    IDR_MAINFRAME = 128,
    IDD_ABOUTBOX = 100,
    IDD_SELECT_DEVICE = 165,
    IDC_COMBO_DEVICE = 1026,
    ID_SAVE_TO_FILE = 3,
    ID_CLEAR_ITEMS = 4,
    ID_CONNECT = 32771,
    ID_DISCONNECT = 32772,
    ID_OPEN_FILE = 32774,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    AFX_IDW_PANE_FIRST = 59648,
};

// The wx id for a resource id: the id itself below 32767, else its entry in the table.
int WxId(int resourceId);

#pragma once
// The monitor list: one page of the ring, one row per record, eight columns. Not a virtual
// list: each refresh writes the visible rows' texts and colours into ordinary items, so it
// never holds more than one page (at most 256 rows).
#include <wx/listctrl.h>

#include <memory>

#include "monitor/RecordFormat.h"

class CDialogMainA;
class CDialogShowMessageDetail;

struct MonitorColumnSpec {
    const char* title;  // UTF-8
    int width;
    wxListColumnFormat align;
};
extern const MonitorColumnSpec g_MonitorColumnTitles[kMonitorColumnCount];

class CListMessage : public wxListCtrl {
public:
    // Resets the monitor ring: the list's creation is the program's start-up reset.
    CListMessage(CDialogMainA* hub, wxWindowID id);

    // Removes every column and inserts the eight monitor columns.
    void InitColumns();

    // Rewrites the visible page from the ring (clamping g_MonitorTop to the last full page).
    void RefreshPage();

    // The height of one row as drawn with the list's font (0 when it cannot be measured).
    // Call while the list is empty.
    int MeasureRowPixels();

    // The detail dialog for a row's record (by its sequence text), not yet shown; nullptr
    // when the row does not exist.
    std::unique_ptr<CDialogShowMessageDetail> BuildDetailDialog(long row);
    // A double click on a row: its record in the detail dialog, modal.
    void OnNMDblclk(long row);

private:
    void OnLeftDoubleClick(wxMouseEvent& event);
    void OnMouseWheel(wxMouseEvent& event);

    CDialogMainA* m_pHub;
    MonitorPage m_Page;
};

#include "pages/j1850/ui/CListSectorLock.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

namespace {
const char* const kTitles[kJ1850GridColumns] = {"X", "P", "P", "P", "H", "K", "Y", "Z", "Z"};
}

CListSectorLock::CListSectorLock(wxWindow* parent, wxWindowID id)
    : wxControl(parent, id, wxDefaultPosition, wxDefaultSize, wxBORDER_SIMPLE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_Cells = J1850GridOf(0, false);
    Bind(wxEVT_PAINT, &CListSectorLock::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CListSectorLock::OnLeftDown, this);
    SetInitialSize(DoGetBestSize());
}

int CListSectorLock::RowHeight() const { return GetCharHeight() + 6; }

wxSize CListSectorLock::DoGetBestSize() const {
    // Column 0 has width 0; the border adds its own pixels.
    return wxSize(kColumnWidth * static_cast<int>(kJ1850GridColumns - 1) + 2, 2 * RowHeight() + 2);
}

void CListSectorLock::SetCells(const J1850GridCells& cells) {
    m_Cells = cells;
    Refresh();
}

size_t CListSectorLock::ColumnAt(int x) const {
    if (x < 0) return 0;
    const size_t column = static_cast<size_t>(x / kColumnWidth) + 1;
    return column < kJ1850GridColumns ? column : 0;
}

void CListSectorLock::OnNMClick(size_t column) {
    if (!IsEnabled() || column == 0) return;
    const uint8_t byte = J1850GridToggle(m_Cells, column);
    Refresh();
    if (m_OnByteChanged) m_OnByteChanged(byte);
}

void CListSectorLock::OnLeftDown(wxMouseEvent& event) { OnNMClick(ColumnAt(event.GetX())); }

void CListSectorLock::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    const bool enabled = IsEnabled();
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(enabled ? wxSYS_COLOUR_WINDOW
                                                                 : wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    dc.SetFont(GetFont());
    const int h = RowHeight();
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.DrawRectangle(0, 0, size.x, h);
    dc.SetTextForeground(wxSystemSettings::GetColour(enabled ? wxSYS_COLOUR_WINDOWTEXT
                                                             : wxSYS_COLOUR_GRAYTEXT));
    for (size_t c = 1; c < kJ1850GridColumns; ++c) {
        const int x = static_cast<int>(c - 1) * kColumnWidth;
        if (c > 1) dc.DrawLine(x, 0, x, 2 * h);
        const wxRect title(x, 0, kColumnWidth, h), cell(x, h, kColumnWidth, h);
        dc.DrawLabel(kTitles[c], title, wxALIGN_CENTER);
        dc.DrawLabel(wxString::FromUTF8(m_Cells[c].c_str()), cell, wxALIGN_CENTER);
    }
    dc.DrawLine(0, 2 * h, size.x, 2 * h);
}

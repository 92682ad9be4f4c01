#pragma once
// The header-bit grid: one row of the first header byte's bits under the titles
// "X P P P H K Y Z Z" (X hidden). A click on a cell or a title toggles that bit and hands the
// new byte to the page. Fixed columns, no scroll bars; disabled, it shows "-" everywhere.
#include <wx/control.h>

#include <functional>

#include "pages/j1850/J1850Page.h"

class CListSectorLock : public wxControl {
public:
    CListSectorLock(wxWindow* parent, wxWindowID id);

    // Called with the new byte after a click toggled a bit.
    void SetOnByteChanged(std::function<void(uint8_t)> handler) { m_OnByteChanged = std::move(handler); }
    void SetCells(const J1850GridCells& cells);
    const J1850GridCells& Cells() const { return m_Cells; }
    // Column under x (0 for the hidden one and outside the grid).
    size_t ColumnAt(int x) const;
    // A click on column: what the mouse does.
    void OnNMClick(size_t column);

    static constexpr int kColumnWidth = 30;

private:
    wxSize DoGetBestSize() const override;
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    int RowHeight() const;

    J1850GridCells m_Cells;
    std::function<void(uint8_t)> m_OnByteChanged;
};

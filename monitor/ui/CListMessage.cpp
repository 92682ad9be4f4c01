#include "monitor/ui/CListMessage.h"

#include <wx/window.h>

#include "monitor/MonitorRing.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/CDialogShowMessageDetail.h"

const MonitorColumnSpec g_MonitorColumnTitles[kMonitorColumnCount] = {
    {" 序号", 60, wxLIST_FORMAT_CENTRE},        {"方向", 60, wxLIST_FORMAT_CENTRE},
    {"系统时间(ms)", 120, wxLIST_FORMAT_CENTRE}, {" 相对时间", 100, wxLIST_FORMAT_LEFT},
    {"总线", 60, wxLIST_FORMAT_LEFT},           {"长度(数据)", 80, wxLIST_FORMAT_CENTRE},
    {"    数据", 550, wxLIST_FORMAT_LEFT},       {" 状态", 200, wxLIST_FORMAT_LEFT},
};

namespace {

wxColour ToWx(const RgbColour& c) { return wxColour(c.r, c.g, c.b); }

}  // namespace

CListMessage::CListMessage(CDialogMainA* hub, wxWindowID id)
    : wxListCtrl(hub, id, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_HRULES | wxLC_VRULES | wxLC_SINGLE_SEL | wxBORDER_SUNKEN),
      m_pHub(hub) {
    ResetMonitorRing();
    // The rows live in an inner window that passes its clicks and wheel turns on to the list;
    // the header does not, so its wheel is taken too. The wheel scrolls the ring, not the rows.
    Bind(wxEVT_MOUSEWHEEL, &CListMessage::OnMouseWheel, this);
    Bind(wxEVT_LEFT_DCLICK, &CListMessage::OnLeftDoubleClick, this);
    for (wxWindow* child : GetChildren()) child->Bind(wxEVT_MOUSEWHEEL, &CListMessage::OnMouseWheel, this);
}

void CListMessage::InitColumns() {
    DeleteAllColumns();
    for (int i = 0; i < kMonitorColumnCount; ++i) {
        const MonitorColumnSpec& c = g_MonitorColumnTitles[i];
        InsertColumn(i, wxString::FromUTF8(c.title), c.align, c.width);
    }
}

void CListMessage::RefreshPage() {
    BuildMonitorPage(m_Page);
    const long shown = static_cast<long>(m_Page.rows.size());
    Freeze();
    if (shown < GetItemCount()) DeleteAllItems();
    for (long r = 0; r < shown; ++r) {
        const MonitorRow& row = m_Page.rows[static_cast<size_t>(r)];
        if (r >= GetItemCount())
            InsertItem(r, wxString::FromUTF8(row.cells[0]));
        else
            SetItem(r, 0, wxString::FromUTF8(row.cells[0]));
        for (int c = 1; c < kMonitorColumnCount; ++c) SetItem(r, c, wxString::FromUTF8(row.cells[c]));
        SetItemTextColour(r, ToWx(row.text));
        SetItemBackgroundColour(r, ToWx(row.background));
    }
    Thaw();
}

int CListMessage::MeasureRowPixels() {
    // Rows are as tall as the font makes them; one placeholder row tells.
    InsertItem(0, "0");
    wxRect rect;
    const int height = GetItemRect(0, rect) ? rect.height : 0;
    DeleteAllItems();
    return height;
}

std::unique_ptr<CDialogShowMessageDetail> CListMessage::BuildDetailDialog(long row) {
    if (row < 0 || row >= GetItemCount()) return nullptr;
    const uint32_t index = MonitorIndexFromSequenceText(GetItemText(row, 0).ToStdString());
    return std::make_unique<CDialogShowMessageDetail>(this, CopyMonitorRecord(index));
}

void CListMessage::OnNMDblclk(long row) {
    if (auto dialog = BuildDetailDialog(row)) dialog->ShowModal();
}

void CListMessage::OnLeftDoubleClick(wxMouseEvent& event) {
    int flags = 0;
    const long row = HitTest(event.GetPosition(), flags);
    if (row >= 0 && (flags & wxLIST_HITTEST_ONITEM)) OnNMDblclk(row);
}

void CListMessage::OnMouseWheel(wxMouseEvent& event) {
    // The hub pages the ring with the vertical wheel and lets a sideways turn through.
    m_pHub->OnMouseWheel(event);
}

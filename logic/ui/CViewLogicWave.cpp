#include "logic/ui/CViewLogicWave.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

#include <vector>

#include "platform/ui/WxText.h"

namespace {

wxColour Colour(const WaveRgb& c) { return wxColour(c.r, c.g, c.b); }

// Square ends and plain joins: a dense trace has a join at every edge, and round ones make
// the stroke several times slower for no visible difference at these widths.
wxPen Pen(const WaveRgb& c, int width) {
    wxPen pen(Colour(c), width);
    pen.SetCap(wxCAP_BUTT);
    pen.SetJoin(wxJOIN_MITER);
    return pen;
}

}  // namespace

WaveLabelCache::WaveLabelCache(const wxFont& font) : m_Font(font) {}

WaveLabelCache::~WaveLabelCache() = default;

const wxBitmap& WaveLabelCache::Get(const std::string& text) {
    auto it = m_Bitmaps.find(text);
    if (it != m_Bitmaps.end()) return it->second;
    const wxString label = U8(text);
    wxSize size;
    {
        wxBitmap probe(1, 1, 24);
        wxMemoryDC dc(probe);
        dc.SetFont(m_Font);
        size = dc.GetTextExtent(label);
    }
    size.IncTo(wxSize(1, 1));
    wxBitmap white(size, 24);
    {
        wxMemoryDC dc(white);
        dc.SetFont(m_Font);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        dc.SetTextForeground(*wxWHITE);
        dc.DrawText(label, 0, 0);
    }
    // The glyphs' brightness becomes their coverage; the colour is the label colour.
    wxImage image = white.ConvertToImage();
    if (!image.HasAlpha()) image.InitAlpha();
    const wxColour colour = Colour(kWaveText);
    for (int y = 0; y < size.y; ++y)
        for (int x = 0; x < size.x; ++x) {
            image.SetAlpha(x, y, image.GetRed(x, y));
            image.SetRGB(x, y, colour.Red(), colour.Green(), colour.Blue());
        }
    return m_Bitmaps.emplace(text, wxBitmap(image)).first->second;
}

int WaveLabelCache::Width(const std::string& text) { return Get(text).GetWidth(); }

CViewLogicWave::CViewLogicWave(wxWindow* parent, WaveView& view)
    : wxWindow(parent, IDC_LOGIC_VIEW, wxDefaultPosition, wxDefaultSize, wxBORDER_SUNKEN | wxFULL_REPAINT_ON_RESIZE),
      m_View(view),
      m_Labels(GetFont()) {
    // The paint fills the background itself, so there is no erase to flicker.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CViewLogicWave::OnPaint, this);
    // The wheel does not scroll the capture.
    Bind(wxEVT_MOUSEWHEEL, [](wxMouseEvent&) {});
}

void CViewLogicWave::UpdateLayout() {
    const wxSize size = GetClientSize();
    m_View.UpdateLayout(size.x, size.y);
}

void CViewLogicWave::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    m_LastPaint = m_View.Paint(size.x, size.y, [this](const std::string& text) { return m_Labels.Width(text); });
    ++m_PaintCount;
    Render(dc, m_LastPaint, m_Labels);
}

void CViewLogicWave::Render(wxDC& dc, const WaveDisplayList& list, WaveLabelCache& labels) {
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    std::vector<wxPoint> points;
    for (const WaveItem& item : list.items) {
        switch (item.kind) {
        case WaveItemKind::Line:
            dc.SetPen(Pen(item.colour, item.penWidth));
            dc.DrawLine(item.points[0].x, item.points[0].y, item.points[1].x, item.points[1].y);
            break;
        case WaveItemKind::Rect:
            dc.SetPen(Pen(item.colour, item.penWidth));
            dc.SetBrush(wxBrush(Colour(item.fill)));
            dc.DrawRectangle(item.points[0].x, item.points[0].y, item.points[1].x - item.points[0].x,
                             item.points[1].y - item.points[0].y);
            break;
        case WaveItemKind::Polyline:
            dc.SetPen(Pen(item.colour, item.penWidth));
            points.clear();
            for (const WavePoint& p : item.points) points.emplace_back(p.x, p.y);
            dc.DrawLines(static_cast<int>(points.size()), points.data());
            break;
        case WaveItemKind::Text:
            dc.DrawBitmap(labels.Get(item.text), item.points[0].x, item.points[0].y, true);
            break;
        }
    }
}

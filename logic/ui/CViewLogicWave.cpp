#include "logic/ui/CViewLogicWave.h"

#include <cairo.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include "platform/ui/WxText.h"

WaveLabelCache::WaveLabelCache(const wxFont& font) : m_Font(font) {}

const WaveLabelMask& WaveLabelCache::Get(const std::string& text) {
    auto it = m_Masks.find(text);
    if (it != m_Masks.end()) return it->second;
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
    // White on black: the glyphs' brightness is their coverage.
    const wxImage image = white.ConvertToImage();
    WaveLabelMask mask;
    mask.width = size.x;
    mask.height = size.y;
    mask.alpha.resize(static_cast<size_t>(size.x) * size.y);
    const unsigned char* rgb = image.GetData();
    for (size_t i = 0; i < mask.alpha.size(); ++i) mask.alpha[i] = rgb[3 * i];
    return m_Masks.emplace(text, std::move(mask)).first->second;
}

CViewLogicWave::CViewLogicWave(wxWindow* parent, WaveView& view)
    : wxWindow(parent, IDC_LOGIC_VIEW, wxDefaultPosition, wxDefaultSize, wxBORDER_SUNKEN | wxFULL_REPAINT_ON_RESIZE),
      m_View(view),
      m_Labels(GetFont()) {
    // The paint covers every pixel itself, so there is no erase to flicker.
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
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    m_LastPaint = m_View.Paint(size.x, size.y, [this](const std::string& text) { return m_Labels.Width(text); });
    ++m_PaintCount;
    m_Raster.Draw(m_LastPaint, size.x, size.y, [this](const std::string& text) -> const WaveLabelMask& { return m_Labels.Get(text); });
    // One image to the toolkit's renderer: the strokes and labels one by one cost it several
    // times a frame on a dense screen.
    wxGraphicsContext* gc = dc.GetGraphicsContext();
    if (!gc) return;
    auto* cr = static_cast<cairo_t*>(gc->GetNativeContext());
    if (!cr) return;
    const int w = m_Raster.Width(), h = m_Raster.Height();
    // The buffer is 0x00RRGGBB in native order, which is the toolkit's 24-bit pixel format.
    cairo_surface_t* image = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(m_Raster.Pixels())), CAIRO_FORMAT_RGB24, w, h,
        w * static_cast<int>(sizeof(uint32_t)));
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(image);
}

// The waveform view's own pixels against the toolkit drawing the same display list stroke by
// stroke, as the view used to paint: every pixel the same, for hand-made lists that hold each
// kind of primitive and for real screens at sparse and dense scales; and the window shows
// those pixels.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcscreen.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/settings.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "logic/LogicPage.h"
#include "logic/UartSynth.h"
#include "logic/WaveRaster.h"
#include "logic/ui/CViewLogicWave.h"
#include "tests/support/GuiPump.h"

namespace {

wxColour Colour(const WaveRgb& c) { return wxColour(c.r, c.g, c.b); }

wxPen Pen(const WaveRgb& c, int width) {
    wxPen pen(Colour(c), width);
    pen.SetCap(wxCAP_BUTT);
    pen.SetJoin(wxJOIN_MITER);
    return pen;
}

// The list drawn by the toolkit, item by item, into a bitmap: what the view showed before it
// drew its own pixels.
wxImage ToolkitPixels(const WaveDisplayList& list, int width, int height, WaveLabelCache& labels) {
    wxBitmap bitmap(width, height, 24);
    {
        wxMemoryDC dc(bitmap);
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
            case WaveItemKind::Text: {
                // The label in its colour, its glyph coverage as alpha.
                const WaveLabelMask& mask = labels.Get(item.text);
                wxImage image(mask.width, mask.height);
                image.InitAlpha();
                for (int y = 0; y < mask.height; ++y)
                    for (int x = 0; x < mask.width; ++x) {
                        image.SetRGB(x, y, item.colour.r, item.colour.g, item.colour.b);
                        image.SetAlpha(x, y, mask.alpha[static_cast<size_t>(y) * mask.width + x]);
                    }
                dc.DrawBitmap(wxBitmap(image), item.points[0].x, item.points[0].y, true);
                break;
            }
            }
        }
    }
    return bitmap.ConvertToImage();
}

WaveRaster OwnPixels(const WaveDisplayList& list, int width, int height, WaveLabelCache& labels) {
    WaveRaster raster;
    raster.Draw(list, width, height, [&](const std::string& text) -> const WaveLabelMask& { return labels.Get(text); });
    return raster;
}

// "" when every pixel is the same, else the count and the first few that differ. corner: the
// size of each corner's square left out.
std::string Differences(const wxImage& expected, const WaveRaster& actual, int corner = 0) {
    if (expected.GetWidth() != actual.Width() || expected.GetHeight() != actual.Height()) return "sizes differ";
    int count = 0;
    std::string first;
    for (int y = 0; y < actual.Height(); ++y)
        for (int x = 0; x < actual.Width(); ++x) {
            const uint32_t want = static_cast<uint32_t>(expected.GetRed(x, y)) << 16 |
                                  static_cast<uint32_t>(expected.GetGreen(x, y)) << 8 | expected.GetBlue(x, y);
            const uint32_t got = actual.Pixel(x, y);
            if (want == got) continue;
            const bool cornerX = x < corner || x >= actual.Width() - corner;
            const bool cornerY = y < corner || y >= actual.Height() - corner;
            if (cornerX && cornerY) continue;
            if (++count <= 8) {
                char line[80];
                std::snprintf(line, sizeof line, " (%d,%d) toolkit %06X own %06X", x, y, want, got);
                first += line;
            }
        }
    return count == 0 ? std::string() : std::to_string(count) + " pixels differ:" + first;
}

WaveItem Item(WaveItemKind kind, WaveRgb colour, int width, std::vector<WavePoint> points, std::string text = {},
              WaveRgb fill = kWaveBandFill) {
    return WaveItem{kind, colour, fill, width, std::move(points), std::move(text)};
}

class WavePixels : public ::testing::Test {
protected:
    wxFont font_ = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    WaveLabelCache labels_{font_};

    void ExpectSame(const WaveDisplayList& list, int width, int height) {
        const wxImage toolkit = ToolkitPixels(list, width, height, labels_);
        EXPECT_EQ(Differences(toolkit, OwnPixels(list, width, height, labels_)), "");
    }
};

TEST_F(WavePixels, EachPrimitiveAsTheToolkitDrawsIt) {
    WaveDisplayList list;
    auto add = [&](WaveItem item) { list.items.push_back(std::move(item)); };
    // Bands and grid first, as a screen has them.
    add(Item(WaveItemKind::Rect, kWaveBandOutline, 1, {{4, 45}, {200, 70}}));
    add(Item(WaveItemKind::Line, kWaveGrid, 1, {{55, 0}, {55, 120}}));
    add(Item(WaveItemKind::Line, kWaveBorder, 2, {{5, 0}, {5, 120}}));
    add(Item(WaveItemKind::Line, kWaveBorder, 2, {{156, 0}, {156, 120}}));
    // Free ends both ways, drawn right to left and bottom to top as well.
    add(Item(WaveItemKind::Line, kWaveLeadIn, 1, {{5, 22}, {55, 22}}));
    add(Item(WaveItemKind::Line, kWaveTrace, 1, {{40, 30}, {20, 30}}));
    add(Item(WaveItemKind::Line, kWaveTrace, 1, {{30, 40}, {30, 33}}));
    add(Item(WaveItemKind::Line, kWaveTrace, 2, {{60, 100}, {90, 100}}));
    // A trace with corners both ways, a column run up and down again (a pulse narrower than
    // a pixel), and a straight run split in two.
    add(Item(WaveItemKind::Polyline, kWaveTrace, 1,
             {{55, 10}, {60, 10}, {60, 35}, {61, 35}, {61, 10}, {61, 35}, {70, 35}, {80, 35}, {80, 10}, {90, 10}}));
    // A polyline that ends where it began: its two free ends share a pixel.
    add(Item(WaveItemKind::Polyline, kWaveLeadIn, 1, {{10, 80}, {20, 80}, {20, 90}, {10, 90}, {10, 80}}));
    // A block of columns that carry both levels, then a band label and a gap label over
    // the grid line and the band's outline.
    add(Item(WaveItemKind::Rect, kWaveTrace, 1, {{95, 10}, {120, 36}}, {}, kWaveTrace));
    add(Item(WaveItemKind::Text, kWaveText, 1, {{50, 44}}, "5A"));
    add(Item(WaveItemKind::Text, kWaveText, 1, {{100, 55}}, "C1 #"));
    add(Item(WaveItemKind::Text, kWaveText, 1, {{30, 13}}, "12.3ms"));
    // Separate items over one another blend where they are partial.
    add(Item(WaveItemKind::Line, kWaveTrace, 1, {{130, 80}, {150, 80}}));
    add(Item(WaveItemKind::Line, kWaveLeadIn, 1, {{140, 80}, {160, 80}}));
    add(Item(WaveItemKind::Line, kWaveTrace, 1, {{170, 70}, {170, 90}}));
    add(Item(WaveItemKind::Line, kWaveGrid, 1, {{165, 90}, {180, 90}}));
    // Cut by the edges: a label, a line along the right edge and one past the bottom.
    add(Item(WaveItemKind::Text, kWaveText, 1, {{190, 110}}, "FF #"));
    add(Item(WaveItemKind::Line, kWaveGrid, 1, {{199, 0}, {199, 200}}));
    add(Item(WaveItemKind::Line, kWaveGrid, 1, {{-5, 119}, {300, 119}}));
    ExpectSame(list, 200, 120);
}

std::vector<uint32_t> Capture(size_t count) {
    std::mt19937 random(7);
    UartSynth line(10400, ParityNone);
    line.Idle(500);
    while (line.Samples().size() < count) {
        line.Byte(static_cast<uint8_t>(random()));
        // Back to back, short gaps, and now and then one wider than a row at most scales.
        const unsigned pick = random() % 8;
        line.Idle(pick < 4 ? 0 : pick < 7 ? random() % 3000 : 200000);
        if (pick == 5) line.Break(2000);
    }
    std::vector<uint32_t> samples = line.Take();
    samples.resize(count);
    return samples;
}

TEST_F(WavePixels, ScreensOfACaptureAtSparseAndDenseScalesAsTheToolkitDrawsThem) {
    LogicPage page;
    page.View().capture.Assign(Capture(200000));
    constexpr int kWidth = 900, kHeight = 500;
    for (unsigned scale : {0u, 1u, 4u, 7u, 8u}) {
        page.SelectTimeScale(scale);
        WaveView& view = page.View();
        const uint32_t last = view.LastScreenStart(kWidth, kHeight);
        for (uint32_t first : {0u, last / 2 & ~1u, last}) {
            SCOPED_TRACE("scale " + std::to_string(scale) + " from sample " + std::to_string(first));
            view.firstShown = first;
            const WaveDisplayList list = view.Paint(kWidth, kHeight, [&](const std::string& t) { return labels_.Width(t); });
            ExpectSame(list, kWidth, kHeight);
        }
    }
}

TEST(WaveWindow, ShowsThePixelsItDrew) {
    LogicPage page;
    page.View().capture.Assign(Capture(20000));
    page.SelectTimeScale(4);
    auto* frame = new wxFrame(nullptr, wxID_ANY, "wave", wxPoint(0, 0), wxSize(700, 400));
    // Inside a panel, clear of the frame's rounded corners.
    auto* panel = new wxPanel(frame);
    auto* view = new CViewLogicWave(panel, page.View());
    view->SetSize(20, 20, 600, 300);
    frame->Show();
    ASSERT_TRUE(PumpUntil([&] { return view->PaintCount() > 0; }));
    const unsigned before = view->PaintCount();
    view->Refresh();
    view->Update();
    ASSERT_GT(view->PaintCount(), before);
    const WaveRaster& drawn = view->LastPixels();
    ASSERT_EQ(wxSize(drawn.Width(), drawn.Height()), view->GetClientSize());

    // What the X server holds for the window now.
    const wxSize size = view->GetClientSize();
    const wxPoint origin = view->ClientToScreen(wxPoint(0, 0));
    wxBitmap grab(size, 24);
    {
        wxScreenDC screen;
        wxMemoryDC dc(grab);
        ASSERT_TRUE(dc.Blit(0, 0, size.x, size.y, &screen, origin.x, origin.y));
    }
    const wxImage shown = grab.ConvertToImage();
    // The theme rounds the sunken border's corners over the client's corner pixels.
    EXPECT_EQ(Differences(shown, drawn, 4), "");
    frame->Destroy();
    PumpPending();
}

}  // namespace

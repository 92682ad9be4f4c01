#pragma once
// The waveform view: a bordered child window that paints the display list of its WaveView
// (owned by the page) on black, in the window's default font.
#include <wx/font.h>
#include <wx/window.h>

#include <string>
#include <unordered_map>

#include "logic/WaveRaster.h"
#include "logic/WaveView.h"

// Each label's glyphs laid out once, in the window's font, as a coverage mask that is then
// copied wherever the label is shown: a dense screen holds well over a thousand labels, and
// laying out text each time is what a paint would spend most of its time on.
class WaveLabelCache {
public:
    explicit WaveLabelCache(const wxFont& font);
    const WaveLabelMask& Get(const std::string& text);
    int Width(const std::string& text) { return Get(text).width; }

private:
    wxFont m_Font;
    std::unordered_map<std::string, WaveLabelMask> m_Masks;
};

constexpr int IDC_LOGIC_VIEW = 7026;

class CViewLogicWave : public wxWindow {
public:
    CViewLogicWave(wxWindow* parent, WaveView& view);

    WaveView& View() { return m_View; }
    // samplesPerScreen for the current client size.
    void UpdateLayout();

    // What the last paint drew, and how many paints there were (tests look at them).
    const WaveDisplayList& LastPaint() const { return m_LastPaint; }
    unsigned PaintCount() const { return m_PaintCount; }

    // The pixels of the last paint.
    const WaveRaster& LastPixels() const { return m_Raster; }

private:
    void OnPaint(wxPaintEvent& event);

    WaveView& m_View;
    WaveDisplayList m_LastPaint;
    unsigned m_PaintCount = 0;
    WaveLabelCache m_Labels;
    WaveRaster m_Raster;
};

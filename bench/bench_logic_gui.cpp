// Real paints of the waveform view under X (run it under xvfb-run with a screen of at least
// 1700 x 1100): each of the nine time scales, on the first, a middle and the last screen of a
// 1,000,000-sample capture, view 1600 x 1000. Goal: every repaint under 16 ms.
#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <random>
#include <vector>

#include "logic/LogicPage.h"
#include "logic/LogicSettings.h"
#include "logic/UartSynth.h"
#include "logic/ui/CViewLogicWave.h"

namespace {

constexpr int kWidth = 1600, kHeight = 1000;

std::vector<uint32_t> Capture() {
    std::mt19937 random(1);
    UartSynth line(10400, ParityNone);
    line.Idle(500);
    while (line.Samples().size() < 1000000) {
        line.Byte(static_cast<uint8_t>(random()));
        line.Idle(random() % 2 ? 0 : random() % 3000);
    }
    std::vector<uint32_t> samples = line.Take();
    samples.resize(1000000);
    return samples;
}

struct Window {
    LogicPage page;
    wxFrame* frame = nullptr;
    CViewLogicWave* view = nullptr;
    Window() {
        page.View().capture.Assign(Capture());
        frame = new wxFrame(nullptr, wxID_ANY, "paint", wxPoint(0, 0), wxSize(1700, 1100));
        view = new CViewLogicWave(frame, page.View());
        view->SetClientSize(kWidth, kHeight);
        frame->Show();
        // Until the window is on the screen and has painted once.
        for (int i = 0; i < 500 && view->PaintCount() == 0; ++i) {
            wxTheApp->ProcessPendingEvents();
            wxYield();
        }
    }
    // Scale row and screen (0 first, 1 middle, 2 last).
    void Show(int scale, int screen) {
        page.SelectTimeScale(static_cast<unsigned>(scale));
        WaveView& v = page.View();
        const uint32_t count = v.capture.Count();
        v.firstShown = screen == 0 ? 0 : screen == 1 ? (count / 2) & ~1u : v.LastScreenStart(kWidth, kHeight);
    }
};

Window& TheWindow() {
    static Window* window = new Window;
    return *window;
}

void Label(benchmark::State& state) {
    static const char* const screens[] = {"first", "middle", "last"};
    state.SetLabel(std::string(kLogicTimeScaleLabels[state.range(0)]) + " " + screens[state.range(1)]);
}

void BM_Paint(benchmark::State& state) {
    Window& w = TheWindow();
    w.Show(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        const unsigned before = w.view->PaintCount();
        w.view->Refresh();
        w.view->Update();
        if (w.view->PaintCount() == before) {
            state.SkipWithError("the window did not paint");
            return;
        }
    }
    state.counters["samples_shown"] = w.page.View().samplesPerScreen;
    state.counters["items"] = static_cast<double>(w.view->LastPaint().items.size());
    Label(state);
}
BENCHMARK(BM_Paint)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 8, 1), {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Drawing a display list into the view's pixels, without the window.
void BM_Raster(benchmark::State& state) {
    Window& w = TheWindow();
    w.Show(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    WaveLabelCache labels(w.view->GetFont());
    const WaveDisplayList list = w.page.View().Paint(kWidth, kHeight, [&](const std::string& t) { return labels.Width(t); });
    WaveRaster raster;
    for (auto _ : state)
        raster.Draw(list, kWidth, kHeight, [&](const std::string& t) -> const WaveLabelMask& { return labels.Get(t); });
    Label(state);
}
BENCHMARK(BM_Raster)->ArgsProduct({benchmark::CreateDenseRange(0, 8, 1), {0}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxEntryCleanup();
    return 0;
}

// One real paint of the waveform view under X (run it under xvfb-run with a screen of at
// least 1700 x 1100): the densest scale, 10 ms per 5 px, on the first screen of a
// 1,000,000-sample capture, view 1600 x 1000. Goal: under 16 ms.
#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <random>
#include <vector>

#include "logic/LogicPage.h"
#include "logic/UartSynth.h"
#include "logic/ui/CViewLogicWave.h"

namespace {

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
        page.SelectTimeScale(8);
        frame = new wxFrame(nullptr, wxID_ANY, "paint", wxPoint(0, 0), wxSize(1700, 1100));
        view = new CViewLogicWave(frame, page.View());
        view->SetClientSize(1600, 1000);
        frame->Show();
        // Until the window is on the screen and has painted once.
        for (int i = 0; i < 500 && view->PaintCount() == 0; ++i) {
            wxTheApp->ProcessPendingEvents();
            wxYield();
        }
    }
};

Window& TheWindow() {
    static Window* window = new Window;
    return *window;
}

void BM_PaintDensestScale(benchmark::State& state) {
    Window& w = TheWindow();
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
}
BENCHMARK(BM_PaintDensestScale)->Unit(benchmark::kMillisecond);

void BM_RenderIntoBitmap(benchmark::State& state) {
    Window& w = TheWindow();
    wxBitmap bitmap(1600, 1000);
    wxMemoryDC dc(bitmap);
    WaveLabelCache labels(w.view->GetFont());
    for (auto _ : state) {
        const WaveDisplayList list = w.page.View().Paint(1600, 1000, [&](const std::string& t) { return labels.Width(t); });
        CViewLogicWave::Render(dc, list, labels);
    }
}
BENCHMARK(BM_RenderIntoBitmap)->Unit(benchmark::kMillisecond);

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

// The logic analyser's host-side costs.
//  - Decoding every byte of a K-line capture: 20,000 random bytes at 10,400 baud, 0.43 ms of
//    idle after each (about 27.9 s, 110,000 edges), written as a .klg file and read back by
//    the loader. Goal: at most 16 ms, every byte equal to the one generated.
//  - The display list of one screen (1600 x 1000) at all nine scales, at the first, middle and
//    last screen of 10,000- and 1,000,000-sample captures. Goal: under 16 ms, flat in the
//    length.
//  - Saving and loading 1,000,000 samples. Goal: under 100 ms each.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "logic/KlgFile.h"
#include "logic/LogicPage.h"
#include "logic/UartSynth.h"
#include "logic/WaveView.h"

namespace {

namespace fs = std::filesystem;

struct KlineCapture {
    std::vector<uint8_t> bytes;
    std::string path;
};

const KlineCapture& Capture() {
    static const KlineCapture capture = [] {
        KlineCapture c;
        std::mt19937 random(2026);
        UartSynth line(10400, ParityNone);
        line.Idle(1000);
        for (int i = 0; i < 20000; ++i) {
            c.bytes.push_back(static_cast<uint8_t>(random()));
            line.Byte(c.bytes.back());
            line.Idle(430);
        }
        line.Break(0);  // the last byte completes
        c.path = (fs::temp_directory_path() / "bench_kline_capture.klg").string();
        SaveKlg(c.path, KlgSettings{kLogicTimeScaleDefault, kLogicBaudDefault, ParityNone}, line.Samples().data(),
                static_cast<uint32_t>(line.Samples().size()));
        return c;
    }();
    return capture;
}

// Every byte from the first byte start on, as the paint's cursor walks them.
size_t DecodeAll(WaveView& view, std::vector<uint8_t>& out) {
    out.clear();
    view.firstShown = 0;
    view.decodeStart = view.FindFirstByteStart();
    for (uint32_t i = view.decodeStart;;) {
        const DecodedByte b = view.DecodeByte(i);
        if (b.code == ByteCode::End) break;
        if (b.code == ByteCode::Good || b.code == ByteCode::Bad) out.push_back(static_cast<uint8_t>(b.value));
        i = b.next;
    }
    return out.size();
}

void BM_LoadAndDecodeKlineCapture(benchmark::State& state) {
    const KlineCapture& c = Capture();
    LogicPage page;
    std::vector<uint8_t> decoded;
    decoded.reserve(c.bytes.size());
    for (auto _ : state) {
        KlgContents contents;
        if (LoadKlg(c.path, contents) != KlgResult::Ok) {
            state.SkipWithError("load failed");
            return;
        }
        page.View().capture.Assign(contents.samples);
        benchmark::DoNotOptimize(DecodeAll(page.View(), decoded));
    }
    if (decoded != c.bytes) state.SkipWithError("decoded bytes differ from the generated ones");
    state.counters["edges"] = page.View().capture.Count();
    state.counters["bytes"] = static_cast<double>(decoded.size());
}
BENCHMARK(BM_LoadAndDecodeKlineCapture)->Unit(benchmark::kMillisecond);

void BM_DecodeKlineCapture(benchmark::State& state) {
    const KlineCapture& c = Capture();
    KlgContents contents;
    LoadKlg(c.path, contents);
    LogicPage page;
    page.View().capture.Assign(contents.samples);
    std::vector<uint8_t> decoded;
    decoded.reserve(c.bytes.size());
    for (auto _ : state) benchmark::DoNotOptimize(DecodeAll(page.View(), decoded));
    if (decoded != c.bytes) state.SkipWithError("decoded bytes differ from the generated ones");
}
BENCHMARK(BM_DecodeKlineCapture)->Unit(benchmark::kMillisecond);

// A capture of about count samples: random bytes with random idle, some back to back.
const std::vector<uint32_t>& Samples(uint32_t count) {
    static std::vector<uint32_t> cache[2];
    std::vector<uint32_t>& samples = cache[count > 100000];
    if (samples.empty()) {
        std::mt19937 random(count);
        UartSynth line(10400, ParityNone);
        line.Idle(500);
        while (line.Samples().size() < count) {
            line.Byte(static_cast<uint8_t>(random()));
            line.Idle(random() % 2 ? 0 : random() % 3000);
        }
        samples = line.Take();
        samples.resize(count);
    }
    return samples;
}

void BM_DisplayList(benchmark::State& state) {
    const unsigned scaleRow = static_cast<unsigned>(state.range(0));
    const uint32_t count = static_cast<uint32_t>(state.range(1));
    const int where = static_cast<int>(state.range(2));  // 0 first, 1 middle, 2 last screen
    LogicPage page;
    page.View().capture.Assign(Samples(count));
    page.SelectTimeScale(scaleRow);
    const LogicScroll scroll = page.ResetScroll(1600, 1000);
    page.Scroll(HubScrollCode::ThumbTrack, where == 0 ? 0 : where == 1 ? scroll.max / 2 : scroll.max);
    const auto width = [](const std::string& text) { return 7 * static_cast<int>(text.size()); };
    page.View().Paint(1600, 1000, width);  // the byte-start chain is built once per capture
    size_t items = 0;
    for (auto _ : state) {
        const WaveDisplayList list = page.View().Paint(1600, 1000, width);
        items = list.items.size();
        benchmark::DoNotOptimize(items);
    }
    state.counters["samples_shown"] = page.View().samplesPerScreen;
    state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_DisplayList)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6, 7, 8}, {10000, 1000000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// The same screen painted the first time: no byte of it decoded before (a jump to a part of
// the capture not seen yet), the byte-start chain already built.
void BM_DisplayListFirstVisit(benchmark::State& state) {
    const unsigned scaleRow = static_cast<unsigned>(state.range(0));
    const auto width = [](const std::string& text) { return 7 * static_cast<int>(text.size()); };
    for (auto _ : state) {
        state.PauseTiming();
        LogicPage page;
        page.View().capture.Assign(Samples(1000000));
        page.SelectTimeScale(scaleRow);
        const LogicScroll scroll = page.ResetScroll(1600, 1000);
        page.Scroll(HubScrollCode::ThumbTrack, scroll.max / 2);
        page.View().FindFirstByteStart();
        state.ResumeTiming();
        benchmark::DoNotOptimize(page.View().Paint(1600, 1000, width).items.size());
    }
}
BENCHMARK(BM_DisplayListFirstVisit)->DenseRange(4, 8)->Unit(benchmark::kMillisecond);

void BM_SaveKlg(benchmark::State& state) {
    const std::vector<uint32_t>& samples = Samples(1000000);
    const std::string path = (fs::temp_directory_path() / "bench_save.klg").string();
    for (auto _ : state)
        if (SaveKlg(path, KlgSettings{1, 3, 0}, samples.data(), 1000000) != KlgResult::Ok) state.SkipWithError("save failed");
    fs::remove(path);
}
BENCHMARK(BM_SaveKlg)->Unit(benchmark::kMillisecond);

void BM_LoadKlgIntoThePage(benchmark::State& state) {
    const std::vector<uint32_t>& samples = Samples(1000000);
    const std::string path = (fs::temp_directory_path() / "bench_load.klg").string();
    SaveKlg(path, KlgSettings{1, 3, 0}, samples.data(), 1000000);
    LogicPage page;
    for (auto _ : state)
        if (page.LoadFrom(path) != KlgResult::Ok) state.SkipWithError("load failed");
    fs::remove(path);
}
BENCHMARK(BM_LoadKlgIntoThePage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Monitor ring costs: appends from a worker, one list page on the UI thread, whole-ring files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "monitor/MonitorRing.h"
#include "monitor/RecordFile.h"
#include "monitor/RecordFormat.h"

namespace {

// CAN frames, 40-byte UART frames and J1850 frames of 11 bytes and 2 response bytes in turn.
void FillMixed(uint32_t n) {
    ResetMonitorRing();
    uint8_t bytes[kMonitorDataBytes];
    for (uint32_t b = 0; b < sizeof bytes; ++b) bytes[b] = static_cast<uint8_t>(b * 13);
    bytes[1] = 0x2B, bytes[4] = 8;
    const uint8_t kinds[3] = {KindCan, KindUart, KindJ1850};
    for (uint32_t i = 0; i < n; ++i)
        AppendMonitorRecord(i % 3 != 1, kinds[i % 3], i % 3 == 1 ? 40 : 0, i, bytes, i % 3 == 1 ? 40 : 16);
}

void BM_Append16(benchmark::State& state) {
    ResetMonitorRing();
    uint8_t bytes[16] = {1, 2, 3, 4, 8};
    uint32_t t = 0;
    for (auto _ : state) AppendMonitorRecord(1, KindCan, 0, ++t, bytes, sizeof bytes);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Append16);

void BM_Append260(benchmark::State& state) {
    ResetMonitorRing();
    uint8_t bytes[kMonitorDataBytes] = {0x55};
    uint32_t t = 0;
    for (auto _ : state) AppendMonitorRecord(1, KindUart, 260, ++t, bytes, sizeof bytes);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Append260);

// A full page of 256 rows; the argument is how many records were appended before.
void BM_FormatPage(benchmark::State& state) {
    FillMixed(static_cast<uint32_t>(state.range(0)));
    g_MonitorRowsPerPage = 256;
    MonitorPage page;
    for (auto _ : state) {
        g_MonitorTop = 0xFFFFFFFF;  // the last page
        BuildMonitorPage(page);
        benchmark::DoNotOptimize(page.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_FormatPage)->Arg(256)->Arg(50000)->Arg(100000)->Arg(250000)->Unit(benchmark::kMicrosecond);

const std::string kRecPath = "/tmp/vr_bench_monitor.rec";
const std::string kTxtPath = "/tmp/vr_bench_monitor.txt";

void BM_SaveRecFull(benchmark::State& state) {
    FillMixed(100001);
    for (auto _ : state)
        if (SaveMonitorRec(kRecPath) != RecordFileResult::Ok) state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * (28 + 276LL * kMonitorCapacity));
}
BENCHMARK(BM_SaveRecFull)->Unit(benchmark::kMillisecond);

void BM_LoadRecFull(benchmark::State& state) {
    FillMixed(100001);
    if (SaveMonitorRec(kRecPath) != RecordFileResult::Ok) state.SkipWithError("save failed");
    for (auto _ : state)
        if (LoadMonitorRec(kRecPath) != RecordFileResult::Ok) state.SkipWithError("load failed");
    state.SetBytesProcessed(state.iterations() * (28 + 276LL * kMonitorCapacity));
    std::remove(kRecPath.c_str());
}
BENCHMARK(BM_LoadRecFull)->Unit(benchmark::kMillisecond);

void BM_ExportTxtFull(benchmark::State& state) {
    FillMixed(100001);
    for (auto _ : state)
        if (SaveMonitorTxt(kTxtPath) != RecordFileResult::Ok) state.SkipWithError("export failed");
    state.SetItemsProcessed(state.iterations() * kMonitorCapacity);
    std::remove(kTxtPath.c_str());
}
BENCHMARK(BM_ExportTxtFull)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The ECU simulator's host-side costs. Goals: a request parsed in a poll reply to its answer
// packet written within 100 us; a match in a full table well under 1 us; loading and saving
// a 1,000-entry file within 10 ms each.
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "bench/BenchBoard.h"
#include "simulator/EcuSimFile.h"
#include "simulator/KLineResponder.h"

namespace {

// A full table of distinct two-byte requests, the one asked for last in table order.
void FillTable() {
    for (uint32_t i = 0; i < kMaxRespondEntries; ++i) {
        OBDRespondEntry& e = g_RespondTable[i];
        InitRespondEntry(e);
        e.request[0] = static_cast<uint8_t>(i >> 8);
        e.request[1] = static_cast<uint8_t>(i);
        e.requestLength = 2;
        e.ack[0] = 0x41, e.ackLength = 1;
        e.message1Length = 4, e.messageCount = 1;
    }
    g_RespondCount = kMaxRespondEntries;
    LoadDefaultParams(g_EcuSimParams);
}

void BM_MatchInAFullTable(benchmark::State& state) {
    FillTable();
    const RespondIndex index(g_RespondTable, g_RespondCount);
    const uint8_t last[2] = {0x03, 0xE7};
    for (auto _ : state) benchmark::DoNotOptimize(index.Match(0x01, last, 2));
}
BENCHMARK(BM_MatchInAFullTable);

void BM_MatchByWalkingTheTable(benchmark::State& state) {
    FillTable();
    const uint8_t last[2] = {0x03, 0xE7};
    for (auto _ : state)
        benchmark::DoNotOptimize(MatchRespondEntry(g_RespondTable, g_RespondCount, 0x01, last, 2));
}
BENCHMARK(BM_MatchByWalkingTheTable);

// One poll reply carrying a request, then the pass that writes the answer frame. Items:
// requests answered; each files the request and its answer.
void BM_RequestToAnswerWritten(benchmark::State& state) {
    FillTable();
    g_SimProtocolBit = 1;
    g_KLineSessionState = 1;
    KLineResponder policy(KLineSim::Iso9141, nullptr);
    policy.Enter();
    const uint8_t request[] = {0x00, 0x10, 0x06, 0x00, 0x68, 0x6A, 0xF1, 0x03, 0xE7, 0xC6};
    // The poll brings the request and it is answered; an idle transmitter takes the frame; drained.
    RunBenchPasses(state, policy, {}, [&] { tb_queue_reply(request, sizeof request); }, 3);
    if (g_MonitorSeq.load() - 1 != 2 * state.iterations()) state.SkipWithError("not every request was answered");
}
BENCHMARK(BM_RequestToAnswerWritten)->Unit(benchmark::kMicrosecond);

std::string TempFile() {
    char pattern[] = "/tmp/vr-sim-bench-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd >= 0) close(fd);
    return pattern;
}

void BM_SaveAFullFile(benchmark::State& state) {
    FillTable();
    const std::string path = TempFile();
    for (auto _ : state)
        if (SaveEcuSimFile(path, 0, g_EcuSimParams, g_RespondTable, g_RespondCount) != SimFileResult::Ok)
            state.SkipWithError("save failed");
    unlink(path.c_str());
}
BENCHMARK(BM_SaveAFullFile)->Unit(benchmark::kMillisecond);

void BM_LoadAFullFile(benchmark::State& state) {
    FillTable();
    const std::string path = TempFile();
    SaveEcuSimFile(path, 0, g_EcuSimParams, g_RespondTable, g_RespondCount);
    for (auto _ : state) {
        EcuSimFileContents contents;
        if (LoadEcuSimFile(path, contents) != SimFileResult::Ok) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(contents.entries.data());
    }
    unlink(path.c_str());
}
BENCHMARK(BM_LoadAFullFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

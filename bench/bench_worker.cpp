// Host-side cost of one serial-worker pass against a board that answers at once: poll, read,
// parse, and the monitor appends. Goal: well over 100,000 passes per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/BenchBoard.h"
#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/kline/SerialWorker.h"
#include "platform/Message.h"
#include "testboard/testboard.h"

namespace {

void RunPasses(benchmark::State& state, uint32_t recordsPerReply) {
    if (!OpenBenchBoard(state))
        return;
    std::vector<uint8_t> reply = {0x00, 0x00, static_cast<uint8_t>(recordsPerReply), 0x00};
    for (uint32_t i = 0; i < recordsPerReply; ++i) {
        uint8_t record[16] = {static_cast<uint8_t>(i), 0x01, 0x02, 0x00, 0x08};
        reply.insert(reply.end(), record, record + 16);
    }
    tb_set_idle_reply(reply.data(), static_cast<unsigned>(reply.size()));
    WorkerPolicy& policy = DefaultWorkerPolicy();
    uint64_t passes = 0;
    for (auto _ : state) {
        const char* exitText = RunWorkerPass(policy);
        if (exitText) {
            state.SkipWithError(exitText);
            break;
        }
        TrimBenchLog(state, ++passes);
    }
    state.SetItemsProcessed(static_cast<int64_t>(passes));
    state.counters["records"] = static_cast<double>(g_MonitorSeq.load() - 1);  // sequence starts at 1
    CloseBenchBoard();
}

void BM_WorkerPassIdle(benchmark::State& state) { RunPasses(state, 0); }
void BM_WorkerPass16Records(benchmark::State& state) { RunPasses(state, 16); }

BENCHMARK(BM_WorkerPassIdle);
BENCHMARK(BM_WorkerPass16Records);

}  // namespace

BENCHMARK_MAIN();

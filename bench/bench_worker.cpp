// Host-side cost of one serial-worker pass against a board that answers at once: poll, read,
// parse, and the monitor appends. Goal: well over 100,000 passes per second.
#include "bench/BenchBoard.h"

namespace {

void BM_WorkerPassIdle(benchmark::State& state) { RunBenchPasses(state, DefaultWorkerPolicy()); }

void BM_WorkerPass16Records(benchmark::State& state) {
    RunBenchPasses(state, DefaultWorkerPolicy(),
                   RecordsReply(16, [](uint8_t i) { return BenchBytes{i, 0x01, 0x02, 0x00, 0x08}; }));
}

BENCHMARK(BM_WorkerPassIdle);
BENCHMARK(BM_WorkerPass16Records);

}  // namespace

BENCHMARK_MAIN();

// Host-side cost of the LIN and UART test workers against a board that answers at once, and
// of finding the slave row for a received header. Goals: a pass well over 100,000 times a
// second, a look-up well under 1 us.
#include "bench/BenchBoard.h"
#include "pages/kline/lin/LinWorker.h"
#include "pages/kline/uarttest/UartTestPage.h"

namespace {

// Master frame, poll, a header for ID 17 read back and answered from row 7.
void BM_LinPassFrameHeaderResponse(benchmark::State& state) {
    LinSlaveRows rows;
    LinWorkerPolicy policy(rows);
    RunBenchPasses(state, policy, {0x00, 0x10, 0x01, 0x80, 17},
                   Pending({0x57, 0x3F, 0x0B, 0x00, 0x09, 0x00, 0x30, 0, 1, 2, 3, 4, 5, 6, 7}));
}

void BM_UartTestPass(benchmark::State& state) {
    RunBenchPasses(state, UartTestWorkerPolicy(), {}, Pending({0x60, 0x00, 0x08, 0x00, 0, 1, 2, 3, 4, 5, 6, 7}));
}

// The worst case: the last row holds the ID.
void BM_LinSlaveLookup(benchmark::State& state) {
    LinSlaveRows rows;
    LinSlaveResponse row;
    size_t number = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rows.Find(17, row, number));
        benchmark::DoNotOptimize(row);
    }
}

BENCHMARK(BM_LinPassFrameHeaderResponse);
BENCHMARK(BM_UartTestPass);
BENCHMARK(BM_LinSlaveLookup);

}  // namespace

BENCHMARK_MAIN();

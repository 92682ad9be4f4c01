// Host-side cost of the LIN and UART test workers against a board that answers at once, and
// of finding the slave row for a received header. Goals: a pass well over 100,000 times a
// second, a look-up well under 1 us.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/BenchBoard.h"
#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/kline/SerialWorker.h"
#include "pages/kline/lin/LinWorker.h"
#include "pages/kline/uarttest/UartTestPage.h"
#include "testboard/testboard.h"

namespace {

// Each pass gets this packet pending, as a Send would leave it.
void RunPasses(benchmark::State& state, WorkerPolicy& policy, const std::vector<uint8_t>& packet) {
    uint64_t passes = 0;
    for (auto _ : state) {
        std::memcpy(g_TxPacket, packet.data(), packet.size());
        g_TxPending = 1;
        if (const char* exitText = RunWorkerPass(policy)) {
            state.SkipWithError(exitText);
            break;
        }
        TrimBenchLog(state, ++passes);
    }
    state.SetItemsProcessed(static_cast<int64_t>(passes));
}

// Master frame, poll, a header for ID 17 read back and answered from row 7.
void BM_LinPassFrameHeaderResponse(benchmark::State& state) {
    if (!OpenBenchBoard(state)) return;
    const uint8_t header[] = {0x00, 0x10, 0x01, 0x80, 17};
    tb_set_idle_reply(header, sizeof header);
    LinSlaveRows rows;
    LinWorkerPolicy policy(rows);
    RunPasses(state, policy, {0x57, 0x3F, 0x0B, 0x00, 0x09, 0x00, 0x30, 0, 1, 2, 3, 4, 5, 6, 7});
    CloseBenchBoard();
}

void BM_UartTestPass(benchmark::State& state) {
    if (!OpenBenchBoard(state)) return;
    RunPasses(state, UartTestWorkerPolicy(), {0x60, 0x00, 0x08, 0x00, 0, 1, 2, 3, 4, 5, 6, 7});
    CloseBenchBoard();
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

// Host-side cost of one serial-worker pass against a board that answers at once: poll, read,
// parse, and the monitor appends. Goal: well over 100,000 passes per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/kline/SerialWorker.h"
#include "platform/Message.h"
#include "testboard/testboard.h"

namespace {

bool OpenBoard(benchmark::State& state) {
    tb_reset();
    if (!UsbLoadLibrary() || (g_DeviceNumber = 0, !UsbOpenPipes())) {
        state.SkipWithError("simulated board did not open");
        return false;
    }
    g_DeviceOpen = 1;
    g_TxPending = 0;
    ResetMonitorRing();
    return true;
}

void CloseBoard() {
    g_DeviceOpen = 0;
    UsbClosePipes();
}

void RunPasses(benchmark::State& state, uint32_t recordsPerReply) {
    if (!OpenBoard(state))
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
        ++passes;
        // The board keeps every packet; start over now and then so memory stays flat.
        if ((passes & 0xFFFF) == 0) {
            state.PauseTiming();
            tb_log_clear();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(passes));
    state.counters["records"] = static_cast<double>(g_MonitorSeq.load() - 1);  // sequence starts at 1
    CloseBoard();
}

void BM_WorkerPassIdle(benchmark::State& state) { RunPasses(state, 0); }
void BM_WorkerPass16Records(benchmark::State& state) { RunPasses(state, 16); }

BENCHMARK(BM_WorkerPassIdle);
BENCHMARK(BM_WorkerPass16Records);

}  // namespace

BENCHMARK_MAIN();

#pragma once
// The simulated board for a benchmark: opened fresh, with an empty monitor ring.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "testboard/testboard.h"

inline bool OpenBenchBoard(benchmark::State& state) {
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

inline void CloseBenchBoard() {
    g_TxPending = 0;
    g_DeviceOpen = 0;
    UsbClosePipes();
}

// The board keeps every packet: start its log over now and then so memory stays flat.
inline void TrimBenchLog(benchmark::State& state, uint64_t passes) {
    if ((passes & 0xFFFF) != 0) return;
    state.PauseTiming();
    tb_log_clear();
    state.ResumeTiming();
}

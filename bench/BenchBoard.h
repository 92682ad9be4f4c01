#pragma once
// Worker passes on a freshly opened simulated board with an empty monitor ring.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/shared/BusWorker.h"
#include "testboard/testboard.h"

using BenchBytes = std::vector<uint8_t>;

// Each iteration runs `prepare` (when given) and then `passes` passes of the policy; `reply`
// answers every poll. Items: iterations;
// counter "records": the records stored per second. The board's in-memory log is bounded, so it may run
// for as long as the benchmark likes.
inline void RunBenchPasses(benchmark::State& state, WorkerPolicy& policy, const BenchBytes& reply = {},
                           const std::function<void()>& prepare = {}, int passes = 1) {
    tb_reset();
    tb_set_read_latency(0);  // the program's own cost, not the USB round trip's
    if (!UsbLoadLibrary() || (g_DeviceNumber = 0, !UsbOpenPipes())) {
        state.SkipWithError("simulated board did not open");
        return;
    }
    g_DeviceOpen = 1;
    g_TxPending = 0;
    ResetMonitorRing();
    if (!reply.empty()) tb_set_idle_reply(reply.data(), static_cast<unsigned>(reply.size()));
    const uint32_t firstSeq = g_MonitorSeq.load();
    for (auto _ : state) {
        if (prepare) prepare();
        const char* exitText = nullptr;
        for (int i = 0; i < passes && !exitText; ++i) exitText = RunWorkerPass(policy);
        if (exitText) {
            state.SkipWithError(exitText);
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["records"] =
        benchmark::Counter(static_cast<double>(g_MonitorSeq.load() - firstSeq), benchmark::Counter::kIsRate);
    g_TxPending = 0;
    g_DeviceOpen = 0;
    UsbClosePipes();
}

// Leaves the packet pending, as a Send does.
inline std::function<void()> Pending(BenchBytes packet) {
    return [packet] {
        std::memcpy(g_TxPacket, packet.data(), packet.size());
        g_TxPending = 1;
    };
}

// A poll reply carrying n records, record(i)'s bytes each padded with zeros to 16.
template <class Record>
BenchBytes RecordsReply(uint8_t n, Record record) {
    BenchBytes reply = {0x00, 0x00, n, 0x00};
    for (uint8_t i = 0; i < n; ++i) {
        BenchBytes r = record(i);
        r.resize(16);
        reply.insert(reply.end(), r.begin(), r.end());
    }
    return reply;
}

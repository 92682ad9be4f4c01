// The ECU simulator on J1850 and CAN, host side. Goals: a request parsed in a poll reply to
// its answer written within 100 us; importing a full monitor ring within 100 ms.
#include <benchmark/benchmark.h>

#include "bench/BenchBoard.h"
#include "monitor/MonitorRing.h"
#include "simulator/BusResponder.h"
#include "simulator/MonitorImport.h"

namespace {

void OneEntry(uint32_t protocol) {
    LoadDefaultParams(g_EcuSimParams);
    g_EcuSimParams.canStandardId = 1;
    OBDRespondEntry& e = g_RespondTable[0];
    InitRespondEntry(e);
    e.request[0] = 0x01, e.request[1] = 0x00, e.requestLength = 2;
    e.ack[0] = 0x41, e.ack[1] = 0x00, e.ackLength = 2;
    e.message1Length = 4, e.messageCount = 1;
    g_RespondCount = 1;
    g_SimProtocolBit = SimProtocolBit(protocol);
    g_NegativeRespondEnabled = 1;
}

// Poll reply with the request, the pass that writes the answer, the drained pass; two
// records filed per iteration (request and answer) show every request was answered.
void RequestToAnswer(benchmark::State& state, BusSim sim, const uint8_t* reply, unsigned length) {
    OneEntry(sim == BusSim::J1850 ? SimJ1850Vpw : SimCan11);
    BusResponder policy(sim);
    g_WorkerRunning = 1;
    bool started = false;  // the board echoes a J1850 answer (a filed record) once started
    RunBenchPasses(state, policy, {}, [&] {
        if (!started) started = UsbSendStart(0x00, sim == BusSim::J1850 ? EngineJ1850 : EngineCan, 0x00);
        tb_queue_reply(reply, length);
    }, 3);
    g_WorkerRunning = 0;
}

void BM_J1850RequestToAnswerWritten(benchmark::State& state) {
    const uint8_t reply[20] = {0x00, 0x00, 0x01, 0x00, 0x80, 0x06, 0x00, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0x00, 0x17};
    RequestToAnswer(state, BusSim::J1850, reply, sizeof reply);
}
BENCHMARK(BM_J1850RequestToAnswerWritten)->Unit(benchmark::kMicrosecond);

void BM_CanRequestToAnswerWritten(benchmark::State& state) {
    const uint8_t reply[20] = {0x00, 0x00, 0x01, 0x00, 0xE0, 0xFB, 0x00, 0x00, 0x08, 0x00, 0x02, 0x01, 0x00};
    RequestToAnswer(state, BusSim::Can, reply, sizeof reply);
}
BENCHMARK(BM_CanRequestToAnswerWritten)->Unit(benchmark::kMicrosecond);

void BM_ImportAFullRing(benchmark::State& state) {
    ResetMonitorRing();
    const uint8_t ff[16] = {0xA0, 0x1F, 0, 0, 8, 0, 0x11, 0x00, 0x41, 0x00, 1, 2, 3, 4};
    const uint8_t cf[16] = {0xA0, 0x1F, 0, 0, 8, 0, 0x21, 5, 6, 7, 8, 9, 10, 11};
    AppendMonitorRecord(1, KindCan, 0, 0, ff, 16);
    for (uint32_t i = 1; i < kMonitorCapacity; ++i) AppendMonitorRecord(1, KindCan, 0, 0, cf, 16);
    ImportState s;
    for (auto _ : state) {
        if (ImportMonitorRange(s, 2, 1, kMonitorCapacity)) state.SkipWithError("refused");
        benchmark::DoNotOptimize(s.message1Length);
    }
}
BENCHMARK(BM_ImportAFullRing)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

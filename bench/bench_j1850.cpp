// J1850 host-side costs: one worker pass filing a reply of 16 J1850 records from a board that
// answers at once (goal: at least 2,000,000 records/s), and building a transmit packet from
// the page's fields (goal: under 1 us).
#include "bench/BenchBoard.h"
#include "pages/j1850/J1850Frame.h"
#include "pages/j1850/J1850Page.h"
#include "pages/j1850/J1850Worker.h"

namespace {

void BM_J1850WorkerPass16Records(benchmark::State& state) {
    J1850WorkerPolicy policy;
    RunBenchPasses(state, policy, RecordsReply(16, [](uint8_t i) {
        return BenchBytes{static_cast<uint8_t>(i << 7), 0x06, 0x00, 0x20, 0x68, 0x6A, 0xF1, i};
    }));
}

class NoTimers : public PageTimers {
public:
    void StartPageTimer(int, uint32_t) override {}
    void KillPageTimer(int) override {}
};

void BM_J1850TransmitPacket(benchmark::State& state) {
    NoTimers timers;
    J1850Page page(false, timers);
    page.DataChanged("01 02 03 04 05 06 07 08");
    uint8_t packet[kPacketBufferSize] = {};
    for (auto _ : state) {
        page.HeaderByteChanged("68");
        BuildJ1850TransmitPacket(packet, page.Record());
        benchmark::DoNotOptimize(packet);
    }
}

BENCHMARK(BM_J1850WorkerPass16Records);
BENCHMARK(BM_J1850TransmitPacket);

}  // namespace

BENCHMARK_MAIN();

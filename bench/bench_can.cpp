// CAN ingest through the ISO 15765, J1939 and TP2.0 workers' passes (TP2.0 with its answer
// test on every record) against a board that answers at once with 16 records (goal: at least
// 2,000,000 records stored per second; a saturated 1 Mbit/s bus carries about 8,600 frames a
// second), and the transport framings split and put back together for the largest messages
// (ISO 15765 4,095 bytes; J1939 252 and 256 bytes; TP2.0 a first frame and 252 bytes; goal:
// each under 50 us).
#include <vector>

#include "bench/BenchBoard.h"
#include "pages/can/CanWorker.h"
#include "pages/can/Iso15765Frame.h"
#include "pages/can/j1939/J1939Frame.h"
#include "pages/can/j1939/J1939Worker.h"
#include "pages/can/tp20/Tp20Frame.h"
#include "pages/can/tp20/Tp20Worker.h"

namespace {

void Ingest16Records(benchmark::State& state, WorkerPolicy& policy) {
    g_MultiFrameRequest = 0;
    RunBenchPasses(state, policy, RecordsReply(16, [](uint8_t i) {
        return BenchBytes{0x00, 0xFD, 0x00, 0x00, 0x08, 0x00, 0x10, 0x14, 0x49, 0x02, 0x01, i};
    }));
}

void BM_CanIngest16Records(benchmark::State& state) {
    Iso15765WorkerPolicy policy(nullptr);
    Ingest16Records(state, policy);
}

void BM_J1939Ingest16Records(benchmark::State& state) {
    J1939WorkerPolicy policy(nullptr);
    Ingest16Records(state, policy);
}

void BM_Tp20Ingest16Records(benchmark::State& state) {
    Tp20WorkerPolicy policy(nullptr);
    Ingest16Records(state, policy);
}

void BM_J1939SplitAndReassemble(benchmark::State& state) {
    const size_t length = static_cast<size_t>(state.range(0));
    std::vector<uint8_t> message(length);
    for (size_t i = 0; i < length; ++i) message[i] = static_cast<uint8_t>(i * 7);
    for (auto _ : state) {
        const std::vector<CanPayload> packets = BuildJ1939DataPackets(message.data(), length);
        J1939Reassembler r(static_cast<uint32_t>(length));
        for (const CanPayload& p : packets) r.Feed(p.data, p.dlc);
        if (r.GetState() != J1939Reassembler::State::Complete) state.SkipWithError("incomplete");
        benchmark::DoNotOptimize(r.Message().data());
    }
}

void BM_Tp20SplitAndReassemble252(benchmark::State& state) {
    const uint8_t first[8] = {0x21, 0x00, 0xFF, 0x01, 0x02, 0x03, 0x04, 0x05};
    std::vector<uint8_t> message(252);
    for (size_t i = 0; i < message.size(); ++i) message[i] = static_cast<uint8_t>(i * 7);
    for (auto _ : state) {
        const std::vector<CanPayload> frames = BuildTp20DataFrames(first[0], message.data(), message.size());
        Tp20Reassembler r;
        r.FeedFirst(first, 8);
        for (const CanPayload& f : frames) r.Feed(f.data, f.dlc);
        if (r.GetState() != Tp20Reassembler::State::Complete) state.SkipWithError("incomplete");
        benchmark::DoNotOptimize(r.Message().data());
    }
}

std::vector<uint8_t> LargestMessage() {
    std::vector<uint8_t> m(kIso15765MaxMessage);
    for (size_t i = 0; i < m.size(); ++i) m[i] = static_cast<uint8_t>(i * 13);
    return m;
}

void BM_Iso15765Segment4095(benchmark::State& state) {
    const std::vector<uint8_t> message = LargestMessage();
    for (auto _ : state) {
        std::vector<CanPayload> frames = SegmentIso15765(message.data(), message.size(), 0, 0);
        benchmark::DoNotOptimize(frames.data());
    }
}

void BM_Iso15765Reassemble4095(benchmark::State& state) {
    const std::vector<uint8_t> message = LargestMessage();
    const std::vector<CanPayload> frames = SegmentIso15765(message.data(), message.size(), 0, 0);
    for (auto _ : state) {
        Iso15765Reassembler r(0);
        for (const CanPayload& f : frames) r.Feed(f.data, f.dlc);
        if (r.GetState() != Iso15765Reassembler::State::Complete) state.SkipWithError("incomplete");
        benchmark::DoNotOptimize(r.Message().data());
    }
}

BENCHMARK(BM_CanIngest16Records);
BENCHMARK(BM_J1939Ingest16Records);
BENCHMARK(BM_Tp20Ingest16Records);
BENCHMARK(BM_J1939SplitAndReassemble)->Arg(252)->Arg(256);
BENCHMARK(BM_Tp20SplitAndReassemble252);
BENCHMARK(BM_Iso15765Segment4095);
BENCHMARK(BM_Iso15765Reassemble4095);

}  // namespace

BENCHMARK_MAIN();

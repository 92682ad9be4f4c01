// The K-line pages' costs on the host: one serial-bus worker pass, one recorded exchange (the
// sent frame and the board's answer at once), and building each page's frame with its default
// and its longest data. Goals: well over 100,000 passes or exchanges a second; under 1 us a
// frame.
#include <cstring>
#include <vector>

#include "bench/BenchBoard.h"
#include "pages/kline/Iso14230Frame.h"
#include "pages/kline/j1708/J1708Page.h"
#include "pages/kline/kw1281/Kw1281Page.h"
#include "pages/kline/usermode/UserModePage.h"
#include "pages/kline/KLineWorkers.h"

namespace {

void BM_SerialBusPass(benchmark::State& state) { RunBenchPasses(state, SerialBusWorkerPolicy()); }

// A KW1281 block goes out (busy test, write, sent record); the next poll brings the ECU's
// block (received record, counter).
void BM_SerialBusExchange(benchmark::State& state) {
    RunBenchPasses(state, SerialBusWorkerPolicy(), {0x00, 0x10, 0x04, 0x00, 0x03, 0x01, 0x09, 0x03},
                   Pending({0x57, 0x3F, 0x06, 0x00, 0x04, 0x00, 0x03, 0x00, 0x09, 0x03}), 2);
}

std::vector<uint8_t> Data(size_t n) {
    std::vector<uint8_t> data(n);
    for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(i * 7);
    return data;
}

// Frame and transmit packet, as a page's Send builds them.
template <class Build>
void RunFrame(benchmark::State& state, Build build) {
    uint8_t frame[kMaxUartFrameBytes];
    uint8_t packet[kPacketBufferSize];
    for (auto _ : state) {
        const size_t n = build(frame);
        benchmark::DoNotOptimize(BuildUartFramePacket(packet, static_cast<uint16_t>(n), frame, n));
        benchmark::ClobberMemory();
    }
}

void BM_FrameKw1281(benchmark::State& state) {
    const std::vector<uint8_t> data = Data(static_cast<size_t>(state.range(0)));
    RunFrame(state, [&](uint8_t* out) { return BuildKw1281Block(0x0B, data.data(), data.size(), out); });
}

void BM_FrameUserMode(benchmark::State& state) {
    UartRegisterImage image;
    LoadUartImageDefaults(image, kUserModeImageDefaults);
    const std::vector<uint8_t> data = Data(static_cast<size_t>(state.range(0)));
    RunFrame(state, [&](uint8_t* out) { return BuildUserModeFrame(image, data.data(), data.size(), out); });
}

void BM_FrameJ1708(benchmark::State& state) {
    UartRegisterImage image;
    LoadUartImageDefaults(image, kJ1708ImageDefaults);
    const std::vector<uint8_t> data = Data(static_cast<size_t>(state.range(0)));
    RunFrame(state, [&](uint8_t* out) { return BuildJ1708Frame(image, 0x10, data.data(), data.size(), out); });
}

// The SCI page sends its bytes as they are.
void BM_FrameSci(benchmark::State& state) {
    const std::vector<uint8_t> data = Data(static_cast<size_t>(state.range(0)));
    RunFrame(state, [&](uint8_t* out) {
        std::memcpy(out, data.data(), data.size());
        return data.size();
    });
}

void BM_FrameIso14230(benchmark::State& state) {
    Iso14230Frame frame;
    frame.dataCount = static_cast<uint8_t>(state.range(0));
    const std::vector<uint8_t> data = Data(frame.dataCount);
    std::memcpy(frame.data, data.data(), data.size());
    UpdateHeaderFields(frame);
    RunFrame(state, [&](uint8_t* out) { return BuildIso14230Frame(frame, out); });
}

BENCHMARK(BM_SerialBusPass);
BENCHMARK(BM_SerialBusExchange);
BENCHMARK(BM_FrameKw1281)->Arg(1)->Arg(253);
BENCHMARK(BM_FrameUserMode)->Arg(5)->Arg(255);
BENCHMARK(BM_FrameJ1708)->Arg(8)->Arg(255);
BENCHMARK(BM_FrameSci)->Arg(5)->Arg(255);
BENCHMARK(BM_FrameIso14230)->Arg(1)->Arg(255);

}  // namespace

BENCHMARK_MAIN();

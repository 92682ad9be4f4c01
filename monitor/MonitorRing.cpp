#include "monitor/MonitorRing.h"

#include <algorithm>
#include <cstring>

#include "device/EngineFrame.h"

MonitorRecord g_MonitorRecords[kMonitorCapacity];
std::atomic<uint32_t> g_MonitorOldest{0};
std::atomic<uint32_t> g_MonitorWrite{0};
std::atomic<uint32_t> g_MonitorCount{0};
std::atomic<uint32_t> g_MonitorRowsPerPage{0};
std::atomic<uint32_t> g_MonitorTop{0};
std::atomic<uint32_t> g_MonitorSeq{1};
std::atomic<uint32_t> g_MonitorLastSeq{1};

namespace {
std::mutex g_recordMutex;
}

std::mutex& MonitorRecordMutex() { return g_recordMutex; }

void ResetMonitorRing() {
    std::lock_guard<std::mutex> lock(g_recordMutex);
    g_MonitorCount.store(0, std::memory_order_release);
    g_MonitorTop.store(0, std::memory_order_release);
    g_MonitorWrite.store(0, std::memory_order_release);
    g_MonitorOldest.store(0, std::memory_order_release);
    g_MonitorSeq.store(1, std::memory_order_release);
    g_MonitorLastSeq.store(1, std::memory_order_release);
}

void AppendMonitorRecord(uint8_t direction, uint8_t kind, uint16_t lengthWord, uint32_t timeMs,
                         const uint8_t* data, size_t count, const MonitorInitBytes& init) {
    std::lock_guard<std::mutex> lock(g_recordMutex);
    // Only one worker appends, so the words cannot move under us; relaxed loads suffice.
    uint32_t write = g_MonitorWrite.load(std::memory_order_relaxed);
    uint32_t seq = g_MonitorSeq.load(std::memory_order_relaxed);
    if (write >= kMonitorCapacity) write = 0;  // unreachable on a consistent ring
    MonitorRecord& r = g_MonitorRecords[write];
    r.sequence = seq;
    r.timeMs = timeMs;
    r.direction = direction;
    r.kind = kind;
    const size_t came = data ? count : 0;
    const size_t kept = std::min<size_t>(came, kMonitorDataBytes);
    r.lengthWord = lengthWord;
    r.reserved = 0;
    // Bytes the chip promised but never sent would show what the slot held before: the word
    // carries the count that came. A whole frame longer than the record keeps its word: only
    // its first 260 bytes are kept. Short is told from what came, before the record's cut.
    if (kind == KindUart && came < FrameLengthCount(lengthWord)) {
        r.lengthWord = static_cast<uint16_t>((lengthWord & ~kFrameCountMask) | came);
        r.reserved = kMonitorShortFrame;
    }
    if (kept) std::memcpy(r.data, data, kept);
    if (init.which == MonitorInitBytes::Fast) {
        r.fastInitLowMs = init.lowMs;
        r.fastInitHighMs = init.highMs;
    } else if (init.which == MonitorInitBytes::Slow) {
        r.slowInitAddress = init.address;
    }

    seq += 1;
    write += 1;
    uint32_t n = g_MonitorCount.load(std::memory_order_relaxed) + 1;
    if (write == kMonitorCapacity) write = 0;
    // Once full, the slot the next record overwrites holds the oldest. Told from the count:
    // the sequence passes 2^31 and wraps at 2^32, so no compare with it holds for ever.
    if (n >= kMonitorCapacity) {
        n = kMonitorCapacity;
        g_MonitorOldest.store(write, std::memory_order_release);
    }
    g_MonitorWrite.store(write, std::memory_order_release);
    g_MonitorCount.store(n, std::memory_order_release);
    g_MonitorSeq.store(seq, std::memory_order_release);
}

uint32_t MonitorIndexOfSequence(uint32_t sequence) {
    std::lock_guard<std::mutex> lock(g_recordMutex);
    const uint32_t next = g_MonitorSeq.load(std::memory_order_relaxed);
    const uint32_t write = g_MonitorWrite.load(std::memory_order_relaxed) % kMonitorCapacity;
    // Unsigned difference: the distance back from the newest survives the wrap at 2^32.
    const uint32_t back = (next - sequence) % kMonitorCapacity;
    return (write + kMonitorCapacity - back) % kMonitorCapacity;
}

MonitorRecord CopyMonitorRecord(uint32_t index) {
    std::lock_guard<std::mutex> lock(g_recordMutex);
    return g_MonitorRecords[index % kMonitorCapacity];
}

void CopyMonitorRecords(uint32_t first, uint32_t n, MonitorRecord* out) {
    n = std::min(n, kMonitorCapacity);
    if (n == 0) return;
    first %= kMonitorCapacity;
    const uint32_t head = std::min(n, kMonitorCapacity - first);
    std::lock_guard<std::mutex> lock(g_recordMutex);
    std::memcpy(out, &g_MonitorRecords[first], head * sizeof(MonitorRecord));
    std::memcpy(out + head, &g_MonitorRecords[0], (n - head) * sizeof(MonitorRecord));
}

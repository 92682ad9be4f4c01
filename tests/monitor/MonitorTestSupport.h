#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "monitor/MonitorRing.h"

// A reset ring with zeroed records, as at program start.
class CleanRing : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(g_MonitorRecords, 0, sizeof g_MonitorRecords);
        ResetMonitorRing();
        g_MonitorRowsPerPage = 20;
    }
};

constexpr uint8_t kSent = 0, kReceived = 1;

// A UART length word: init type t, checksum flag, n frame bytes.
constexpr uint16_t UartWord(unsigned t, unsigned n, bool checksum = false) {
    return static_cast<uint16_t>((t << 12) | (checksum ? 0x800 : 0) | (n & 0x1FF));
}

// n records whose 16 data bytes all hold the low byte of their sequence; time = sequence * 10.
inline void AppendNumbered(uint32_t n, uint8_t kind = KindCan) {
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t bytes[16];
        std::memset(bytes, static_cast<uint8_t>(g_MonitorSeq.load()), sizeof bytes);
        AppendMonitorRecord(kReceived, kind, 0, g_MonitorSeq.load() * 10, bytes, sizeof bytes);
    }
}

// The ring as `appended` appends since a reset would leave it, made at once: the words, and in
// each slot a record holding the sequence it would carry (sequences wrap at 2^32). Lets a test
// start next to 2^31 or 2^32 appends.
inline void SeedRing(uint64_t appended) {
    const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(appended, kMonitorCapacity));
    const uint32_t write = static_cast<uint32_t>(appended % kMonitorCapacity);
    for (uint32_t back = 1; back <= count; ++back) {
        MonitorRecord& r = g_MonitorRecords[(write + kMonitorCapacity - back) % kMonitorCapacity];
        r.sequence = static_cast<uint32_t>(appended + 1 - back);
        r.timeMs = r.sequence * 10;
    }
    g_MonitorOldest = count == kMonitorCapacity ? write : 0;
    g_MonitorWrite = write;
    g_MonitorCount = count;
    g_MonitorSeq = static_cast<uint32_t>(appended + 1);
}

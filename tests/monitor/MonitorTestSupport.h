#pragma once
// Record builders and a clean ring for the monitor tests.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "monitor/MonitorRing.h"

// Every test starts from a reset ring whose record bytes are zero, as at program start.
class CleanRing : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(g_MonitorRecords, 0, sizeof g_MonitorRecords);
        ResetMonitorRing();
        g_MonitorRowsPerPage = 20;
    }
};

inline MonitorRecord MakeRecord(uint8_t kind, uint8_t direction, uint16_t lengthWord,
                                std::initializer_list<uint8_t> bytes) {
    MonitorRecord r{};
    r.sequence = 1;
    r.kind = kind;
    r.direction = direction;
    r.lengthWord = lengthWord;
    size_t i = 0;
    for (uint8_t b : bytes) r.data[i++] = b;
    return r;
}

constexpr uint8_t kSent = 0;
constexpr uint8_t kReceived = 1;

// A UART-engine length word: init type t, checksum flag, n frame bytes.
constexpr uint16_t UartWord(unsigned t, unsigned n, bool checksum = false) {
    return static_cast<uint16_t>((t << 12) | (checksum ? 0x800 : 0) | (n & 0x1FF));
}

// Appends n records whose 16 data bytes all hold the low byte of their sequence.
inline void AppendNumbered(uint32_t n, uint8_t kind = KindCan) {
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t bytes[16];
        std::memset(bytes, static_cast<uint8_t>(g_MonitorSeq.load()), sizeof bytes);
        AppendMonitorRecord(kReceived, kind, 0, g_MonitorSeq.load() * 10, bytes, sizeof bytes);
    }
}

#pragma once
// The simulated board's packet log as byte vectors, and waiting for a packet with a deadline.
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "testboard/testboard.h"

using Bytes = std::vector<uint8_t>;

inline Bytes LoggedPacket(unsigned index) {
    uint8_t buffer[300];
    const unsigned length = tb_log_packet(index, buffer, sizeof buffer, nullptr);
    return Bytes(buffer, buffer + length);
}

inline std::vector<Bytes> LoggedPackets(unsigned from = 0) {
    std::vector<Bytes> packets;
    const unsigned count = tb_log_count();
    for (unsigned i = from; i < count; ++i)
        packets.push_back(LoggedPacket(i));
    return packets;
}

inline bool IsPoll(const Bytes& p) { return p.size() == 4 && p[0] == 0xA0 && p[2] == 0x04; }
inline bool IsStop(const Bytes& p) { return p.size() == 4 && p[0] == 0xB2 && p[2] == 0x07; }
inline bool IsRead31(const Bytes& p) { return p == Bytes{0x50, 0x31, 0x04, 0x00}; }
inline bool IsEngineFrame(const Bytes& p) { return p.size() >= 6 && p[0] == 0x57 && p[1] == 0x3F; }

// Index of the first logged packet at or after from that matches, waiting for new packets up
// to the deadline; -1 when none came.
inline int WaitForPacket(const std::function<bool(const Bytes&)>& match, unsigned from = 0,
                         unsigned timeoutMs = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    unsigned next = from;
    for (;;) {
        const unsigned count = tb_log_count();
        for (; next < count; ++next)
            if (match(LoggedPacket(next)))
                return static_cast<int>(next);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !tb_wait_log_count(count + 1, static_cast<unsigned>(left.count())))
            return -1;
    }
}

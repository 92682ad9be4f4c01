#pragma once
// The simulated board's packet and call logs as byte vectors and text, and waiting for a
// packet with a deadline.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "testboard/testboard.h"

using Bytes = std::vector<uint8_t>;

// "54 09 04 00" as bytes: two hex digits a byte, one separator between.
inline Bytes Hex(const std::string& text) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 3)
        bytes.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

// The board's answer to the next poll or read.
inline void QueueReply(const Bytes& reply) { tb_queue_reply(reply.data(), static_cast<unsigned>(reply.size())); }

inline Bytes LoggedPacket(unsigned index) {
    uint8_t buffer[300];
    const unsigned length = tb_log_packet(index, buffer, sizeof buffer, nullptr);
    return Bytes(buffer, buffer + length);
}

// Queues a reply for the host's next read.
inline void Queue(const Bytes& reply) { tb_queue_reply(reply.data(), static_cast<unsigned>(reply.size())); }

inline std::vector<Bytes> LoggedPackets(unsigned from = 0) {
    std::vector<Bytes> packets;
    const unsigned count = tb_log_count();
    for (unsigned i = from; i < count; ++i)
        packets.push_back(LoggedPacket(i));
    return packets;
}

inline bool IsPoll(const Bytes& p) { return p.size() == 4 && p[0] == 0xA0 && p[2] == 0x04; }
inline bool IsStop(const Bytes& p) { return p.size() == 4 && p[0] == 0xB2 && p[2] == 0x07; }
inline bool IsStart(const Bytes& p) { return p.size() == 4 && p[0] == 0xB1; }
inline bool IsRead31(const Bytes& p) { return p == Bytes{0x50, 0x31, 0x04, 0x00}; }
inline bool IsEngineFrame(const Bytes& p) { return p.size() >= 6 && p[0] == 0x57 && p[1] == 0x3F; }

// The host's write and read calls from call `from` on, as "w<length>/<ms>" and "r<max>/<ms>".
inline std::string LoggedCalls(unsigned from = 0) {
    std::string text;
    tb_call call;
    for (unsigned i = from; tb_call_at(i, &call); ++i)
        text += (text.empty() ? "" : " ") + std::string(call.read ? "r" : "w") +
                std::to_string(call.length) + "/" + std::to_string(call.timeout_ms);
    return text;
}

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

// Index of the n-th poll at or after from, -1 when it did not come.
inline int WaitForPolls(unsigned n, int from = 0) {
    int at = from - 1;
    for (unsigned i = 0; i < n; ++i)
        if ((at = WaitForPacket(IsPoll, static_cast<unsigned>(at + 1))) < 0) return -1;
    return at;
}

// 'R' packets end in a byte the host's buffer left there: the three defined bytes of one.
inline Bytes Defined(const Bytes& p) {
    return p.size() == 4 && p[0] == 0x52 ? Bytes(p.begin(), p.begin() + 3) : p;
}

// Every packet up to the start command (B1) as Defined gives it; empty when no start came.
inline std::vector<Bytes> PacketsThroughStart() {
    const int start = WaitForPacket(IsStart);
    if (start < 0) return {};
    std::vector<Bytes> packets = LoggedPackets();
    packets.resize(static_cast<size_t>(start) + 1);
    for (Bytes& p : packets) p = Defined(p);
    return packets;
}

#pragma once
// Byte helpers and the entry every responder test answers with: 01 00 -> 41 00 + message 1.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "simulator/RespondTable.h"

namespace simtest {

using Bytes = std::vector<uint8_t>;

inline Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline Bytes Ramp(uint8_t from, size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(from + i);
    return b;
}

inline OBDRespondEntry PidEntry(const Bytes& message1) {
    OBDRespondEntry e;
    InitRespondEntry(e);
    e.request[0] = 0x01, e.request[1] = 0x00, e.requestLength = 2;
    e.ack[0] = 0x41, e.ack[1] = 0x00, e.ackLength = 2;
    std::copy(message1.begin(), message1.end(), e.message1);
    e.message1Length = static_cast<uint32_t>(message1.size());
    e.messageCount = message1.empty() ? 0 : 1;
    return e;
}
inline const Bytes kPids{0xBE, 0x3F, 0xB8, 0x13};

}  // namespace simtest

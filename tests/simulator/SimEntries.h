#pragma once
// Byte helpers and entries; every responder test answers 01 00 with 41 00 + message 1.
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

// An entry that answers the request with the ack and message 1.
inline OBDRespondEntry AnswerEntry(const Bytes& request, const Bytes& ack, const Bytes& message1) {
    OBDRespondEntry e;
    InitRespondEntry(e);
    std::copy(request.begin(), request.end(), e.request);
    e.requestLength = static_cast<uint32_t>(request.size());
    std::copy(ack.begin(), ack.end(), e.ack);
    e.ackLength = static_cast<uint32_t>(ack.size());
    std::copy(message1.begin(), message1.end(), e.message1);
    e.message1Length = static_cast<uint32_t>(message1.size());
    e.messageCount = message1.empty() ? 0 : 1;
    return e;
}
inline OBDRespondEntry PidEntry(const Bytes& message1) { return AnswerEntry({0x01, 0x00}, {0x41, 0x00}, message1); }
inline const Bytes kPids{0xBE, 0x3F, 0xB8, 0x13};

}  // namespace simtest

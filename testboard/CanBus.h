#pragma once
// The board's CAN side in bytes: the 16-byte CAN record of a poll reply, the poll reply that
// carries records, and the consecutive frames the chip's ISO 15765 engine puts on the bus
// after a first frame.
//
//   record  w0 SID << 2 | IDE, w1 EID17:6 (tag 0), w2 EID5:0 << 10 | DLC, data, 0 0
#include <cstdint>
#include <vector>

namespace testboard {

using Bytes = std::vector<uint8_t>;

constexpr unsigned kCanRecordSize = 16;
constexpr unsigned kMaxRecordsPerReply = 16;

Bytes CanRecord(uint32_t id, bool extended, const uint8_t* data, unsigned dlc);
// A poll reply 00 00 n 00 followed by the records.
Bytes CanRecordsReply(const std::vector<Bytes>& records);
// The frames after a first frame (16-byte records): count bytes of message as consecutive
// frames with the first frame's identifier; PTYPE 1 puts its N_AE (first frame data byte 0)
// first in each.
std::vector<Bytes> ConsecutiveFrameRecords(const Bytes& firstFrame, const uint8_t* message,
                                           unsigned count, uint8_t ptype);

}  // namespace testboard

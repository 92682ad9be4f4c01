#pragma once
// The board's CAN side in bytes: the 16-byte CAN record of a poll reply, the poll reply that
// carries records, and the frames the chip's transport engines put on the bus after a
// hand-over (ISO 15765 consecutive frames, J1939 TP.DT packets, TP2.0 data frames).
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
// The TP.DT packets of the first total bytes of message (at most packets of them), on the
// identifier of the TP.DT template dtTemplate (16 bytes).
std::vector<Bytes> J1939DataPacketRecords(const Bytes& dtTemplate, const uint8_t* message,
                                          unsigned total, unsigned packets);
// The TP2.0 data frames of count bytes of message after firstFrame, on its identifier.
std::vector<Bytes> Tp20DataFrameRecords(const Bytes& firstFrame, const uint8_t* message,
                                        unsigned count);

}  // namespace testboard

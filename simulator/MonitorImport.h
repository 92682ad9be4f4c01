#pragma once
// Turning monitor records into an entry's ACK and Message1, without widgets.
//
// Numbers are the sequence numbers the monitor list shows: the record with sequence n, which
// is ring index n - 1 until the ring wraps. First record: a received CAN single or first
// frame, K-line frame without init, or J1850 frame; ACK = the first ackLength bytes after
// the header (PCI, format and addresses, J1850 header), Message1 = the rest without checksum
// or CRC. Later records append their bodies (CAN: consecutive frames only, up to the length
// the first frame announced; J1850: the ACK is taken again,
// 00 where the record holds no byte); sent records are skipped.
// Message1 stops at 256 bytes; no byte is read from outside its frame.
#include <cstdint>

#include "monitor/MonitorRing.h"
#include "simulator/RespondTable.h"

struct ImportState {
    uint32_t ackLength = 0;
    uint8_t ack[8] = {};
    uint8_t message1[kMaxMessageBytes] = {};
    uint32_t message1Length = 0;
    uint32_t firstRowTaken = 0;
    uint32_t headerLength = 3;  // K-line: 4 once a frame had a length byte; never back to 3
    uint32_t canTotalLength = 0;
    uint32_t singleFrameLength = 0;
};

// One record into the state: nullptr when taken (perhaps with nothing), else the refusal.
const char* ImportFromMonitor(ImportState& state, const MonitorRecord& record);

// "确定": the range refusals in order, then every record from `from` to `to` (to 0 or equal
// to from: one record). nullptr when the import ended, else the text to show.
// from and to as typed (up to 10 digits): a number past 2^32 - 1 is no sequence and is out of
// range, never taken modulo 2^32.
const char* ImportMonitorRange(ImportState& state, uint32_t ackLength, uint64_t from, uint64_t to);

// The texts of the two notes of the dialog.
extern const char* const kImportNoteCan;
extern const char* const kImportNoteMessage1;

#pragma once
// The texts of monitor records: the list's cells, the .txt export line and the detail
// dialog's fields. One module, so the three never drift apart.
//
// Record data layouts read here (bytes of MonitorRecord::data):
//   CAN (kind 0):   w0 = u16 at 0-1: bit 0 extended, bits 2-12 standard id; byte 0 bit 1
//                   standard remote; w1 = u16 at 2-3: low 12 bits the extended id's middle;
//                   byte 4 low nibble DLC; w2 = u16 at 4-5: bit 9 extended remote, bits
//                   10-15 the extended id's low 6 bits; data bytes from 6.
//   UART (kind 1):  n = lengthWord & 0x1FF frame bytes (at most 260 shown), init type
//                   t = (lengthWord >> 12) & 7, checksum flag lengthWord bit 11. A received
//                   5-baud result: byte 0 error code, bytes 2-3 BRG (u16), bytes 5-6 keywords;
//                   one of fewer than 7 bytes reads "INIT ERROR : " and its bytes, never OK.
//                   A frame cut short of its length word (kMonitorShortFrame) ends in "...".
//   J1850 (kind 2): byte 0 bit 0 PWM, bit 2 NB, bit 3 one-byte header; byte 1 low nibble the
//                   frame length c (CRC included), high nibble the in-frame-response count;
//                   frame from byte 4 (byte 4 bit 4 also marks a one-byte header).
//   Error flags (kind 3): bytes 4-8 UERRF, JERRF, CINTF0, CINTF1, CINTF2.
//
// Nothing here reads past the 16 bytes of a frame record or the 260 of a UART frame: a CAN
// DLC above 8 shows 8 data bytes (the DLC number stays), J1850 response bytes stop at byte 15.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/MonitorRing.h"

// Raised (to 1) every time the list formats a received 5-baud result whose first byte is 0
// ("INIT=OK") and whose sequence is at or after g_Kw1281LinkMark; the KW1281 page waits for
// it and clears it. The mark keeps an INIT=OK row of an earlier initialisation, still on
// screen, from raising the link again after the page took it down.
extern std::atomic<uint32_t> g_Kw1281LinkUp;
extern std::atomic<uint32_t> g_Kw1281LinkMark;
// Takes the link down: flag 0, mark = g_MonitorSeq (only records appended from now count).
void ClearKw1281Link();

// Who a text is for. The list raises g_Kw1281LinkUp; the export shows a CAN remote frame as
// "    Remote" and leaves the flag alone.
enum class RecordTextUse { List, Export };

// Cell texts. Length, data and status come upper-cased (ASCII letters only).
std::string FormatKind(const MonitorRecord& record);       // "CAN", "UART", "J1850", "-"
std::string FormatDirection(const MonitorRecord& record);  // "接收" / "发送"
std::string FormatLength(const MonitorRecord& record);
std::string FormatStatus(const MonitorRecord& record);
std::string FormatData(const MonitorRecord& record, RecordTextUse use = RecordTextUse::List);

// One .txt line (sequence, direction, time, bus, length, data), without its line end.
std::string FormatExportLine(const MonitorRecord& record);

struct RgbColour {
    uint8_t r, g, b;
    bool operator==(const RgbColour& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const RgbColour& o) const { return !(*this == o); }
};
constexpr RgbColour kRowTextReceived{0, 0, 0};
constexpr RgbColour kRowTextSent{255, 0, 0};
constexpr RgbColour kRowBackground{255, 255, 255};
constexpr RgbColour kRowBackgroundErrorFlags{255, 220, 220};

enum MonitorColumn {
    ColumnSequence,
    ColumnDirection,
    ColumnTime,
    ColumnRelativeTime,
    ColumnKind,
    ColumnLength,
    ColumnData,
    ColumnStatus,
    kMonitorColumnCount
};

struct MonitorRow {
    uint32_t index = 0;  // ring index of the record
    std::array<std::string, kMonitorColumnCount> cells;
    RgbColour text = kRowTextReceived;
    RgbColour background = kRowBackground;
};

struct MonitorPage {
    uint32_t top = 0;  // g_MonitorTop after the clamp
    std::vector<MonitorRow> rows;
};

// The list's refresh: shown = min(count, rows per page) rows from g_MonitorOldest + g_MonitorTop
// (wrapping at 100000). g_MonitorTop is first clamped (and stored) so the last page stays
// full. Records are copied under the record lock in one hold, then formatted; the cost follows
// the rows shown, not the ring's fill. Rows per page above 256 are taken as 256. Raises
// g_Kw1281LinkUp for every INIT=OK row shown. The list empties itself first when the page
// has fewer rows than it holds items. page's storage is reused between calls.
void BuildMonitorPage(MonitorPage& page);

// A double-clicked row's sequence text (unsigned decimal) to the ring index of its record
// (MonitorIndexOfSequence).
uint32_t MonitorIndexFromSequenceText(const std::string& text);

// The detail dialog's fields. Texts use "\r\n" between lines; the dialog turns them into
// what its control shows.
struct RecordDetail {
    std::string sequence;   // decimal
    std::string direction;  // "接收" / "发送"
    std::string bus;        // "CAN", "UART", "J1850", "ERROR Flag" (kind 3 and above)
    std::string header;     // "-" where the kind has none
    std::string dlc;
    std::string crc;
    std::string data;
};
RecordDetail DecodeRecordDetail(const MonitorRecord& record);

// The four decoders (DecodeRecordDetail picks one by kind and fills the three common fields).
void DecodeUartDetail(const MonitorRecord& record, RecordDetail& detail);
void DecodeCanDetail(const MonitorRecord& record, RecordDetail& detail);
void DecodeJ1850Detail(const MonitorRecord& record, RecordDetail& detail);
void DecodeErrorFlagsDetail(const MonitorRecord& record, RecordDetail& detail);

#pragma once
// The monitor ring: every frame sent or received on any bus, 100000 fixed records.
//
// One worker appends while the UI thread reads. The six words are atomics; the records are
// guarded by one small lock (appends and record copies hold it), so a reader never sees a
// record half written. Clear, load and save run only while no worker runs.
//
// Record layout (276 bytes, little-endian, also the record of a .rec file):
//   0 u32 sequence   4 u32 timeMs   8 u8 direction (1 received)   9 u8 kind
//   10 u16 lengthWord   12 u8[260] data   272 u8 fastInitLowMs   273 u8 fastInitHighMs
//   274 u8 slowInitAddress   275 u8 flags (bit 0: kMonitorShortFrame)
//
// A UART record holds only bytes that arrived: when the chip's length word promised more than
// came, the record's word carries the count that came (its flag bits kept; it may pass the 260
// bytes kept) and kMonitorShortFrame says the rest never arrived. A whole frame longer than the
// record keeps its word and its first 260 bytes. Files written before that rule (flags 0) load
// as they are.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

constexpr uint32_t kMonitorCapacity = 100000;
constexpr uint32_t kMonitorDataBytes = 260;
constexpr uint32_t kMonitorMaxRowsPerPage = 256;

enum MonitorKind : uint8_t { KindCan = 0, KindUart = 1, KindJ1850 = 2, KindErrorFlags = 3 };

// Flag of a UART record whose frame was cut short of its length word.
constexpr uint8_t kMonitorShortFrame = 0x01;

struct MonitorRecord {
    uint32_t sequence;
    uint32_t timeMs;
    uint8_t direction;
    uint8_t kind;
    uint16_t lengthWord;
    uint8_t data[kMonitorDataBytes];
    uint8_t fastInitLowMs;
    uint8_t fastInitHighMs;
    uint8_t slowInitAddress;
    uint8_t reserved;  // the flags
};
static_assert(sizeof(MonitorRecord) == 276, "a monitor record is 276 bytes");

extern MonitorRecord g_MonitorRecords[kMonitorCapacity];
extern std::atomic<uint32_t> g_MonitorOldest;
extern std::atomic<uint32_t> g_MonitorWrite;
extern std::atomic<uint32_t> g_MonitorCount;
extern std::atomic<uint32_t> g_MonitorRowsPerPage;
extern std::atomic<uint32_t> g_MonitorTop;
extern std::atomic<uint32_t> g_MonitorSeq;

// Guards the record bytes. Held by appends and by readers while they copy records.
std::mutex& MonitorRecordMutex();

// The init bytes of a sent fast-init (low/high ms) or 5-baud init (address) frame.
struct MonitorInitBytes {
    enum Which { None, Fast, Slow } which = None;
    uint8_t lowMs = 0;
    uint8_t highMs = 0;
    uint8_t address = 0;
};

// The next sequence the hub's list last refreshed for. New records are detected from
// g_MonitorSeq, which never stops (g_MonitorCount stops at 100000 once the ring is full).
// ResetMonitorRing (Clear) sets it to 1 and a successful .rec load to the loaded next
// sequence: both refresh the list themselves, so a later run of the same size still shows.
extern std::atomic<uint32_t> g_MonitorLastSeq;

// Count, top and indices to 0, next sequence 1, last-seen sequence 1; rows per page and record
// bytes stay.
void ResetMonitorRing();

// The one append rule. count is the bytes that came, of which the record keeps at most 260; a
// UART record whose length word promises more than came keeps count as its length and is marked
// kMonitorShortFrame. Fields
// the record's kind does not use keep what the slot held. Once the ring is full (count 100000) oldest follows write,
// however far the sequence has run (it wraps to 0 after 2^32 - 1).
void AppendMonitorRecord(uint8_t direction, uint8_t kind, uint16_t lengthWord, uint32_t timeMs,
                         const uint8_t* data, size_t count,
                         const MonitorInitBytes& init = MonitorInitBytes());

// The ring index of the record with this sequence, counted back from the next sequence and the
// write index; (sequence - 1) mod 100000 on a ring that has not passed 2^32 appends, and right
// past that and after a load too.
uint32_t MonitorIndexOfSequence(uint32_t sequence);

// Copies the record at ring index (0..99999, taken modulo 100000) under the lock.
MonitorRecord CopyMonitorRecord(uint32_t index);

// Copies n records from ring index first upward, wrapping after 99999, under one hold of the
// lock. n is at most 100000.
void CopyMonitorRecords(uint32_t first, uint32_t n, MonitorRecord* out);

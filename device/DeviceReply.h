#pragma once
// Reading a board reply without ever reading past what arrived.
//
//   byte 0     not used
//   byte 1     status: 0x08 fault, 0x10 one UART-engine frame follows, 0x80 pending frame sent
//   bytes 2-3  u16 LE word: a FrameLengthWord (0x10 set) or a count of 16-byte records
//   byte 4..   the frame bytes (word & 0x1FF) or the records
//
// Records and frame bytes are bounded by the bytes received: records = min(word,
// (received - 4) / 16); frame bytes = min(word & 0x1FF, received - 4, 260). The word itself
// is kept as the chip sent it. A reply shorter than 4 bytes carries nothing.
//
// What bit 0x10 means depends on the engine the worker drives, so the reader takes it from
// the caller: the UART engine sends one frame under it; the CAN engine's word always counts
// records; the J1850 worker files nothing of a reply that carries it.
#include <cstdint>

constexpr uint32_t kFrameRecordSize = 16;
constexpr uint32_t kMaxRecordFrameBytes = 260;

enum class UartFlagReply {
    Frame,    // one UART-engine frame follows, the word is its FrameLengthWord
    Records,  // the word counts 16-byte records whatever the flag says
    Ignore,   // the reply carries nothing to file
};

struct ParsedReply {
    bool hasStatus = false;  // at least 2 bytes arrived
    bool hasWord = false;    // at least 4 bytes arrived
    uint8_t status = 0;
    uint16_t word = 0;
    bool uartFrame = false;  // StatusUartFrame set, read as a frame, and a word arrived
    const uint8_t* frame = nullptr;
    uint32_t frameBytes = 0;    // readable at frame: at most 260
    uint32_t frameArrived = 0;  // the frame's bytes that arrived, also past the 260 read

    const uint8_t* records = nullptr;
    uint32_t recordCount = 0;
};

// flagged: how a reply with StatusUartFrame set is read; without the flag the word always
// counts records.
ParsedReply ParseDeviceReply(const uint8_t* reply, int received, UartFlagReply flagged);

// A frame record's layout by its tag (byte 3 >> 4).
enum class FrameRecordTag { Can, J1850, ErrorFlags };
FrameRecordTag GetFrameRecordTag(const uint8_t* record);

// Monitor kind and direction of a record taken from a reply: J1850 carries its direction in
// byte 0 bit 7; CAN and error flags are always received.
struct RecordKindDirection {
    uint8_t kind;       // 0 CAN, 2 J1850, 3 error flags
    uint8_t direction;  // 1 received, 0 sent
};
RecordKindDirection ReplyRecordKind(const uint8_t* record);

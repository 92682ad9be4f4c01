#pragma once
// KWP2000 frames as the ISO 14230 page builds them (K-line, ISO 14230-2 framing).
//
//   format 0 (no address)   Fmt [Len] Data... CS
//   format 1 (CARB)         Fmt Tgt Src Data... CS          Fmt 0x68 or as typed (bits 7-6 = 01)
//   format 2 (physical)     Fmt Tgt Src [Len] Data... CS    Fmt 0x80 | (count & 0x3F)
//   format 3 (functional)   Fmt Tgt Src [Len] Data... CS    Fmt 0xC0 | count
//
// Without the length byte the count lives in Fmt's low six bits; format 0 keeps only those
// bits, format 2 masks, format 3 ors the whole count in. More than 63 bytes therefore wrap
// into the address bits: a tester may send malformed frames on purpose. With the length byte
// (never in CARB) Fmt carries 0 in its count bits and Len is the count.
// CS is the 8-bit sum of every byte before it. At most 1 + 2 + 1 + 255 + 1 = 260 bytes.
//
// The frame goes to the chip as [57 3F n16 word16 frame...] with n = frame bytes + 2 and
// word = frame bytes | initType << 12 (0 unless sent with initialisation).
#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint32_t kIso14230MaxData = 255;
constexpr uint32_t kIso14230MaxFrame = 260;
constexpr uint32_t kIso14230MaxKeepAlive = 16;
constexpr uint8_t kIso14230CarbFmt = 0x68;

enum Iso14230Format : uint8_t {
    FormatNoAddress = 0,
    FormatCarb = 1,
    FormatPhysical = 2,
    FormatFunctional = 3,
};

// The frame fields of the page.
struct Iso14230Frame {
    uint8_t frameFormat = FormatFunctional;
    uint8_t fmt = 0xC1;
    uint8_t target = 0x33;
    uint8_t source = 0xF1;
    uint8_t dataCount = 1;
    uint8_t data[kIso14230MaxData] = {0x81};
    uint8_t checksum = 0x66;
    bool useLengthByte = false;
};

uint8_t Iso14230Checksum(const uint8_t* bytes, size_t count);

// Fmt as the format derives it; CARB keeps what the frame holds.
uint8_t Iso14230DerivedFmt(const Iso14230Frame& frame);
bool Iso14230HasAddress(uint8_t frameFormat);
bool Iso14230HasLengthByte(const Iso14230Frame& frame);

// Writes the frame (header, data, checksum) to out, which holds kIso14230MaxFrame bytes.
// Uses frame.fmt as stored; returns the byte count.
size_t BuildIso14230Frame(const Iso14230Frame& frame, uint8_t* out);

// The word before the frame: the byte count, and with initialisation the page's init type in
// bits 12-14 (the chip performs it before it sends the frame).
uint16_t Iso14230SendWord(size_t frameBytes, bool withInit, uint8_t initType);

// What the header controls show after a change of format, length-byte check or data.
struct Iso14230HeaderView {
    bool addressEnabled = true;    // Target and Source edits
    std::string targetText;        // "-" without address bytes
    std::string sourceText;
    bool fmtEditable = false;      // only in CARB
    bool lengthCheckEnabled = true;
    bool lengthCheckShown = false; // CARB shows it unchecked; the flag keeps its value
    std::string fmtText;           // "%.2X"
    std::string dlcText;           // "%d"
    std::string checksumText;      // "%.2X"
};

// Sets fmt by the format (CARB: 0x68) and the checksum, and says what the controls show.
Iso14230HeaderView UpdateHeaderFields(Iso14230Frame& frame);
// Recomputes the checksum of the frame as it stands and returns it as "%.2X".
std::string UpdateChecksum(Iso14230Frame& frame);

// The keep-alive frame: its bytes followed by their 8-bit sum.
struct Iso14230KeepAlive {
    uint8_t data[kIso14230MaxKeepAlive] = {0xC1, 0x33, 0xF1, 0x3E};
    uint8_t count = 4;
    uint8_t checksum = 0x23;
};
size_t BuildIso14230KeepAliveFrame(const Iso14230KeepAlive& keepAlive, uint8_t* out);

// "%.2X " per byte, as the data edits show their bytes; "%.2X" for one byte.


#pragma once
// The head of every CAN page's register image, the bit-timing table, and the handlers that
// the three CAN pages share: bit timing, operating mode, protocol control, the acceptance
// filters and masks, and the single-frame slot with its data text.
//
// Handlers take the text or selection of their control, store one field and return what
// the window must show back; none of them talks to the chip. Threads: UI thread only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pages/can/CanFrame.h"
#include "pages/shared/PageStatus.h"

struct CanBaudTableEntry {
    uint8_t BRP;
    uint8_t SJW;     // register field values: quanta - 1
    uint8_t SEG1PH;
    uint8_t SEG2PH;
    uint8_t PRSEG;
    char name[16];
};
constexpr size_t kCanBaudRows = 12;
constexpr size_t kCanBaudRowUser = 11;  // "User-defined": the timing controls are editable
extern const CanBaudTableEntry kCanBaudTable[kCanBaudRows];

constexpr size_t kCanFilters = 16;
constexpr size_t kCanFiltersShown = 8;  // only F0-F7 have controls and are downloaded
constexpr size_t kCanMasks = 3;

struct CanRegisterImage {
    uint8_t cctrl0Mode = 0;     // bits 2:0: 0 normal, 2 loopback, 3 listen-only
    uint8_t pinsel = 0;         // bit 0 EN, bit 1 NSTB
    uint8_t singleWire = 0;     // 0 two-wire, 1 single-wire
    uint8_t reg28 = 0;
    uint8_t cfg1 = 0;           // SJW 7:6, BRP 5:0
    uint8_t cfg2 = 0;           // 0xC0 | SEG1PH 5:3 | PRSEG 2:0
    uint8_t cfg3 = 0;           // SEG2PH 2:0; bits 7:3 as they are
    uint8_t filterEnable0 = 0;  // F0-F7
    uint8_t filterEnable1 = 0;  // F8-F15
    uint8_t mskSel[4] = {};     // 2 bits a filter: mask 0-2, 3 none
    CanFilterEntry masks[kCanMasks];
    CanFilterEntry filters[kCanFilters];
    uint32_t bufferPointer[2] = {};  // a nibble a filter: receive buffer 0-7, 0xF the FIFO
    uint8_t cprocon = 0;        // bit 7 enable, 6 OP1E, 5 OP0E, 2:0 PTYPE
};

constexpr uint8_t kCproconEnable = 0x80;
constexpr uint8_t kCproconOp1e = 0x40;
constexpr uint8_t kCproconOp0e = 0x20;
inline uint8_t CanPtype(const CanRegisterImage& image) { return image.cprocon & 7; }

// What every page's defaults put in the head alike: normal mode, EN and NSTB, two-wire, reg28,
// filters cleared, F8-F15 off, MSKSEL bytes 1-3 "None", every filter to the FIFO.
void SetCanHeadDefaults(CanRegisterImage& image, uint8_t reg28);

// --- bit timing -------------------------------------------------------------------------
struct CanTimingView {
    unsigned sjw = 0, seg2ph = 0, seg1ph = 0, prseg = 0;  // combo selections
    std::string brpText;                                  // decimal
    bool editable = false;                                // row 11 only
};
// Choosing a row: cfg1, cfg2 and cfg3 bits 2:0 from it (rows past the table count as row 1).
CanTimingView SelectCanBaudRow(CanRegisterImage& image, size_t row);
// What the timing controls show for the image as it stands.
CanTimingView CanTiming(const CanRegisterImage& image, size_t row);
void SetCanSjw(CanRegisterImage& image, unsigned selection);
void SetCanSeg2ph(CanRegisterImage& image, unsigned selection);
void SetCanSeg1ph(CanRegisterImage& image, unsigned selection);
void SetCanPrseg(CanRegisterImage& image, unsigned selection);
// "BRP:": decimal; above 63 stores value mod 64 and shows it with "BRP 最大值为63"; negative
// text stores 0 and shows it.
PageEditResult CanBrpChanged(CanRegisterImage& image, const std::string& text);

// --- bus, mode and protocol -------------------------------------------------------------
// Mode radio 0, 1, 2 -> CCTRL0 bits 2:0 = 0, 2, 3, the other bits kept.
void SetCanMode(CanRegisterImage& image, unsigned radio);
unsigned CanModeRadio(const CanRegisterImage& image);  // 0 normal, 1 loopback, 2 otherwise
void SetCanBits(uint8_t& field, uint8_t mask, bool on);
void SetCanPtype(CanRegisterImage& image, unsigned selection);

// --- acceptance filters and masks -------------------------------------------------------
struct CanEntryRef {
    bool mask;
    unsigned n;  // filter 0-15 or mask 0-2
};
CanFilterEntry& CanEntry(CanRegisterImage& image, CanEntryRef ref);
const CanFilterEntry& CanEntry(const CanRegisterImage& image, CanEntryRef ref);

// Hex text with its spaces removed, read by HexStringToNumber.
uint32_t ParseCanHexText(const std::string& text);
// The 29-bit edit typed: SID, EID17:16, EID15:0 stored; returns the 11-bit edit's new text.
std::string CanId29Changed(CanRegisterImage& image, CanEntryRef ref, const std::string& text);
// The 11-bit edit typed: SID alone.
void CanSid11Changed(CanRegisterImage& image, CanEntryRef ref, const std::string& text);
std::string CanId29Text(const CanRegisterImage& image, CanEntryRef ref);  // "%.8X"
std::string CanSid11Text(const CanRegisterImage& image, CanEntryRef ref); // "%.3X"

void SetCanFilterEnabled(CanRegisterImage& image, unsigned n, bool on);
bool CanFilterEnabled(const CanRegisterImage& image, unsigned n);
void SetCanMaskSelect(CanRegisterImage& image, unsigned n, unsigned selection);
unsigned CanMaskSelect(const CanRegisterImage& image, unsigned n);
// Selection 0-7 a receive buffer, 8 "FIFO" (stored 0xF); shown back: nibbles 8-15 as 8.
void SetCanBufferPointer(CanRegisterImage& image, unsigned n, unsigned selection);
unsigned CanBufferPointerSelection(const CanRegisterImage& image, unsigned n);

// --- frame data and the single-frame slot -----------------------------------------------
extern const char* const kCanTextDataTooLong;  // "数据桢的总长度不可大于8字节!"

// Hex text two digits a byte (spaces, CR, LF dropped) into out, at most capacity bytes; the
// count read is returned in count. More text than fits: the edit is rewritten with the bytes
// taken and, when message is not null, the message shown.
PageEditResult ReadCanHexData(std::string text, uint8_t* out, size_t capacity, size_t& count,
                              const char* message);

// "桢类型:" 0 standard, 1 extended: IDE set, the ID edit rewritten in the new form.
std::string SetSingleFrameType(EcanMessageBuffer& frame, unsigned selection);
// "桢格式:" 0 data, 1 remote: RTR and SRR.
void SetSingleFrameFormat(EcanMessageBuffer& frame, unsigned selection);
// "ID": hex by the slot's IDE.
void SingleFrameIdChanged(EcanMessageBuffer& frame, const std::string& text);
// "请求数据:": up to 8 bytes, DLC := the count.
PageEditResult SingleFrameDataChanged(EcanMessageBuffer& frame, const std::string& text);
// The data as "%.2X " per byte (the DLC's bytes, at most 8).
std::string CanFrameDataText(const EcanMessageBuffer& frame);
// --- decimal edits ---------------------------------------------------------------------
// Decimal text (saturating); negative text reads 0 and is written back as "0".
uint32_t ReadCanDecimal(const std::string& text, PageEditResult& result);
// The same with an upper bound: above it the bound, written back with the message.
PageEditResult ReadCanBoundedDecimal(const std::string& text, uint32_t max, const char* message,
                                     uint32_t& value);
extern const char* const kCanTextBufferTooLong;  // "缓冲区数据长度不可大于256字节!"
extern const char* const kCanTextMax255;         // " 最大值为255"
extern const char* const kCanTextBsize255;       // "BSIZE 最大值为255"

// The longest text the ID edit takes: 8 extended, 3 standard.
inline unsigned CanIdTextLimit(bool extended) { return extended ? 8 : 3; }

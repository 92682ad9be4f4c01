#pragma once
// The UART / K-line frame engine's register image, baud table, pin table, frame control word
// and the field handlers that every page of the K-line family shares. Pure functions over
// bytes and text: no device, no thread, no UI.
//
// Image (176 bytes, held by value in each page; register and block numbers are separate):
//   0 UTXP1T ->R42   2 UFREET ->R44   3 URXP1MAX ->R45   4 UTXVT0 ->R46   5 URXVT1 ->R48
//   6 UFRMCON (byte 1 of the start command)   7 PINSEL ->R2D   8 UFRMV ->R2E
//   9 UFLENCON ->R2F   10 UFLAND ->R30   12 fast-init low ->R32   13 fast-init high ->R33
//   14 5-baud address ->R34   15 BITADJ ->R39   16-25 U5BAUDCON ->T2B   26-41 ->T2C
//   42-57 ->T2D   58-69 ->T2E   70-71 BRG (u16 LE) ->T2A   72 line format ->R35
//   73 ->R36   74 ->R37   76-139 LIN ID table ->W2F   140-171 ->T30..T33 (8 each)
//   172 message period ->R3C.  Bytes 1, 11, 75 and 173-175 are never sent.
//
// Frame control word (u16 LE before every engine frame, both directions):
//   bits 0-8 byte count   bit 11 checksum verdict (received)   bits 12-14 initialisation
//   (0 none, 1 fast, 2 5-baud, 3 user pulse; 7 received: ECU side initialised)
//   bit 15 LIN header waiting for the slave response (received)
//
// Transmit packet in g_TxPacket: 57 3F nLo nHi wordLo wordHi frame..., n = frame bytes + 2,
// n + 4 bytes written.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/EngineFrame.h"
#include "pages/shared/FieldText.h"

constexpr size_t kUartImageSize = 176;
using UartRegisterImage = std::array<uint8_t, kUartImageSize>;

namespace uart {

// Image offsets.
constexpr size_t UTXP1T = 0;
constexpr size_t UFREET = 2;
constexpr size_t URXP1MAX = 3;
constexpr size_t UTXVT0 = 4;
constexpr size_t URXVT1 = 5;
constexpr size_t UFRMCON = 6;
constexpr size_t PINSEL = 7;
constexpr size_t UFRMV = 8;
constexpr size_t UFLENCON = 9;
constexpr size_t UFLAND = 10;
constexpr size_t fastInitLowMs = 12;
constexpr size_t fastInitHighMs = 13;
constexpr size_t slowInitAddress = 14;
constexpr size_t BITADJ = 15;
constexpr size_t U5BAUDCON = 16;  // 10 bytes
constexpr size_t CONB = 16;
constexpr size_t W1MAX = 17;
constexpr size_t W2MAX = 19;
constexpr size_t W4MAX = 23;
constexpr size_t W4SEND = 24;
constexpr size_t USERKW = 25;
constexpr size_t Block2C = 26;  // 16 bytes
constexpr size_t Block2D = 42;  // 16 bytes
constexpr size_t Block2E = 58;  // 12 bytes
constexpr size_t BRG = 70;      // u16 LE
constexpr size_t lineFormat = 72;
constexpr size_t Reg36 = 73;
constexpr size_t Reg37 = 74;
constexpr size_t LinIdTable = 76;  // 64 bytes
constexpr size_t Lackb = 140;      // 4 x 8 bytes
constexpr size_t messagePeriod = 172;

constexpr size_t kU5BaudConSize = 10;
constexpr size_t kBlock2CSize = 16;
constexpr size_t kBlock2DSize = 16;
constexpr size_t kBlock2ESize = 12;
constexpr size_t kLinIdTableSize = 64;
constexpr size_t kLackbSize = 8;

// UFRMCON
constexpr uint8_t FrmConAlways = 0x80;
constexpr uint8_t FrmConLab = 0x20;
constexpr uint8_t FmodMask = 0x07;
enum Fmod : uint8_t {
    FmodUart = 0, FmodIso14230 = 1, FmodLin = 2, FmodUser = 3, FmodSciHalf = 4, FmodSciDuplex = 5
};
// CONB
constexpr uint8_t ConbAbaud = 0x80;
constexpr uint8_t ConbNaddr = 0x40;
constexpr uint8_t ConbEnkw2 = 0x20;
constexpr uint8_t ConbNkw2 = 0x10;
constexpr uint8_t ConbEnl = 0x08;
constexpr uint8_t ConbRlenMask = 0x07;
// UFRMV
constexpr uint8_t FrmvCheckRx = 0x80;
constexpr uint8_t FrmvCheckTx = 0x40;
constexpr uint8_t FrmvInvertChecksum = 0x20;
constexpr uint8_t FrmvCheckLast = 0x10;
constexpr uint8_t FrmvChksum = 0x08;
constexpr uint8_t FrmvOffsetMask = 0x07;
// UFLENCON
constexpr uint8_t FlenLengthControl = 0x80;
constexpr uint8_t FlenLrrMask = 0x70;
constexpr uint8_t FlenChkmod = 0x08;
constexpr uint8_t FlenLenpMask = 0x07;

}  // namespace uart

uint16_t GetImageBrg(const UartRegisterImage& image);
void SetImageBrg(UartRegisterImage& image, uint16_t brg);

// --- baud table -------------------------------------------------------------------------
struct UartBaudTableEntry {
    uint16_t BRG;
    char name[16];  // zero-padded, blanks as shown to the user
};
constexpr size_t kUartBaudRows = 12;
constexpr size_t kUartBaudRowUser = 11;     // "User-defined": the BRG edit is enabled
constexpr size_t kUartBaudRowDefault = 6;   // 10400 baud
constexpr size_t kUartBaudRow9600 = 7;      // J1708, LIN and UART test open here
extern const UartBaudTableEntry kUartBaudTable[kUartBaudRows];

constexpr uint32_t kUartClockHz = 2500000;
// The rate the chip runs at for a divisor: 2,500,000 / (BRG + 1), integer division.
uint32_t UartActualBaud(uint16_t brg);

// --- pins -------------------------------------------------------------------------------
enum class UartPin {
    K1,          // "K1 (TX1 RX1)"            low nibble 0x0
    K2,          // "K2(TX2 RX2)"             0x5
    KL,          // "K / L (TX1 RX1 +TX2_L)"  0x0 and ENL
    Rs485,       // "RS485 (TX3 RX3)", "SAE J1708 (TX3 RX3)"  0xA
    SciTx1Rx2,   // "SCI (TX1 RX2)"           0x4
    SciTx2Rx1,   // "SCI (TX2 RX1)"           0x1
};
// Sets PINSEL bits 0-3 for the radio and keeps bits 4-7. With ownsEnl (the pages whose
// radios drive the L line) ENL is set for K / L and cleared for every other radio;
// without it only K / L touches ENL (it sets it).
void ApplyPinSelection(UartRegisterImage& image, UartPin pin, bool ownsEnl);

// --- frame control word -----------------------------------------------------------------
// The word itself (init types, count, flags): device/EngineFrame.h.

// The largest frame a transmit packet can carry: 264 payload bytes less the word.
constexpr size_t kMaxUartFrameBytes = 262;
// Fills packet (at least 268 bytes) with 57 3F n word frame. Returns the number of bytes to
// write (frame bytes + 6), or 0 and writes nothing when the frame does not fit.
size_t BuildUartFramePacket(uint8_t* packet, uint16_t word, const uint8_t* frame, size_t count);

// --- field handlers ---------------------------------------------------------------------
// Decimal text is read by ParseDecimalSaturating (pages/shared/FieldText.h).

// What a field handler did with the text typed into its edit. When message is not empty the
// page writes rewriteText back into the edit and shows message (application title caption).
struct FieldResult {
    uint32_t value = 0;
    std::string message;
    std::string rewriteText;
    bool Clamped() const { return !message.empty(); }
};

enum class UartFieldKind {
    Ms1To255,       // URXP1MAX, UTXVT0, W2MAX, W4MAX, W4SEND, fast-init low/high
    Ms0To255,       // UTXP1T, UFREET, URXVT1
    Units20Ms1To255 // W1MAX
};
FieldResult ValidateByteField(UartFieldKind kind, const std::string& text);
// The same, storing the result into image[offset].
FieldResult ApplyByteField(UartRegisterImage& image, size_t offset, UartFieldKind kind,
                           const std::string& text);

// "BRG(0-65535):": above 65535 (negative included) keeps the low 16 bits with a message.
FieldResult ValidateBrg(const std::string& text);
FieldResult ApplyBrgField(UartRegisterImage& image, const std::string& text);

// Hex byte field (5-baud address, BITADJ, UFLAND): stored, never a message.
void ApplyHexByteField(UartRegisterImage& image, size_t offset, const std::string& text);

// Keep-alive interval, on leaving its edit: below 200 becomes 200 with "最小值为200ms".
FieldResult ValidateKeepAliveInterval(const std::string& text);
// Cyclic period, on every change: 0 becomes 1 with "最小1ms!"; the edit keeps its text
// (rewriteText stays empty).
FieldResult ValidateCyclePeriod(const std::string& text);

// --- combo and check handlers -----------------------------------------------------------
struct BaudRowResult {
    uint16_t brg = 0;
    bool brgEditEnabled = false;  // only "User-defined"
    uint32_t actualBaud = 0;
};
// Sets BRG from the row (rows past the table are taken as the default row).
BaudRowResult SelectBaudRow(UartRegisterImage& image, size_t row);
// "数据/校验位:" 0 none, 1 even, 2 odd -> line format bits 1-2.
void SelectDataFormat(UartRegisterImage& image, unsigned selection);
// "停止位:" 0 one, 1 two -> line format bit 0.
void SelectStopBits(UartRegisterImage& image, unsigned selection);
unsigned DataFormatSelection(const UartRegisterImage& image);
unsigned StopBitsSelection(const UartRegisterImage& image);
// "自动波特率检测" -> CONB bit 7.
void SetAutoBaud(UartRegisterImage& image, bool on);
// Sets or clears bits of one image byte (the SCI-style checks).
void SetImageBits(UartRegisterImage& image, size_t offset, uint8_t mask, bool on);
// Replaces the bits of mask with value shifted into them (combos over a bit field).
void SetImageField(UartRegisterImage& image, size_t offset, uint8_t mask, uint8_t value);

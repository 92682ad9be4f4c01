#pragma once
// The UART frame engine's length word, as a frame packet (57 3F n word frame) carries it and
// a reply hands it back, and the init values the last K-line download gave the chip. The
// worker loop files sent engine frames with them; the K-line pages build their words here.
#include <atomic>
#include <cstdint>

enum UartInitType : uint8_t {
    InitNone = 0, InitFast = 1, InitSlow5Baud = 2, InitUserPulse = 3, InitEcuActive = 7
};
constexpr uint16_t kFrameCountMask = 0x01FF;

// A sent word: count in bits 0-8 (masked), init type in bits 12-14.
uint16_t MakeFrameLengthWord(uint16_t count, uint8_t initType);
inline uint16_t FrameLengthCount(uint16_t word) { return word & kFrameCountMask; }
inline uint8_t FrameLengthInit(uint16_t word) { return static_cast<uint8_t>((word >> 12) & 7); }
inline bool FrameLengthChecksumBit(uint16_t word) { return (word & 0x0800) != 0; }
inline bool FrameLengthLinHeader(uint16_t word) { return (word & 0x8000) != 0; }

// Copies of the init fields made by the ISO 14230, user-mode and KW1281 downloads; the
// worker loop puts them into the records of sent initialisation frames.
extern std::atomic<uint8_t> g_FastInitLowTime;
extern std::atomic<uint8_t> g_FastInitHighTime;
extern std::atomic<uint8_t> g_SlowInitAddress;

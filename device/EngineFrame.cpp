#include "device/EngineFrame.h"

std::atomic<uint8_t> g_FastInitLowTime{0};
std::atomic<uint8_t> g_FastInitHighTime{0};
std::atomic<uint8_t> g_SlowInitAddress{0};

uint16_t MakeFrameLengthWord(uint16_t count, uint8_t initType) {
    return static_cast<uint16_t>((count & kFrameCountMask) | ((initType & 7u) << 12));
}

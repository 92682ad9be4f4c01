#include "logic/LogicSettings.h"

#include <cstdlib>

uint32_t LogicBaudOfRow(unsigned row) {
    return row < kLogicBaudLabels.size() ? static_cast<uint32_t>(std::atoi(kLogicBaudLabels[row])) : 0;
}

void ApplyLogicBaud(LogicSettings& s, uint32_t baud) {
    if (baud == 0) return;
    s.baud = baud;
    s.bitUs = 1000000 / baud;
    s.bitUsMax = 1030000 / baud;
    s.bitUsMin = 970000 / baud;
    const bool parityBit = s.parityMode == ParityOdd || s.parityMode == ParityEven;
    s.frameUs = (parityBit ? 11000000 : 10000000) / baud;
    s.frameUsMax = s.frameUs * 103 / 100;
    s.frameUsMin = s.frameUs * 97 / 100;
}

#pragma once
// The logic analyser's settings: the three choices of the page and the bit and frame windows
// the decoder works with. Baud and time scale are stored in files by their row index, so the
// rows (and their odd labels "11520" and "200") must not change.
#include <array>
#include <cstdint>

constexpr std::array<const char*, 7> kLogicBaudLabels = {"1200",  "4800",  "9600", "10400",
                                                         "11520", "12800", "19200"};
constexpr std::array<const char*, 9> kLogicTimeScaleLabels = {
    "10us", "50us", "100us", "200", "500us", "1ms", "2ms", "5ms", "10ms"};
constexpr std::array<uint32_t, 9> kLogicTimeScaleUs = {10,   50,   100,  200,  500,
                                                       1000, 2000, 5000, 10000};
constexpr const char* kLogicParityLabels[4] = {"无校验位", "奇校验", "偶校验", "LIN"};

constexpr unsigned kLogicBaudDefault = 3;       // "10400"
constexpr unsigned kLogicTimeScaleDefault = 1;  // "50us"

enum LogicParity : uint32_t { ParityNone = 0, ParityOdd = 1, ParityEven = 2, ParityLin = 3 };

struct LogicSettings {
    uint32_t timeScaleUs = 100;  // µs per 5 pixels
    uint32_t baud = 0;
    uint32_t bitUs = 0, bitUsMax = 0, bitUsMin = 0;
    uint32_t frameUs = 0, frameUsMax = 0, frameUsMin = 0;
    uint32_t parityMode = ParityNone;
};

// The label read as a decimal number, as the page reads its choice.
uint32_t LogicBaudOfRow(unsigned row);

// Bit and frame times for baud (> 0), integer divisions: a frame is 11 bits in the two parity
// modes, else 10. The parity choice alone does not recompute them.
void ApplyLogicBaud(LogicSettings& settings, uint32_t baud);

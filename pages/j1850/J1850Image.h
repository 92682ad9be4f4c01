#pragma once
// The J1850 engine's register image, its in-frame-response control byte and the two presets.
//
//   JCON0 (reg 08)  bit 0 one-byte header format, bit 1 IFR3 buffers end with a CRC
//   Reg09 (reg 09)  0x7E | PWM << 7
//   Reg04, Reg0A    read back only
//   Ifr3B0Length / Ifr3B1Length (regs 06 / 07)  bytes in the buffer (+1 with the CRC), 0 empty
//   blocks          YZZCON 0, IDIFRCON 1, HDFILTER 2, IDBUFF 3, IFR3_B0 4, IFR3_B1 5
//   IfrControl      bits 0-2 IDSEL, 3 IFR3SEL, 4-5 IFRT, 6 NB, 7 kept as found
//   HDFILTER[a]     bit 0 head ID, bit 1 physical address, bit 2 functional address
#include <cstddef>
#include <cstdint>

struct J1850RegisterImage {
    uint8_t JCON0 = 0;
    uint8_t Reg09 = 0;
    uint8_t Reg04 = 0;
    uint8_t Ifr3B0Length = 0;
    uint8_t Ifr3B1Length = 0;
    uint8_t Reg0A = 0;
    uint8_t YZZCON[8] = {};
    uint8_t IDIFRCON[256] = {};
    uint8_t HDFILTER[256] = {};
    uint8_t IDBUFF[8] = {};
    uint8_t IFR3_B0[10] = {};
    uint8_t IFR3_B1[10] = {};
};

namespace j1850 {
constexpr uint8_t Jcon0OneByteHeader = 0x01;
constexpr uint8_t Jcon0Ifr3Crc = 0x02;
constexpr uint8_t FilterHeadId = 0x01;
constexpr uint8_t FilterPhysical = 0x02;
constexpr uint8_t FilterFunctional = 0x04;
constexpr size_t kIfr3BufferSize = 10;
constexpr size_t kIdBufferSize = 8;
}  // namespace j1850

struct IfrControl {
    uint8_t idsel = 0;    // 0-7
    uint8_t ifr3sel = 0;  // 0-1
    uint8_t ifrt = 0;     // 0-3, 0 no in-frame response
    uint8_t nb = 0;       // 0-1

    // The byte with bit 7 taken from `old`.
    uint8_t Pack(uint8_t old = 0) const;
    static IfrControl Unpack(uint8_t byte);
};

enum J1850Preset { J1850ReceiveAll = 0, J1850SaeObd2 = 1 };

// Mode 0 receive-all, mode 1 SAE OBD2; any other mode changes nothing. The IFR3 buffers keep
// their bytes (their lengths become 0).
void LoadDefaults(J1850RegisterImage& image, int mode, bool pwm);

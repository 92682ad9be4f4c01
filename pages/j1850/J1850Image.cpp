#include "pages/j1850/J1850Image.h"

#include <algorithm>
#include <iterator>

uint8_t IfrControl::Pack(uint8_t old) const {
    return static_cast<uint8_t>((old & 0x80) | (nb & 1) << 6 | (ifrt & 3) << 4 |
                                (ifr3sel & 1) << 3 | (idsel & 7));
}

IfrControl IfrControl::Unpack(uint8_t byte) {
    IfrControl c;
    c.idsel = byte & 7;
    c.ifr3sel = (byte >> 3) & 1;
    c.ifrt = (byte >> 4) & 3;
    c.nb = (byte >> 6) & 1;
    return c;
}

void LoadDefaults(J1850RegisterImage& image, int mode, bool pwm) {
    if (mode != J1850ReceiveAll && mode != J1850SaeObd2) return;
    image.JCON0 = j1850::Jcon0Ifr3Crc;
    image.Reg09 = static_cast<uint8_t>(0x7E | (pwm ? 0x80 : 0));
    image.Reg04 = 0;
    image.Ifr3B0Length = 0;
    image.Ifr3B1Length = 0;
    image.Reg0A = 0;
    std::fill(std::begin(image.YZZCON), std::end(image.YZZCON), 0);
    std::fill(std::begin(image.IDIFRCON), std::end(image.IDIFRCON), 0);
    std::fill(std::begin(image.IDBUFF), std::end(image.IDBUFF), 0);
    image.IDBUFF[0] = 0xF1;
    if (mode == J1850ReceiveAll) {
        std::fill(std::begin(image.HDFILTER), std::end(image.HDFILTER),
                  j1850::FilterHeadId | j1850::FilterPhysical | j1850::FilterFunctional);
        return;
    }
    static const uint8_t kObd2Ifrt[8] = {2, 1, 2, 3, 1, 3, 0, 3};
    for (size_t y = 0; y < 8; ++y) {
        IfrControl c;
        c.ifrt = kObd2Ifrt[y];
        image.YZZCON[y] = c.Pack();
    }
    std::fill(std::begin(image.HDFILTER), std::end(image.HDFILTER), 0);
    image.HDFILTER[0xF1] = j1850::FilterPhysical;
    image.HDFILTER[0x6B] = j1850::FilterFunctional;
}

#pragma once
// Sending a CAN page's image to the chip: one runner over a list of writes that the family
// head builds and each page completes with its own registers and blocks.
//
// The list, in order: the set-up registers (17<-FC 3B<-00 05<-00 01<-95); PINSEL, single
// wire, CFG1-3, the filter enables, MSKSEL 0-3, 0x28 and CPROCON; the page's registers;
// masks 0-2 ('T' 09-0B), filters 0-7 ('T' 0C-13), the buffer pointers ('T' 1C, 1D); the
// page's blocks. No chip reset comes before it. The first failed write ends the download;
// what was written stays in the chip.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pages/can/CanFrame.h"
#include "pages/can/CanImage.h"

struct CanDownloadStep {
    enum Kind : uint8_t { Register, Block };
    Kind kind = Register;
    uint8_t target = 0;   // register or block number
    uint8_t length = 0;   // block bytes (a register: 1)
    uint8_t bytes[kEcanBufferSize] = {};

    static CanDownloadStep Reg(uint8_t reg, uint8_t value);
    static CanDownloadStep Blk(uint8_t block, const uint8_t* data, size_t length);
};
using CanDownloadList = std::vector<CanDownloadStep>;

// The whole list: the head's parts around the page's own registers and blocks.
CanDownloadList BuildCanDownload(const CanRegisterImage& image,
                                 const CanDownloadList& pageRegisters,
                                 const CanDownloadList& pageBlocks);

// Runs the writes in order: 1 when all went out, 0 at the first failure (nothing after it is
// written). UI thread; each write is serialised against a running worker by the device.
// Only the first `checked` writes end it at a failure; the later ones go out whatever came
// of them (the ECU simulator's set-up).
int RunCanDownload(const CanDownloadList& list, size_t checked = SIZE_MAX);

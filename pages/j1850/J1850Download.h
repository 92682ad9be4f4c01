#pragma once
// Sending the J1850 image to the chip: one list of steps, run in order, ending at the first
// failed write (what was written stays written).
//
//   set-up registers ('R' in g_RegPacket)   17<-00 3B<-00 05<-FF 01<-95
//   'R' in g_CmdPacket                       08<-JCON0 09<-Reg09
//   'T' in g_CmdPacket                       block 0 YZZCON, 3 IDBUFF, 4 IFR3_B0, 5 IFR3_B1
//   'W' in g_RegPacket                       block 1 IDIFRCON, 2 HDFILTER
//   'R' in g_CmdPacket                       06<-Ifr3B0Length 07<-Ifr3B1Length
//
// 'R' packets in g_CmdPacket keep the byte 3 the buffer held. The last step leaves 52 07 v 00
// in g_CmdPacket: the start command and the worker's polls and stop carry its 07 in byte 1.
#include <cstddef>
#include <cstdint>

#include "pages/j1850/J1850Image.h"

struct J1850DownloadStep {
    enum Kind : uint8_t {
        SetupRegister,  // UsbWriteRegister(target, value)
        Register,       // 'R' target <- image byte at offset, in g_CmdPacket
        Block,          // 'T' block target <- length bytes at offset, in g_CmdPacket
        LongBlock       // 'W' block target <- length bytes at offset (UsbWriteBlock)
    };
    Kind kind;
    uint8_t target;
    uint8_t value;
    uint16_t offset;  // into J1850RegisterImage
    uint16_t length;
};

struct J1850DownloadList {
    const J1850DownloadStep* steps;
    size_t count;
};
J1850DownloadList GetJ1850DownloadList();

// 1 when every write went out, 0 at the first failed one. UI thread; each write is one
// exchange under the device lock.
int ConfigureDevice(const J1850RegisterImage& image);

#pragma once
// Sending a page's register image to the chip: one runner over a per-page list of steps.
//
// Every page of the family downloads the four set-up registers first (17<-00 3B<-FF 05<-00
// 01<-95; the UART test: 17<-00 twice, 3B<-FF, 05<-00, 01<-F5), then its own registers and
// blocks in a fixed order. Register steps are one 'R' write each, 'T' blocks one UsbWriteBytes,
// the 'W' block one UsbWriteBlock. The first failed write ends the download; registers
// already written keep their values in the chip.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "pages/kline/UartImage.h"

// Which page's list to run.
enum class UartPage { Iso14230, UserMode, Kw1281, Sci, J1708, Lin, UartTest, EcuSimKLine };

struct UartDownloadStep {
    enum Kind : uint8_t {
        RegisterValue,  // register <- value (set-up registers)
        RegisterImage,  // register <- image[offset]
        Block,          // 'T' block <- image[offset .. offset+length)
        LongBlock,      // 'W' block <- image[offset .. offset+length)
        CopyInitValues  // g_FastInitLowTime / HighTime / g_SlowInitAddress from the image
    };
    Kind kind;
    uint8_t target;  // register or block number; the value for RegisterValue is in offset
    uint8_t offset;
    uint8_t length;
};

struct UartDownloadList {
    const UartDownloadStep* steps;
    size_t count;
};

// The page's whole list, set-up registers included.
UartDownloadList GetUartDownloadList(UartPage page);

// Runs the steps in order. 1 when every write succeeded, 0 at the first failed write (nothing
// after it is written). Called on the UI thread; the device layer serialises each write
// against a running worker.
int RunUartDownload(const UartRegisterImage& image, UartDownloadList list);
int ConfigureDevice(const UartRegisterImage& image, UartPage page);

// The init fields' copies (g_FastInitLowTime, ...) live with the engine word:
// device/EngineFrame.h.

#pragma once
// The UART test page without its widgets: the engine as a plain UART (FMOD 000), up to 60
// raw bytes per Send, and the sleep test (sleep, wake, interrupt flags).
//
// Send queues 60 00 nLo nHi data... (the UART send command); its worker writes it at once,
// without asking register 0x31, records it as sent (word = the byte count) and reads nothing
// more that pass. The sleep-test buttons talk to the board whether or not the worker runs;
// each of their exchanges holds the device lock, so a register reply never reaches the worker.
//
// Threads: UI thread only, except ThreadProcTestUart.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pages/shared/BusWorker.h"
#include "pages/kline/UartImage.h"
#include "pages/kline/UartPageOps.h"

extern const char* const kUartTestConnectedCaption;     // holds one "%d"
extern const char* const kUartTestNotConnectedCaption;
extern const char* const kUartTestTextDataTooLong;      // more than 60 bytes

constexpr size_t kUartTestMaxData = 60;

// SleepControl, written to register 0x02 by "休眠".
constexpr uint8_t kSleepWce = 0x01;
constexpr uint8_t kSleepWue = 0x02;
constexpr uint8_t kSleepWje = 0x04;
constexpr uint8_t kSleepRequest = 0x80;
constexpr uint8_t kSleepControlDefault = 0x87;

// The worker: UART test frames go out at once, a failed poll is "write 2", no block counter.
uint32_t ThreadProcTestUart(void* hub);
// Its policy, for a caller that runs passes itself.
WorkerPolicy& UartTestWorkerPolicy();

void LoadUartTestImageDefaults(UartRegisterImage& image);

class UartTestPage {
public:
    UartTestPage() { LoadDefaults(); }

    void LoadDefaults();
    const UartRegisterImage& Image() const { return image_; }
    UartRegisterImage& Image() { return image_; }
    UartPageConfig Config() const;

    // Data typed: at most 60 bytes, the rest cut with the message.
    PageEditResult DataChanged(std::string text);
    // Leaving the data edit, and the edit as shown: "%.2X " per byte.
    std::string DataText() const;
    size_t Count() const { return count_; }

    PageEditResult BrgChanged(const std::string& text);
    BaudRowResult SelectBaud(size_t row);
    size_t BaudRow() const { return baudRow_; }

    void SetSleepBit(uint8_t bit, bool on);
    uint8_t SleepControl() const { return sleepControl_; }

    PageStartResult Start(void* hub);
    void Stop();
    PageSendResult Send();
    // "休眠": sets bit 7 and writes SleepControl to register 0x02; the result is not examined.
    void Sleep();
    // "唤醒": AB 00 00 x; the result is not examined.
    void Wake();
    // "RD_INTF": reads register 0x00, then 0x02 into the same byte; "0x%.2X " of the byte.
    std::string ReadInterruptFlags();
    PageDeviceStatus RefreshDeviceStatus() const;

private:
    UartRegisterImage image_{};
    size_t baudRow_ = kUartBaudRow9600;
    uint8_t data_[kUartTestMaxData] = {};
    size_t count_ = 0;
    uint8_t sleepControl_ = kSleepControlDefault;
    uint8_t interruptFlags_ = 0;
};

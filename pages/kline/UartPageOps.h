#pragma once
// Start, Stop, Send and the device-status decision shared by every page of the K-line
// family, without widgets. Messages go through platform::ShowMessage; the page applies the
// returned results to its controls (hub timer, buttons, caption, its own page timers).
//
// Threads: UI thread only.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "pages/kline/SerialWorker.h"
#include "pages/kline/UartDownload.h"
#include "pages/kline/UartImage.h"
#include "pages/shared/PageStatus.h"

struct UartPageConfig {
    UartPage page;
    WorkerProc worker;
    bool highestPriority;     // ISO 14230, KW1281, SCI, user mode
    bool refuseWhileRunning;  // ISO 14230, LIN, UART test, J1708 do nothing while running
    uint8_t startSubMode;     // byte 3 of the start command: 0, the UART test 1
    bool clearRegister17First = false;  // the UART test: 17 <- 00 before the reset, unchecked
};

enum class UartStartResult {
    Started,        // downloaded, start command sent, worker started
    Redownloaded,   // a worker ran: downloaded and start command sent again, same worker
    Ignored,        // a worker ran and the page does nothing then
    NotConnected,   // no device: message shown
    DeviceError     // reset or download failed: message shown, nothing started
};
// Start: the page then starts hub timer 1 and refreshes its status on Started/Redownloaded.
// Clears a stale g_TxPending before a new worker starts.
UartStartResult StartUartPage(const UartRegisterImage& image, const UartPageConfig& config,
                              void* hub = nullptr);

// The same start with a set-up of another engine: configure runs after the chip reset (0 is
// a failed download), sendStart writes the start command; config.page is not read.
UartStartResult StartPageWith(const std::function<int()>& configure,
                              const std::function<void()>& sendStart,
                              const UartPageConfig& config, void* hub = nullptr);

// Stop: clears g_WorkerRunning, waits for the worker, clears g_TxPending. true when a worker
// was stopped. The page refreshes its status and kills its timers either way.
bool StopUartPage();

enum class UartSendResult {
    Queued,      // g_TxPacket filled, g_TxPending set
    NotRunning,  // connect message shown
    Pending,     // a frame is still pending: dropped
    TooLong      // the packet would not fit: nothing queued
};
// The family's tests before a frame is built: no worker (the connect message is shown), or a
// frame still pending (dropped). Queued means the page may build and queue its frame.
UartSendResult CheckUartSend();
// Queues one engine frame: 57 3F n word frame in g_TxPacket, then g_TxPending.
UartSendResult SendUartFrame(uint16_t word, const uint8_t* frame, size_t count);
// Queues a whole packet as it is (length bytes, at most the buffer) under the same rules.
UartSendResult SendUartPacket(const uint8_t* packet, size_t length);

using UartEditResult = PageEditResult;
// A validator's result as the page shows it: the bound written back and its message.
UartEditResult EditResultOf(const FieldResult& field);

using UartDeviceStatus = PageDeviceStatus;

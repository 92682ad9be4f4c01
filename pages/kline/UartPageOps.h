#pragma once
// Start and Send as the pages of the K-line family run them on the UART frame engine,
// without widgets (the steps every family shares are pages/shared/PageOps.h). Messages go through platform::ShowMessage; the page applies the
// returned results to its controls (hub timer, buttons, caption, its own page timers).
//
// Threads: UI thread only.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "pages/kline/UartDownload.h"
#include "pages/kline/UartImage.h"
#include "pages/shared/PageOps.h"
#include "pages/shared/PageStatus.h"

struct UartPageConfig {
    UartPage page;
    WorkerProc worker;
    bool highestPriority;     // ISO 14230, KW1281, SCI, user mode
    bool refuseWhileRunning;  // ISO 14230, LIN, UART test, J1708 do nothing while running
    uint8_t startSubMode;     // byte 3 of the start command: 0, the UART test 1
    bool clearRegister17First = false;  // the UART test: 17 <- 00 before the reset, unchecked

    PageWorkerStart WorkerStart() const {
        return PageWorkerStart{worker, highestPriority, refuseWhileRunning, clearRegister17First};
    }
};

// Start: the page then starts hub timer 1 and refreshes its status on Started/Redownloaded.
// Clears a stale g_TxPending before a new worker starts.
PageStartResult StartUartPage(const UartRegisterImage& image, const UartPageConfig& config,
                              void* hub = nullptr);

// Queues one engine frame: 57 3F n word frame in g_TxPacket, then g_TxPending.
PageSendResult SendUartFrame(uint16_t word, const uint8_t* frame, size_t count);
// A validator's result as the page shows it: the bound written back and its message.
PageEditResult EditResultOf(const FieldResult& field);


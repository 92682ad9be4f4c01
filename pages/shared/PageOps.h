#pragma once
// Start, Stop and the hand-over of a packet to the running worker, as every page runs them,
// without widgets. Messages go through platform::ShowMessage; the page applies the returned
// results to its controls (hub timer, buttons, caption, its own page timers).
//
// Threads: UI thread only.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "pages/shared/BusWorker.h"
#include "pages/shared/PageStatus.h"

enum class PageStartResult {
    Started,        // downloaded, start command sent, worker started
    Redownloaded,   // a worker ran: downloaded and start command sent again, same worker
    Ignored,        // a worker ran and the page does nothing then
    NotConnected,   // no device: message shown
    DeviceError     // reset or download failed: message shown, nothing started
};

// The worker a page starts and how.
struct PageWorkerStart {
    WorkerProc worker;
    bool highestPriority;
    bool refuseWhileRunning;            // the page does nothing while a worker runs
    bool clearRegister17First = false;  // 17 <- 00 before the reset, unchecked
};

// Start: chip reset, configure (0 is a failed download), sendStart writes the start command,
// then the worker. Clears a stale g_TxPending before a new worker starts. The page then
// starts hub timer 1 and refreshes its status on Started/Redownloaded.
PageStartResult StartPageWith(const std::function<int()>& configure,
                              const std::function<void()>& sendStart,
                              const PageWorkerStart& start, void* hub = nullptr);

// Stop: clears g_WorkerRunning, waits for the worker, clears g_TxPending. true when a worker
// was stopped. The page refreshes its status and kills its timers either way.
bool StopPage();

enum class PageSendResult {
    Queued,      // g_TxPacket filled, g_TxPending set
    NotRunning,  // connect message shown
    Pending,     // a frame is still pending: dropped
    TooLong      // the packet would not fit: nothing queued
};
// The tests before a frame is built: no worker (the connect message is shown), or a frame
// still pending (dropped). Queued means the page may build and queue its frame.
PageSendResult CheckPageSend();
// Queues a whole packet as it is (length bytes, at most the buffer) under the same rules.
PageSendResult SendPagePacket(const uint8_t* packet, size_t length);

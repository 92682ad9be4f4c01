#pragma once
// Start, Stop, Send and the multi-frame request shared by the CAN pages, without widgets.
// Messages go through platform::ShowMessage; the page applies the results to its controls
// (hub timer, buttons, caption, its keep-alive).
//
// Threads: UI thread only.
#include <cstdint>
#include <functional>

#include "pages/can/CanDownload.h"
#include "pages/can/CanFrame.h"
#include "pages/can/CanImage.h"
#include "pages/shared/BusWorker.h"
#include "pages/shared/PageOps.h"

// Started, Redownloaded (a worker ran: downloaded and start command sent again, same
// worker), NotConnected (message shown) or DeviceError (the download failed: message shown,
// no start command, no worker).
// Clears g_MultiFrameRequest, downloads the list (no chip reset), sends B1 mode 01 00 and,
// when no worker runs, clears a stale g_TxPending and starts worker(param). The page then
// starts hub timer 1 and refreshes its status.
PageStartResult StartCanPage(const CanRegisterImage& image, const CanDownloadList& download,
                            WorkerProc worker, void* param);

// Clears g_WorkerRunning, waits for the worker, clears g_TxPending; true when one ran.
bool StopCanPage();

enum class CanSendResult {
    Queued,      // g_TxPacket filled, g_TxPending set
    NotRunning,  // no worker: the connect message was shown (when asked for)
    Pending      // a frame is still pending: dropped
};
// A0 (byte 1 & F0) | 80 10 00 and the 16 frame bytes in g_TxPacket, then g_TxPending.
CanSendResult SendCanFrame(const EcanMessageBuffer& frame, bool messageWhenNotRunning = true);

// Whether the multi-frame button may build its request now: without a worker it shows the
// connect message; while a request is outstanding it does nothing. The page builds what the
// worker reads, then calls RaiseMultiFrameRequest.
bool MultiFrameRequestAllowed();
void RaiseMultiFrameRequest();
// Both for a page whose request takes what it holds as it stands: allowed, fill (what the
// worker reads before the flag), raised; false when refused.
bool RequestMultiFrame(const std::function<void()>& fill = nullptr);

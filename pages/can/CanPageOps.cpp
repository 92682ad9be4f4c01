#include "pages/can/CanPageOps.h"

#include <cstring>

#include "device/UsbOperation.h"
#include "pages/can/CanWorker.h"
#include "pages/shared/PageStatus.h"

PageStartResult StartCanPage(const CanRegisterImage& image, const CanDownloadList& download,
                            WorkerProc worker, void* param) {
    g_MultiFrameRequest.store(0, std::memory_order_release);
    if (!g_DeviceOpen.load(std::memory_order_acquire)) {
        ShowNotConnected();
        return PageStartResult::NotConnected;
    }
    const bool running = g_WorkerRunning.load(std::memory_order_acquire) != 0;
    // A worker that ended by itself may still be sending its stop packet; it must go out
    // before this session's download.
    if (!running) g_WorkerThread.JoinEnded();
    if (!RunCanDownload(download)) {
        ShowDeviceCommError();
        return PageStartResult::DeviceError;
    }
    UsbSendStart(image.cctrl0Mode & 7, EngineCan, 0);
    if (running) return PageStartResult::Redownloaded;
    // A frame queued after the last session ended is not this session's.
    g_TxPending.store(0, std::memory_order_release);
    if (!g_WorkerThread.Start(worker, param, true)) return PageStartResult::Redownloaded;
    return PageStartResult::Started;
}

bool StopCanPage() {
    const bool wasRunning = g_WorkerRunning.load(std::memory_order_acquire) != 0;
    g_WorkerThread.Stop();
    g_TxPending.store(0, std::memory_order_release);
    return wasRunning;
}

CanSendResult SendCanFrame(const EcanMessageBuffer& frame, bool messageWhenNotRunning) {
    if (!g_WorkerRunning.load(std::memory_order_acquire)) {
        if (messageWhenNotRunning) ShowNotConnected();
        return CanSendResult::NotRunning;
    }
    if (g_TxPending.load(std::memory_order_acquire)) return CanSendResult::Pending;
    g_TxPacket[0] = CmdPoll;
    g_TxPacket[1] = static_cast<uint8_t>((g_TxPacket[1] & 0xF0) | 0x80);
    g_TxPacket[2] = kEcanBufferSize;
    g_TxPacket[3] = 0;
    std::memcpy(g_TxPacket + 4, frame.bytes, kEcanBufferSize);
    g_TxPending.store(1, std::memory_order_release);  // last: the worker may take it now
    return CanSendResult::Queued;
}

bool MultiFrameRequestAllowed() {
    if (!g_WorkerRunning.load(std::memory_order_acquire)) {
        ShowNotConnected();
        return false;
    }
    return g_MultiFrameRequest.load(std::memory_order_acquire) == 0;
}

void RaiseMultiFrameRequest() { g_MultiFrameRequest.store(1, std::memory_order_release); }

bool RequestMultiFrame(const std::function<void()>& fill) {
    if (!MultiFrameRequestAllowed()) return false;
    if (fill) fill();
    RaiseMultiFrameRequest();
    return true;
}

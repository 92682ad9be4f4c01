#include "pages/shared/PageOps.h"

#include <cstring>

#include "device/UsbOperation.h"

PageStartResult StartPageWith(const std::function<int()>& configure,
                              const std::function<void()>& sendStart,
                              const PageWorkerStart& config, void* hub) {
    const bool running = g_WorkerRunning.load(std::memory_order_acquire) != 0;
    if (running && config.refuseWhileRunning)
        return PageStartResult::Ignored;
    if (!g_DeviceOpen.load(std::memory_order_acquire)) {
        ShowNotConnected();
        return PageStartResult::NotConnected;
    }
    // A worker that ended by itself may still be sending its stop packet; it must go out
    // before this session's reset, not after its start command.
    if (!running)
        g_WorkerThread.JoinEnded();
    if (config.clearRegister17First)
        UsbWriteRegister(0x17, 0x00);
    if (!ChipResetSequence() || !configure()) {
        ShowDeviceCommError();
        return PageStartResult::DeviceError;
    }
    sendStart();
    if (running)
        return PageStartResult::Redownloaded;
    // A frame queued after the last session ended (a page timer) is not this session's.
    g_TxPending.store(0, std::memory_order_release);
    if (!g_WorkerThread.Start(config.worker, hub, config.highestPriority))
        return PageStartResult::Redownloaded;
    return PageStartResult::Started;
}

bool StopPage() {
    const bool wasRunning = g_WorkerRunning.load(std::memory_order_acquire) != 0;
    g_WorkerThread.Stop();
    g_TxPending.store(0, std::memory_order_release);
    return wasRunning;
}

PageSendResult CheckPageSend() {
    if (!g_WorkerRunning.load(std::memory_order_acquire)) {
        ShowNotConnected();
        return PageSendResult::NotRunning;
    }
    if (g_TxPending.load(std::memory_order_acquire))
        return PageSendResult::Pending;
    return PageSendResult::Queued;
}

PageSendResult SendPagePacket(const uint8_t* packet, size_t length) {
    const PageSendResult allowed = CheckPageSend();
    if (allowed != PageSendResult::Queued)
        return allowed;
    if (length == 0 || length > kPacketBufferSize)
        return PageSendResult::TooLong;
    std::memcpy(g_TxPacket, packet, length);
    g_TxPending.store(1, std::memory_order_release);  // last: the worker may take it now
    return PageSendResult::Queued;
}

#include "pages/kline/UartPageOps.h"

#include <cstring>

#include "device/UsbOperation.h"

UartStartResult StartUartPage(const UartRegisterImage& image, const UartPageConfig& config,
                              void* hub) {
    return StartPageWith([&] { return ConfigureDevice(image, config.page); },
                         [&] { UsbSendStart(image[uart::UFRMCON], EngineUart, config.startSubMode); },
                         config, hub);
}

UartStartResult StartPageWith(const std::function<int()>& configure,
                              const std::function<void()>& sendStart,
                              const UartPageConfig& config, void* hub) {
    const bool running = g_WorkerRunning.load(std::memory_order_acquire) != 0;
    if (running && config.refuseWhileRunning)
        return UartStartResult::Ignored;
    if (!g_DeviceOpen.load(std::memory_order_acquire)) {
        ShowNotConnected();
        return UartStartResult::NotConnected;
    }
    // A worker that ended by itself may still be sending its stop packet; it must go out
    // before this session's reset, not after its start command.
    if (!running)
        g_WorkerThread.JoinEnded();
    if (config.clearRegister17First)
        UsbWriteRegister(0x17, 0x00);
    if (!ChipResetSequence() || !configure()) {
        ShowDeviceCommError();
        return UartStartResult::DeviceError;
    }
    sendStart();
    if (running)
        return UartStartResult::Redownloaded;
    // A frame queued after the last session ended (a page timer) is not this session's.
    g_TxPending.store(0, std::memory_order_release);
    if (!g_WorkerThread.Start(config.worker, hub, config.highestPriority))
        return UartStartResult::Redownloaded;
    return UartStartResult::Started;
}

bool StopUartPage() {
    const bool wasRunning = g_WorkerRunning.load(std::memory_order_acquire) != 0;
    g_WorkerThread.Stop();
    g_TxPending.store(0, std::memory_order_release);
    return wasRunning;
}

UartSendResult CheckUartSend() {
    if (!g_WorkerRunning.load(std::memory_order_acquire)) {
        ShowNotConnected();
        return UartSendResult::NotRunning;
    }
    if (g_TxPending.load(std::memory_order_acquire))
        return UartSendResult::Pending;
    return UartSendResult::Queued;
}

UartSendResult SendUartFrame(uint16_t word, const uint8_t* frame, size_t count) {
    uint8_t packet[kPacketBufferSize];
    const size_t length = BuildUartFramePacket(packet, word, frame, count);
    return SendUartPacket(packet, length);
}

UartSendResult SendUartPacket(const uint8_t* packet, size_t length) {
    const UartSendResult allowed = CheckUartSend();
    if (allowed != UartSendResult::Queued)
        return allowed;
    if (length == 0 || length > kPacketBufferSize)
        return UartSendResult::TooLong;
    std::memcpy(g_TxPacket, packet, length);
    g_TxPending.store(1, std::memory_order_release);  // last: the worker may take it now
    return UartSendResult::Queued;
}

UartEditResult EditResultOf(const FieldResult& field) {
    UartEditResult result;
    if (field.Clamped()) {
        result.rewrite = !field.rewriteText.empty();
        result.text = field.rewriteText;
        result.message = field.message;
    }
    return result;
}

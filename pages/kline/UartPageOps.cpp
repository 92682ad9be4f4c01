#include "pages/kline/UartPageOps.h"

#include <algorithm>
#include <climits>

#include "device/UsbOperation.h"
#include "platform/Message.h"

const char* const kTextConnectUsb =
    "请连接USB线(VR3526开发板跳线到SPI工作模式)，\n并在主窗口菜单中操作:连接设备!";
const char* const kCaptionNotConnected = "设备未连接";
const char* const kTextDeviceCommError = "设备通讯错误 !";
const char* const kCaptionDeviceError = "设备错误";

namespace {

void ShowNotConnected() {
    platform::ShowMessage(kTextConnectUsb, kCaptionNotConnected,
                          platform::MessageIcon::Exclamation);
}

}  // namespace

UartStartResult StartUartPage(const UartRegisterImage& image, const UartPageConfig& config,
                              void* hub) {
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
    if (!ChipResetSequence() || !ConfigureDevice(image, config.page)) {
        platform::ShowMessage(kTextDeviceCommError, kCaptionDeviceError,
                              platform::MessageIcon::Exclamation);
        return UartStartResult::DeviceError;
    }
    UsbSendStart(image[uart::UFRMCON], EngineUart, config.startSubMode);
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

UartSendResult SendUartFrame(uint16_t word, const uint8_t* frame, size_t count) {
    if (!g_WorkerRunning.load(std::memory_order_acquire)) {
        ShowNotConnected();
        return UartSendResult::NotRunning;
    }
    if (g_TxPending.load(std::memory_order_acquire))
        return UartSendResult::Pending;
    if (count > kMaxUartFrameBytes)
        return UartSendResult::TooLong;
    BuildUartFramePacket(g_TxPacket, word, frame, count);
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

UartDeviceStatus DecideDeviceStatus(bool deviceOpen, bool workerRunning, unsigned deviceNumber,
                                    const std::string& connectedFormat,
                                    const std::string& notConnectedCaption) {
    UartDeviceStatus status;
    if (!deviceOpen) {
        status.caption = notConnectedCaption;
        return status;
    }
    status.startEnabled = !workerRunning;
    status.stopEnabled = workerRunning;
    status.sendEnabled = workerRunning;
    status.caption = connectedFormat;
    const size_t at = status.caption.find("%d");
    if (at != std::string::npos)
        status.caption.replace(at, 2, std::to_string(deviceNumber));
    return status;
}

UartDeviceStatus CurrentDeviceStatus(const std::string& connectedFormat,
                                     const std::string& notConnectedCaption) {
    return DecideDeviceStatus(g_DeviceOpen.load() != 0, g_WorkerRunning.load() != 0,
                              g_DeviceNumber.load(), connectedFormat, notConnectedCaption);
}

uint32_t ClampPageTimerPeriod(uint32_t periodMs) {
    return std::clamp<uint32_t>(periodMs, 10, static_cast<uint32_t>(INT32_MAX));
}

#include "pages/shared/PageStatus.h"

#include <algorithm>
#include <climits>

#include "device/UsbOperation.h"
#include "platform/Message.h"

const char* const kTextConnectUsb =
    "请连接USB线(VR3526开发板跳线到SPI工作模式)，\n并在主窗口菜单中操作:连接设备!";
const char* const kCaptionNotConnected = "设备未连接";
const char* const kTextDeviceCommError = "设备通讯错误 !";
const char* const kCaptionDeviceError = "设备错误";

void ShowNotConnected() {
    platform::ShowMessage(kTextConnectUsb, kCaptionNotConnected,
                          platform::MessageIcon::Exclamation);
}

void ShowDeviceCommError() {
    platform::ShowMessage(kTextDeviceCommError, kCaptionDeviceError,
                          platform::MessageIcon::Exclamation);
}

PageDeviceStatus DecideDeviceStatus(bool deviceOpen, bool workerRunning, unsigned deviceNumber,
                                    const std::string& connectedFormat,
                                    const std::string& notConnectedCaption) {
    PageDeviceStatus status;
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

PageDeviceStatus CurrentDeviceStatus(const std::string& connectedFormat,
                                     const std::string& notConnectedCaption) {
    return DecideDeviceStatus(g_DeviceOpen.load() != 0, g_WorkerRunning.load() != 0,
                              g_DeviceNumber.load(), connectedFormat, notConnectedCaption);
}

uint32_t ClampPageTimerPeriod(uint32_t periodMs) {
    return std::clamp<uint32_t>(periodMs, 10, static_cast<uint32_t>(INT32_MAX));
}

#include "monitor/Connection.h"

#include <cstdio>
#include <utility>

#include "device/UsbOperation.h"

const char* const kCaptionNoDevice = "VR3526Kits - None Device";
const char* const kTextNoDevice = "无法找到 MCP USB device!";
const char* const kTextVersionFailed = "读取版本信息失败!";
const char* const kTextStopFirst = "VR3526正在工作，请先停止VR3526工作";
const char* const kCaptionStopFirst = "请先停止";
const char* const kTextLibraryMissing = "mpusbapi.dll文件丢失！";

std::string FormatConnectedCaption(unsigned deviceNumber, uint8_t chipId, uint8_t version) {
    char text[96];
    std::snprintf(text, sizeof text, "VR3526Kits -- Device(%u) Connected. VR3526 ID: 0x%.2X VER: 0x%.2X",
                  deviceNumber, chipId, version);
    return text;
}

bool RefusedWhileWorkerRuns() {
    if (g_WorkerRunning.load(std::memory_order_acquire) == 0) return false;
    platform::ShowMessage(kTextStopFirst, kCaptionStopFirst, platform::MessageIcon::Exclamation);
    return true;
}

Connection::Connection(ConnectionHooks hooks) : hooks_(std::move(hooks)) {}

ConnectResult Connection::Connect() {
    // Opening again would leak the pipes already open; the menu item is disabled then anyway.
    if (g_DeviceOpen.load(std::memory_order_acquire) != 0) return ConnectResult::AlreadyOpen;

    const uint32_t count = UsbGetDeviceCount();
    if (count == 0) {
        platform::ShowMessage(kTextNoDevice, std::string(), platform::MessageIcon::None);
        if (hooks_.setCaption) hooks_.setCaption(kCaptionNoDevice);
        return ConnectResult::NoDevice;
    }

    const int chosen = hooks_.chooseDevice ? hooks_.chooseDevice(count) : 0;
    if (chosen < 0) return ConnectResult::Cancelled;
    g_DeviceNumber.store(static_cast<uint16_t>(chosen), std::memory_order_release);

    if (!UsbOpenPipes()) return ConnectResult::OpenFailed;
    g_DeviceOpen.store(1, std::memory_order_release);

    uint8_t chipId = 0;
    uint8_t version = 0;
    if (!UsbReadVersion(&chipId, &version)) {
        platform::ShowMessage(kTextVersionFailed, std::string(), platform::MessageIcon::None);
        return ConnectResult::VersionFailed;
    }

    if (hooks_.setCaption)
        hooks_.setCaption(FormatConnectedCaption(g_DeviceNumber.load(), chipId, version));
    if (hooks_.refreshPages) hooks_.refreshPages();
    return ConnectResult::Connected;
}

DisconnectResult Connection::Disconnect() {
    if (RefusedWhileWorkerRuns()) return DisconnectResult::WorkerRunning;
    if (UsbWritePipeOpen()) UsbClosePipes();
    g_DeviceOpen.store(0, std::memory_order_release);
    if (hooks_.setCaption) hooks_.setCaption(kCaptionNoDevice);
    if (hooks_.refreshPages) hooks_.refreshPages();
    return DisconnectResult::Disconnected;
}

bool Connection::CanClose() const { return !RefusedWhileWorkerRuns(); }

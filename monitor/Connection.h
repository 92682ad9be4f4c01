#pragma once
// Connecting to a board and letting it go again, over the device layer. The window that owns
// the connection (the main frame) supplies the steps that need a user or a window.
//
// UI thread only: it reads g_WorkerRunning and writes g_DeviceOpen / g_DeviceNumber.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Message.h"

extern const char* const kCaptionNoDevice;      // "VR3526Kits - None Device"
extern const char* const kTextNoDevice;         // "无法找到 MCP USB device!"
extern const char* const kTextVersionFailed;    // "读取版本信息失败!"
extern const char* const kTextStopFirst;        // "VR3526正在工作，请先停止VR3526工作"
extern const char* const kCaptionStopFirst;     // "请先停止"
extern const char* const kTextLibraryMissing;   // "mpusbapi.dll文件丢失！"

// "VR3526Kits -- Device(n) Connected. VR3526 ID: 0xII VER: 0xVV"
std::string FormatConnectedCaption(unsigned deviceNumber, uint8_t chipId, uint8_t version);

// True (after the "请先停止" box) while a worker runs: the caller must not go on.
bool RefusedWhileWorkerRuns();

struct ConnectionHooks {
    // Lets the user pick one of count devices; the index, or a negative value for Cancel.
    std::function<int(uint32_t count)> chooseDevice;
    std::function<void(const std::string& caption)> setCaption;
    // RefreshDeviceStatus of every open page.
    std::function<void()> refreshPages;
};

enum class ConnectResult { Connected, NoDevice, Cancelled, OpenFailed, VersionFailed, AlreadyOpen };
enum class DisconnectResult { Disconnected, WorkerRunning };

class Connection {
public:
    explicit Connection(ConnectionHooks hooks);

    // Count, choose, open both pipes, read the chip's ID and version into the caption, refresh
    // the pages. A failed open is silent; a failed version read leaves the pipes open and
    // g_DeviceOpen set (Disconnect is the way back) with the caption as it was.
    ConnectResult Connect();

    // Refused while a worker runs; else closes the pipes if open and refreshes the pages.
    DisconnectResult Disconnect();

    // The main window may close: no worker runs (else the "请先停止" box shows).
    bool CanClose() const;

private:
    ConnectionHooks hooks_;
};

#pragma once
// What every bus page shows the same way, whatever its family: the connect and device-error
// messages, the buttons and caption by the connection state, the edit result a field handler
// hands back to its window, and the shortest period a page timer runs at.
//
// Threads: UI thread only.
#include <cstdint>
#include <string>

extern const char* const kTextConnectUsb;      // "请连接USB线(...)，\n并在主窗口菜单中操作:连接设备!"
extern const char* const kCaptionNotConnected; // "设备未连接"
extern const char* const kTextDeviceCommError; // "设备通讯错误 !"
extern const char* const kCaptionDeviceError;  // "设备错误"

// The connect message, captioned "设备未连接"; and "设备通讯错误 !" captioned "设备错误".
void ShowNotConnected();
void ShowDeviceCommError();

// What a field handler wants shown: text written back into its edit, and a message.
struct PageEditResult {
    bool rewrite = false;
    std::string text;
    std::string message;
};

// What the page's buttons and caption show. Send stands for every button that hands a frame
// to the running worker (Send with initialisation, the multi-frame request).
struct PageDeviceStatus {
    bool startEnabled = false;
    bool stopEnabled = false;
    bool sendEnabled = false;
    std::string caption;
};
// connectedFormat holds one "%d" for the device number.
PageDeviceStatus DecideDeviceStatus(bool deviceOpen, bool workerRunning, unsigned deviceNumber,
                                    const std::string& connectedFormat,
                                    const std::string& notConnectedCaption);
// The same from the current globals.
PageDeviceStatus CurrentDeviceStatus(const std::string& connectedFormat,
                                     const std::string& notConnectedCaption);

// A page timer's period as Windows would run it: at least 10 ms, at most INT32_MAX.
uint32_t ClampPageTimerPeriod(uint32_t periodMs);

// The timers a page runs (keep-alive, cyclic). The window owns them and hands them in, so the
// rules of when they run live in the page's plain C++.
class PageTimers {
public:
    virtual ~PageTimers() = default;
    // (Re)starts timer id with the period (already at least 10 ms).
    virtual void StartPageTimer(int id, uint32_t periodMs) = 0;
    // Harmless for a timer that does not run.
    virtual void KillPageTimer(int id) = 0;
};

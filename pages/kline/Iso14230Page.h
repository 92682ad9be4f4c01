#pragma once
// The ISO 14230 (KWP2000) page without its widgets: defaults, field handlers, Start / Stop /
// Send / Send with initialisation, and the two page timers (1 keep-alive, 2 cyclic).
//
// The window owns the timers; it hands them in as Iso14230PageTimers so that the rules of
// when they run live here. Timers end with the session: Stop, the worker's own end (seen by
// RefreshDeviceStatus or a tick) and closing the page kill both, whatever the checks say now,
// so a hidden page never goes on feeding frames to another page's worker. A worker started
// after the one the page sent to (another page's Stop and Start between two ticks) is another
// session and ends this page's session just the same.
//
// Threads: UI thread only. Messages go through platform::ShowMessage.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pages/kline/Iso14230Frame.h"
#include "pages/kline/UartImage.h"
#include "pages/kline/UartPageOps.h"

constexpr int kIso14230KeepAliveTimer = 1;
constexpr int kIso14230CyclicTimer = 2;

extern const char* const kIso14230ConnectedCaption;     // holds one "%d"
extern const char* const kIso14230NotConnectedCaption;
extern const char* const kIso14230MessageCaption;       // caption of the field messages
extern const char* const kIso14230TextCarbFmt;          // "CARB mode: bit7 bit6 must be 0b01"
extern const char* const kIso14230TextDataTooLong;      // more than 255 data bytes
extern const char* const kIso14230TextKeepAliveTooLong; // more than 16 keep-alive bytes

using Iso14230PageTimers = PageTimers;

struct Iso14230PageState {
    uint8_t initType = InitFast;
    Iso14230Frame frame;
    bool cyclicSend = false;
    uint32_t cyclePeriodMs = 100;
    bool keepAliveEnabled = true;
    uint32_t keepAliveIntervalMs = 3000;
    Iso14230KeepAlive keepAlive;
    bool keepAliveTimerActive = false;
    // Send with initialisation locks the keep-alive check until the session ends.
    bool keepAliveCheckEnabled = true;
};

// The page's image defaults (baud row 6, 10400 baud).
void LoadIso14230ImageDefaults(UartRegisterImage& image);


struct Iso14230DataResult {
    UartEditResult edit;
    Iso14230HeaderView header;
};

class Iso14230Page {
public:
    explicit Iso14230Page(Iso14230PageTimers& timers);

    // LoadDefaults: the image and the page state.
    void LoadDefaults();
    const UartRegisterImage& Image() const { return image_; }
    UartRegisterImage& Image() { return image_; }
    const Iso14230PageState& State() const { return state_; }
    UartPageConfig Config() const;

    // --- frame fields ---
    Iso14230HeaderView UpdateHeaderFields() { return ::UpdateHeaderFields(state_.frame); }
    Iso14230HeaderView SetFrameFormat(unsigned selection);
    Iso14230HeaderView SetUseLengthByte(bool on);
    void SetInitType(unsigned selection);
    // Fmt typed: stored; returns the checksum text.
    std::string FmtChanged(const std::string& text);
    // Leaving Fmt: in CARB forces bits 7-6 to 01 (rewrite with the message).
    UartEditResult FmtLeft();
    // Target / Source typed: ignored without address bytes; returns the checksum text, or
    // an empty text when ignored.
    std::string TargetChanged(const std::string& text);
    std::string SourceChanged(const std::string& text);
    // Data typed: at most 255 bytes, the rest cut with the message; header fields follow.
    Iso14230DataResult DataChanged(std::string text);
    // Leaving the data edit: "%.2X " per byte.
    std::string DataText() const;

    // --- keep-alive and cyclic fields ---
    void SetKeepAliveEnabled(bool on) { state_.keepAliveEnabled = on; }
    void SetCyclicSend(bool on) { state_.cyclicSend = on; }
    void KeepAliveIntervalChanged(const std::string& text);
    UartEditResult KeepAliveIntervalLeft(const std::string& text);
    // The period: 0 becomes 1 with the message, the edit keeps its text.
    UartEditResult CyclePeriodChanged(const std::string& text);
    // Keep-alive bytes typed: at most 16; rewrite/message when cut.
    UartEditResult KeepAliveDataChanged(std::string text);
    std::string KeepAliveDataText() const;
    std::string KeepAliveChecksumText() const;

    // --- image fields (the family's handlers) ---
    UartEditResult ByteFieldChanged(size_t offset, UartFieldKind kind, const std::string& text);
    UartEditResult BrgChanged(const std::string& text);
    void HexFieldChanged(size_t offset, const std::string& text);
    BaudRowResult SelectBaud(size_t row);
    size_t BaudRow() const { return baudRow_; }

    // --- operations ---
    UartStartResult Start(void* hub);
    // Stops the worker (when one runs) and ends the session: timers killed, check enabled.
    void Stop();
    UartSendResult Send();
    UartSendResult SendWithInit();
    void OnTimer(int id);
    // Buttons and caption; with no worker running the session has ended (timers killed).
    UartDeviceStatus RefreshDeviceStatus();
    // The page is closing (the hub allowed it): its timers stop.
    void Close() { EndSession(); }

private:
    void EndSession();
    // The worker the page last sent to still runs.
    bool SessionLive() const;
    void StartTimer(int id, uint32_t periodMs);
    UartSendResult QueueFrame(bool withInit);
    UartSendResult QueueKeepAlive();

    Iso14230PageTimers& timers_;
    UartRegisterImage image_{};
    Iso14230PageState state_;
    size_t baudRow_ = kUartBaudRowDefault;
    uint32_t session_ = 0;  // g_WorkerThread.Session() at the last queued Send
};

#pragma once
// What every page of the K-line family holds besides its own frame: the register image with
// the family's field handlers, Start / Stop, the device status, the capped hex-data edit, the
// CHKSUM / CHKMOD checksum and the two page timers (1 keep-alive, 2 cyclic).
//
// Timers end with the session: Stop, the worker's own end (seen by RefreshDeviceStatus or a
// tick) and closing the page kill both, whatever the checks show now, so a hidden page never
// goes on feeding frames to another page's worker. A worker started after the one the page
// sent to (another page's Stop and Start between two ticks) is another session and ends this
// page's session just the same.
//
// Threads: UI thread only. Messages go through platform::ShowMessage.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "monitor/HexText.h"
#include "pages/kline/UartImage.h"
#include "pages/kline/UartPageOps.h"
#include "pages/shared/FieldText.h"
#include "pages/shared/PageSession.h"


// Field messages carry the program's title, as the main window shows it at start.
extern const char* const kUartFieldMessageCaption;
extern const char* const kTextDataTooLong255;      // "数据桢的总长度不可大于255字节!"
extern const char* const kTextKeepAliveTooLong16;  // "数据桢的长度不可大于16字节!"



// The 8-bit sum of initial and the bytes, negated (two's complement) while CHKMOD
// (UFLENCON bit 3) is set.
uint8_t UartChecksum(const UartRegisterImage& image, uint8_t initial, const uint8_t* bytes,
                     size_t count);
inline bool UartChecksumOn(const UartRegisterImage& image) {
    return (image[uart::UFRMV] & uart::FrmvChksum) != 0;
}
// "%.2X" of the checksum while CHKSUM (UFRMV bit 3) is set, else "-".
std::string UartChecksumText(const UartRegisterImage& image, uint8_t initial,
                             const uint8_t* bytes, size_t count);

// A page's opening image: bytes 0-15 (timing, UFRMCON, PINSEL, UFRMV, UFLENCON, UFLAND, the
// init fields, BITADJ), CONB, the baud row and the message period; U5BAUDCON's other bytes
// are the family's (32 05 64 05 64 00 32 1E 00), every other byte 0.
struct UartImageDefaults {
    uint8_t head[16];
    uint8_t conb;
    size_t baudRow;
    uint8_t messagePeriod;
};
void LoadUartImageDefaults(UartRegisterImage& image, const UartImageDefaults& defaults);

// The keep-alive and cyclic-send settings of a page with page timers.
struct UartTimerFields {
    bool cyclicSend = false;
    uint32_t cyclePeriodMs = 100;
    bool keepAliveEnabled = true;
    uint32_t keepAliveIntervalMs = 3000;
};

struct UartPageCaptions {
    const char* connected;  // holds one "%d"
    const char* notConnected;
};

class UartPageBase {
public:
    UartPageBase(PageTimers& timers, const UartPageConfig& config,
                 const UartPageCaptions& captions, const UartImageDefaults& defaults);
    virtual ~UartPageBase() = default;

    const UartRegisterImage& Image() const { return image_; }
    UartRegisterImage& Image() { return image_; }
    const UartPageConfig& Config() const { return config_; }
    const PageSession& Session() const { return session_; }

    // --- image fields (the family's handlers) ---
    PageEditResult ByteFieldChanged(size_t offset, UartFieldKind kind, const std::string& text);
    PageEditResult BrgChanged(const std::string& text);
    void HexFieldChanged(size_t offset, const std::string& text);
    BaudRowResult SelectBaud(size_t row);
    // Radios K1, K2 and K / L of a page that drives the L line: PINSEL and ENL; returns ENL
    // for the check that shows it.
    bool SelectKLinePin(UartPin pin);
    size_t BaudRow() const { return baudRow_; }

    // "总线初始化:": 0 none, 1 fast, 2 5-baud, 3 user pulse (pages that send with initialisation).
    void SetInitType(unsigned selection);
    uint8_t InitType() const { return initType_; }

    // --- keep-alive and cyclic fields ---
    const UartTimerFields& Timing() const { return timing_; }
    void SetKeepAliveEnabled(bool on) { timing_.keepAliveEnabled = on; }
    void SetCyclicSend(bool on) { timing_.cyclicSend = on; }
    // The interval as typed, on every change.
    void KeepAliveIntervalChanged(const std::string& text);
    // Leaving the interval edit: below 200 becomes 200 with "最小值为200ms".
    PageEditResult KeepAliveIntervalLeft(const std::string& text);
    // The period: 0 becomes 1 with "最小1ms!", the edit keeps its text.
    PageEditResult CyclePeriodChanged(const std::string& text);

    // --- operations --- (virtual: a page's own Start and Stop run whoever calls them)
    virtual PageStartResult Start(void* hub);
    // Stops the worker (when one runs) and ends the session.
    virtual void Stop();
    // Buttons and caption; with no worker running the session has ended (timers killed).
    PageDeviceStatus RefreshDeviceStatus();
    // The page is closing (the hub allowed it): its timers stop.
    void Close() { EndSession(); }

protected:
    // Ends the session; pages add what they keep about it.
    virtual void EndSession() { session_.End(); }
    // The page's opening image and baud row.
    void LoadImageDefaults();
    // A frame of the user's was queued: the session is the running worker's, and the cyclic
    // timer, or else the keep-alive, runs from now.
    void StartSendTimers();
    // A frame with initialisation was queued: the keep-alive runs from now, and its check
    // stays locked until the session ends.
    void StartInitTimers();

    UartRegisterImage image_{};
    PageSession session_;
    UartTimerFields timing_;
    uint8_t initType_ = InitNone;

private:
    UartPageConfig config_;
    UartPageCaptions captions_;
    const UartImageDefaults& defaults_;
    size_t baudRow_;
};

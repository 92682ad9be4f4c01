#pragma once
// The KW1281 page without its widgets. The chip runs in user-frame mode with byte-wise
// checking and length control; the page sends blocks and keeps the link alive once the chip
// reported a successful 5-baud initialisation.
//
// Block (the frame bytes; word = n + 3, no initialisation):
//   0 length = bytes after it (n + 2)   1 counter (g_Kw1281BlockCounter when built)
//   2 .. 1 + n data (the first is the block title)   2 + n 0x03
// Data stop at 253 bytes so that the length byte cannot wrap.
// Send with initialisation is a frame without bytes: 57 3F 02 00, word = init type << 12.
//
// The link (g_Kw1281LinkUp) is raised by the monitor list when it shows an INIT=OK row appended
// after the page last took the link down (Start, Stop, Send with initialisation). A Send after
// a keep-alive block waits for two more monitor records (the block's own and the answer),
// counted with g_MonitorSeq so that a full ring does not stop it.
//
// Threads: UI thread only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pages/kline/UartPageBase.h"

extern const char* const kKw1281ConnectedCaption;  // holds one "%d"
extern const char* const kKw1281NotConnectedCaption;
extern const char* const kKw1281TextDataTooLong;    // "数据桢的长度不可大于253字节!"

constexpr size_t kKw1281MaxData = 253;
constexpr size_t kKw1281MaxKeepAlive = 16;
constexpr uint8_t kKw1281BlockEnd = 0x03;

// Writes [n + 2, counter, data, 03] to out (n + 3 bytes); returns the byte count.
size_t BuildKw1281Block(uint8_t counter, const uint8_t* data, size_t count, uint8_t* out);

struct Kw1281PageState {
    HexData<kKw1281MaxData> data{0x09};
    HexData<kKw1281MaxKeepAlive> keepAlive{0x09};
    bool keepAliveSent = false;       // a keep-alive block was queued
    uint32_t keepAliveSentSeq = 0;    // g_MonitorSeq when it was queued
};

// The page's opening image.
extern const UartImageDefaults kKw1281ImageDefaults;

class Kw1281Page : public UartPageBase {
public:
    explicit Kw1281Page(PageTimers& timers);

    void LoadDefaults();
    const Kw1281PageState& State() const { return state_; }

    // Data typed: at most 253 bytes, the rest cut with the message.
    PageEditResult DataChanged(std::string text);
    std::string DataText() const { return state_.data.Text(); }
    std::string LengthByteText() const;  // "%.2X" of the block length
    std::string DlcText() const;
    PageEditResult KeepAliveDataChanged(std::string text);
    std::string KeepAliveDataText() const { return state_.keepAlive.Text(); }

    PageStartResult Start(void* hub) override;
    void Stop() override;
    PageSendResult Send();
    PageSendResult SendWithInit();
    void OnTimer(int id);

private:
    void EndSession() override;
    PageSendResult QueueBlock(const uint8_t* data, size_t count);

    Kw1281PageState state_;
};

#pragma once
// The ISO 14230 (KWP2000) page without its widgets: defaults, frame fields, Send / Send with
// initialisation and what the two page timers (1 keep-alive, 2 cyclic) queue. The family's
// part (image handlers, Start / Stop, timers and their session) is UartPageBase.
//
// Threads: UI thread only. Messages go through platform::ShowMessage.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pages/kline/Iso14230Frame.h"
#include "pages/kline/UartPageBase.h"

constexpr int kIso14230KeepAliveTimer = kPageKeepAliveTimer;
constexpr int kIso14230CyclicTimer = kPageCyclicTimer;

extern const char* const kIso14230ConnectedCaption;     // holds one "%d"
extern const char* const kIso14230NotConnectedCaption;
extern const char* const kIso14230TextCarbFmt;          // "CARB mode: bit7 bit6 must be 0b01"

struct Iso14230PageState {
    Iso14230Frame frame;
    Iso14230KeepAlive keepAlive;
};

// The page's opening image (baud row 6, 10400 baud), blocks 0x2C and 0x2D included.
extern const UartImageDefaults kIso14230ImageDefaults;
void LoadIso14230ImageDefaults(UartRegisterImage& image);

struct Iso14230DataResult {
    PageEditResult edit;
    Iso14230HeaderView header;
};

class Iso14230Page : public UartPageBase {
public:
    explicit Iso14230Page(PageTimers& timers);

    // LoadDefaults: the image and the page state.
    void LoadDefaults();
    const Iso14230PageState& State() const { return state_; }

    // --- frame fields ---
    Iso14230HeaderView UpdateHeaderFields() { return ::UpdateHeaderFields(state_.frame); }
    Iso14230HeaderView SetFrameFormat(unsigned selection);
    Iso14230HeaderView SetUseLengthByte(bool on);
    // Fmt typed: stored; returns the checksum text.
    std::string FmtChanged(const std::string& text);
    // Leaving Fmt: in CARB forces bits 7-6 to 01 (rewrite with the message).
    PageEditResult FmtLeft();
    // Target / Source typed: ignored without address bytes; returns the checksum text, or
    // an empty text when ignored.
    std::string TargetChanged(const std::string& text);
    std::string SourceChanged(const std::string& text);
    // Data typed: at most 255 bytes, the rest cut with the message; header fields follow.
    Iso14230DataResult DataChanged(std::string text);
    // Leaving the data edit: "%.2X " per byte.
    std::string DataText() const;

    // --- keep-alive bytes ---
    // Keep-alive bytes typed: at most 16; rewrite/message when cut.
    PageEditResult KeepAliveDataChanged(std::string text);
    std::string KeepAliveDataText() const;
    std::string KeepAliveChecksumText() const;

    // --- operations ---
    PageSendResult Send();
    PageSendResult SendWithInit();
    void OnTimer(int id);

private:
    PageSendResult QueueFrame(bool withInit);
    PageSendResult QueueKeepAlive();

    Iso14230PageState state_;
};

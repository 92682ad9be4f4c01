#pragma once
// The SCI page without its widgets: raw bytes on an SCI link in half or full duplex. Framing
// (length control, per-byte checks, a checksum byte) is the chip's, set through UFRMV and
// UFLENCON; the page adds nothing to the bytes. Frame word = byte count, no initialisation.
// No keep-alive, no cyclic sending. The "CHKSUM" check and "CHKMOD" combo change nothing.
//
// Threads: UI thread only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pages/kline/UartPageBase.h"

extern const char* const kSciConnectedCaption;  // holds one "%d"
extern const char* const kSciNotConnectedCaption;

constexpr size_t kSciMaxData = 255;

struct SciPageState {
    HexData<kSciMaxData> data{0x11, 0x22, 0x33, 0x44, 0x55};
};

// The page's opening image.
extern const UartImageDefaults kSciImageDefaults;

class SciPage : public UartPageBase {
public:
    explicit SciPage(PageTimers& timers);

    void LoadDefaults();
    const SciPageState& State() const { return state_; }

    // "SCI (TX1 RX2)" / "SCI (TX2 RX1)".
    void SelectPin(UartPin pin) { ApplyPinSelection(image_, pin, false); }
    // "100--SCI Half-Duplex" / "101--SCI Duplex": UFRMCON bits 0-2.
    void SelectDuplex(bool duplex);
    PageEditResult DataChanged(std::string text);
    std::string DataText() const { return state_.data.Text(); }
    std::string DlcText() const { return std::to_string(state_.data.count); }

    PageSendResult Send();

private:
    SciPageState state_;
};

#pragma once
// The SAE J1708 page without its widgets: one message = MID, data, checksum, in user-frame
// mode on the chosen line pair; the chip keeps the J1708 bus access (message period).
//
// Frame: MID, the data bytes and, while ENCS (UFRMV bit 3) is set, the checksum: the 8-bit
// sum of MID and data, negated while CSM (UFLENCON bit 3) is set. Word = byte count, no
// initialisation. No keep-alive, no cyclic sending; Start does nothing while a worker runs.
//
// Threads: UI thread only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pages/kline/UartPageBase.h"

extern const char* const kJ1708ConnectedCaption;  // holds one "%d"
extern const char* const kJ1708NotConnectedCaption;

constexpr size_t kJ1708MaxData = 255;
// Register 0x37 on the J1708 line pair (TX3 RX3); 0x00 on K1 and K2.
constexpr uint8_t kJ1708LineRegister37 = 0x40;

// Writes MID, data and (with ENCS) the checksum; returns the byte count.
size_t BuildJ1708Frame(const UartRegisterImage& image, uint8_t mid, const uint8_t* data,
                       size_t count, uint8_t* out);

struct J1708PageState {
    uint8_t mid = 0x10;
    HexData<kJ1708MaxData> data{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11};
};

// The page's opening image.
extern const UartImageDefaults kJ1708ImageDefaults;

class J1708Page : public UartPageBase {
public:
    explicit J1708Page(PageTimers& timers);

    void LoadDefaults();
    const J1708PageState& State() const { return state_; }

    // Radios K1, K2 and "SAE J1708(TX3 RX3)" (UartPin::Rs485): PINSEL and register 0x37.
    void SelectPin(UartPin pin);
    // "Message Period ( P ):" item 0-7 into bits 0-2; the other bits stay.
    void SelectMessagePeriod(unsigned item);
    // MID typed; returns the checksum text.
    std::string MidChanged(const std::string& text);
    PageEditResult DataChanged(std::string text);
    std::string DataText() const { return state_.data.Text(); }
    std::string DlcText() const { return std::to_string(state_.data.count); }
    std::string ChecksumText() const;  // "-" without ENCS

    PageSendResult Send();

private:
    J1708PageState state_;
};

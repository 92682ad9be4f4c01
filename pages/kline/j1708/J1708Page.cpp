#include "pages/kline/j1708/J1708Page.h"

#include <algorithm>
#include <cstring>

#include "monitor/HexText.h"
#include "pages/shared/BusWorker.h"
#include "pages/kline/KLineWorkers.h"

const char* const kJ1708ConnectedCaption = "J1708-- Device( %d ) Connected";
const char* const kJ1708NotConnectedCaption = "J1708 -- No device Connected";

size_t BuildJ1708Frame(const UartRegisterImage& image, uint8_t mid, const uint8_t* data,
                       size_t count, uint8_t* out) {
    out[0] = mid;
    if (count) std::memcpy(out + 1, data, count);
    if (!UartChecksumOn(image)) return count + 1;
    out[count + 1] = UartChecksum(image, mid, data, count);
    return count + 2;
}

const UartImageDefaults kJ1708ImageDefaults = {
    {0x00, 0x00, 0x00, 0x00, 0x14, 0x02, 0x83, 0x00, 0x08, 0x08, 0xFF, 0x00, 25, 25, 0x33, 0x00},
    0xFB, kUartBaudRow9600, 0x80};

J1708Page::J1708Page(PageTimers& timers)
    : UartPageBase(timers, UartPageConfig{UartPage::J1708, ThreadProcSerialBus, false, true, 0},
                   {kJ1708ConnectedCaption, kJ1708NotConnectedCaption}, kJ1708ImageDefaults) {
    LoadDefaults();
}

void J1708Page::LoadDefaults() {
    LoadImageDefaults();
    state_ = J1708PageState();
}

void J1708Page::SelectPin(UartPin pin) {
    ApplyPinSelection(image_, pin, false);
    image_[uart::Reg37] = pin == UartPin::Rs485 ? kJ1708LineRegister37 : 0x00;
}

void J1708Page::SelectMessagePeriod(unsigned item) {
    SetImageField(image_, uart::messagePeriod, 0x07, static_cast<uint8_t>(std::min(item, 7u)));
}

std::string J1708Page::MidChanged(const std::string& text) {
    state_.mid = ParseHexByteField(text);
    return ChecksumText();
}

PageEditResult J1708Page::DataChanged(std::string text) {
    return state_.data.Change(std::move(text), kTextDataTooLong255);
}

std::string J1708Page::ChecksumText() const {
    return UartChecksumText(image_, state_.mid, state_.data.bytes, state_.data.count);
}

PageSendResult J1708Page::Send() {
    uint8_t frame[kJ1708MaxData + 2];
    const size_t n = BuildJ1708Frame(image_, state_.mid, state_.data.bytes, state_.data.count, frame);
    return SendUartFrame(MakeFrameLengthWord(static_cast<uint16_t>(n), InitNone), frame, n);
}

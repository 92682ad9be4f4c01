#include "pages/kline/sci/SciPage.h"

#include <algorithm>

#include "monitor/HexText.h"
#include "pages/shared/BusWorker.h"
#include "pages/kline/KLineWorkers.h"

const char* const kSciConnectedCaption = "SCI -- Device( %d ) Connected";
const char* const kSciNotConnectedCaption = "SCI -- No device Connected";

const UartImageDefaults kSciImageDefaults = {
    {0x00, 0x00, 0x37, 0x0A, 0x14, 0x02, 0x84, 0x04, 0x00, 0x00, 0xFF, 0x00, 25, 25, 0x33, 0x00},
    0xFB, kUartBaudRowDefault, 0x00};

SciPage::SciPage(PageTimers& timers)
    : UartPageBase(timers, UartPageConfig{UartPage::Sci, ThreadProcSerialBus, true, false, 0},
                   {kSciConnectedCaption, kSciNotConnectedCaption}, kSciImageDefaults) {
    LoadDefaults();
}

void SciPage::LoadDefaults() {
    LoadImageDefaults();
    state_ = SciPageState();
}

void SciPage::SelectDuplex(bool duplex) {
    SetImageField(image_, uart::UFRMCON, uart::FmodMask,
                  duplex ? uart::FmodSciDuplex : uart::FmodSciHalf);
}

PageEditResult SciPage::DataChanged(std::string text) {
    return state_.data.Change(std::move(text), kTextDataTooLong255);
}

PageSendResult SciPage::Send() {
    return SendUartFrame(MakeFrameLengthWord(state_.data.count, InitNone), state_.data.bytes,
                         state_.data.count);
}

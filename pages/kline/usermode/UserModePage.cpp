#include "pages/kline/usermode/UserModePage.h"

#include <algorithm>
#include <cstring>

#include "monitor/HexText.h"
#include "pages/shared/BusWorker.h"
#include "pages/kline/KLineWorkers.h"

const char* const kUserModeConnectedCaption = "USER MOD (ISO9141) -- Device( %d ) Connected";
const char* const kUserModeNotConnectedCaption = "USER MOD (ISO9141-2) -- No device Connected";

size_t BuildUserModeFrame(const UartRegisterImage& image, const uint8_t* data, size_t count,
                          uint8_t* out) {
    if (count) std::memcpy(out, data, count);
    if (!UartChecksumOn(image)) return count;
    out[count] = UartChecksum(image, 0, data, count);
    return count + 1;
}

const UartImageDefaults kUserModeImageDefaults = {
    {0x05, 0x00, 0x37, 0x0A, 0x14, 0x02, 0x83, 0x00, 0x08, 0x00, 0xFF, 0x00, 25, 25, 0x33, 0x00},
    0xFB, kUartBaudRowDefault, 0x00};

UserModePage::UserModePage(PageTimers& timers)
    : UartPageBase(timers, UartPageConfig{UartPage::UserMode, ThreadProcSerialBus, true, false, 0},
                   {kUserModeConnectedCaption, kUserModeNotConnectedCaption}, kUserModeImageDefaults) {
    LoadDefaults();
}

void UserModePage::LoadDefaults() {
    LoadImageDefaults();
    state_ = UserModePageState();
    timing_ = UartTimerFields{false, 200, true, 3000};
    initType_ = InitSlow5Baud;
}

PageEditResult UserModePage::DataChanged(std::string text) {
    return state_.data.Change(std::move(text), kTextDataTooLong255);
}

std::string UserModePage::ChecksumText() const {
    return UartChecksumText(image_, 0, state_.data.bytes, state_.data.count);
}

PageEditResult UserModePage::KeepAliveDataChanged(std::string text) {
    return state_.keepAlive.Change(std::move(text), kTextKeepAliveTooLong16);
}

std::string UserModePage::KeepAliveChecksumText() const {
    return UartChecksumText(image_, 0, state_.keepAlive.bytes, state_.keepAlive.count);
}

PageSendResult UserModePage::Queue(const uint8_t* data, size_t count, uint8_t initType) {
    uint8_t frame[kUserModeMaxData + 1];
    const size_t n = BuildUserModeFrame(image_, data, count, frame);
    return SendUartFrame(MakeFrameLengthWord(static_cast<uint16_t>(n), initType), frame, n);
}

PageSendResult UserModePage::SendAndStartTimers(uint8_t initType) {
    const PageSendResult result = Queue(state_.data.bytes, state_.data.count, initType);
    if (result != PageSendResult::Queued) return result;
    StartSendTimers();
    return result;
}

PageSendResult UserModePage::Send() { return SendAndStartTimers(InitNone); }

PageSendResult UserModePage::SendWithInit() { return SendAndStartTimers(initType_); }

void UserModePage::OnTimer(int id) {
    if (!session_.TickMayQueue()) return;
    if (id == kPageKeepAliveTimer)
        Queue(state_.keepAlive.bytes, state_.keepAlive.count, InitNone);
    else if (id == kPageCyclicTimer)
        Queue(state_.data.bytes, state_.data.count, InitNone);
}

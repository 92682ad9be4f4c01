#include "pages/kline/kw1281/Kw1281Page.h"

#include <algorithm>
#include <cstring>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"
#include "monitor/RecordFormat.h"
#include "pages/shared/BusWorker.h"
#include "pages/kline/KLineWorkers.h"

const char* const kKw1281ConnectedCaption = "KW1281 -- Device( %d ) Connected";
const char* const kKw1281NotConnectedCaption = "KW1281 -- No device Connected";
const char* const kKw1281TextDataTooLong = "数据桢的长度不可大于253字节!";

size_t BuildKw1281Block(uint8_t counter, const uint8_t* data, size_t count, uint8_t* out) {
    out[0] = static_cast<uint8_t>(count + 2);
    out[1] = counter;
    if (count) std::memcpy(out + 2, data, count);
    out[2 + count] = kKw1281BlockEnd;
    return count + 3;
}

const UartImageDefaults kKw1281ImageDefaults = {
    {0x05, 0x00, 0x37, 0x14, 0x14, 0x02, 0x83, 0x00, 0xE1, 0x80, 0xFF, 0x00, 25, 25, 0x15, 0x00},
    0xB3, kUartBaudRowDefault, 0x00};

Kw1281Page::Kw1281Page(PageTimers& timers)
    : UartPageBase(timers, UartPageConfig{UartPage::Kw1281, ThreadProcSerialBus, true, false, 0},
                   {kKw1281ConnectedCaption, kKw1281NotConnectedCaption}, kKw1281ImageDefaults) {
    LoadDefaults();
}

void Kw1281Page::LoadDefaults() {
    LoadImageDefaults();
    state_ = Kw1281PageState();
    timing_ = UartTimerFields{false, 100, true, 500};
    initType_ = InitSlow5Baud;
}

PageEditResult Kw1281Page::DataChanged(std::string text) {
    return state_.data.Change(std::move(text), kKw1281TextDataTooLong);
}

std::string Kw1281Page::LengthByteText() const {
    return HexByteText(static_cast<uint8_t>(state_.data.count + 2));
}

std::string Kw1281Page::DlcText() const { return std::to_string(state_.data.count); }

PageEditResult Kw1281Page::KeepAliveDataChanged(std::string text) {
    return state_.keepAlive.Change(std::move(text), kTextKeepAliveTooLong16);
}

PageStartResult Kw1281Page::Start(void* hub) {
    if (g_DeviceOpen.load(std::memory_order_acquire)) {
        // Before the start packet: the first block of the new session carries counter 0.
        g_Kw1281BlockCounter.store(0);
        ClearKw1281Link();
    }
    return UartPageBase::Start(hub);
}

void Kw1281Page::Stop() {
    UartPageBase::Stop();
    ClearKw1281Link();
}

void Kw1281Page::EndSession() {
    UartPageBase::EndSession();
    state_.keepAliveSent = false;
}

PageSendResult Kw1281Page::QueueBlock(const uint8_t* data, size_t count) {
    uint8_t block[kKw1281MaxData + 3];
    const size_t n = BuildKw1281Block(g_Kw1281BlockCounter.load(), data, count, block);
    return SendUartFrame(MakeFrameLengthWord(static_cast<uint16_t>(n), InitNone), block, n);
}

PageSendResult Kw1281Page::Send() {
    const PageSendResult allowed = CheckPageSend();
    if (allowed != PageSendResult::Queued) return allowed;
    if (timing_.keepAliveEnabled) {
        if (state_.keepAliveSent &&
            g_MonitorSeq.load(std::memory_order_acquire) - state_.keepAliveSentSeq < 2)
            return PageSendResult::Pending;  // the keep-alive block is still unanswered
        state_.keepAliveSent = false;
        if (session_.KeepAliveActive()) session_.PauseKeepAlive();
    }
    const PageSendResult result = QueueBlock(state_.data.bytes, state_.data.count);
    if (result != PageSendResult::Queued) return result;
    StartSendTimers();
    return result;
}

PageSendResult Kw1281Page::SendWithInit() {
    ClearKw1281Link();
    const PageSendResult result =
        SendUartFrame(MakeFrameLengthWord(0, initType_), nullptr, 0);
    if (result != PageSendResult::Queued) return result;
    StartInitTimers();
    return result;
}

void Kw1281Page::OnTimer(int id) {
    if (!session_.TickMayQueue()) return;
    if (id == kPageKeepAliveTimer) {
        if (!g_Kw1281LinkUp.load(std::memory_order_acquire)) return;
        if (QueueBlock(state_.keepAlive.bytes, state_.keepAlive.count) == PageSendResult::Queued) {
            state_.keepAliveSent = true;
            state_.keepAliveSentSeq = g_MonitorSeq.load(std::memory_order_acquire);
        }
    } else if (id == kPageCyclicTimer) {
        QueueBlock(state_.data.bytes, state_.data.count);
    }
}

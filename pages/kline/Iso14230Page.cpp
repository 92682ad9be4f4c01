#include "pages/kline/Iso14230Page.h"

#include <algorithm>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"
#include "pages/shared/BusWorker.h"
#include "pages/kline/KLineWorkers.h"

const char* const kIso14230ConnectedCaption = "SO14230(KWP2000)-- Device( %d ) Connected";
const char* const kIso14230NotConnectedCaption = "ISO14230(KWP2000) --No device Connected";
const char* const kIso14230TextCarbFmt = "CARB mode: bit7 bit6 must be 0b01";

const UartImageDefaults kIso14230ImageDefaults = {
    {0x05, 0x00, 0x37, 0x0A, 0x14, 0x02, 0x81, 0x00, 0x08, 0x00, 0xFF, 0x00, 25, 25, 0x33, 0x00},
    0xFB, kUartBaudRowDefault, 0x00};

void LoadIso14230ImageDefaults(UartRegisterImage& image) {
    LoadUartImageDefaults(image, kIso14230ImageDefaults);
    static const uint8_t k2C[] = {0x02, 0x19, 0x19};
    std::copy(std::begin(k2C), std::end(k2C), image.begin() + uart::Block2C);
    static const uint8_t k2D[] = {0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01};
    std::copy(std::begin(k2D), std::end(k2D), image.begin() + uart::Block2D);
}

Iso14230Page::Iso14230Page(PageTimers& timers)
    : UartPageBase(timers, UartPageConfig{UartPage::Iso14230, ThreadProc14230, true, true, 0},
                   {kIso14230ConnectedCaption, kIso14230NotConnectedCaption}, kIso14230ImageDefaults) {
    LoadDefaults();
}

void Iso14230Page::LoadDefaults() {
    LoadImageDefaults();
    LoadIso14230ImageDefaults(image_);
    state_ = Iso14230PageState();
    timing_ = UartTimerFields{false, 100, true, 3000};
    initType_ = InitFast;
    ::UpdateHeaderFields(state_.frame);
}

Iso14230HeaderView Iso14230Page::SetFrameFormat(unsigned selection) {
    state_.frame.frameFormat = static_cast<uint8_t>(std::min(selection, 3u));
    return UpdateHeaderFields();
}

Iso14230HeaderView Iso14230Page::SetUseLengthByte(bool on) {
    state_.frame.useLengthByte = on;
    return UpdateHeaderFields();
}

std::string Iso14230Page::FmtChanged(const std::string& text) {
    state_.frame.fmt = ParseHexByteField(text);
    return UpdateChecksum(state_.frame);
}

PageEditResult Iso14230Page::FmtLeft() {
    PageEditResult result;
    Iso14230Frame& frame = state_.frame;
    if (frame.frameFormat == FormatCarb && (frame.fmt & 0xC0) != 0x40) {
        frame.fmt = static_cast<uint8_t>((frame.fmt & 0x3F) | 0x40);
        UpdateChecksum(frame);
        result.rewrite = true;
        result.text = HexByteText(frame.fmt);
        result.message = kIso14230TextCarbFmt;
    }
    return result;
}

std::string Iso14230Page::TargetChanged(const std::string& text) {
    if (!Iso14230HasAddress(state_.frame.frameFormat)) return std::string();
    state_.frame.target = ParseHexByteField(text);
    return UpdateChecksum(state_.frame);
}

std::string Iso14230Page::SourceChanged(const std::string& text) {
    if (!Iso14230HasAddress(state_.frame.frameFormat)) return std::string();
    state_.frame.source = ParseHexByteField(text);
    return UpdateChecksum(state_.frame);
}

Iso14230DataResult Iso14230Page::DataChanged(std::string text) {
    Iso14230DataResult result;
    Iso14230Frame& frame = state_.frame;
    result.edit = CapHexData(std::move(text), frame.data, kIso14230MaxData, frame.dataCount,
                             kTextDataTooLong255);
    result.header = UpdateHeaderFields();
    return result;
}

std::string Iso14230Page::DataText() const {
    return HexBytesText(state_.frame.data, state_.frame.dataCount);
}

PageEditResult Iso14230Page::KeepAliveDataChanged(std::string text) {
    Iso14230KeepAlive& keepAlive = state_.keepAlive;
    const PageEditResult result = CapHexData(std::move(text), keepAlive.data, kIso14230MaxKeepAlive,
                                             keepAlive.count, kTextKeepAliveTooLong16);
    keepAlive.checksum = Iso14230Checksum(keepAlive.data, keepAlive.count);
    return result;
}

std::string Iso14230Page::KeepAliveDataText() const {
    return HexBytesText(state_.keepAlive.data, state_.keepAlive.count);
}

std::string Iso14230Page::KeepAliveChecksumText() const {
    return HexByteText(state_.keepAlive.checksum);
}

PageSendResult Iso14230Page::QueueFrame(bool withInit) {
    uint8_t frame[kIso14230MaxFrame];
    const size_t count = BuildIso14230Frame(state_.frame, frame);
    return SendUartFrame(Iso14230SendWord(count, withInit, initType_), frame, count);
}

PageSendResult Iso14230Page::QueueKeepAlive() {
    uint8_t frame[kIso14230MaxKeepAlive + 1];
    const size_t count = BuildIso14230KeepAliveFrame(state_.keepAlive, frame);
    return SendUartFrame(Iso14230SendWord(count, false, 0), frame, count);
}

PageSendResult Iso14230Page::Send() {
    const PageSendResult result = QueueFrame(false);
    if (result != PageSendResult::Queued) return result;
    // The keep-alive pauses while a frame of the user's goes out; it restarts below.
    if (session_.KeepAliveActive()) session_.PauseKeepAlive();
    StartSendTimers();
    return result;
}

PageSendResult Iso14230Page::SendWithInit() {
    const PageSendResult result = QueueFrame(true);
    if (result != PageSendResult::Queued) return result;
    StartInitTimers();
    return result;
}

void Iso14230Page::OnTimer(int id) {
    if (!session_.TickMayQueue()) return;
    if (id == kIso14230KeepAliveTimer)
        QueueKeepAlive();
    else if (id == kIso14230CyclicTimer)
        QueueFrame(false);
}

#include "pages/kline/Iso14230Page.h"

#include <algorithm>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"
#include "platform/Message.h"
#include "pages/kline/SerialWorker.h"

const char* const kIso14230ConnectedCaption = "SO14230(KWP2000)-- Device( %d ) Connected";
const char* const kIso14230NotConnectedCaption = "ISO14230(KWP2000) --No device Connected";
// Field messages carry the program's title, as the main window shows it at start.
const char* const kIso14230MessageCaption = "VR3526 Developer Kits V1.00";
const char* const kIso14230TextCarbFmt = "CARB mode: bit7 bit6 must be 0b01";
const char* const kIso14230TextDataTooLong = "数据桢的总长度不可大于255字节!";
const char* const kIso14230TextKeepAliveTooLong = "数据桢的长度不可大于16字节!";

void LoadIso14230ImageDefaults(UartRegisterImage& image) {
    image.fill(0);
    image[uart::UTXP1T] = 0x05;
    image[uart::UFREET] = 0x37;
    image[uart::URXP1MAX] = 0x0A;
    image[uart::UTXVT0] = 0x14;
    image[uart::URXVT1] = 0x02;
    image[uart::UFRMCON] = uart::FrmConAlways | uart::FmodIso14230;
    image[uart::PINSEL] = 0x00;
    image[uart::UFRMV] = uart::FrmvChksum;
    image[uart::UFLENCON] = 0x00;
    image[uart::UFLAND] = 0xFF;
    image[uart::fastInitLowMs] = 25;
    image[uart::fastInitHighMs] = 25;
    image[uart::slowInitAddress] = 0x33;
    image[uart::BITADJ] = 0x00;
    static const uint8_t k5Baud[uart::kU5BaudConSize] = {0xFB, 0x32, 0x05, 0x64, 0x05,
                                                         0x64, 0x00, 0x32, 0x1E, 0x00};
    std::copy(std::begin(k5Baud), std::end(k5Baud), image.begin() + uart::U5BAUDCON);
    static const uint8_t k2C[] = {0x02, 0x19, 0x19};
    std::copy(std::begin(k2C), std::end(k2C), image.begin() + uart::Block2C);
    static const uint8_t k2D[] = {0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01};
    std::copy(std::begin(k2D), std::end(k2D), image.begin() + uart::Block2D);
    SetImageBrg(image, kUartBaudTable[kUartBaudRowDefault].BRG);
    image[uart::lineFormat] = 0;
    image[uart::Reg36] = 0;
    image[uart::Reg37] = 0;
    image[uart::messagePeriod] = 0;
}

Iso14230Page::Iso14230Page(Iso14230PageTimers& timers) : timers_(timers) { LoadDefaults(); }

void Iso14230Page::LoadDefaults() {
    LoadIso14230ImageDefaults(image_);
    baudRow_ = kUartBaudRowDefault;
    state_ = Iso14230PageState();
    ::UpdateHeaderFields(state_.frame);
}

UartPageConfig Iso14230Page::Config() const {
    return UartPageConfig{UartPage::Iso14230, ThreadProc14230, true, true, 0};
}

Iso14230HeaderView Iso14230Page::SetFrameFormat(unsigned selection) {
    state_.frame.frameFormat = static_cast<uint8_t>(std::min(selection, 3u));
    return UpdateHeaderFields();
}

Iso14230HeaderView Iso14230Page::SetUseLengthByte(bool on) {
    state_.frame.useLengthByte = on;
    return UpdateHeaderFields();
}

void Iso14230Page::SetInitType(unsigned selection) {
    state_.initType = static_cast<uint8_t>(std::min(selection, 3u));
}

std::string Iso14230Page::FmtChanged(const std::string& text) {
    state_.frame.fmt = ParseHexByteField(text);
    return UpdateChecksum(state_.frame);
}

UartEditResult Iso14230Page::FmtLeft() {
    UartEditResult result;
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
    const size_t typed = HexTextByteCount(text);
    frame.dataCount = static_cast<uint8_t>(HexStringToBytes(text, frame.data, kIso14230MaxData));
    if (typed > kIso14230MaxData) {
        result.edit.rewrite = true;
        result.edit.text = HexBytesText(frame.data, frame.dataCount);
        result.edit.message = kIso14230TextDataTooLong;
    }
    result.header = UpdateHeaderFields();
    return result;
}

std::string Iso14230Page::DataText() const {
    return HexBytesText(state_.frame.data, state_.frame.dataCount);
}

void Iso14230Page::KeepAliveIntervalChanged(const std::string& text) {
    state_.keepAliveIntervalMs = static_cast<uint32_t>(ParseDecimalSaturating(text));
}

UartEditResult Iso14230Page::KeepAliveIntervalLeft(const std::string& text) {
    const FieldResult field = ValidateKeepAliveInterval(text);
    state_.keepAliveIntervalMs = field.value;
    return EditResultOf(field);
}

UartEditResult Iso14230Page::CyclePeriodChanged(const std::string& text) {
    const FieldResult field = ValidateCyclePeriod(text);
    state_.cyclePeriodMs = field.value;
    UartEditResult result;
    result.message = field.message;  // the edit keeps what was typed
    return result;
}

UartEditResult Iso14230Page::KeepAliveDataChanged(std::string text) {
    UartEditResult result;
    Iso14230KeepAlive& keepAlive = state_.keepAlive;
    const size_t typed = HexTextByteCount(text);
    keepAlive.count =
        static_cast<uint8_t>(HexStringToBytes(text, keepAlive.data, kIso14230MaxKeepAlive));
    keepAlive.checksum = Iso14230Checksum(keepAlive.data, keepAlive.count);
    if (typed > kIso14230MaxKeepAlive) {
        result.rewrite = true;
        result.text = KeepAliveDataText();
        result.message = kIso14230TextKeepAliveTooLong;
    }
    return result;
}

std::string Iso14230Page::KeepAliveDataText() const {
    return HexBytesText(state_.keepAlive.data, state_.keepAlive.count);
}

std::string Iso14230Page::KeepAliveChecksumText() const {
    return HexByteText(state_.keepAlive.checksum);
}

UartEditResult Iso14230Page::ByteFieldChanged(size_t offset, UartFieldKind kind,
                                                  const std::string& text) {
    return EditResultOf(ApplyByteField(image_, offset, kind, text));
}

UartEditResult Iso14230Page::BrgChanged(const std::string& text) {
    return EditResultOf(ApplyBrgField(image_, text));
}

void Iso14230Page::HexFieldChanged(size_t offset, const std::string& text) {
    ApplyHexByteField(image_, offset, text);
}

BaudRowResult Iso14230Page::SelectBaud(size_t row) {
    baudRow_ = row < kUartBaudRows ? row : kUartBaudRowDefault;
    return SelectBaudRow(image_, baudRow_);
}

UartStartResult Iso14230Page::Start(void* hub) { return StartUartPage(image_, Config(), hub); }

void Iso14230Page::Stop() {
    StopUartPage();
    EndSession();
}

void Iso14230Page::EndSession() {
    timers_.KillPageTimer(kIso14230KeepAliveTimer);
    timers_.KillPageTimer(kIso14230CyclicTimer);
    state_.keepAliveTimerActive = false;
    state_.keepAliveCheckEnabled = true;
}

bool Iso14230Page::SessionLive() const {
    return g_WorkerRunning.load(std::memory_order_acquire) != 0 &&
           g_WorkerThread.Session() == session_;
}

void Iso14230Page::StartTimer(int id, uint32_t periodMs) {
    timers_.StartPageTimer(id, ClampPageTimerPeriod(periodMs));
}

UartSendResult Iso14230Page::QueueFrame(bool withInit) {
    uint8_t frame[kIso14230MaxFrame];
    const size_t count = BuildIso14230Frame(state_.frame, frame);
    return SendUartFrame(Iso14230SendWord(count, withInit, state_.initType), frame, count);
}

UartSendResult Iso14230Page::QueueKeepAlive() {
    uint8_t frame[kIso14230MaxKeepAlive + 1];
    const size_t count = BuildIso14230KeepAliveFrame(state_.keepAlive, frame);
    return SendUartFrame(Iso14230SendWord(count, false, 0), frame, count);
}

UartSendResult Iso14230Page::Send() {
    const UartSendResult result = QueueFrame(false);
    if (result != UartSendResult::Queued) return result;
    session_ = g_WorkerThread.Session();
    // The keep-alive pauses while a frame of the user's goes out; it restarts below.
    if (state_.keepAliveTimerActive) timers_.KillPageTimer(kIso14230KeepAliveTimer);
    if (state_.cyclicSend) {
        StartTimer(kIso14230CyclicTimer, state_.cyclePeriodMs);
    } else if (state_.keepAliveEnabled) {
        StartTimer(kIso14230KeepAliveTimer, state_.keepAliveIntervalMs);
        state_.keepAliveTimerActive = true;
    }
    return result;
}

UartSendResult Iso14230Page::SendWithInit() {
    const UartSendResult result = QueueFrame(true);
    if (result != UartSendResult::Queued) return result;
    session_ = g_WorkerThread.Session();
    if (state_.keepAliveEnabled) {
        StartTimer(kIso14230KeepAliveTimer, state_.keepAliveIntervalMs);
        state_.keepAliveTimerActive = true;
    }
    state_.keepAliveCheckEnabled = false;
    return result;
}

void Iso14230Page::OnTimer(int id) {
    // A tick that outlived its worker must not queue a frame for the next one.
    if (!SessionLive()) {
        EndSession();
        return;
    }
    if (g_TxPending.load(std::memory_order_acquire) != 0) return;
    if (id == kIso14230KeepAliveTimer)
        QueueKeepAlive();
    else if (id == kIso14230CyclicTimer)
        QueueFrame(false);
}

UartDeviceStatus Iso14230Page::RefreshDeviceStatus() {
    if (!SessionLive()) EndSession();
    return CurrentDeviceStatus(kIso14230ConnectedCaption, kIso14230NotConnectedCaption);
}

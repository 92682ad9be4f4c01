#include "pages/kline/UartPageBase.h"

#include <algorithm>
#include <iterator>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"
#include "pages/shared/BusWorker.h"

const char* const kUartFieldMessageCaption = "VR3526 Developer Kits V1.00";
const char* const kTextDataTooLong255 = "数据桢的总长度不可大于255字节!";
const char* const kTextKeepAliveTooLong16 = "数据桢的长度不可大于16字节!";


uint8_t UartChecksum(const UartRegisterImage& image, uint8_t initial, const uint8_t* bytes,
                     size_t count) {
    uint8_t sum = initial;
    for (size_t i = 0; i < count; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    if (image[uart::UFLENCON] & uart::FlenChkmod) sum = static_cast<uint8_t>(-sum);
    return sum;
}

std::string UartChecksumText(const UartRegisterImage& image, uint8_t initial,
                             const uint8_t* bytes, size_t count) {
    if (!UartChecksumOn(image)) return "-";
    return HexByteText(UartChecksum(image, initial, bytes, count));
}

void LoadUartImageDefaults(UartRegisterImage& image, const UartImageDefaults& defaults) {
    image.fill(0);
    std::copy(std::begin(defaults.head), std::end(defaults.head), image.begin());
    const uint8_t fiveBaud[uart::kU5BaudConSize] = {defaults.conb, 0x32, 0x05, 0x64, 0x05,
                                                    0x64, 0x00, 0x32, 0x1E, 0x00};
    std::copy(std::begin(fiveBaud), std::end(fiveBaud), image.begin() + uart::U5BAUDCON);
    SetImageBrg(image, kUartBaudTable[defaults.baudRow].BRG);
    image[uart::messagePeriod] = defaults.messagePeriod;
}


UartPageBase::UartPageBase(PageTimers& timers, const UartPageConfig& config,
                           const UartPageCaptions& captions, const UartImageDefaults& defaults)
    : session_(timers),
      config_(config),
      captions_(captions),
      defaults_(defaults),
      baudRow_(defaults.baudRow) {}

void UartPageBase::LoadImageDefaults() {
    LoadUartImageDefaults(image_, defaults_);
    baudRow_ = defaults_.baudRow;
}

PageEditResult UartPageBase::ByteFieldChanged(size_t offset, UartFieldKind kind,
                                              const std::string& text) {
    return EditResultOf(ApplyByteField(image_, offset, kind, text));
}

PageEditResult UartPageBase::BrgChanged(const std::string& text) {
    return EditResultOf(ApplyBrgField(image_, text));
}

void UartPageBase::HexFieldChanged(size_t offset, const std::string& text) {
    ApplyHexByteField(image_, offset, text);
}

BaudRowResult UartPageBase::SelectBaud(size_t row) {
    baudRow_ = row < kUartBaudRows ? row : defaults_.baudRow;
    return SelectBaudRow(image_, baudRow_);
}

void UartPageBase::SetInitType(unsigned selection) {
    initType_ = static_cast<uint8_t>(std::min(selection, 3u));
}

void UartPageBase::KeepAliveIntervalChanged(const std::string& text) {
    timing_.keepAliveIntervalMs = static_cast<uint32_t>(ParseDecimalSaturating(text));
}

PageEditResult UartPageBase::KeepAliveIntervalLeft(const std::string& text) {
    const FieldResult field = ValidateKeepAliveInterval(text);
    timing_.keepAliveIntervalMs = field.value;
    return EditResultOf(field);
}

PageEditResult UartPageBase::CyclePeriodChanged(const std::string& text) {
    const FieldResult field = ValidateCyclePeriod(text);
    timing_.cyclePeriodMs = field.value;
    PageEditResult result;
    result.message = field.message;  // the edit keeps what was typed
    return result;
}

bool UartPageBase::SelectKLinePin(UartPin pin) {
    ApplyPinSelection(image_, pin, true);
    return (image_[uart::CONB] & uart::ConbEnl) != 0;
}

void UartPageBase::StartSendTimers() {
    session_.Begin();
    if (timing_.cyclicSend)
        session_.StartCyclic(timing_.cyclePeriodMs);
    else if (timing_.keepAliveEnabled)
        session_.StartKeepAlive(timing_.keepAliveIntervalMs);
}

void UartPageBase::StartInitTimers() {
    session_.Begin();
    if (timing_.keepAliveEnabled) session_.StartKeepAlive(timing_.keepAliveIntervalMs);
    session_.LockKeepAliveCheck();
}

PageStartResult UartPageBase::Start(void* hub) { return StartUartPage(image_, config_, hub); }

void UartPageBase::Stop() {
    StopPage();
    EndSession();
}

PageDeviceStatus UartPageBase::RefreshDeviceStatus() {
    if (!session_.Live()) EndSession();
    return CurrentDeviceStatus(captions_.connected, captions_.notConnected);
}

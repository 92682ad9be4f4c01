#include "pages/kline/uarttest/UartTestPage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"

const char* const kUartTestConnectedCaption = "UART Test-- Device( %d ) Connected";
const char* const kUartTestNotConnectedCaption = "UART Test --No device Connected ";
const char* const kUartTestTextDataTooLong = "数据桢的总长度不可大于60字节!";

namespace {

constexpr uint8_t kSleepRegister = 0x02;
constexpr uint8_t kFlagsRegister = 0x00;

// 60 00 nLo nHi data: the count is the whole length word, no flags.
class UartTestPolicy : public WorkerPolicy {
public:
    PendingRule RuleFor(const uint8_t* /*packet*/) const override {
        return PendingRule::UartFrameAtOnce;
    }
    const char* PollWriteFailText() const override { return kWorkerTextWrite2; }
    void MakeSentFrameRecord(const uint8_t* packet, uint32_t n, WorkerRecord& record) const override {
        record.direction = 0;
        record.kind = KindUart;
        record.lengthWord = static_cast<uint16_t>(n);
        record.arrived = n;
        record.count = std::min<uint32_t>(n, kMonitorDataBytes);
        std::memcpy(record.data, packet + 4, record.count);
    }
};

}  // namespace

WorkerPolicy& UartTestWorkerPolicy() {
    static UartTestPolicy policy;
    return policy;
}

uint32_t ThreadProcTestUart(void* /*hub*/) {
    UartTestPolicy policy;
    return RunBusWorker(policy);
}

void LoadUartTestImageDefaults(UartRegisterImage& image) {
    image.fill(0);
    image[uart::UFRMCON] = uart::FrmConAlways | uart::FmodUart;
    image[uart::PINSEL] = 0x00;
    SetImageBrg(image, kUartBaudTable[kUartBaudRow9600].BRG);
    image[uart::lineFormat] = 0;
    image[uart::Reg36] = 0x00;
    image[uart::Reg37] = 0x20;
}

void UartTestPage::LoadDefaults() {
    LoadUartTestImageDefaults(image_);
    baudRow_ = kUartBaudRow9600;
    count_ = 8;
    for (size_t i = 0; i < count_; ++i) data_[i] = static_cast<uint8_t>(i);
    sleepControl_ = kSleepControlDefault;
}

UartPageConfig UartTestPage::Config() const {
    return UartPageConfig{UartPage::UartTest, ThreadProcTestUart, false, true, 1, true};
}

PageEditResult UartTestPage::DataChanged(std::string text) {
    PageEditResult result;
    const size_t typed = HexTextByteCount(text);
    count_ = HexStringToBytes(text, data_, kUartTestMaxData);
    if (typed > kUartTestMaxData) {
        result.rewrite = true;
        result.text = DataText();
        result.message = kUartTestTextDataTooLong;
    }
    return result;
}

std::string UartTestPage::DataText() const { return HexBytesText(data_, count_); }

PageEditResult UartTestPage::BrgChanged(const std::string& text) {
    return EditResultOf(ApplyBrgField(image_, text));
}

BaudRowResult UartTestPage::SelectBaud(size_t row) {
    baudRow_ = row < kUartBaudRows ? row : kUartBaudRow9600;
    return SelectBaudRow(image_, baudRow_);
}

void UartTestPage::SetSleepBit(uint8_t bit, bool on) {
    sleepControl_ = static_cast<uint8_t>(on ? (sleepControl_ | bit) : (sleepControl_ & ~bit));
}

PageStartResult UartTestPage::Start(void* hub) { return StartUartPage(image_, Config(), hub); }

void UartTestPage::Stop() { StopPage(); }

PageSendResult UartTestPage::Send() {
    uint8_t packet[4 + kUartTestMaxData];
    packet[0] = CmdUartSend;
    packet[1] = 0x00;
    packet[2] = static_cast<uint8_t>(count_);
    packet[3] = 0x00;
    std::memcpy(packet + 4, data_, count_);
    return SendPagePacket(packet, 4 + count_);
}

void UartTestPage::Sleep() {
    sleepControl_ |= kSleepRequest;
    UsbWriteRegister(kSleepRegister, sleepControl_);
}

void UartTestPage::Wake() { UsbWriteWake(); }

std::string UartTestPage::ReadInterruptFlags() {
    // A failed read has shown its own message and leaves the byte as it was.
    UsbReadRegister(kFlagsRegister, &interruptFlags_);
    UsbReadRegister(kSleepRegister, &interruptFlags_);
    char text[8];
    std::snprintf(text, sizeof text, "0x%.2X ", interruptFlags_);
    return text;
}

PageDeviceStatus UartTestPage::RefreshDeviceStatus() const {
    return CurrentDeviceStatus(kUartTestConnectedCaption, kUartTestNotConnectedCaption);
}

#include "pages/can/tp20/Tp20Page.h"

#include <cstring>

#include "monitor/HexText.h"

const char* const kTp20ConnectedCaption = "CAN TP2.0 -- Device( %d ) Connected";
const char* const kTp20NotConnectedCaption = "CAN TP2.0 -- No device Connected";

namespace {

const char* const kTextBsiz = "BSIZ 值为0-15间";
const char* const kTextCcfDl = "最大有效值 252字节";
const char* const kTextPeriod = "链路时间应设在100ms-1000ms间";

constexpr uint32_t kMaxCcfDl = 252;
constexpr uint32_t kBsizReplacement = 15;
constexpr uint32_t kPeriodReplacement = 800;

struct FrameDefault {
    uint16_t tester, ecu;
    uint8_t dlc;
    uint8_t data[8];
};
// In Tp20Buffer order.
const FrameDefault kFrameDefaults[kTp20Buffers] = {
    {0x32E, 0x300, 5, {0x10, 0x00, 0x02, 0x1A, 0x9B}},
    {0x200, 0x200, 7, {0x1F, 0xC0, 0x00, 0x10, 0x00, 0x03, 0x01}},
    {0x32E, 0x32E, 6, {0xA0, 0x0F, 0x8A, 0xFF, 0x32, 0xFF}},
    {0x32E, 0x300, 1, {0xB0}},
    {0x32E, 0x300, 8, {0x21, 0x00, 0xEF, 0x01, 0x02, 0x03, 0x04, 0x05}},
    {0x32E, 0x300, 1, {0xA3}},
    {0x21F, 0x21F, 7, {0x00, 0xD0, 0x00, 0x03, 0x2E, 0x03, 0x01}},
    {0x300, 0x300, 6, {0xA1, 0x08, 0x8A, 0xFF, 0x00, 0xFF}},
};

size_t Index(Tp20Buffer which) { return static_cast<size_t>(which) % kTp20Buffers; }

}  // namespace

Tp20Page::Tp20Page() { LoadDefaults(kTp20PresetTester); }

void Tp20Page::LoadDefaults(unsigned preset) {
    const bool ecu = preset == kTp20PresetEcu;
    CanRegisterImage& h = head_;
    SetCanHeadDefaults(h, 0x3F);
    h.filterEnable0 = 0x03;
    h.mskSel[0] = 0xF0;
    for (CanFilterEntry& m : h.masks) {
        m = CanFilterEntry();
        SetCanFilterSid(m, 0x7FF);
        SetCanFilterExide(m, true);
    }
    SetCanFilterSid(h.filters[0], ecu ? 0x32E : 0x300);
    SetCanFilterSid(h.filters[1], ecu ? 0x200 : 0x21F);
    h.cprocon = 0x83;
    SelectCanBaudRow(h, kTp20BaudRow);

    const uint8_t control[4] = {0x01, 0x0F, 0x3A, 0x00};
    std::memcpy(tail_.control, control, sizeof control);
    tail_.timeT1 = 20;
    tail_.timeT3 = 50;
    tail_.timerTE = 20;

    std::lock_guard<std::mutex> lock(mutex_);
    ccfDl_ = 234;
    for (size_t i = 0; i < kTp20Buffers; ++i) {
        const FrameDefault& d = kFrameDefaults[i];
        frames_[i] = EcanMessageBuffer();
        SetEcanId(frames_[i], ecu ? d.ecu : d.tester, false);
        SetEcanDlc(frames_[i], d.dlc);
        std::memcpy(EcanData(frames_[i]), d.data, d.dlc);
    }
    for (size_t i = 0; i < kCanLongMessageBytes; ++i) buffer_[i] = static_cast<uint8_t>(i + 6);
    bufferLength_ = kCanLongMessageBytes;
}

EcanMessageBuffer Tp20Page::Frame(Tp20Buffer which) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_[Index(which)];
}

uint8_t Tp20Page::CcfDl() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ccfDl_;
}

uint32_t Tp20Page::BufferLength() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bufferLength_;
}

CanTimingView Tp20Page::SelectBaud(size_t) { return CanTiming(head_, kTp20BaudRow); }

void Tp20Page::IdChanged(Tp20Buffer which, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    SetEcanId(frames_[Index(which)], ParseCanHexText(text), false);
}

PageEditResult Tp20Page::DataChanged(Tp20Buffer which, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    return SingleFrameDataChanged(frames_[Index(which)], text);
}

std::string Tp20Page::DataText(Tp20Buffer which) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return CanFrameDataText(frames_[Index(which)]);
}

PageEditResult Tp20Page::BufferChanged(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t count = 0;
    const PageEditResult result =
        ReadCanHexData(text, buffer_, kCanLongMessageBytes, count, kCanTextBufferTooLong);
    bufferLength_ = static_cast<uint32_t>(count);
    return result;
}

std::string Tp20Page::BufferText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return HexBytesText(buffer_, bufferLength_);
}

PageEditResult Tp20Page::DecimalChanged(Tp20Decimal which, const std::string& text) {
    uint32_t value = 0;
    PageEditResult result;
    // Out of range: a replacement, written back with the field's message.
    auto replace = [&](uint32_t replacement, const char* message) {
        value = replacement;
        result.rewrite = true;
        result.text = std::to_string(replacement);
        result.message = message;
    };
    switch (which) {
    case Tp20Decimal::Bsiz:
        value = ReadCanDecimal(text, result);
        if (value < 1 || value > 15) replace(kBsizReplacement, kTextBsiz);
        tail_.control[1] = static_cast<uint8_t>((tail_.control[1] & 0xF0) | value);
        break;
    case Tp20Decimal::T1:
    case Tp20Decimal::T3:
    case Tp20Decimal::TE: {
        result = ReadCanBoundedDecimal(text, 255, kCanTextMax255, value);
        uint8_t* field = which == Tp20Decimal::T1   ? &tail_.timeT1
                         : which == Tp20Decimal::T3 ? &tail_.timeT3
                                                    : &tail_.timerTE;
        *field = static_cast<uint8_t>(value);
        break;
    }
    case Tp20Decimal::CcfDl: {
        result = ReadCanBoundedDecimal(text, kMaxCcfDl, kTextCcfDl, value);
        std::lock_guard<std::mutex> lock(mutex_);
        ccfDl_ = static_cast<uint8_t>(value);
        break;
    }
    case Tp20Decimal::Period:
        value = ReadCanDecimal(text, result);
        if (value < 1 || value > 1000) replace(kPeriodReplacement, kTextPeriod);
        keepAlivePeriodMs_ = value;
        break;
    }
    return result;
}

uint32_t Tp20Page::DecimalValue(Tp20Decimal which) const {
    switch (which) {
    case Tp20Decimal::Bsiz: return tail_.control[1] & 0x0F;
    case Tp20Decimal::T1: return tail_.timeT1;
    case Tp20Decimal::T3: return tail_.timeT3;
    case Tp20Decimal::TE: return tail_.timerTE;
    case Tp20Decimal::CcfDl: return CcfDl();
    default: return keepAlivePeriodMs_;
    }
}

void Tp20Page::SetChsfltn(unsigned selection) {
    tail_.control[0] = static_cast<uint8_t>((tail_.control[0] & 0xF0) | (selection & 0x0F));
}

void Tp20Page::SetCtsfltn(unsigned selection) {
    tail_.control[0] = static_cast<uint8_t>((tail_.control[0] & 0x0F) | (selection & 0x0F) << 4);
}

CanDownloadList Tp20Page::DownloadList() const {
    using S = CanDownloadStep;
    std::lock_guard<std::mutex> lock(mutex_);
    return BuildCanDownload(
        head_, {S::Reg(0x64, tail_.timeT1), S::Reg(0x65, tail_.timeT3), S::Reg(0x66, tail_.timerTE)},
        {S::Blk(0x29, tail_.control, 4),
         S::Blk(0x24, frames_[Index(Tp20Buffer::ConnectionSetup)].bytes, kEcanBufferSize),
         S::Blk(0x25, frames_[Index(Tp20Buffer::Ack)].bytes, kEcanBufferSize)});
}

PageStartResult Tp20Page::Start() {
    return StartCanPage(head_, DownloadList(), ThreadProcTP20, static_cast<Tp20HandOverSource*>(this));
}

CanSendResult Tp20Page::Send() { return SendCanFrame(Frame(Tp20Buffer::Single)); }

bool Tp20Page::Request(uint32_t mode) {
    return RequestMultiFrame([mode] { g_Tp20RequestMode.store(mode, std::memory_order_release); });
}

PageDeviceStatus Tp20Page::RefreshDeviceStatus() const {
    return CurrentDeviceStatus(kTp20ConnectedCaption, kTp20NotConnectedCaption);
}

Tp20HandOver Tp20Page::TakeHandOver() const {
    std::lock_guard<std::mutex> lock(mutex_);
    Tp20HandOver h;
    std::memcpy(h.message, buffer_, sizeof h.message);
    h.length = bufferLength_;
    h.ccfDl = ccfDl_;
    h.channelSetup = frames_[Index(Tp20Buffer::ChannelSetup)];
    h.firstFrame = frames_[Index(Tp20Buffer::FirstFrame)];
    return h;
}

EcanMessageBuffer Tp20Page::AnswerFrame(Tp20Answer answer) const {
    return Frame(answer == Tp20Answer::ChannelSetup ? Tp20Buffer::ChannelReply
                                                    : Tp20Buffer::ConnectionReply);
}

#include "pages/can/j1939/J1939Page.h"

#include <cstdio>
#include <cstring>

#include "monitor/HexText.h"
#include "pages/can/j1939/J1939Frame.h"
#include "pages/shared/FieldText.h"

const char* const kJ1939ConnectedCaption = "J1939 -- Device( %d ) Connected";
const char* const kJ1939NotConnectedCaption = "J1939 -- No device Connected";
const char* const kJ1939TextTotal = " KM5804自动发送时，最大值为252，最小值为9";

namespace {

constexpr uint8_t kTotalByte = 1;  // RTS data: total size, low byte (the high byte stays 0)
constexpr uint8_t kCountByte = 3;  // RTS data: packet count
constexpr uint8_t kPgnByte = 5;    // RTS data: PGN, three bytes

void SetFrame(EcanMessageBuffer& frame, uint32_t id, const uint8_t* data) {
    frame = EcanMessageBuffer();
    SetEcanExtended(frame, true);
    SetEcanId(frame, id, true);
    SetEcanDlc(frame, 8);
    if (data) std::memcpy(EcanData(frame), data, kCanMaxData);
}

void SetId29(CanFilterEntry& entry, uint32_t id) {
    SetCanFilterId29(entry, id);
    SetCanFilterExide(entry, true);
}

uint32_t Id(const EcanMessageBuffer& frame) { return EcanIdAs(frame, true); }

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%.2X", value & 0xFF);
    return text;
}

}  // namespace

J1939Page::J1939Page() { LoadDefaults(); }

void J1939Page::LoadDefaults() {
    CanRegisterImage& h = head_;
    SetCanHeadDefaults(h, 0x1F);
    h.filterEnable0 = 0x07;
    h.mskSel[0] = 0x10;
    for (CanFilterEntry& m : h.masks) m = CanFilterEntry();
    SetId29(h.masks[0], 0x0000FF00);
    SetId29(h.masks[1], 0x0F000000);
    std::memset(h.masks[2].bytes, 0xFF, sizeof h.masks[2].bytes);
    const uint32_t filters[4] = {0x0000F900, 0x0000FF00, 0x0F000000, 0x0000FF00};
    for (size_t f = 0; f < 4; ++f) SetId29(h.filters[f], filters[f]);
    SelectCanBaudRow(h, kJ1939BaudRow);
    h.cprocon = 0xE2;

    tail_ = J1939Tail();
    tail_.control[1] = 16;
    tail_.timeT2 = tail_.timeT3 = 250;
    tail_.timeTr = tail_.timeTs = 100;

    const uint8_t request[8] = {0xE0, 0xFE, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const uint8_t rts[8] = {kJ1939Rts, 0x17, 0x00, 0x04, 0xFF, 0xE3, 0xFE, 0x00};
    SetFrame(singleFrame_, 0x18EA00F9, request);
    SetFrame(cts0Frame_, 0x1CEC00F9, nullptr);
    SetFrame(cts1Frame_, 0x1CEC00F9, nullptr);
    SetFrame(dtFrame_, 0x1CEB00F9, nullptr);
    std::lock_guard<std::mutex> lock(mutex_);
    SetFrame(rtsFrame_, 0x1CEC00F9, rts);
    for (size_t i = 0; i < kCanLongMessageBytes; ++i) buffer_[i] = static_cast<uint8_t>(i);
    bufferLength_ = kCanLongMessageBytes;
}

EcanMessageBuffer& J1939Page::Frame(J1939Frame which) {
    switch (which) {
    case J1939Frame::Rts: return rtsFrame_;
    case J1939Frame::Dt: return dtFrame_;
    case J1939Frame::Cts0: return cts0Frame_;
    default: return cts1Frame_;
    }
}

EcanMessageBuffer J1939Page::FrameOf(J1939Frame which) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return const_cast<J1939Page*>(this)->Frame(which);
}

uint32_t J1939Page::BufferLength() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bufferLength_;
}

CanTimingView J1939Page::SelectBaud(size_t) { return CanTiming(head_, kJ1939BaudRow); }

void J1939Page::SingleIdChanged(const std::string& text) {
    SetEcanId(singleFrame_, ParseCanHexText(text) & ~kJ1939ReservedBit, true);
}

J1939PduInfo J1939Page::PduInfo() const {
    const J1939Id id = DecodeJ1939Id(Id(singleFrame_));
    const bool pdu1 = J1939IsPdu1(id);
    J1939PduInfo info;
    info.format = pdu1 ? "PDU1" : "PDU2";
    info.priority = std::to_string(id.priority);
    info.dp = id.dp ? "1" : "0";
    info.pf = Hex2(id.pf);
    info.ge = pdu1 ? "--" : Hex2(id.ps);
    info.da = pdu1 ? Hex2(id.ps) : "--";
    info.sa = Hex2(id.sa);
    const uint32_t pgn = J1939Pgn(id);
    char text[32];
    std::snprintf(text, sizeof text, "0x%.6X ( %u )", pgn, pgn);
    info.pgn = text;
    return info;
}

void J1939Page::PadSingleFrame() {
    if (!fixedLength_) return;
    uint8_t* data = EcanData(singleFrame_);
    for (size_t i = EcanShownDataCount(singleFrame_); i < kCanMaxData; ++i) data[i] = fillValue_;
    SetEcanDlc(singleFrame_, kCanMaxData);
}

PageEditResult J1939Page::SingleDataChanged(const std::string& text) {
    const PageEditResult result = SingleFrameDataChanged(singleFrame_, text);
    PadSingleFrame();
    return result;
}

void J1939Page::SetFixedLength(bool on) {
    fixedLength_ = on;
    PadSingleFrame();
}

void J1939Page::FillValueChanged(const std::string& text) { fillValue_ = ParseHexByteField(text); }

void J1939Page::SetPriority(J1939Frame which, unsigned priority) {
    std::lock_guard<std::mutex> lock(mutex_);
    EcanMessageBuffer& frame = Frame(which);
    SetEcanId(frame, WithJ1939Priority(Id(frame), priority), true);
}

void J1939Page::AddressChanged(J1939Address which, const std::string& text) {
    const uint8_t value = static_cast<uint8_t>(ParseCanHexText(text));
    const bool sa = which == J1939Address::TpSa || which == J1939Address::Cts0Sa ||
                    which == J1939Address::Cts1Sa;
    auto set = [&](EcanMessageBuffer& frame) {
        SetEcanId(frame, sa ? WithJ1939Sa(Id(frame), value) : WithJ1939Ps(Id(frame), value), true);
    };
    std::lock_guard<std::mutex> lock(mutex_);
    switch (which) {
    case J1939Address::TpDa:
    case J1939Address::TpSa:
        set(rtsFrame_);
        set(dtFrame_);
        break;
    case J1939Address::Cts0Da:
    case J1939Address::Cts0Sa: set(cts0Frame_); break;
    default: set(cts1Frame_); break;
    }
}

J1939CountResult J1939Page::TotalChanged(const std::string& text) {
    J1939CountResult r;
    const int32_t typed = ParseDecimalSaturating(text);
    uint32_t total = static_cast<uint32_t>(typed);
    if (typed < 0 || total > kJ1939MaxTotal) {
        total = kJ1939TotalReplacement;
        r.edit.rewrite = true;
        r.edit.text = std::to_string(total);
        r.edit.message = kJ1939TextTotal;
    }
    const uint32_t count = J1939PacketCount(total);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        EcanData(rtsFrame_)[kTotalByte] = static_cast<uint8_t>(total);
        EcanData(rtsFrame_)[kCountByte] = static_cast<uint8_t>(count);
    }
    r.countText = std::to_string(count);
    return r;
}

void J1939Page::PgnChanged(const std::string& text) {
    const uint32_t pgn = ParseCanHexText(text);
    std::lock_guard<std::mutex> lock(mutex_);
    uint8_t* data = EcanData(rtsFrame_);
    data[kPgnByte] = static_cast<uint8_t>(pgn);
    data[kPgnByte + 1] = static_cast<uint8_t>(pgn >> 8);
    data[kPgnByte + 2] = static_cast<uint8_t>((pgn & 0x1FFFF) >> 16);
}

void J1939Page::SetBam(bool on) {
    SetCanBits(tail_.control[2], kJ1939BamBit, on);
    const uint8_t da = on ? 0xFF : 0x00;
    std::lock_guard<std::mutex> lock(mutex_);
    EcanData(rtsFrame_)[0] = on ? kJ1939Bam : kJ1939Rts;
    SetEcanId(rtsFrame_, WithJ1939Ps(Id(rtsFrame_), da), true);
    SetEcanId(dtFrame_, WithJ1939Ps(Id(dtFrame_), da), true);
}

std::string J1939Page::RtsDataText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return CanFrameDataText(rtsFrame_);
}

uint32_t J1939Page::RtsTotal() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return EcanData(rtsFrame_)[kTotalByte] + 256u * EcanData(rtsFrame_)[kTotalByte + 1];
}

J1939CountResult J1939Page::BufferChanged(const std::string& text) {
    J1939CountResult r;
    std::lock_guard<std::mutex> lock(mutex_);
    size_t count = 0;
    r.edit = ReadCanHexData(text, buffer_, kCanLongMessageBytes, count, kCanTextBufferTooLong);
    bufferLength_ = static_cast<uint32_t>(count);
    r.countText = std::to_string(count);
    return r;
}

std::string J1939Page::BufferText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string text;
    for (uint32_t at = 0; at < bufferLength_; at += kJ1939PacketData) {
        if (at) text += '\n';
        text += HexBytesText(buffer_ + at, std::min<uint32_t>(kJ1939PacketData, bufferLength_ - at));
    }
    return text;
}

PageEditResult J1939Page::BsizeChanged(const std::string& text) {
    uint32_t value = 0;
    const PageEditResult result = ReadCanBoundedDecimal(text, 255, kCanTextBsize255, value);
    tail_.control[1] = static_cast<uint8_t>(value);
    return result;
}

PageEditResult J1939Page::TimerChanged(unsigned which, const std::string& text) {
    uint32_t value = 0;
    const PageEditResult result = ReadCanBoundedDecimal(text, 255, kCanTextMax255, value);
    uint8_t* fields[] = {&tail_.timeT2, &tail_.timeT3, &tail_.timeTr, &tail_.timeTs};
    *fields[std::min(which, 3u)] = static_cast<uint8_t>(value);
    return result;
}

void J1939Page::SetNibble(J1939Nibble which, unsigned selection) {
    const uint8_t v = static_cast<uint8_t>(selection & 0x0F);
    uint8_t& byte = which == J1939Nibble::Txfltn ? tail_.control[2] : tail_.control[0];
    if (which == J1939Nibble::R1fltn)
        byte = static_cast<uint8_t>((byte & 0x0F) | v << 4);
    else
        byte = static_cast<uint8_t>((byte & 0xF0) | v);
}

CanDownloadList J1939Page::DownloadList() const {
    using S = CanDownloadStep;
    return BuildCanDownload(head_,
                            {S::Reg(0x68, tail_.timeT2), S::Reg(0x69, tail_.timeT3),
                             S::Reg(0x6A, tail_.timeTs), S::Reg(0x6B, tail_.timeTr)},
                            {S::Blk(0x34, tail_.control, 4),
                             S::Blk(kJ1939DtBlock, dtFrame_.bytes, kEcanBufferSize),
                             S::Blk(0x24, cts0Frame_.bytes, kEcanBufferSize),
                             S::Blk(0x25, cts1Frame_.bytes, kEcanBufferSize)});
}

PageStartResult J1939Page::Start() {
    return StartCanPage(head_, DownloadList(), ThreadProcJ1939,
                        static_cast<J1939HandOverSource*>(this));
}

PageDeviceStatus J1939Page::RefreshDeviceStatus() const {
    return CurrentDeviceStatus(kJ1939ConnectedCaption, kJ1939NotConnectedCaption);
}

J1939HandOver J1939Page::TakeHandOver() const {
    std::lock_guard<std::mutex> lock(mutex_);
    J1939HandOver h;
    std::memcpy(h.message, buffer_, sizeof h.message);
    h.length = bufferLength_;
    h.rtsFrame = rtsFrame_;
    return h;
}

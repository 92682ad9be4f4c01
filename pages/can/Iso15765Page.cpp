#include "pages/can/Iso15765Page.h"

#include <algorithm>
#include <cstring>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"
#include "pages/can/Iso15765Frame.h"
#include "pages/shared/FieldText.h"

const char* const kIso15765ConnectedCaption = "CAN -- Device( %d ) Connected";
const char* const kIso15765NotConnectedCaption = "CAN --No device Connected";
const char* const kIso15765KeepAliveStart = "启动链路保持";
const char* const kIso15765KeepAliveStop = "停止链路保持";

namespace {

const char* const kTextBsize63 = "BSIZE 最大值为63";
const char* const kTextLengthTooLong = "超过KM5804允许的最大值长度";
const char* const kTextLengthOneFrame = "数据长度必须多于一桢，设重新设定";
const char* const kTextBufferEmpty = "缓冲区数据不能空!";

constexpr uint8_t kNaeAtSetUp = 0x61;

size_t FcDataLimit(uint8_t ptype) { return ptype == 1 ? 6 : 7; }

}  // namespace

Iso15765Page::Iso15765Page(PageTimers& timers) : timers_(timers) {
    state_.baudRow = 1;
    tail_.txfc[2] = tail_.txfc[3] = kNaeAtSetUp;
    tail_.rxfc0[2] = tail_.rxfc1[2] = kNaeAtSetUp;
    LoadDefaults(1);
}

void Iso15765Page::LoadDefaults(unsigned mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    CanRegisterImage& h = head_;
    SetCanHeadDefaults(h, 0x3F);
    h.mskSel[0] = 0xFC;
    for (size_t m = 1; m < kCanMasks; ++m) std::memset(h.masks[m].bytes, 0xFF, 4);
    SelectCanBaudRow(h, state_.baudRow);

    Iso15765PageState& s = state_;
    s.singleFrame = EcanMessageBuffer();
    s.flowControl[0] = s.flowControl[1] = EcanMessageBuffer();
    firstFrame_ = EcanMessageBuffer();
    SetEcanDlc(s.singleFrame, 3);
    const uint8_t request[] = {0x02, 0x01, 0x00};
    std::memcpy(EcanData(s.singleFrame), request, sizeof request);
    SetEcanDlc(firstFrame_, 8);
    for (unsigned k = 0; k < 2; ++k) {
        s.fcDataLength[k] = 7;
        std::memset(s.fcData[k], 0, sizeof s.fcData[k]);
        s.fcNae[k] = kNaeAtSetUp;
        s.fcPci[k] = 0x30;
    }
    tail_.txfc[0] = 0xD0;
    tail_.txfc[1] = 0x10;
    tail_.rxfc0[0] = 0x60;
    tail_.rxfc0[1] = 0x00;
    tail_.rxfc1[0] = 0x71;
    tail_.rxfc1[1] = 0x00;
    tail_.nBs = 200;
    tail_.nSt = 0;
    tail_.nBr = 10;

    h.masks[0] = CanFilterEntry();
    switch (mode) {
    case 0:
        h.filterEnable0 = 0x01;
        h.cprocon = 0x00;
        s.fcExtendedId = false;
        break;
    case 2:
        h.filterEnable0 = 0x01;
        SetCanFilterId29(h.filters[0], 0x18DAF100);
        SetCanFilterExide(h.filters[0], true);
        SetCanFilterId29(h.masks[0], 0x1FFFFF00);
        SetCanFilterExide(h.masks[0], true);
        h.cprocon = 0xA0;
        s.fcExtendedId = true;
        break;
    default:
        h.filterEnable0 = 0x07;
        SetCanFilterSid(h.filters[0], 0x7E8);
        SetCanFilterSid(h.filters[1], 0x7E9);
        SetCanFilterSid(h.filters[2], 0x7E8);
        const uint16_t maskSids[kCanMasks] = {0x7FF, 0x7F8, 0x7FF};
        for (size_t m = 0; m < kCanMasks; ++m) {
            h.masks[m] = CanFilterEntry();
            SetCanFilterSid(h.masks[m], maskSids[m]);
            SetCanFilterExide(h.masks[m], true);
        }
        h.mskSel[0] = 0xD0;
        h.cprocon = 0xE0;
        s.fcExtendedId = false;
        break;
    }
    const bool ext = s.fcExtendedId;
    SetEcanExtended(s.singleFrame, ext);
    SetEcanId(s.singleFrame, ext ? 0x18DB33F1 : 0x7DF, ext);
    const uint32_t fcIds[2] = {ext ? 0x18DA10F1u : 0x7E0u, ext ? 0x18DA10F1u : 0x7E1u};
    for (unsigned k = 0; k < 2; ++k) {
        SetEcanExtended(s.flowControl[k], ext);
        SetEcanId(s.flowControl[k], fcIds[k], ext);
    }
    SetEcanExtended(firstFrame_, ext);
    SetEcanId(firstFrame_, fcIds[0], ext);
    if (mode == 1 || mode == 2) {
        s.keepAliveIdText = ext ? "18DB33F1" : "7DF";
        s.keepAliveIdLimit = ext ? 8 : 3;
    }

    const bool ptype1 = CanPtype(h) != 0;
    s.ffPci = 0x11;
    totalLength_ = ptype1 ? 257 : 258;
    s.ffLengthByte = ptype1 ? 0x01 : 0x02;
    for (size_t i = 0; i < sizeof s.ffData; ++i) s.ffData[i] = static_cast<uint8_t>(i);
    for (size_t i = 0; i < kCanLongMessageBytes; ++i)
        longMessage_[i] = static_cast<uint8_t>(i + (ptype1 ? 5 : 6));
    s.bufferCount = 252;
    s.ffNae = tail_.txfc[2];
}

uint32_t Iso15765Page::TotalLength() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return totalLength_;
}

CanTimingView Iso15765Page::SelectBaud(size_t row) {
    state_.baudRow = row < kCanBaudRows ? row : 1;
    return SelectCanBaudRow(head_, state_.baudRow);
}

void Iso15765Page::SetProtocolBit(uint8_t mask, bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    SetCanBits(head_.cprocon, mask, on);
}

void Iso15765Page::SetPtype(unsigned selection) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        SetCanPtype(head_, std::min(selection, 1u));
    }
    RefreshIsoTpPanel();
}

void Iso15765Page::SetTxfcBit(size_t byte, uint8_t mask, bool on) {
    SetCanBits(tail_.txfc[byte % 4], mask, on);
}

void Iso15765Page::SetChannelFilter(unsigned channel, unsigned selection) {
    uint8_t* byte0 = channel == 0 ? &tail_.txfc[0] : channel == 1 ? &tail_.rxfc0[0] : &tail_.rxfc1[0];
    *byte0 = static_cast<uint8_t>((*byte0 & 0xF0) | (selection & 0x0F));
}

PageEditResult Iso15765Page::TxfcBsizeChanged(const std::string& text) {
    uint32_t value = 0;
    const PageEditResult result = ReadCanBoundedDecimal(text, 63, kTextBsize63, value);
    tail_.txfc[1] = static_cast<uint8_t>((tail_.txfc[1] & 0xC0) | (value & 63));
    return result;
}

PageEditResult Iso15765Page::RxfcBsizeChanged(unsigned rx, const std::string& text) {
    uint32_t value = 0;
    const PageEditResult result = ReadCanBoundedDecimal(text, 255, kCanTextBsize255, value);
    (rx == 0 ? tail_.rxfc0 : tail_.rxfc1)[1] = static_cast<uint8_t>(value);
    return result;
}

std::string Iso15765Page::TxfcNaeTxChanged(const std::string& text) {
    tail_.txfc[2] = ParseHexByteField(text);
    state_.ffNae = tail_.txfc[2];
    return Panel().ffNaeText;
}

void Iso15765Page::TxfcNaeRxChanged(const std::string& text) { tail_.txfc[3] = ParseHexByteField(text); }

void Iso15765Page::RxfcNaeTxChanged(unsigned rx, const std::string& text) {
    (rx == 0 ? tail_.rxfc0 : tail_.rxfc1)[2] = ParseHexByteField(text);
}

PageEditResult Iso15765Page::TimerChanged(unsigned which, const std::string& text) {
    uint32_t value = 0;
    const PageEditResult result = ReadCanBoundedDecimal(text, 255, kCanTextMax255, value);
    uint8_t* fields[] = {&tail_.nBs, &tail_.nSt, &tail_.nBr};
    *fields[std::min(which, 2u)] = static_cast<uint8_t>(value);
    return result;
}

void Iso15765Page::SetFcExtendedId(bool extended) {
    state_.fcExtendedId = extended;
    {
        // The first frame's ID edit parses by the choice from now on, so its IDE follows it.
        std::lock_guard<std::mutex> lock(mutex_);
        SetEcanExtended(firstFrame_, extended);
    }
    RefreshIsoTpPanel();
}

void Iso15765Page::FcIdChanged(unsigned k, const std::string& text) {
    SetEcanId(state_.flowControl[k % 2], ParseCanHexText(text), state_.fcExtendedId);
}

void Iso15765Page::FcNaeChanged(unsigned k, const std::string& text) {
    if (CanPtype(head_) == 1) state_.fcNae[k % 2] = ParseHexByteField(text);
}

void Iso15765Page::FcPciChanged(unsigned k, const std::string& text) {
    state_.fcPci[k % 2] = ParseHexByteField(text);
}

PageEditResult Iso15765Page::FcDataChanged(unsigned k, const std::string& text) {
    size_t count = 0;
    const PageEditResult result =
        ReadCanHexData(text, state_.fcData[k % 2], FcDataLimit(CanPtype(head_)), count, nullptr);
    state_.fcDataLength[k % 2] = static_cast<uint32_t>(count);
    return result;
}

std::string Iso15765Page::FcDataText(unsigned k) const {
    return HexBytesText(state_.fcData[k % 2], std::min<size_t>(state_.fcDataLength[k % 2], 8));
}

std::string Iso15765Page::FcDlcText(unsigned k) const {
    const uint8_t ptype = CanPtype(head_);
    return std::to_string(ptype + 1 + std::min<size_t>(state_.fcDataLength[k % 2], FcDataLimit(ptype)));
}

void Iso15765Page::FfIdChanged(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    SetEcanId(firstFrame_, ParseCanHexText(text), state_.fcExtendedId);
}

PageEditResult Iso15765Page::FfDataChanged(const std::string& text) {
    size_t count = 0;
    return ReadCanHexData(text, state_.ffData, Iso15765FirstFrameData(CanPtype(head_)), count,
                          nullptr);
}

void Iso15765Page::SetTotalLength(uint32_t total) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        totalLength_ = total;
    }
    state_.ffPci = static_cast<uint8_t>(0x10 | total >> 8);
    state_.ffLengthByte = static_cast<uint8_t>(total);
}

PageEditResult Iso15765Page::LengthChanged(const std::string& text) {
    PageEditResult result;
    uint32_t total = ReadCanDecimal(text, result);
    if (total > LengthLimit()) {
        total = LengthLimit();
        result.rewrite = true;
        result.text = std::to_string(total);
        result.message = kTextLengthTooLong;
    }
    SetTotalLength(total);
    return result;
}

PageEditResult Iso15765Page::LengthLeft(const std::string& text) {
    PageEditResult result;
    uint32_t total = ReadCanDecimal(text, result);
    if (total < 7u - CanPtype(head_)) {
        total = 10;
        result.rewrite = true;
        result.text = "10";
        result.message = kTextLengthOneFrame;
    }
    SetTotalLength(total);
    return result;
}

Iso15765BufferResult Iso15765Page::BufferChanged(const std::string& text) {
    Iso15765BufferResult result;
    size_t count = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        result.edit = ReadCanHexData(text, longMessage_, kCanLongMessageBytes, count,
                                     kCanTextBufferTooLong);
    }
    state_.bufferCount = static_cast<uint32_t>(count);
    const uint32_t head = CanPtype(head_) == 1 ? 5 : 6;
    SetTotalLength(std::min(state_.bufferCount + head, LengthLimit()));
    result.lengthText = std::to_string(TotalLength());
    return result;
}

PageEditResult Iso15765Page::BufferLeft() {
    PageEditResult result;
    if (state_.bufferCount == 0) {
        result.message = kTextBufferEmpty;
        state_.bufferCount = 1;
    }
    result.rewrite = true;
    result.text = BufferText();
    return result;
}

std::string Iso15765Page::BufferText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return HexBytesText(longMessage_, state_.bufferCount);
}

void Iso15765Page::RefreshIsoTpPanel() {
    // The flow-control bytes the user typed stay: DownloadList sends what the PTYPE allows.
    SetTotalLength(std::min(TotalLength(), LengthLimit()));
}

Iso15765PanelView Iso15765Page::Panel() const {
    Iso15765PanelView v;
    const uint8_t ptype = CanPtype(head_);
    v.fcExtendedId = state_.fcExtendedId;
    v.idLimit = CanIdTextLimit(state_.fcExtendedId);
    v.fcNaeEnabled = ptype != 0;
    for (unsigned k = 0; k < 2; ++k) {
        v.fcIdText[k] = CanIdText(EcanIdAs(state_.flowControl[k], state_.fcExtendedId), state_.fcExtendedId);
        v.fcDlcText[k] = FcDlcText(k);
        v.fcNaeText[k] = ptype != 0 ? HexByteText(state_.fcNae[k]) : "-";
        v.fcPciText[k] = HexByteText(state_.fcPci[k]);
        v.fcDataText[k] = FcDataText(k);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        v.ffIdText = CanIdText(EcanIdAs(firstFrame_, state_.fcExtendedId), state_.fcExtendedId);
        v.lengthText = std::to_string(totalLength_);
    }
    v.ffNaeText = ptype != 0 ? HexByteText(state_.ffNae) : "-";
    v.ffPciText = HexByteText(state_.ffPci);
    v.ffLengthByteText = HexByteText(state_.ffLengthByte);
    v.ffDataText = HexBytesText(state_.ffData, Iso15765FirstFrameData(ptype));
    v.bufferText = BufferText();
    return v;
}

CanDownloadList Iso15765Page::DownloadList() {
    using S = CanDownloadStep;
    const uint8_t ptype = CanPtype(head_);
    CanDownloadList blocks = {S::Blk(0x26, tail_.txfc, 4), S::Blk(0x27, tail_.rxfc0, 4),
                              S::Blk(0x28, tail_.rxfc1, 4)};
    for (unsigned k = 0; k < 2; ++k) {
        EcanMessageBuffer& fc = state_.flowControl[k];
        const size_t n = std::min<size_t>(state_.fcDataLength[k], FcDataLimit(ptype));
        SetEcanExtended(fc, state_.fcExtendedId);
        uint8_t* data = EcanData(fc);
        size_t at = 0;
        if (ptype == 1) data[at++] = state_.fcNae[k];
        data[at++] = state_.fcPci[k];
        std::memcpy(data + at, state_.fcData[k], n);
        SetEcanDlc(fc, static_cast<uint8_t>(at + n));
        blocks.push_back(S::Blk(static_cast<uint8_t>(0x24 + k), fc.bytes, kEcanBufferSize));
    }
    return BuildCanDownload(head_, {S::Reg(0x60, tail_.nBs), S::Reg(0x61, tail_.nSt), S::Reg(0x62, tail_.nBr)},
                            blocks);
}

PageStartResult Iso15765Page::Start() {
    const PageStartResult result =
        StartCanPage(head_, DownloadList(), ThreadProc15765, static_cast<Iso15765HandOverSource*>(this));
    if (result == PageStartResult::Started) session_ = g_WorkerThread.Session();
    return result;
}

void Iso15765Page::Stop() {
    StopCanPage();
    EndSession();
}

CanSendResult Iso15765Page::Send() { return SendCanFrame(state_.singleFrame); }

bool Iso15765Page::StartMultiFrame() {
    if (!MultiFrameRequestAllowed()) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const uint8_t ptype = CanPtype(head_);
        const CanPayload ff = BuildIso15765FirstFrame(ptype, state_.ffNae, totalLength_, state_.ffData);
        SetEcanExtended(firstFrame_, state_.fcExtendedId);
        SetEcanDlc(firstFrame_, ff.dlc);
        std::memcpy(EcanData(firstFrame_), ff.data, sizeof ff.data);
    }
    RaiseMultiFrameRequest();
    return true;
}

std::string Iso15765Page::ToggleKeepAlive() {
    if (state_.keepAliveOn || !SessionLive()) {
        EndSession();
        return kIso15765KeepAliveStart;
    }
    state_.keepAliveOn = true;
    const int32_t period = ParseDecimalSaturating(state_.keepAlivePeriodText);
    timers_.StartPageTimer(kIso15765KeepAliveTimer,
                           ClampPageTimerPeriod(period < 0 ? 0 : static_cast<uint32_t>(period)));
    return kIso15765KeepAliveStop;
}

EcanMessageBuffer Iso15765Page::KeepAliveFrame() const {
    EcanMessageBuffer frame;
    std::string data = state_.keepAliveDataText;
    const size_t count = HexStringToBytes(data, EcanData(frame), kCanMaxData);
    std::string id;
    for (char c : state_.keepAliveIdText)
        if (c != ' ') id.push_back(c);
    const bool extended = id.size() >= 4;
    SetEcanExtended(frame, extended);
    SetEcanId(frame, HexStringToNumber(id), extended);
    SetEcanDlc(frame, static_cast<uint8_t>(count));
    return frame;
}

void Iso15765Page::OnTimer(int id) {
    if (id != kIso15765KeepAliveTimer) return;
    // A tick that outlived its worker must not queue a frame for the next one.
    if (!SessionLive()) {
        EndSession();
        return;
    }
    if (g_TxPending.load(std::memory_order_acquire)) return;
    SendCanFrame(KeepAliveFrame(), false);
}

PageDeviceStatus Iso15765Page::RefreshDeviceStatus() {
    if (!SessionLive()) EndSession();
    return CurrentDeviceStatus(kIso15765ConnectedCaption, kIso15765NotConnectedCaption);
}

void Iso15765Page::EndSession() {
    timers_.KillPageTimer(kIso15765KeepAliveTimer);
    state_.keepAliveOn = false;
}

bool Iso15765Page::SessionLive() const {
    return session_ != 0 && g_WorkerRunning.load(std::memory_order_acquire) != 0 &&
           g_WorkerThread.Session() == session_;
}

Iso15765HandOver Iso15765Page::TakeHandOver() const {
    std::lock_guard<std::mutex> lock(mutex_);
    Iso15765HandOver h;
    std::memcpy(h.message, longMessage_, sizeof h.message);
    h.totalLength = totalLength_;
    h.ptype = CanPtype(head_);
    h.firstFrame = firstFrame_;
    return h;
}

#include "pages/j1850/J1850Page.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"
#include "pages/j1850/J1850Download.h"
#include "pages/j1850/J1850Worker.h"
#include "platform/Message.h"

const char* const kJ1850TextDataTooLong = "数据桢的总长度(Header+data+crc)不可大于12字节!";
const char* const kJ1850TextIfr3TooLong = "IFR3 Buffer最长缓冲区为10字节!";
const char* const kJ1850TextIdBuffTooLong = "IFR 的ID缓冲区为8字节!";
const char* const kJ1850TextReadBackFailed = "读寄存器错误!";
const char* const kJ1850KeepAliveOn = "启动链路保持";
const char* const kJ1850KeepAliveOff = "停止链路保持";

namespace {

const char* const kCaptionEnter = "请输入";
const char* const kCaptionChooseRemove = "请选择删除项";
const char* const kTextEnterAddress = "请首先输入添加的地址或ID!";
const char* const kTextEnterId = "请首先输入添加的ID!";
const char* const kTextChooseRemove = "请首先在列表中选择移除的一项或多项!";
const char* const kTextComboUnset = "类型选择框设置错误";
const char* const kCaptionComboUnset = "禁告";
const char* const kTextIfrtZero = "IFR Type=0为无桢内应答。添加IFR控制应为Type1/2/3";
const char* const kCaptionHint = "提示";
const char* const kTextCommStop = "设备出现通信错误停止!";
const char* const kTextAlreadyListed[3] = {"物理地址已经在列表中!", "功能地址已经在列表中!",
                                           "ID 已经在列表中!"};
const uint8_t kFilterBit[3] = {j1850::FilterPhysical, j1850::FilterFunctional,
                               j1850::FilterHeadId};

void Show(const char* text, const char* caption = "") {
    platform::ShowMessage(text, caption, platform::MessageIcon::Exclamation);
}

std::string StripBlanks(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) { return c == ' ' || c == '\r' || c == '\n'; }),
               text.end());
    return text;
}

std::string AddressLine(uint8_t address) { return "0x" + HexByteText(address); }

std::string IfrLine(uint8_t id, uint8_t entry) {
    const IfrControl c = IfrControl::Unpack(entry);
    char line[64];
    std::snprintf(line, sizeof line, "0x%02X IFRT:%d IDSEL:%d IF3SEL:%d NB:%d", id, c.ifrt,
                  c.idsel, c.ifr3sel, c.nb);
    return line;
}

// The address of a list line "0xNN...".
uint8_t LineAddress(const std::string& line) {
    return ParseHexByteField(line.size() >= 4 ? line.substr(2, 2) : std::string());
}

}  // namespace

std::string J1850ConnectedCaption(bool pwm) {
    return pwm ? "J1850 PWM 41.6KPBS -- Device( %d ) Connected"
               : "J1850 VPW 10.4KPBS -- Device( %d ) Connected";
}

std::string J1850NotConnectedCaption(bool pwm) {
    return pwm ? "J1850 PWM 41.6KPBS -- No device Connected"
               : "J1850 VPW 10.4KPBS -- No device Connected";
}

J1850GridCells J1850GridOf(uint8_t headerByte, bool oneByteFormat) {
    J1850GridCells cells;
    for (size_t c = 0; c < kJ1850GridColumns; ++c) {
        if (oneByteFormat)
            cells[c] = "-";
        else
            cells[c] = c == 0 ? "x" : ((headerByte >> (8 - c)) & 1 ? "1" : "0");
    }
    return cells;
}

uint8_t J1850GridByte(const J1850GridCells& cells) {
    uint8_t byte = 0;
    for (size_t c = 1; c < kJ1850GridColumns; ++c)
        if (cells[c].find('1') != std::string::npos) byte |= static_cast<uint8_t>(1 << (8 - c));
    return byte;
}

uint8_t J1850GridToggle(J1850GridCells& cells, size_t column) {
    if (column >= 1 && column < kJ1850GridColumns)
        cells[column] = cells[column].find('1') != std::string::npos ? "0" : "1";
    return J1850GridByte(cells);
}

J1850Page::J1850Page(bool pwm, PageTimers& timers) : pwm_(pwm), session_(timers) {
    Open();
}

void J1850Page::Open() {
    record_ = J1850FrameRecord();
    record_.bytes[1] = 0x06;
    const uint8_t frame[] = {static_cast<uint8_t>(pwm_ ? 0x61 : 0x68), 0x6A, 0xF1, 0x01, 0x00};
    std::memcpy(record_.Frame(), frame, sizeof frame);
    defaultKeepAlive_ = pwm_ ? "61 6A  F1 01 00" : "68 6A  F1 01 00";
    LoadDefaults(image_, J1850ReceiveAll, pwm_);
    EndSession();
    UpdateControls();
}

unsigned J1850Page::HeaderLength() const {
    return (image_.JCON0 & j1850::Jcon0OneByteHeader) ||
                   (record_.Frame()[0] & j1850::HeaderHBit)
               ? 1
               : 3;
}

void J1850Page::RaiseLength(uint8_t atLeast) {
    if (record_.Length() < atLeast) record_.SetLength(atLeast);
}

J1850HeaderView J1850Page::HeaderView() const {
    J1850HeaderView view;
    const uint8_t* frame = record_.Frame();
    view.oneByteFormat = (image_.JCON0 & j1850::Jcon0OneByteHeader) != 0;
    view.grid = J1850GridOf(frame[0], view.oneByteFormat);
    view.header = HexByteText(frame[0]);
    const unsigned h = HeaderLength();
    view.addressesEnabled = h == 3;
    view.target = view.addressesEnabled ? HexByteText(frame[1]) : "-";
    view.source = view.addressesEnabled ? HexByteText(frame[2]) : "-";
    view.dlc = std::to_string(record_.Length());
    view.data = DataText();
    return view;
}

J1850HeaderView J1850Page::HeaderByteChanged(const std::string& text) {
    record_.Frame()[0] = ParseHexByteField(text);
    if (!(image_.JCON0 & j1850::Jcon0OneByteHeader))
        RaiseLength(record_.Frame()[0] & j1850::HeaderHBit ? 2 : 4);
    return HeaderView();
}

J1850HeaderView J1850Page::OnHeaderByteChanged(uint8_t byte) {
    return HeaderByteChanged(HexByteText(byte));
}

void J1850Page::TargetChanged(const std::string& text) {
    if (HeaderLength() == 3) record_.Frame()[1] = ParseHexByteField(text);
}

void J1850Page::SourceChanged(const std::string& text) {
    if (HeaderLength() == 3) record_.Frame()[2] = ParseHexByteField(text);
}

J1850HeaderView J1850Page::SetOneByteFormat(bool oneByte) {
    if (oneByte) {
        image_.JCON0 |= j1850::Jcon0OneByteHeader;
        record_.bytes[0] |= j1850::FlagOneByteHeader;
        RaiseLength(2);
    } else {
        image_.JCON0 &= static_cast<uint8_t>(~j1850::Jcon0OneByteHeader);
        record_.bytes[0] &= static_cast<uint8_t>(~j1850::FlagOneByteHeader);
        RaiseLength(record_.Frame()[0] & j1850::HeaderHBit ? 2 : 4);
    }
    return HeaderView();
}

PageEditResult J1850Page::DataChanged(std::string text) {
    const unsigned h = HeaderLength();
    uint8_t stored = 0;
    const PageEditResult result = CapHexData(std::move(text), record_.Frame() + h,
                                             kJ1850MaxFrameLength - (h + 1), stored,
                                             kJ1850TextDataTooLong);
    record_.SetLength(static_cast<uint8_t>(h + 1 + stored));
    return result;
}

std::string J1850Page::DataText() const {
    const int count = static_cast<int>(record_.Length()) - static_cast<int>(HeaderLength()) - 1;
    return count > 0 ? HexBytesText(record_.Frame() + HeaderLength(), static_cast<size_t>(count))
                     : std::string();
}

void J1850Page::YzzChanged(size_t y, J1850IfrField field, int selection) {
    if (y >= 8 || selection < 0) return;
    IfrControl c = IfrControl::Unpack(image_.YZZCON[y]);
    const uint8_t v = static_cast<uint8_t>(selection);
    switch (field) {
    case J1850IfrField::Ifrt: c.ifrt = v; break;
    case J1850IfrField::Nb: c.nb = v; break;
    case J1850IfrField::Idsel: c.idsel = v; break;
    case J1850IfrField::Ifr3sel: c.ifr3sel = v; break;
    }
    image_.YZZCON[y] = c.Pack(image_.YZZCON[y]);
}

int J1850Page::YzzSelection(size_t y, J1850IfrField field) const {
    if (y >= 8) return -1;
    const IfrControl c = IfrControl::Unpack(image_.YZZCON[y]);
    switch (field) {
    case J1850IfrField::Ifrt: return c.ifrt;
    case J1850IfrField::Nb: return c.nb;
    case J1850IfrField::Idsel: return c.idsel;
    case J1850IfrField::Ifr3sel: return c.ifr3sel;
    }
    return -1;
}

uint8_t* J1850Page::Ifr3Buffer(int buffer) { return buffer ? image_.IFR3_B1 : image_.IFR3_B0; }
const uint8_t* J1850Page::Ifr3Buffer(int buffer) const {
    return buffer ? image_.IFR3_B1 : image_.IFR3_B0;
}
uint8_t& J1850Page::Ifr3Length(int buffer) {
    return buffer ? image_.Ifr3B1Length : image_.Ifr3B0Length;
}
uint8_t J1850Page::Ifr3Length(int buffer) const {
    return buffer ? image_.Ifr3B1Length : image_.Ifr3B0Length;
}

void J1850Page::Ifr3CrcChanged(bool on) {
    if (on)
        image_.JCON0 |= j1850::Jcon0Ifr3Crc;
    else
        image_.JCON0 &= static_cast<uint8_t>(~j1850::Jcon0Ifr3Crc);
}

PageEditResult J1850Page::Ifr3Changed(int buffer, std::string text) {
    const size_t crc = (image_.JCON0 & j1850::Jcon0Ifr3Crc) ? 1 : 0;
    uint8_t stored = 0;
    const PageEditResult result = CapHexData(std::move(text), Ifr3Buffer(buffer),
                                             j1850::kIfr3BufferSize - crc, stored,
                                             kJ1850TextIfr3TooLong);
    // Only the CRC would be counted: the buffer is empty.
    Ifr3Length(buffer) = static_cast<uint8_t>(stored ? stored + crc : 0);
    return result;
}

std::string J1850Page::Ifr3Text(int buffer) const {
    const int crc = (image_.JCON0 & j1850::Jcon0Ifr3Crc) ? 1 : 0;
    const int shown = std::clamp(static_cast<int>(Ifr3Length(buffer)) - crc, 0,
                                 static_cast<int>(j1850::kIfr3BufferSize));
    return HexBytesText(Ifr3Buffer(buffer), static_cast<size_t>(shown));
}

std::string J1850Page::Ifr3LengthText(int buffer) const {
    return std::to_string(Ifr3Length(buffer));
}

PageEditResult J1850Page::IdBuffChanged(std::string text) {
    uint8_t stored = 0;
    const PageEditResult result = CapHexData(std::move(text), image_.IDBUFF,
                                             j1850::kIdBufferSize, stored, kJ1850TextIdBuffTooLong);
    std::fill(image_.IDBUFF + stored, image_.IDBUFF + j1850::kIdBufferSize, 0);
    return result;
}

std::string J1850Page::IdBuffText() const {
    return HexBytesText(image_.IDBUFF, j1850::kIdBufferSize);
}

bool J1850Page::AddFilterAddress(const std::string& text) {
    const std::string typed = StripBlanks(text);
    if (typed.empty()) {
        Show(kTextEnterAddress, kCaptionEnter);
        return false;
    }
    const size_t k = static_cast<size_t>(filterKind_);
    const uint8_t address = ParseHexByteField(typed);
    if (image_.HDFILTER[address] & kFilterBit[k]) {
        Show(kTextAlreadyListed[k]);
        return false;
    }
    image_.HDFILTER[address] |= kFilterBit[k];
    filterLists_[k].push_back(AddressLine(address));
    return true;
}

bool J1850Page::RemoveFilterAddresses(const std::array<std::vector<int>, 3>& selections) {
    for (size_t k = 0; k < 3; ++k) {
        if (selections[k].empty()) continue;
        std::vector<int> rows = selections[k];
        std::sort(rows.rbegin(), rows.rend());
        std::vector<std::string>& list = filterLists_[k];
        for (int row : rows) {
            if (row < 0 || static_cast<size_t>(row) >= list.size()) continue;
            image_.HDFILTER[LineAddress(list[row])] &= static_cast<uint8_t>(~kFilterBit[k]);
            list.erase(list.begin() + row);
        }
        return true;
    }
    Show(kTextChooseRemove, kCaptionChooseRemove);
    return false;
}

bool J1850Page::AddIfrEntry(const std::string& idText, int ifrt, int idsel, int ifr3sel, int nb) {
    const std::string typed = StripBlanks(idText);
    if (typed.empty()) {
        Show(kTextEnterId, kCaptionEnter);
        return false;
    }
    if (ifrt < 0 || idsel < 0 || ifr3sel < 0 || nb < 0) {
        Show(kTextComboUnset, kCaptionComboUnset);
        return false;
    }
    const uint8_t id = ParseHexByteField(typed);
    IfrControl c;
    c.ifrt = static_cast<uint8_t>(ifrt);
    c.idsel = static_cast<uint8_t>(idsel);
    c.ifr3sel = static_cast<uint8_t>(ifr3sel);
    c.nb = static_cast<uint8_t>(nb);
    const uint8_t old = image_.IDIFRCON[id];
    const uint8_t entry = c.Pack(old);
    if (IfrControl::Unpack(old).ifrt != 0) {
        const std::string prefix = AddressLine(id);
        ifrList_.erase(std::remove_if(ifrList_.begin(), ifrList_.end(),
                                      [&](const std::string& line) {
                                          return line.compare(0, prefix.size(), prefix) == 0;
                                      }),
                       ifrList_.end());
    } else if (c.ifrt == 0) {
        Show(kTextIfrtZero, kCaptionHint);
        return false;
    }
    image_.IDIFRCON[id] = entry;
    if (c.ifrt != 0) ifrList_.push_back(IfrLine(id, entry));
    return true;
}

bool J1850Page::RemoveIfrEntries(const std::vector<int>& selected) {
    if (selected.empty()) {
        Show(kTextChooseRemove, kCaptionChooseRemove);
        return false;
    }
    std::vector<int> rows = selected;
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows) {
        if (row < 0 || static_cast<size_t>(row) >= ifrList_.size()) continue;
        image_.IDIFRCON[LineAddress(ifrList_[row])] = 0;
        ifrList_.erase(ifrList_.begin() + row);
    }
    return true;
}

void J1850Page::Preset(int mode) {
    LoadDefaults(image_, mode, pwm_);
    UpdateControls();
}

void J1850Page::UpdateControls() {
    // A preset clears JCON0 bit 0; the record's flag must not go on claiming a one-byte header.
    if (image_.JCON0 & j1850::Jcon0OneByteHeader)
        record_.bytes[0] |= j1850::FlagOneByteHeader;
    else
        record_.bytes[0] &= static_cast<uint8_t>(~j1850::FlagOneByteHeader);
    RaiseLength(static_cast<uint8_t>(HeaderLength() + 1));
    for (auto& list : filterLists_) list.clear();
    ifrList_.clear();
    for (unsigned a = 0; a < 256; ++a) {
        for (size_t k = 0; k < 3; ++k)
            if (image_.HDFILTER[a] & kFilterBit[k])
                filterLists_[k].push_back(AddressLine(static_cast<uint8_t>(a)));
        if (IfrControl::Unpack(image_.IDIFRCON[a]).ifrt != 0)
            ifrList_.push_back(IfrLine(static_cast<uint8_t>(a), image_.IDIFRCON[a]));
    }
}

PageStartResult J1850Page::Start(void* hub) {
    if (g_WorkerRunning.load(std::memory_order_acquire)) return PageStartResult::Ignored;
    if (!g_DeviceOpen.load(std::memory_order_acquire)) {
        ShowNotConnected();
        return PageStartResult::NotConnected;
    }
    // A worker that ended by itself sends its stop packet before this download; a frame a
    // page queued after it ended is not this session's.
    g_WorkerThread.JoinEnded();
    g_TxPending.store(0, std::memory_order_release);
    if (!ConfigureDevice(image_)) {
        ShowDeviceCommError();
        return PageStartResult::DeviceError;
    }
    ChipResetSequenceJ1850();
    UsbSendStartJ1850();
    if (!g_WorkerThread.Start(ThreadProcJ1850, hub, true)) return PageStartResult::Ignored;
    session_.Begin();
    return PageStartResult::Started;
}

void J1850Page::Stop() {
    if (!g_WorkerRunning.load(std::memory_order_acquire)) return;
    StopPage();
    EndSession();
}

PageSendResult J1850Page::Send() {
    const PageSendResult allowed = CheckPageSend();
    if (allowed != PageSendResult::Queued) return allowed;
    BuildJ1850TransmitPacket(g_TxPacket, record_);
    g_TxPending.store(1, std::memory_order_release);  // last: the worker may take it now
    return PageSendResult::Queued;
}

void J1850Page::ToggleKeepAlive(const std::string& periodText) {
    if (session_.KeepAliveActive()) {
        const bool live = session_.Live();
        session_.End();
        if (live) session_.Begin();  // only the timer stops: the worker is still this page's
        return;
    }
    if (!session_.Live()) return;
    const int32_t period = ParseDecimalSaturating(periodText);
    session_.StartKeepAlive(period > 0 ? static_cast<uint32_t>(period) : 0);
}

void J1850Page::OnTimer(int id, const std::string& keepAliveText) {
    if (id != kJ1850KeepAliveTimer || !session_.TickMayQueue()) return;
    std::string text = keepAliveText;
    uint8_t bytes[kJ1850MaxKeepAliveBytes];
    const size_t n = HexStringToBytes(text, bytes, sizeof bytes);
    J1850FrameRecord record;
    std::memcpy(record.bytes, g_TxPacket + 4, kJ1850RecordSize);  // its tail goes out as it is
    BuildJ1850KeepAliveRecord(record, bytes, n);
    BuildJ1850TransmitPacket(g_TxPacket, record);
    g_TxPending.store(1, std::memory_order_release);
}

J1850PageStatus J1850Page::RefreshDeviceStatus() {
    if (!session_.Live()) EndSession();
    J1850PageStatus status;
    status.device = CurrentDeviceStatus(J1850ConnectedCaption(pwm_), J1850NotConnectedCaption(pwm_));
    status.keepAlive.enabled = session_.Live();
    status.keepAlive.caption = session_.KeepAliveActive() ? kJ1850KeepAliveOff : kJ1850KeepAliveOn;
    return status;
}

bool J1850Page::ReadBackRegisters() {
    // The worker shares g_CmdPacket and g_RxPacket.
    if (g_WorkerRunning.load(std::memory_order_acquire)) return false;
    struct RegisterRead {
        uint8_t reg;
        uint8_t* field;
    };
    const RegisterRead registers[] = {{0x08, &image_.JCON0},        {0x09, &image_.Reg09},
                                      {0x04, &image_.Reg04},        {0x06, &image_.Ifr3B0Length},
                                      {0x07, &image_.Ifr3B1Length}, {0x0A, &image_.Reg0A}};
    for (const RegisterRead& r : registers)
        if (!UsbReadRegister(r.reg, r.field)) return false;  // it showed the message
    struct BlockRead {
        uint8_t block;
        uint8_t* field;
        uint16_t length;
        uint32_t maxRead;
        const char* writeFailed;
        const char* readFailed;
    };
    const BlockRead blocks[] = {
        {0, image_.YZZCON, 8, 64, "设备出现通信错误停止-s!", "设备出现通信错误停止-r!"},
        {1, image_.IDIFRCON, 256, 256, "设备出现通信错误停止-1!", "设备出现通信错误停止-2!"},
        {2, image_.HDFILTER, 256, 256, "设备出现通信错误停止-3!", "设备出现通信错误停止-4!"},
        {3, image_.IDBUFF, 8, 8, "设备出现通信错误停止-5!", kTextCommStop},
        {4, image_.IFR3_B0, 10, 10, "设备出现通信错误停止-6!", "设备出现通信错误停止-7!"},
        {5, image_.IFR3_B1, 10, 10, "设备出现通信错误停止-8!", "设备出现通信错误停止-9!"},
    };
    uint8_t reply[kPacketBufferSize];
    for (const BlockRead& b : blocks) {
        const int received = UsbReadBlock(b.block, b.length, b.maxRead, reply);
        if (received == -2) {
            Show(b.writeFailed);
            return false;
        }
        // A short reply would copy stale bytes: that is a failed read too.
        if (received < static_cast<int>(b.length)) {
            Show(b.readFailed);
            return false;
        }
        std::memcpy(b.field, reply, b.length);
    }
    return true;
}

#include "pages/kline/lin/LinPage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"
#include "pages/kline/lin/LinWorker.h"
#include "platform/Message.h"

const char* const kLinConnectedCaption = "LIN-- Device( %d ) Connected";
const char* const kLinNotConnectedCaption = "LIN -- No device Connected ";
const char* const kLinTextIdRange = "有效ID应为0-63";
const char* const kLinTextBufferLength = "数据缓冲区长度8字节!";
const char* const kLinTextDataTooLong = "数据桢的总长度不可大于255字节!";
const char* const kLinTextDataAboveIdLength = "数据长度不可大于ID定义的%d字节数!";
const char* const kLinTextAutoBaud =
    "使用自动波特率，必须首先设定大约的BRG值!\n否则LIN可能无法正常工作。\n"
    "LIN定义的该功能是当使用内部RC振荡器时进行时钟修正。";
const char* const kLinTextEditorWhileRunning = "本程序修改ID配置表，选停止运行K线";
const char* const kLinTextRangeReversed = "结束的ID不应小于开始的ID!";

namespace {

const uint8_t kLackbDefaults[kLinLackbCount][kLinRowBytes] = {
    {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17},
    {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27},
    {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7},
    {0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7},
};

// An 8-byte buffer typed: bytes not entered are 0; a ninth byte rewrites the edit.
PageEditResult EightBytesChanged(std::string text, uint8_t* bytes) {
    PageEditResult result;
    const size_t typed = HexTextByteCount(text);
    std::memset(bytes, 0, kLinRowBytes);
    HexStringToBytes(text, bytes, kLinRowBytes);
    if (typed > kLinRowBytes) {
        result.rewrite = true;
        result.text = HexBytesText(bytes, kLinRowBytes);
        result.message = kLinTextBufferLength;
    }
    return result;
}

std::string Decimal(long value) { return std::to_string(value); }

}  // namespace

FieldResult ValidateLinId(const std::string& text) {
    FieldResult result;
    result.value = static_cast<uint32_t>(ParseDecimalSaturating(text));
    if (result.value > kLinMaxId) {
        result.value = kLinMaxId;
        result.message = kLinTextIdRange;
        result.rewriteText = Decimal(kLinMaxId);
    }
    return result;
}

void LoadLinImageDefaults(UartRegisterImage& image) {
    image.fill(0);
    image[uart::UTXP1T] = 8;
    image[uart::UFREET] = 0;
    image[uart::URXP1MAX] = 10;
    image[uart::UFRMCON] = uart::FrmConAlways | uart::FmodLin;
    image[uart::PINSEL] = 0x00;
    // The page opens on the 9600 row (UpdateControls); this is what LoadDefaults leaves.
    SetImageBrg(image, kUartBaudTable[kUartBaudRowDefault].BRG);
    LoadLinIdTableDefaults(image.data() + uart::LinIdTable);
    for (size_t n = 0; n < kLinLackbCount; ++n)
        std::memcpy(image.data() + uart::Lackb + n * kLinRowBytes, kLackbDefaults[n], kLinRowBytes);
}

void LinPage::LoadDefaults() {
    LoadLinImageDefaults(image_);
    // Opening shows 9600 baud and stores its BRG.
    SelectBaud(kUartBaudRow9600);
    rows_.LoadDefaults();
    master_ = LinMasterFrame();
    for (size_t i = 0; i < sizeof master_.data; ++i) master_.data[i] = static_cast<uint8_t>(i);
    ComputeChecksum();
}

UartPageConfig LinPage::Config() const {
    return UartPageConfig{UartPage::Lin, ThreadProcLin, false, true, 0};
}

LinMasterView LinPage::ComputeChecksum() {
    const uint8_t config = MasterConfig();
    master_.ID_LEN = LinIdLength(config);
    const int32_t count = master_.ID_LEN ? master_.ID_LEN : master_.DLC;
    master_.checksum = LinChecksum(master_.data, static_cast<size_t>(count),
                                   (config & lin::CSM) != 0, master_.ID);
    return View();
}

LinMasterView LinPage::View() const {
    LinMasterView view;
    view.dlcText = Decimal(master_.DLC);
    view.checksumText = HexByteText(master_.checksum);
    view.idLenText = Decimal(master_.ID_LEN);
    view.dataEnabled = (MasterConfig() & lin::SRP) == 0;
    return view;
}

PageEditResult LinPage::MasterIdChanged(const std::string& text) {
    const FieldResult field = ValidateLinId(text);
    master_.ID = static_cast<uint8_t>(field.value);
    ComputeChecksum();
    MasterDataLeft();
    return EditResultOf(field);
}

PageEditResult LinPage::MasterDataChanged(std::string text) {
    PageEditResult result;
    const size_t cap = master_.ID_LEN ? static_cast<size_t>(master_.ID_LEN) : kLinMaxData;
    const size_t typed = HexTextByteCount(text);
    master_.DLC = static_cast<int32_t>(HexStringToBytes(text, master_.data, cap));
    if (typed > cap) {
        result.rewrite = true;
        result.text = MasterDataText();
        if (master_.ID_LEN) {
            char message[96];
            std::snprintf(message, sizeof message, kLinTextDataAboveIdLength, master_.ID_LEN);
            result.message = message;
        } else {
            result.message = kLinTextDataTooLong;
        }
    }
    ComputeChecksum();
    return result;
}

std::string LinPage::MasterDataLeft() {
    if (master_.ID_LEN) {
        if (master_.DLC < master_.ID_LEN)
            std::fill(master_.data + master_.DLC, master_.data + master_.ID_LEN, 0);
        master_.DLC = master_.ID_LEN;
        ComputeChecksum();
    }
    return MasterDataText();
}

std::string LinPage::MasterDataText() const {
    return HexBytesText(master_.data, static_cast<size_t>(master_.DLC));
}

PageEditResult LinPage::SlaveIdChanged(size_t row, const std::string& text) {
    const FieldResult field = ValidateLinId(text);
    rows_.SetId(row, static_cast<uint8_t>(field.value));
    return EditResultOf(field);
}

PageEditResult LinPage::SlaveDataChanged(size_t row, std::string text) {
    uint8_t bytes[kLinRowBytes];
    const PageEditResult result = EightBytesChanged(std::move(text), bytes);
    rows_.SetData(row, bytes);
    return result;
}

std::string LinPage::SlaveDataText(size_t row) const {
    return HexBytesText(rows_.Row(row).data, kLinRowBytes);
}

PageEditResult LinPage::LackbChanged(size_t buffer, std::string text) {
    return EightBytesChanged(std::move(text), image_.data() + uart::Lackb + buffer * kLinRowBytes);
}

std::string LinPage::LackbText(size_t buffer) const {
    return HexBytesText(image_.data() + uart::Lackb + buffer * kLinRowBytes, kLinRowBytes);
}

bool LinPage::SetLackb(size_t buffer) {
    if (buffer >= kLinLackbCount || g_RegPacketPending.load(std::memory_order_acquire))
        return false;
    BuildLinLackbPacket(g_LinSetPacket, buffer, image_.data() + uart::Lackb + buffer * kLinRowBytes);
    g_RegPacketPending.store(1, std::memory_order_release);  // last: the worker may take it now
    return true;
}

std::string LinPage::SetAutoBaud(bool on) {
    SetImageBits(image_, uart::UFRMCON, uart::FrmConLab, on);
    return on ? kLinTextAutoBaud : std::string();
}

PageEditResult LinPage::ByteFieldChanged(size_t offset, UartFieldKind kind, const std::string& text) {
    return EditResultOf(ApplyByteField(image_, offset, kind, text));
}

PageEditResult LinPage::BrgChanged(const std::string& text) {
    return EditResultOf(ApplyBrgField(image_, text));
}

BaudRowResult LinPage::SelectBaud(size_t row) {
    baudRow_ = row < kUartBaudRows ? row : kUartBaudRow9600;
    return SelectBaudRow(image_, baudRow_);
}

PageStartResult LinPage::Start() {
    // The download writes the current LACKB blocks; a set queued before it is stale.
    if (!g_WorkerRunning.load(std::memory_order_acquire))
        g_RegPacketPending.store(0, std::memory_order_release);
    return StartUartPage(image_, Config(), &rows_);
}

void LinPage::Stop() { StopPage(); }

PageSendResult LinPage::Send() {
    uint8_t frame[1 + kLinMaxData];
    frame[0] = master_.ID;
    if (MasterConfig() & lin::SRP) return SendUartFrame(1, frame, 1);
    const size_t dlc = static_cast<size_t>(master_.DLC);
    std::memcpy(frame + 1, master_.data, dlc);
    return SendUartFrame(static_cast<uint16_t>((dlc + 1) & kFrameCountMask), frame, dlc + 1);
}

PageDeviceStatus LinPage::RefreshDeviceStatus() const {
    return CurrentDeviceStatus(kLinConnectedCaption, kLinNotConnectedCaption);
}

// --- the ID-table editor --------------------------------------------------------------------

namespace {

struct FieldBits {
    uint8_t mask;
    int shift;
};
FieldBits BitsOf(LinIdTableEditor::Field field) {
    switch (field) {
    case LinIdTableEditor::Iden: return {lin::IDEN, 7};
    case LinIdTableEditor::Srp: return {lin::SRP, 6};
    case LinIdTableEditor::Lenc: return {lin::LENC, 4};
    case LinIdTableEditor::Csm: return {lin::CSM, 3};
    case LinIdTableEditor::Afe: return {lin::AFE, 2};
    case LinIdTableEditor::Afp: return {lin::AFP, 0};
    }
    return {0, 0};
}

}  // namespace

void LinIdTableEditor::SetCurrentId(uint8_t id) { currentId_ = std::min(id, kLinMaxId); }

std::string LinIdTableEditor::CurrentIdText() const {
    char text[24];
    std::snprintf(text, sizeof text, "%d (0x%.2X)", currentId_, currentId_);
    return text;
}

unsigned LinIdTableEditor::FieldValue(Field field) const {
    const FieldBits bits = BitsOf(field);
    return static_cast<unsigned>((edited_ & bits.mask) >> bits.shift);
}

void LinIdTableEditor::SetField(Field field, unsigned value) {
    const FieldBits bits = BitsOf(field);
    edited_ = static_cast<uint8_t>((edited_ & ~bits.mask) | ((value << bits.shift) & bits.mask));
}

PageEditResult LinIdTableEditor::FromChanged(const std::string& text) {
    const FieldResult field = ValidateLinId(text);
    from_ = field.value;
    return EditResultOf(field);
}

PageEditResult LinIdTableEditor::ToChanged(const std::string& text) {
    const FieldResult field = ValidateLinId(text);
    to_ = field.value;
    return EditResultOf(field);
}

bool LinIdTableEditor::Apply() {
    if (!rangeMode_) {
        table_[currentId_] = edited_;
        return true;
    }
    if (from_ > to_) {
        platform::ShowMessage(kLinTextRangeReversed, std::string(), platform::MessageIcon::Exclamation);
        return false;
    }
    std::fill(table_ + from_, table_ + to_ + 1, edited_);
    return true;
}

void LinIdTableEditor::SetAllIden(bool on) {
    for (size_t id = 0; id < kLinIdCount; ++id)
        table_[id] = static_cast<uint8_t>(on ? (table_[id] | lin::IDEN) : (table_[id] & ~lin::IDEN));
}

void LinIdTableEditor::RecommendedLenc() {
    for (uint8_t id = 0; id < kLinIdCount; ++id)
        table_[id] = static_cast<uint8_t>((table_[id] & ~lin::LENC) | (LinRecommendedLenc(id) << 4));
}

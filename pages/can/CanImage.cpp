#include "pages/can/CanImage.h"

#include <algorithm>

#include "monitor/HexText.h"
#include "pages/shared/FieldText.h"

// Every row: 4 quanta SJW, 8 SEG1PH, 6 SEG2PH, 5 PRSEG, 20 with the sync quantum.
const CanBaudTableEntry kCanBaudTable[kCanBaudRows] = {
    {0, 3, 7, 5, 4, "1000 KBPS"},   {1, 3, 7, 5, 4, "500  KBPS"},
    {3, 3, 7, 5, 4, "250  KBPS"},   {4, 3, 7, 5, 4, "200  KBPS"},
    {8, 3, 7, 5, 4, "125  KBPS"},   {9, 3, 7, 5, 4, "100  KBPS"},
    {11, 3, 7, 5, 4, "83.3 KBPS"},  {19, 3, 7, 5, 4, "50   KBPS"},
    {24, 3, 7, 5, 4, "40   KBPS"},  {29, 3, 7, 5, 4, "33.3 KBPS"},
    {49, 3, 7, 5, 4, "20   KBPS"},  {1, 3, 7, 5, 4, "User-defined"},
};

const char* const kCanTextDataTooLong = "数据桢的总长度不可大于8字节!";

namespace {
const char* const kTextBrpMax = "BRP 最大值为63";
}

CanTimingView CanTiming(const CanRegisterImage& image, size_t row) {
    CanTimingView view;
    view.sjw = image.cfg1 >> 6;
    view.seg2ph = image.cfg3 & 7;
    view.seg1ph = (image.cfg2 >> 3) & 7;
    view.prseg = image.cfg2 & 7;
    view.brpText = std::to_string(image.cfg1 & 0x3F);
    view.editable = row == kCanBaudRowUser;
    return view;
}

CanTimingView SelectCanBaudRow(CanRegisterImage& image, size_t row) {
    if (row >= kCanBaudRows) row = 1;
    const CanBaudTableEntry& e = kCanBaudTable[row];
    image.cfg1 = static_cast<uint8_t>(e.SJW << 6 | (e.BRP & 0x3F));
    image.cfg2 = static_cast<uint8_t>(0xC0 | (e.SEG1PH & 7) << 3 | (e.PRSEG & 7));
    image.cfg3 = static_cast<uint8_t>((image.cfg3 & ~7) | (e.SEG2PH & 7));
    return CanTiming(image, row);
}

void SetCanSjw(CanRegisterImage& image, unsigned selection) {
    image.cfg1 = static_cast<uint8_t>((image.cfg1 & 0x3F) | (selection & 3) << 6);
}
void SetCanSeg2ph(CanRegisterImage& image, unsigned selection) {
    image.cfg3 = static_cast<uint8_t>((image.cfg3 & ~7) | (selection & 7));
}
void SetCanSeg1ph(CanRegisterImage& image, unsigned selection) {
    image.cfg2 = static_cast<uint8_t>((image.cfg2 & ~0x38) | (selection & 7) << 3);
}
void SetCanPrseg(CanRegisterImage& image, unsigned selection) {
    image.cfg2 = static_cast<uint8_t>((image.cfg2 & ~7) | (selection & 7));
}

PageEditResult CanBrpChanged(CanRegisterImage& image, const std::string& text) {
    PageEditResult result;
    const int32_t typed = ParseDecimalSaturating(text);
    const uint32_t value = typed < 0 ? 0 : static_cast<uint32_t>(typed);
    image.cfg1 = static_cast<uint8_t>((image.cfg1 & 0xC0) | (value % 64));
    if (typed < 0 || value > 63) {
        result.rewrite = true;
        result.text = std::to_string(value % 64);
        if (value > 63) result.message = kTextBrpMax;
    }
    return result;
}

void SetCanMode(CanRegisterImage& image, unsigned radio) {
    static const uint8_t kModes[] = {0, 2, 3};
    image.cctrl0Mode = static_cast<uint8_t>((image.cctrl0Mode & ~7) | kModes[std::min(radio, 2u)]);
}

unsigned CanModeRadio(const CanRegisterImage& image) {
    switch (image.cctrl0Mode & 7) {
    case 0: return 0;
    case 2: return 1;
    default: return 2;
    }
}

void SetCanBits(uint8_t& field, uint8_t mask, bool on) {
    field = static_cast<uint8_t>(on ? (field | mask) : (field & ~mask));
}

void SetCanPtype(CanRegisterImage& image, unsigned selection) {
    image.cprocon = static_cast<uint8_t>((image.cprocon & ~7) | (selection & 7));
}

CanFilterEntry& CanEntry(CanRegisterImage& image, CanEntryRef ref) {
    return ref.mask ? image.masks[ref.n % kCanMasks] : image.filters[ref.n % kCanFilters];
}
const CanFilterEntry& CanEntry(const CanRegisterImage& image, CanEntryRef ref) {
    return ref.mask ? image.masks[ref.n % kCanMasks] : image.filters[ref.n % kCanFilters];
}

uint32_t ParseCanHexText(const std::string& text) {
    std::string cleaned;
    for (char c : text)
        if (c != ' ') cleaned.push_back(c);
    return HexStringToNumber(cleaned);
}

std::string CanId29Changed(CanRegisterImage& image, CanEntryRef ref, const std::string& text) {
    CanFilterEntry& entry = CanEntry(image, ref);
    SetCanFilterId29(entry, ParseCanHexText(text));
    return CanSid11Text(image, ref);
}

void CanSid11Changed(CanRegisterImage& image, CanEntryRef ref, const std::string& text) {
    SetCanFilterSid(CanEntry(image, ref), ParseCanHexText(text));
}

std::string CanId29Text(const CanRegisterImage& image, CanEntryRef ref) {
    return CanIdText(CanFilterId29(CanEntry(image, ref)), true);
}

std::string CanSid11Text(const CanRegisterImage& image, CanEntryRef ref) {
    return CanIdText(CanFilterSid(CanEntry(image, ref)), false);
}

void SetCanFilterEnabled(CanRegisterImage& image, unsigned n, bool on) {
    uint8_t& bits = n < 8 ? image.filterEnable0 : image.filterEnable1;
    SetCanBits(bits, static_cast<uint8_t>(1u << (n % 8)), on);
}

bool CanFilterEnabled(const CanRegisterImage& image, unsigned n) {
    const uint8_t bits = n < 8 ? image.filterEnable0 : image.filterEnable1;
    return (bits >> (n % 8)) & 1;
}

void SetCanMaskSelect(CanRegisterImage& image, unsigned n, unsigned selection) {
    uint8_t& byte = image.mskSel[(n / 4) % 4];
    const unsigned shift = 2 * (n % 4);
    byte = static_cast<uint8_t>((byte & ~(3u << shift)) | (selection & 3) << shift);
}

unsigned CanMaskSelect(const CanRegisterImage& image, unsigned n) {
    return (image.mskSel[(n / 4) % 4] >> (2 * (n % 4))) & 3;
}

void SetCanBufferPointer(CanRegisterImage& image, unsigned n, unsigned selection) {
    const uint32_t nibble = selection >= 8 ? 0xF : selection;
    uint32_t& word = image.bufferPointer[(n / 8) % 2];
    const unsigned shift = 4 * (n % 8);
    word = (word & ~(0xFu << shift)) | nibble << shift;
}

unsigned CanBufferPointerSelection(const CanRegisterImage& image, unsigned n) {
    const unsigned nibble = (image.bufferPointer[(n / 8) % 2] >> (4 * (n % 8))) & 0xF;
    return std::min(nibble, 8u);
}

PageEditResult ReadCanHexData(std::string text, uint8_t* out, size_t capacity, size_t& count,
                              const char* message) {
    PageEditResult result;
    const size_t typed = HexTextByteCount(text);
    count = HexStringToBytes(text, out, capacity);
    if (typed > capacity) {
        result.rewrite = true;
        result.text = HexBytesText(out, count);
        if (message) result.message = message;
    }
    return result;
}

std::string SetSingleFrameType(EcanMessageBuffer& frame, unsigned selection) {
    SetEcanExtended(frame, selection != 0);
    return EcanIdText(frame);
}

void SetSingleFrameFormat(EcanMessageBuffer& frame, unsigned selection) {
    SetEcanRemote(frame, selection != 0);
}

void SingleFrameIdChanged(EcanMessageBuffer& frame, const std::string& text) {
    SetEcanId(frame, ParseCanHexText(text), EcanIsExtended(frame));
}

PageEditResult SingleFrameDataChanged(EcanMessageBuffer& frame, const std::string& text) {
    size_t count = 0;
    const PageEditResult result =
        ReadCanHexData(text, EcanData(frame), kCanMaxData, count, kCanTextDataTooLong);
    SetEcanDlc(frame, static_cast<uint8_t>(count));
    return result;
}

std::string CanFrameDataText(const EcanMessageBuffer& frame) {
    return HexBytesText(EcanData(frame), EcanShownDataCount(frame));
}

const char* const kCanTextBufferTooLong = "缓冲区数据长度不可大于256字节!";
const char* const kCanTextMax255 = " 最大值为255";
const char* const kCanTextBsize255 = "BSIZE 最大值为255";

uint32_t ReadCanDecimal(const std::string& text, PageEditResult& result) {
    const int32_t typed = ParseDecimalSaturating(text);
    if (typed >= 0) return static_cast<uint32_t>(typed);
    result.rewrite = true;
    result.text = "0";
    return 0;
}

PageEditResult ReadCanBoundedDecimal(const std::string& text, uint32_t max, const char* message,
                                     uint32_t& value) {
    PageEditResult result;
    value = ReadCanDecimal(text, result);
    if (value > max) {
        value = max;
        result.rewrite = true;
        result.text = std::to_string(max);
        result.message = message;
    }
    return result;
}

void SetCanHeadDefaults(CanRegisterImage& image, uint8_t reg28) {
    image.cctrl0Mode = 0;
    image.pinsel = 3;
    image.singleWire = 0;
    image.reg28 = reg28;
    image.filterEnable1 = 0;
    for (CanFilterEntry& f : image.filters) f = CanFilterEntry();
    image.mskSel[1] = image.mskSel[2] = image.mskSel[3] = 0xFF;
    image.bufferPointer[0] = image.bufferPointer[1] = 0xFFFFFFFF;
}

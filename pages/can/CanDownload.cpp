#include "pages/can/CanDownload.h"

#include <algorithm>
#include <cstring>

#include "device/UsbOperation.h"

CanDownloadStep CanDownloadStep::Reg(uint8_t reg, uint8_t value) {
    CanDownloadStep step;
    step.kind = Register;
    step.target = reg;
    step.length = 1;
    step.bytes[0] = value;
    return step;
}

CanDownloadStep CanDownloadStep::Blk(uint8_t block, const uint8_t* data, size_t length) {
    CanDownloadStep step;
    step.kind = Block;
    step.target = block;
    step.length = static_cast<uint8_t>(std::min(length, kEcanBufferSize));
    std::memcpy(step.bytes, data, step.length);
    return step;
}

namespace {

void PutU32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

CanDownloadList BuildCanDownload(const CanRegisterImage& image,
                                 const CanDownloadList& pageRegisters,
                                 const CanDownloadList& pageBlocks) {
    using S = CanDownloadStep;
    CanDownloadList list = {
        S::Reg(0x17, 0xFC), S::Reg(0x3B, 0x00), S::Reg(0x05, 0x00), S::Reg(0x01, 0x95),
        S::Reg(0x12, image.pinsel), S::Reg(0x13, image.singleWire), S::Reg(0x1A, image.cfg1),
        S::Reg(0x1B, image.cfg2), S::Reg(0x1C, image.cfg3), S::Reg(0x1D, image.filterEnable0),
        S::Reg(0x1E, image.filterEnable1), S::Reg(0x1F, image.mskSel[0]),
        S::Reg(0x20, image.mskSel[1]), S::Reg(0x21, image.mskSel[2]),
        S::Reg(0x22, image.mskSel[3]), S::Reg(0x28, image.reg28), S::Reg(0x29, image.cprocon),
    };
    list.insert(list.end(), pageRegisters.begin(), pageRegisters.end());
    for (size_t m = 0; m < kCanMasks; ++m)
        list.push_back(S::Blk(static_cast<uint8_t>(0x09 + m), image.masks[m].bytes, 4));
    for (size_t f = 0; f < kCanFiltersShown; ++f)
        list.push_back(S::Blk(static_cast<uint8_t>(0x0C + f), image.filters[f].bytes, 4));
    for (size_t w = 0; w < 2; ++w) {
        uint8_t word[4];
        PutU32(word, image.bufferPointer[w]);
        list.push_back(S::Blk(static_cast<uint8_t>(0x1C + w), word, 4));
    }
    list.insert(list.end(), pageBlocks.begin(), pageBlocks.end());
    return list;
}

int RunCanDownload(const CanDownloadList& list, size_t checked) {
    for (size_t i = 0; i < list.size(); ++i) {
        const CanDownloadStep& step = list[i];
        const int ok = step.kind == CanDownloadStep::Register
                           ? UsbWriteRegister(step.target, step.bytes[0])
                           : UsbWriteBytes(step.target, step.length, step.bytes);
        if (!ok && i < checked) return 0;
    }
    return 1;
}

#include "pages/j1850/J1850Download.h"

#include <cstring>
#include <iterator>

#include "device/UsbOperation.h"

namespace {

using Step = J1850DownloadStep;
#define FIELD(f) static_cast<uint16_t>(offsetof(J1850RegisterImage, f)), \
                 static_cast<uint16_t>(sizeof(J1850RegisterImage::f))

const Step kSteps[] = {
    {Step::SetupRegister, 0x17, 0x00, 0, 0},
    {Step::SetupRegister, 0x3B, 0x00, 0, 0},
    {Step::SetupRegister, 0x05, 0xFF, 0, 0},
    {Step::SetupRegister, 0x01, 0x95, 0, 0},
    {Step::Register, 0x08, 0, FIELD(JCON0)},
    {Step::Register, 0x09, 0, FIELD(Reg09)},
    {Step::Block, 0, 0, FIELD(YZZCON)},
    {Step::Block, 3, 0, FIELD(IDBUFF)},
    {Step::Block, 4, 0, FIELD(IFR3_B0)},
    {Step::Block, 5, 0, FIELD(IFR3_B1)},
    {Step::LongBlock, 1, 0, FIELD(IDIFRCON)},
    {Step::LongBlock, 2, 0, FIELD(HDFILTER)},
    {Step::Register, 0x06, 0, FIELD(Ifr3B0Length)},
    {Step::Register, 0x07, 0, FIELD(Ifr3B1Length)},
};
#undef FIELD

int RunStep(const uint8_t* image, const Step& step) {
    switch (step.kind) {
    case Step::SetupRegister:
        return UsbWriteRegister(step.target, step.value);
    case Step::Register: {
        auto lock = LockDevice();
        g_CmdPacket[0] = CmdWriteRegister;
        g_CmdPacket[1] = step.target;
        g_CmdPacket[2] = image[step.offset];
        return UsbWritePacket(g_CmdPacket, 4);
    }
    case Step::Block: {
        auto lock = LockDevice();
        g_CmdPacket[0] = CmdWriteBlock;
        g_CmdPacket[1] = step.target;
        g_CmdPacket[2] = static_cast<uint8_t>(step.length & 0xFF);
        g_CmdPacket[3] = static_cast<uint8_t>(step.length >> 8);
        std::memcpy(g_CmdPacket + 4, image + step.offset, step.length);
        return UsbWritePacket(g_CmdPacket, 4u + step.length);
    }
    case Step::LongBlock:
        return UsbWriteBlock(step.target, step.length, image + step.offset);
    }
    return 0;
}

}  // namespace

J1850DownloadList GetJ1850DownloadList() { return {kSteps, std::size(kSteps)}; }

int ConfigureDevice(const J1850RegisterImage& image) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&image);
    const J1850DownloadList list = GetJ1850DownloadList();
    for (size_t i = 0; i < list.count; ++i)
        if (!RunStep(bytes, list.steps[i])) return 0;
    return 1;
}

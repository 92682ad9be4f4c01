#include "pages/kline/UartDownload.h"

#include "device/UsbOperation.h"


namespace {

using S = UartDownloadStep;

constexpr S Set(uint8_t reg, uint8_t value) { return S{S::RegisterValue, reg, value, 0}; }
constexpr S Reg(uint8_t reg, size_t offset) {
    return S{S::RegisterImage, reg, static_cast<uint8_t>(offset), 1};
}
constexpr S Blk(uint8_t block, size_t offset, size_t length) {
    return S{S::Block, block, static_cast<uint8_t>(offset), static_cast<uint8_t>(length)};
}
constexpr S LongBlk(uint8_t block, size_t offset, size_t length) {
    return S{S::LongBlock, block, static_cast<uint8_t>(offset), static_cast<uint8_t>(length)};
}
constexpr S Copy() { return S{S::CopyInitValues, 0, 0, 0}; }

// Each register's source byte in the image.
constexpr S R42 = Reg(0x42, uart::UTXP1T);
constexpr S R44 = Reg(0x44, uart::UFREET);
constexpr S R45 = Reg(0x45, uart::URXP1MAX);
constexpr S R46 = Reg(0x46, uart::UTXVT0);
constexpr S R48 = Reg(0x48, uart::URXVT1);
constexpr S R39 = Reg(0x39, uart::BITADJ);
constexpr S R3C = Reg(0x3C, uart::messagePeriod);
constexpr S R2D = Reg(0x2D, uart::PINSEL);
constexpr S R2E = Reg(0x2E, uart::UFRMV);
constexpr S R2F = Reg(0x2F, uart::UFLENCON);
constexpr S R30 = Reg(0x30, uart::UFLAND);
constexpr S R32 = Reg(0x32, uart::fastInitLowMs);
constexpr S R33 = Reg(0x33, uart::fastInitHighMs);
constexpr S R34 = Reg(0x34, uart::slowInitAddress);
constexpr S R36 = Reg(0x36, uart::Reg36);
constexpr S R37 = Reg(0x37, uart::Reg37);
constexpr S R35 = Reg(0x35, uart::lineFormat);
constexpr S T2A = Blk(0x2A, uart::BRG, 2);
constexpr S T2B = Blk(0x2B, uart::U5BAUDCON, uart::kU5BaudConSize);
constexpr S T2C = Blk(0x2C, uart::Block2C, uart::kBlock2CSize);
constexpr S T2D = Blk(0x2D, uart::Block2D, uart::kBlock2DSize);

#define VR_SETUP Set(0x17, 0x00), Set(0x3B, 0xFF), Set(0x05, 0x00), Set(0x01, 0x95)

constexpr S kIso14230[] = {VR_SETUP, R42, R44, R45, R46, R48, R39, R3C, R2D, R2E, R2F, R30,
                           R32, R33, R34, Copy(), R36, R37, R35, T2A, T2B, T2C, T2D};
constexpr S kUserMode[] = {VR_SETUP, R42, R44, R45, R46, R48, R39, R3C, R2D, R2E, R2F, R30,
                           R32, R33, R34, Copy(), R36, R37, R35, T2A, T2B};
constexpr S kKw1281[] = {VR_SETUP, R3C, R42, R44, R45, R46, R48, R2D, R2E, R2F, R30,
                         R32, R33, R34, Copy(), R36, R37, R35, T2A, T2B};
constexpr S kSci[] = {VR_SETUP, R42, R44, R45, R46, R48, R3C, R2D, R2E, R2F, R30,
                      R36, R37, R35, T2A};
constexpr S kJ1708[] = {VR_SETUP, R42, R44, R45, R3C, R2D, R2E, R2F, R36, R37, R35, T2A};
constexpr S kLin[] = {VR_SETUP, R42, R44, R45, R3C, R2D, R36, R37, R35, T2A,
                      LongBlk(0x2F, uart::LinIdTable, uart::kLinIdTableSize),
                      Blk(0x30, uart::Lackb + 0 * uart::kLackbSize, uart::kLackbSize),
                      Blk(0x31, uart::Lackb + 1 * uart::kLackbSize, uart::kLackbSize),
                      Blk(0x32, uart::Lackb + 2 * uart::kLackbSize, uart::kLackbSize),
                      Blk(0x33, uart::Lackb + 3 * uart::kLackbSize, uart::kLackbSize)};
constexpr S kUartTest[] = {Set(0x17, 0x00), Set(0x17, 0x00), Set(0x3B, 0xFF), Set(0x05, 0x00),
                           Set(0x01, 0xF5), R2D, R36, R37, R35, T2A};
// The ECU simulator on the K-line: the receive gap, no bit adjust and no message period.
constexpr S kEcuSimKLine[] = {VR_SETUP, R42, R44, R45, Set(0x39, 0x00), Set(0x3C, 0x00),
                              R2D, R2E, R2F, R30, R32, R33, R34, R36, R37, R35, T2A, T2B,
                              Blk(0x2E, uart::Block2E, uart::kBlock2ESize)};

#undef VR_SETUP

template <size_t N>
constexpr UartDownloadList ListOf(const S (&steps)[N]) {
    return UartDownloadList{steps, N};
}

}  // namespace

UartDownloadList GetUartDownloadList(UartPage page) {
    switch (page) {
    case UartPage::Iso14230: return ListOf(kIso14230);
    case UartPage::UserMode: return ListOf(kUserMode);
    case UartPage::Kw1281: return ListOf(kKw1281);
    case UartPage::Sci: return ListOf(kSci);
    case UartPage::J1708: return ListOf(kJ1708);
    case UartPage::Lin: return ListOf(kLin);
    case UartPage::UartTest: return ListOf(kUartTest);
    case UartPage::EcuSimKLine: return ListOf(kEcuSimKLine);
    }
    return UartDownloadList{nullptr, 0};
}

int RunUartDownload(const UartRegisterImage& image, UartDownloadList list) {
    for (size_t i = 0; i < list.count; ++i) {
        const UartDownloadStep& step = list.steps[i];
        int ok = 1;
        switch (step.kind) {
        case S::RegisterValue:
            ok = UsbWriteRegister(step.target, step.offset);
            break;
        case S::RegisterImage:
            ok = UsbWriteRegister(step.target, image[step.offset]);
            break;
        case S::Block:
            ok = UsbWriteBytes(step.target, step.length, image.data() + step.offset);
            break;
        case S::LongBlock:
            ok = UsbWriteBlock(step.target, step.length, image.data() + step.offset);
            break;
        case S::CopyInitValues:
            g_FastInitLowTime.store(image[uart::fastInitLowMs]);
            g_FastInitHighTime.store(image[uart::fastInitHighMs]);
            g_SlowInitAddress.store(image[uart::slowInitAddress]);
            break;
        }
        if (!ok)
            return 0;
    }
    return 1;
}

int ConfigureDevice(const UartRegisterImage& image, UartPage page) {
    return RunUartDownload(image, GetUartDownloadList(page));
}

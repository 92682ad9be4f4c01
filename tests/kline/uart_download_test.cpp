// The image download against the simulated board's packet log, and the page operations that
// refuse before any worker starts.
#include <gtest/gtest.h>

#include "SimulatedBoard.h"
#include "pages/kline/UartDownload.h"
#include "pages/kline/UartPageOps.h"

namespace {

// The ISO 14230 page's opening image.
UartRegisterImage Iso14230Defaults() {
    UartRegisterImage image{};
    image[0] = 0x05;
    image[2] = 0x37;
    image[3] = 0x0A;
    image[4] = 0x14;
    image[5] = 0x02;
    image[6] = 0x81;
    image[8] = 0x08;
    image[10] = 0xFF;
    image[12] = 25;
    image[13] = 25;
    image[14] = 0x33;
    const uint8_t u5baudcon[] = {0xFB, 0x32, 0x05, 0x64, 0x05, 0x64, 0x00, 0x32, 0x1E, 0x00};
    std::copy(std::begin(u5baudcon), std::end(u5baudcon), image.begin() + 16);
    image[26] = 0x02;
    image[27] = 0x19;
    image[28] = 0x19;
    for (int i = 0; i < 8; ++i)
        image[42 + i] = static_cast<uint8_t>(i & 1);
    image[70] = 239;
    return image;
}

Bytes Reg(uint8_t reg, uint8_t value) { return {0x52, reg, value}; }

// 'R' packets carry a left-over byte 3; compare the three defined bytes and the length.
void ExpectPacket(const Bytes& actual, const Bytes& expected, size_t index) {
    SCOPED_TRACE("packet " + std::to_string(index));
    if (expected.size() == 3 && expected[0] == 0x52) {
        ASSERT_EQ(actual.size(), 4u);
        EXPECT_EQ(Bytes(actual.begin(), actual.begin() + 3), expected);
    } else {
        EXPECT_EQ(actual, expected);
    }
}

class DownloadTest : public SimulatedBoardTest {};

TEST_F(DownloadTest, Iso14230DefaultsGoOutByteForByte) {
    Bytes t2c = {0x54, 0x2C, 0x10, 0x00, 0x02, 0x19, 0x19};
    t2c.resize(4 + 16, 0x00);
    Bytes t2d = {0x54, 0x2D, 0x10, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01};
    t2d.resize(4 + 16, 0x00);
    const std::vector<Bytes> expected = {
        Reg(0x17, 0x00), Reg(0x3B, 0xFF), Reg(0x05, 0x00), Reg(0x01, 0x95),
        Reg(0x42, 0x05), Reg(0x44, 0x37), Reg(0x45, 0x0A), Reg(0x46, 0x14), Reg(0x48, 0x02),
        Reg(0x39, 0x00), Reg(0x3C, 0x00), Reg(0x2D, 0x00), Reg(0x2E, 0x08), Reg(0x2F, 0x00),
        Reg(0x30, 0xFF), Reg(0x32, 0x19), Reg(0x33, 0x19), Reg(0x34, 0x33),
        Reg(0x36, 0x00), Reg(0x37, 0x00), Reg(0x35, 0x00),
        {0x54, 0x2A, 0x02, 0x00, 0xEF, 0x00},
        {0x54, 0x2B, 0x0A, 0x00, 0xFB, 0x32, 0x05, 0x64, 0x05, 0x64, 0x00, 0x32, 0x1E, 0x00},
        t2c, t2d,
    };
    g_FastInitLowTime = 0;
    g_FastInitHighTime = 0;
    g_SlowInitAddress = 0;
    ASSERT_EQ(ConfigureDevice(Iso14230Defaults(), UartPage::Iso14230), 1);
    const std::vector<Bytes> logged = LoggedPackets();
    ASSERT_EQ(logged.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ExpectPacket(logged[i], expected[i], i);
    EXPECT_EQ(g_FastInitLowTime.load(), 25);
    EXPECT_EQ(g_FastInitHighTime.load(), 25);
    EXPECT_EQ(g_SlowInitAddress.load(), 0x33);
}

TEST_F(DownloadTest, EveryPageSendsItsRegistersAndBlocksInOrder) {
    // Registers are written with the image byte at the register's number, so the log shows
    // which source byte each register took.
    struct Case {
        UartPage page;
        std::vector<uint8_t> setup;  // values of the set-up writes (register, value pairs)
        std::vector<uint8_t> registers;
        std::vector<std::pair<uint8_t, uint8_t>> blocks;  // 'T'/'W' command and block number
        bool copiesInit;
    };
    const std::vector<uint8_t> common = {0x17, 0x00, 0x3B, 0xFF, 0x05, 0x00, 0x01, 0x95};
    const std::vector<Case> cases = {
        {UartPage::Iso14230, common,
         {0x42, 0x44, 0x45, 0x46, 0x48, 0x39, 0x3C, 0x2D, 0x2E, 0x2F, 0x30, 0x32, 0x33, 0x34,
          0x36, 0x37, 0x35},
         {{0x54, 0x2A}, {0x54, 0x2B}, {0x54, 0x2C}, {0x54, 0x2D}}, true},
        {UartPage::UserMode, common,
         {0x42, 0x44, 0x45, 0x46, 0x48, 0x39, 0x3C, 0x2D, 0x2E, 0x2F, 0x30, 0x32, 0x33, 0x34,
          0x36, 0x37, 0x35},
         {{0x54, 0x2A}, {0x54, 0x2B}}, true},
        {UartPage::Kw1281, common,
         {0x3C, 0x42, 0x44, 0x45, 0x46, 0x48, 0x2D, 0x2E, 0x2F, 0x30, 0x32, 0x33, 0x34, 0x36,
          0x37, 0x35},
         {{0x54, 0x2A}, {0x54, 0x2B}}, true},
        {UartPage::Sci, common,
         {0x42, 0x44, 0x45, 0x46, 0x48, 0x3C, 0x2D, 0x2E, 0x2F, 0x30, 0x36, 0x37, 0x35},
         {{0x54, 0x2A}}, false},
        {UartPage::J1708, common, {0x42, 0x44, 0x45, 0x3C, 0x2D, 0x2E, 0x2F, 0x36, 0x37, 0x35},
         {{0x54, 0x2A}}, false},
        {UartPage::Lin, common, {0x42, 0x44, 0x45, 0x3C, 0x2D, 0x36, 0x37, 0x35},
         {{0x54, 0x2A}, {0x57, 0x2F}, {0x54, 0x30}, {0x54, 0x31}, {0x54, 0x32}, {0x54, 0x33}},
         false},
        {UartPage::UartTest, {0x17, 0x00, 0x17, 0x00, 0x3B, 0xFF, 0x05, 0x00, 0x01, 0xF5},
         {0x2D, 0x36, 0x37, 0x35}, {{0x54, 0x2A}}, false},
    };
    // Where each register's value comes from in the image.
    const std::pair<uint8_t, size_t> sources[] = {
        {0x42, uart::UTXP1T}, {0x44, uart::UFREET}, {0x45, uart::URXP1MAX},
        {0x46, uart::UTXVT0}, {0x48, uart::URXVT1}, {0x39, uart::BITADJ},
        {0x3C, uart::messagePeriod}, {0x2D, uart::PINSEL}, {0x2E, uart::UFRMV},
        {0x2F, uart::UFLENCON}, {0x30, uart::UFLAND}, {0x32, uart::fastInitLowMs},
        {0x33, uart::fastInitHighMs}, {0x34, uart::slowInitAddress}, {0x36, uart::Reg36},
        {0x37, uart::Reg37}, {0x35, uart::lineFormat},
    };
    UartRegisterImage image{};
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(0x80 | i);  // every byte tells where it came from
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.page));
        tb_log_clear();
        g_FastInitLowTime = 0;
        g_SlowInitAddress = 0;
        ASSERT_EQ(ConfigureDevice(image, c.page), 1);
        const std::vector<Bytes> logged = LoggedPackets();
        const size_t setupCount = c.setup.size() / 2;
        ASSERT_EQ(logged.size(), setupCount + c.registers.size() + c.blocks.size());
        size_t at = 0;
        for (size_t i = 0; i < setupCount; ++i, ++at)
            ExpectPacket(logged[at], Reg(c.setup[2 * i], c.setup[2 * i + 1]), at);
        for (uint8_t reg : c.registers) {
            size_t source = 0;
            for (const auto& s : sources)
                if (s.first == reg)
                    source = s.second;
            ExpectPacket(logged[at], Reg(reg, image[source]), at);
            ++at;
        }
        for (const auto& block : c.blocks) {
            const Bytes& p = logged[at++];
            ASSERT_GE(p.size(), 4u);
            EXPECT_EQ(p[0], block.first);
            EXPECT_EQ(p[1], block.second);
            EXPECT_EQ(p.size(), 4u + (p[2] | (p[3] << 8)));
        }
        EXPECT_EQ(g_FastInitLowTime.load(), c.copiesInit ? image[uart::fastInitLowMs] : 0);
        EXPECT_EQ(g_SlowInitAddress.load(), c.copiesInit ? image[uart::slowInitAddress] : 0);
    }
}

TEST_F(DownloadTest, StopsAtTheFirstFailedWrite) {
    tb_fail_write(3);
    EXPECT_EQ(ConfigureDevice(Iso14230Defaults(), UartPage::Iso14230), 0);
    // The failed write never reached the board, and nothing came after it.
    const std::vector<Bytes> logged = LoggedPackets();
    ASSERT_EQ(logged.size(), 2u);
    ExpectPacket(logged[0], Reg(0x17, 0x00), 0);
    ExpectPacket(logged[1], Reg(0x3B, 0xFF), 1);
}

TEST_F(DownloadTest, StartReportsAFailedDownloadAndStartsNothing) {
    const UartPageConfig config{UartPage::Iso14230, ThreadProc14230, true, true, 0};
    tb_fail_write(3 + 3);  // the reset sequence, then the download's third write
    EXPECT_EQ(StartUartPage(Iso14230Defaults(), config), UartStartResult::DeviceError);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);
    EXPECT_FALSE(g_WorkerThread.HasThread());
    EXPECT_EQ(tb_log_count(), 5u);  // three reset writes and two set-up registers
    const auto entries = messages_.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].message.text, "设备通讯错误 !");
    EXPECT_EQ(entries[0].message.caption, "设备错误");
    EXPECT_EQ(entries[0].message.icon, platform::MessageIcon::Exclamation);

    tb_log_clear();
    tb_fail_write(2);  // inside the reset sequence
    EXPECT_EQ(StartUartPage(Iso14230Defaults(), config), UartStartResult::DeviceError);
    EXPECT_EQ(tb_log_count(), 1u);
    EXPECT_EQ(messages_.Entries().size(), 2u);
}

TEST_F(DownloadTest, StartAndSendRefuseWithoutDeviceOrWorker) {
    const UartPageConfig config{UartPage::Iso14230, ThreadProc14230, true, true, 0};
    g_DeviceOpen = 0;
    EXPECT_EQ(StartUartPage(Iso14230Defaults(), config), UartStartResult::NotConnected);
    EXPECT_EQ(tb_log_count(), 0u);
    EXPECT_EQ(g_WorkerRunning.load(), 0u);

    const uint8_t frame[] = {0xC1, 0x33, 0xF1, 0x81, 0x66};
    g_TxPacket[0] = 0x00;
    EXPECT_EQ(SendUartFrame(5, frame, 5), UartSendResult::NotRunning);
    EXPECT_EQ(g_TxPending.load(), 0u);
    EXPECT_EQ(g_TxPacket[0], 0x00);  // nothing built

    const auto entries = messages_.Entries();
    ASSERT_EQ(entries.size(), 2u);
    for (const auto& e : entries) {
        EXPECT_EQ(e.message.text,
                  "请连接USB线(VR3526开发板跳线到SPI工作模式)，\n并在主窗口菜单中操作:连接设备!");
        EXPECT_EQ(e.message.caption, "设备未连接");
        EXPECT_EQ(e.message.icon, platform::MessageIcon::Exclamation);
    }
}

}  // namespace

#include <cstring>

#include "BoardFixture.h"

namespace {

using DeviceCommands = BoardTest;

TEST_F(DeviceCommands, RegisterWriteCarriesTheStaleFourthByte) {
    std::vector<uint8_t> block(0x102, 0x5A);
    ASSERT_EQ(UsbWriteBlock(0x2A, 0x102, block.data()), 1);
    ASSERT_EQ(UsbWriteRegister(0x42, 0x05), 1);
    auto log = LoggedPackets();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].size(), 4u + 0x102);
    EXPECT_EQ(Bytes(log[0].begin(), log[0].begin() + 4), (Bytes{0x57, 0x2A, 0x02, 0x01}));
    EXPECT_EQ(log[1], (Bytes{0x52, 0x42, 0x05, 0x01})) << "byte 3 is what the long block left";
    EXPECT_EQ(tb_get_register(0x42), 0x05);
}

TEST_F(DeviceCommands, BlockWrites) {
    const uint8_t data[3] = {1, 2, 3};
    ASSERT_EQ(UsbWriteBytes(0x2B, 3, data), 1);
    ASSERT_EQ(UsbWriteBytes(0x2C, 0, data), 1);
    auto log = LoggedPackets();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], (Bytes{0x54, 0x2B, 0x03, 0x00, 1, 2, 3}));
    EXPECT_EQ(log[1], (Bytes{0x54, 0x2C, 0x00, 0x00})) << "count 0 sends the header alone";
    uint8_t stored[8];
    EXPECT_EQ(tb_get_block(0x2B, stored, sizeof stored), 3u);
}

TEST_F(DeviceCommands, LongBlockAboveTheBufferIsRefused) {
    std::vector<uint8_t> data(300, 0x11);
    EXPECT_EQ(UsbWriteBlock(0x3E, 264, data.data()), 1);
    EXPECT_EQ(UsbWriteBlock(0x3E, 265, data.data()), 0);
    EXPECT_EQ(UsbWriteBlock(0x3E, 0xFFFF, data.data()), 0);
    EXPECT_EQ(tb_log_count(), 1u) << "a refused block never reaches the wire";
}

TEST_F(DeviceCommands, J1850NodeCommands) {
    ASSERT_EQ(UsbWriteRegister(0x10, 0x33), 1);  // leaves 0x00 at byte 3
    ASSERT_EQ(UsbCommandU2(0x6A, 0x04), 1);
    ASSERT_EQ(UsbCommandV(0x02), 1);
    ASSERT_EQ(UsbWriteWake(), 1);
    auto log = LoggedPackets();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1], (Bytes{0x55, 0x02, 0x6A, 0x04}));
    EXPECT_EQ(log[2], (Bytes{0x56, 0x02, 0x00, 0x04})) << "'V' keeps the 'U' index at byte 3";
    EXPECT_EQ(log[3], (Bytes{0xAB, 0x00, 0x00, 0x04}));
}

TEST_F(DeviceCommands, ControlPacketsKeepEachOthersBytes) {
    uint8_t value = 0;
    tb_set_register(0x31, 0x80);
    ASSERT_EQ(UsbReadRegister(0x31, &value), 1);
    EXPECT_EQ(value, 0x80);
    ASSERT_EQ(UsbSendStop(), 1);
    ASSERT_EQ(UsbSendStart(0x83, EngineUart, 0x00), 1);
    ASSERT_EQ(UsbSendPoll(), 1);
    ASSERT_EQ(UsbSendStop(), 1);
    ASSERT_EQ(UsbSendStartJ1850(), 1);
    auto log = LoggedPackets();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0], (Bytes{0x50, 0x31, 0x04, 0x00}));
    EXPECT_EQ(log[1], (Bytes{0xB2, 0x31, 0x07, 0x00})) << "stop keeps bytes 1 and 3";
    EXPECT_EQ(log[2], (Bytes{0xB1, 0x83, 0x02, 0x00}));
    EXPECT_EQ(log[3], (Bytes{0xA0, 0x03, 0x04, 0x00})) << "poll clears bit 7 of byte 1";
    EXPECT_EQ(log[4], (Bytes{0xB2, 0x03, 0x07, 0x00}));
    EXPECT_EQ(log[5], (Bytes{0xB1, 0x03, 0x04, 0x00})) << "J1850 start leaves bytes 1 and 3";
}

TEST_F(DeviceCommands, ResetSequences) {
    // Byte 3 of 'R' is whatever g_RegPacket held before; pin it so the case does not depend
    // on the tests that ran earlier in this process.
    ASSERT_EQ(UsbCommandU2(0x00, 0x5C), 1);
    tb_log_clear();
    ASSERT_EQ(ChipResetSequence(), 1);
    ASSERT_EQ(ChipResetSequenceJ1850(), 1);
    auto log = LoggedPackets();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], (Bytes{0x52, 0x0D, 0x00, 0x5C}));
    EXPECT_EQ(log[1], (Bytes{0x52, 0x0E, 0x20, 0x5C}));
    EXPECT_EQ(log[2], (Bytes{0x52, 0x0E, 0x00, 0x5C}));
    EXPECT_EQ(log[3], (Bytes{0x52, 0x0D, 0x00, 0x5C}));
    EXPECT_EQ(log[4], (Bytes{0x52, 0x0E, 0x10, 0x5C}));
}

TEST_F(DeviceCommands, ResetSequenceStopsAtTheFailedWrite) {
    tb_fail_write(2);
    EXPECT_EQ(ChipResetSequence(), 0);
    EXPECT_EQ(tb_log_count(), 1u) << "nothing after the failed write";
    tb_log_clear();
    tb_fail_write(1);
    EXPECT_EQ(ChipResetSequenceJ1850(), 0);
    EXPECT_EQ(tb_log_count(), 0u);
}

TEST_F(DeviceCommands, RegisterReadFailures) {
    struct Case {
        const char* name;
        void (*inject)();
    };
    const Case cases[] = {
        {"write fails", [] { tb_fail_write(1); }},
        {"read fails", [] { tb_fail_next_read(); }},
        {"two-byte reply", [] { tb_short_next_reply(2); }},
        {"empty reply", [] { tb_short_next_reply(0); }},
    };
    for (const Case& c : cases) {
        messages_.Clear();
        tb_set_register(0x31, 0x80);
        c.inject();
        uint8_t value = 0x5C;
        EXPECT_EQ(UsbReadRegister(0x31, &value), 0) << c.name;
        EXPECT_EQ(value, 0x5C) << c.name << ": the out byte stays";
        ASSERT_EQ(messages_.Count(), 1u) << c.name;
        EXPECT_EQ(messages_.Messages()[0].text, "设备出现通信错误停止!");
        EXPECT_EQ(messages_.Messages()[0].icon, platform::MessageIcon::Exclamation);
        // Drain an answer the failed exchange may have left, so the next case starts clean.
        uint8_t drain[64];
        while (UsbReadPacket(0, sizeof drain, drain) >= 0) {
        }
    }
    uint8_t value = 0;
    tb_set_register(0x31, 0x7F);
    EXPECT_EQ(UsbReadRegister(0x31, &value), 1);
    EXPECT_EQ(value, 0x7F);
}

TEST_F(DeviceCommands, VersionRead) {
    tb_set_chip(0x41, 0x12);
    uint8_t id = 0, version = 0;
    ASSERT_EQ(UsbReadVersion(&id, &version), 1);
    EXPECT_EQ(id, 0x41);
    EXPECT_EQ(version, 0x12);
    EXPECT_EQ(LoggedPacket(0), (Bytes{0x00}));

    tb_short_next_reply(5);
    id = version = 0xEE;
    EXPECT_EQ(UsbReadVersion(&id, &version), 0) << "five bytes hold no version";
    EXPECT_EQ(id, 0xEE);
    tb_fail_next_read();
    EXPECT_EQ(UsbReadVersion(&id, &version), 0);
}

TEST_F(DeviceCommands, ReadFailureIsMinusOneEvenWithBytes) {
    uint8_t buffer[268];
    EXPECT_EQ(UsbReadPacket(10, sizeof buffer, buffer), -1) << "nothing waiting";
    ASSERT_EQ(UsbSendPoll(), 1);
    EXPECT_EQ(UsbReadPacket(1500, sizeof buffer, buffer), 4) << "idle reply";
}

TEST_F(DeviceCommands, BlockReadBoundedByBuffer) {
    uint8_t block[64];
    for (int i = 0; i < 64; ++i) block[i] = static_cast<uint8_t>(i);
    tb_set_block(0x00, block, 8);
    uint8_t out[268] = {};
    EXPECT_EQ(UsbReadBlock(0x00, 8, 64, out), 8);
    EXPECT_EQ(0, std::memcmp(out, block, 8));
    EXPECT_EQ(LoggedPacket(0), (Bytes{0x51, 0x00, 0x08, 0x00}));
}

TEST_F(DeviceCommands, WriteAfterClosingFails) {
    UsbClosePipes();
    EXPECT_EQ(UsbWriteRegister(0x0D, 0), 0);
    EXPECT_FALSE(UsbWritePipeOpen());
    UsbClosePipes();  // twice is harmless
}

class DeviceOpen : public testing::Test {
protected:
    void SetUp() override {
        tb_reset();
        ASSERT_EQ(UsbLoadLibrary(), 1);
    }
    void TearDown() override {
        UsbClosePipes();
        UsbFreeLibrary();
    }
};

TEST_F(DeviceOpen, ReadPipeFailureClosesBoth) {
    tb_fail_open(1);
    g_DeviceNumber = 0;
    EXPECT_EQ(UsbOpenPipes(), 0);
    EXPECT_FALSE(UsbWritePipeOpen());
    EXPECT_EQ(tb_open_pipes(), 0u) << "the write pipe that did open is closed again";
}

TEST_F(DeviceOpen, OpensTheChosenBoard) {
    tb_set_board_count(2);
    EXPECT_EQ(UsbGetDeviceCount(), 2u);
    g_DeviceNumber = 1;
    ASSERT_EQ(UsbOpenPipes(), 1);
    EXPECT_EQ(tb_last_open_index(), 1);
    EXPECT_EQ(tb_open_pipes(), 2u);
    g_DeviceNumber = 2;
    UsbClosePipes();
    EXPECT_EQ(UsbOpenPipes(), 0) << "index past the count";
    g_DeviceNumber = 0;
}

}  // namespace

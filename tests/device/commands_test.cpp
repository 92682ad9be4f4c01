#include <cstring>
#include <functional>

#include "BoardFixture.h"

namespace {

using DeviceCommands = BoardTest;

Bytes WithData(Bytes header, size_t n, uint8_t fill) {
    header.resize(header.size() + n, fill);
    return header;
}

// The packet buffers are never cleared, so each step's bytes depend on the steps before it:
// the first use of each buffer sets all four header bytes.
TEST_F(DeviceCommands, EveryCommandPutsItsBytesOnTheWire) {
    const std::vector<uint8_t> data(300, 0x5A);
    const uint8_t block[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    tb_set_register(0x31, 0x80);
    tb_set_block(0x07, block, sizeof block);
    uint8_t in[kPacketBufferSize];
    uint8_t id = 0, version = 0, value = 0;
    // calls: each write and read as "w<length>/<ms>" or "r<max>/<ms>"; a start drains the read pipe first.
    const struct { const char* what; std::function<bool()> send; std::vector<Bytes> wire; const char* calls; } steps[] = {
        {"W", [&] { return UsbWriteBlock(0x2A, 0x102, data.data()); }, {WithData({0x57, 0x2A, 0x02, 0x01}, 0x102, 0x5A)}, "w262/500"},
        {"R after a long W keeps its byte 3", [] { return UsbWriteRegister(0x42, 0x05); }, {{0x52, 0x42, 0x05, 0x01}}, "w4/500"},
        {"T", [&] { return UsbWriteBytes(0x2B, 3, block); }, {{0x54, 0x2B, 0x03, 0x00, 1, 2, 3}}, "w7/500"},
        {"T of nothing", [&] { return UsbWriteBytes(0x2C, 0, block); }, {{0x54, 0x2C, 0x00, 0x00}}, "w4/500"},
        {"U", [] { return UsbCommandU2(0x6A, 0x04); }, {{0x55, 0x02, 0x6A, 0x04}}, "w4/500"},
        {"V keeps the U index", [] { return UsbCommandV(0x02); }, {{0x56, 0x02, 0x00, 0x04}}, "w4/500"},
        {"wake", [] { return UsbWriteWake(); }, {{0xAB, 0x00, 0x00, 0x04}}, "w4/500"},
        {"reset", [] { return ChipResetSequence(); },
         {{0x52, 0x0D, 0x00, 0x04}, {0x52, 0x0E, 0x20, 0x04}, {0x52, 0x0E, 0x00, 0x04}}, "w4/500 w4/500 w4/500"},
        {"J1850 reset", [] { return ChipResetSequenceJ1850(); }, {{0x52, 0x0D, 0x00, 0x04}, {0x52, 0x0E, 0x10, 0x04}},
         "w4/500 w4/500"},
        {"264-byte W", [&] { return UsbWriteBlock(0x3E, 264, data.data()); }, {WithData({0x57, 0x3E, 0x08, 0x01}, 264, 0x5A)}, "w268/500"},
        // Refused before the packet buffer is touched: the header stays as 264 left it.
        {"265-byte W refused", [&] { return !UsbWriteBlock(0x3E, 265, data.data()) && g_RegPacket[2] == 0x08; }, {}, ""},
        {"0xFFFF-byte W refused", [&] { return !UsbWriteBlock(0x3E, 0xFFFF, data.data()) && g_RegPacket[2] == 0x08; }, {}, ""},
        {"P", [&] { return UsbReadRegister(0x31, &value) && value == 0x80; }, {{0x50, 0x31, 0x04, 0x00}}, "w4/500 r64/1500"},
        {"stop keeps bytes 1 and 3", [] { return UsbSendStop(); }, {{0xB2, 0x31, 0x07, 0x00}}, "w4/500"},
        {"start", [] { return UsbSendStart(0x83, EngineUart, 0x00); }, {{0xB1, 0x83, 0x02, 0x00}}, "r268/10 w4/500"},
        {"poll clears bit 7 of byte 1", [&] { return UsbSendPoll() && UsbReadPacket(1500, sizeof in, in) == 4; },
         {{0xA0, 0x03, 0x04, 0x00}}, "w4/500 r268/1500"},
        {"stop", [] { return UsbSendStop(); }, {{0xB2, 0x03, 0x07, 0x00}}, "w4/500"},
        {"J1850 start keeps bytes 1 and 3", [] { return UsbSendStartJ1850(); }, {{0xB1, 0x03, 0x04, 0x00}}, "r268/10 w4/500"},
        {"Q", [&] { return UsbReadBlock(0x07, 8, 64, in) == 8 && std::memcmp(in, block, 8) == 0; },
         {{0x51, 0x07, 0x08, 0x00}}, "w4/500 r64/1500"},
        // The J1850 read-back tells a request that never went out from a reply that never came.
        {"Q unwritten", [&] { tb_fail_write(1); return UsbReadBlock(0x07, 8, 64, in) == -2; }, {}, "w4/500"},
        {"Q unanswered", [&] { tb_fail_next_read(); return UsbReadBlock(0x07, 8, 64, in) == -1; },
         {{0x51, 0x07, 0x08, 0x00}}, "w4/500 r64/1500 r268/10"},
        {"version", [&] { return UsbReadVersion(&id, &version) && id == 0x41 && version == 0x12; }, {{0x00}}, "w1/500 r64/100"},
    };
    for (const auto& step : steps) {
        const unsigned before = tb_log_count(), callsBefore = tb_call_count();
        EXPECT_TRUE(step.send()) << step.what;
        EXPECT_EQ(LoggedPackets(before), step.wire) << step.what;
        EXPECT_EQ(LoggedCalls(callsBefore), step.calls) << step.what;
    }
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(DeviceCommands, FailedExchangesLeaveTheOutputsAlone) {
    const struct { const char* what; void (*inject)(); bool version; } cases[] = {
        {"write fails", [] { tb_fail_write(1); }, false},
        {"read fails", tb_fail_next_read, false},
        {"two-byte reply", [] { tb_short_next_reply(2); }, false},
        {"empty reply", [] { tb_short_next_reply(0); }, false},
        {"five-byte version reply", [] { tb_short_next_reply(5); }, true},
        {"version read fails", tb_fail_next_read, true},
    };
    tb_set_register(0x31, 0x7F);
    for (const auto& c : cases) {
        messages_.Clear();
        c.inject();
        uint8_t a = 0x5C, b = 0x5C;
        EXPECT_EQ(c.version ? UsbReadVersion(&a, &b) : UsbReadRegister(0x31, &a), 0) << c.what;
        EXPECT_TRUE(a == 0x5C && b == 0x5C) << c.what;
        ASSERT_EQ(messages_.Count(), c.version ? 0u : 1u) << c.what;
        if (!c.version) {
            EXPECT_EQ(messages_.Messages()[0].text, "设备出现通信错误停止!");
            EXPECT_EQ(messages_.Messages()[0].icon, platform::MessageIcon::Exclamation);
        }
    }
    uint8_t value = 0, buffer[8];
    EXPECT_EQ(UsbReadPacket(10, sizeof buffer, buffer), -1) << "no reply left behind";
    EXPECT_TRUE(UsbReadRegister(0x31, &value) && value == 0x7F) << "still in step";
}

TEST_F(DeviceCommands, ResetSequenceStopsAtTheFailedWrite) {
    const struct { int (*reset)(); unsigned failing, logged; } cases[] = {
        {ChipResetSequence, 1, 0}, {ChipResetSequence, 2, 1}, {ChipResetSequence, 3, 2},
        {ChipResetSequenceJ1850, 1, 0}, {ChipResetSequenceJ1850, 2, 1},
    };
    for (const auto& c : cases) {
        tb_log_clear();
        tb_fail_write(c.failing);
        EXPECT_EQ(c.reset(), 0) << c.failing;
        EXPECT_EQ(tb_log_count(), c.logged) << "nothing after failed write " << c.failing;
    }
}

TEST_F(DeviceCommands, PipesOpenOnTheChosenBoardOrNotAtAll) {
    const struct { const char* what; unsigned boards; uint16_t index; int refused; bool opens; } cases[] = {
        {"second of two", 2, 1, -1, true},
        {"index past the count", 2, 2, -1, false},
        {"read pipe refused after the write pipe opened", 1, 0, 1, false},
        {"write pipe refused", 1, 0, 0, false},
    };
    for (const auto& c : cases) {
        UsbClosePipes();
        tb_reset();
        tb_set_board_count(c.boards);
        if (c.refused >= 0) tb_fail_open(c.refused);
        g_DeviceNumber = c.index;
        EXPECT_EQ(UsbOpenPipes(), c.opens ? 1 : 0) << c.what;
        EXPECT_EQ(UsbWritePipeOpen(), c.opens) << c.what;
        EXPECT_EQ(tb_open_pipes(), c.opens ? 2u : 0u) << c.what << ": a pipe that opened is closed again";
        if (c.opens) { EXPECT_EQ(tb_last_open_index(), c.index) << c.what; }
    }
    g_DeviceNumber = 0;
    UsbClosePipes();
    UsbClosePipes();
    EXPECT_EQ(UsbWriteRegister(0x0D, 0), 0) << "written after close";
}

}  // namespace

#pragma once
// A connected simulated board: the device layer loads it as its USB library.
#include <gtest/gtest.h>

#include <vector>

#include "device/UsbOperation.h"
#include "platform/Message.h"
#include "testboard/testboard.h"

using Bytes = std::vector<uint8_t>;

inline Bytes LoggedPacket(unsigned index) {
    uint8_t buffer[512];
    uint32_t time = 0;
    unsigned n = tb_log_packet(index, buffer, sizeof buffer, &time);
    return Bytes(buffer, buffer + n);
}

inline std::vector<Bytes> LoggedPackets() {
    std::vector<Bytes> all;
    for (unsigned i = 0; i < tb_log_count(); ++i) all.push_back(LoggedPacket(i));
    return all;
}

class BoardTest : public testing::Test {
protected:
    void SetUp() override {
        tb_reset();
        ASSERT_EQ(UsbLoadLibrary(), 1);
        g_DeviceNumber = 0;
        ASSERT_EQ(UsbOpenPipes(), 1);
        g_DeviceOpen = 1;
        tb_log_clear();
    }
    void TearDown() override {
        g_DeviceOpen = 0;
        UsbClosePipes();
        UsbFreeLibrary();
    }
    platform::RecordingMessageSink messages_;
};

#pragma once
// A connected simulated board: the device layer loads it as its USB library.
#include <gtest/gtest.h>

#include "device/UsbOperation.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/BoardLog.h"

class BoardTest : public testing::Test {
protected:
    void SetUp() override {
        tb_reset();
        ASSERT_EQ(UsbLoadLibrary(), 1);
        g_DeviceNumber = 0;
        ASSERT_EQ(UsbOpenPipes(), 1);
        tb_log_clear();
    }
    void TearDown() override { UsbFreeLibrary(); }
    platform::RecordingMessageSink messages_;
};

#pragma once
// A connected simulated board: the device layer loads it as its USB library.
#include <gtest/gtest.h>

#include "device/UsbOperation.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/SimulatedBoard.h"

class BoardTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenSimulatedBoard());
        tb_log_clear();
    }
    void TearDown() override {
        g_DeviceOpen = 0;
        UsbFreeLibrary();
    }
    platform::RecordingMessageSink messages_;
};

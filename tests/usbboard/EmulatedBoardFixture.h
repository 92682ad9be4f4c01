#pragma once
// The device-layer fixture of tests/device/BoardFixture.h on the real USB library: the
// process's board model behind an emulated USB board, the library loaded from its build
// folder, board 0 opened.
#include <gtest/gtest.h>

#include <memory>

#include "device/UsbOperation.h"
#include "platform/Message.h"
#include "testboard/Board.h"
#include "testboard/testboard.h"
#include "testboard/usb/EmulatedUsbBus.h"
#include "tests/support/BoardLog.h"

class BoardTest : public testing::Test {
protected:
    void SetUp() override {
        tb_reset();
        bus_ = std::make_unique<testboard::EmulatedUsbBus>();
        bus_->Plug(testboard::TheBoard());
        ASSERT_EQ(UsbLoadLibraryFrom(VR_MPUSBAPI_PATH), 1);
        g_DeviceNumber = 0;
        ASSERT_EQ(UsbOpenPipes(), 1);
        g_DeviceOpen = 1;
        tb_log_clear();
    }
    void TearDown() override {
        g_DeviceOpen = 0;
        UsbFreeLibrary();  // its pipes and libusb end before the bus goes
        bus_.reset();
    }
    std::unique_ptr<testboard::EmulatedUsbBus> bus_;
    platform::RecordingMessageSink messages_;
};

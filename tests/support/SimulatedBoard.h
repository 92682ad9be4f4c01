#pragma once
// Board 0 of a freshly reset simulated board, loaded as the USB library and opened.
#include <gtest/gtest.h>

#include "device/UsbOperation.h"
#include "tests/support/BoardLog.h"

inline void OpenSimulatedBoard() {
    tb_reset();
    ASSERT_EQ(UsbLoadLibrary(), 1);
    g_DeviceNumber = 0;
    ASSERT_EQ(UsbOpenPipes(), 1);
    g_DeviceOpen = 1;
}

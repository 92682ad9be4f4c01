#pragma once
// The simulated board opened for a CAN worker test, with the hand-over flags and the ring
// cleared, and every worker stopped afterwards.
#include <gtest/gtest.h>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/can/CanWorker.h"
#include "testboard/testboard.h"
#include "tests/support/FlagNotingSink.h"
#include "tests/support/SimulatedBoard.h"

class CanBoardFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenSimulatedBoard());
        g_TxPending = 0;
        g_MultiFrameRequest = 0;
        ResetMonitorRing();
    }
    void TearDown() override {
        tb_set_responder(nullptr, nullptr);
        g_WorkerThread.Stop();
        g_TxPending = 0;
        g_MultiFrameRequest = 0;
        g_DeviceOpen = 0;
        UsbClosePipes();
    }

    FlagNotingSink messages;
};

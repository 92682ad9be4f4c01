#pragma once
// Worker tests on the simulated board: a fixture that opens it and ends any worker, and the
// check of one exit (message, flag clear before it, stop packet last).
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <tuple>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/shared/BusWorker.h"
#include "tests/support/BoardLog.h"
#include "tests/support/FlagNotingSink.h"
#include "tests/support/SimulatedBoard.h"

// A worker's exit after the packet triggerAt: message number before + 1 with its text, the
// flag already clear when it came, the stop packet last, and the thread ended.
inline void ExpectWorkerExit(FlagNotingSink& messages, size_t before, const std::string& text,
                             unsigned triggerAt) {
    ASSERT_TRUE(messages.WaitForCount(before + 1, std::chrono::seconds(5)));
    EXPECT_EQ(messages.Texts()[before], text);
    EXPECT_EQ(messages.FlagAt(before), 0u) << "flag must be clear before the message";
    const int stop = WaitForPacket(IsStop, triggerAt);
    ASSERT_GE(stop, 0);
    g_WorkerThread.JoinEnded();
    EXPECT_FALSE(g_WorkerThread.HasThread());
    EXPECT_EQ(static_cast<unsigned>(stop) + 1, tb_log_count()) << "stop is the last packet";
}

// Starts a session, lets it poll, pulls the trigger and checks the exit that follows; no Stop
// after it (the next Start must work at once), the board's fault cleared.
inline void ExpectExitAfter(FlagNotingSink& messages, const std::function<bool()>& start,
                            const std::function<void()>& trigger, const std::string& text) {
    const size_t before = messages.Count();
    ASSERT_TRUE(start());
    ASSERT_GE(WaitForPolls(1, static_cast<int>(tb_log_count())), 0);
    const unsigned triggerAt = tb_log_count();
    trigger();
    ASSERT_NO_FATAL_FAILURE(ExpectWorkerExit(messages, before, text, triggerAt));
    tb_set_fault(0);
}

// A record as direction, kind, length word and its first data bytes, to check in one line.
using Filed = std::tuple<int, int, unsigned, Bytes>;
inline Filed FiledRecord(uint32_t index, size_t bytes) {
    const MonitorRecord r = CopyMonitorRecord(index);
    return {r.direction, r.kind, r.lengthWord, Bytes(r.data, r.data + bytes)};
}

// Board 0 of a freshly reset simulated board, opened, an empty ring; on tear-down the
// responder goes, any worker ends and the pipes close.
class WorkerBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenSimulatedBoard());
        g_TxPending = 0;
        ResetMonitorRing();
    }
    void TearDown() override {
        tb_set_responder(nullptr, nullptr);
        g_WorkerThread.Stop();
        g_TxPending = 0;
        g_DeviceOpen = 0;
        UsbClosePipes();
    }

    FlagNotingSink messages_;
};

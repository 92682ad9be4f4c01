#pragma once
// The simulated board opened through the device layer, and a message sink that also notes
// whether a worker was still flagged running at each message.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/kline/SerialWorker.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/BoardLog.h"

// Every message, and the worker flag as it was when the message came.
class FlagNotingSink : public platform::MessageSink {
public:
    struct Entry {
        platform::Message message;
        uint32_t workerRunning;
    };
    FlagNotingSink() : previous_(platform::GetMessageSink()) { platform::SetMessageSink(this); }
    ~FlagNotingSink() override { platform::SetMessageSink(previous_); }
    void Show(const platform::Message& message) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            entries_.push_back(Entry{message, g_WorkerRunning.load()});
        }
        changed_.notify_all();
    }
    bool WaitForCount(size_t n, unsigned timeoutMs = 5000) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [&] { return entries_.size() >= n; });
    }
    std::vector<Entry> Entries() {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Entry> entries_;
    platform::MessageSink* previous_;
};

// Opens board 0 of a freshly reset simulated board; ends any worker and closes on tear-down.
class SimulatedBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        tb_reset();
        ASSERT_EQ(UsbLoadLibrary(), 1);
        g_DeviceNumber = 0;
        ASSERT_EQ(UsbOpenPipes(), 1);
        g_DeviceOpen = 1;
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

#pragma once
// The simulated board opened through the device layer, the packet log as byte vectors, and a
// message sink that also notes whether a worker was still flagged running at each message.
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

using Bytes = std::vector<uint8_t>;

inline Bytes LoggedPacket(unsigned index) {
    uint8_t buffer[300];
    const unsigned length = tb_log_packet(index, buffer, sizeof buffer, nullptr);
    return Bytes(buffer, buffer + length);
}

inline std::vector<Bytes> LoggedPackets(unsigned from = 0) {
    std::vector<Bytes> packets;
    const unsigned count = tb_log_count();
    for (unsigned i = from; i < count; ++i)
        packets.push_back(LoggedPacket(i));
    return packets;
}

inline bool IsPoll(const Bytes& p) { return p.size() == 4 && p[0] == 0xA0 && p[2] == 0x04; }
inline bool IsStop(const Bytes& p) { return p.size() == 4 && p[0] == 0xB2 && p[2] == 0x07; }
inline bool IsRead31(const Bytes& p) { return p == Bytes{0x50, 0x31, 0x04, 0x00}; }
inline bool IsEngineFrame(const Bytes& p) { return p.size() >= 6 && p[0] == 0x57 && p[1] == 0x3F; }

// Index of the first logged packet at or after from that matches, waiting for new packets up
// to the deadline; -1 when none came.
inline int WaitForPacket(const std::function<bool(const Bytes&)>& match, unsigned from = 0,
                         unsigned timeoutMs = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    unsigned next = from;
    for (;;) {
        const unsigned count = tb_log_count();
        for (; next < count; ++next)
            if (match(LoggedPacket(next)))
                return static_cast<int>(next);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !tb_wait_log_count(count + 1, static_cast<unsigned>(left.count())))
            return -1;
    }
}

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

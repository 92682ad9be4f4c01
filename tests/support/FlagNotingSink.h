#pragma once
// Records every message with the worker flag as it was when the message came, so a test can
// check that a worker cleared g_WorkerRunning before it said why it ended.
#include <cstdint>
#include <mutex>
#include <vector>

#include "device/UsbOperation.h"
#include "platform/Message.h"

class FlagNotingSink : public platform::RecordingMessageSink {
public:
    void Show(const platform::Message& message) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            flags_.push_back(g_WorkerRunning.load());
        }
        RecordingMessageSink::Show(message);
    }
    uint32_t FlagAt(size_t i) {
        std::lock_guard<std::mutex> lock(mutex_);
        return flags_.at(i);
    }

private:
    std::mutex mutex_;
    std::vector<uint32_t> flags_;
};

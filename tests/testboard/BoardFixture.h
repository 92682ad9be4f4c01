#pragma once
// A fresh board with both pipes of board 0 open, and exchanges in the host's terms.
#include <gtest/gtest.h>

#include <optional>

#include "mpusbapi/mpusbapi.h"
#include "tests/support/BoardLog.h"

inline const char* const kSelector = "vid_04d8&pid_000c";
inline const char* const kEndpoint = "\\MCHP_EP1";
inline const Bytes kPoll = {0xA0, 0x00, 0x04, 0x00};
inline const Bytes kIdle = {0x00, 0x00, 0x00, 0x00};

class BoardFixture : public ::testing::Test {
protected:
    void SetUp() override {
        tb_reset();
        OpenPipes();
    }
    void TearDown() override {
        _MPUSBClose(writePipe_);
        _MPUSBClose(readPipe_);
        tb_reset();
    }
    void OpenPipes() {
        writePipe_ = _MPUSBOpen(0, kSelector, kEndpoint, 0, 0);
        readPipe_ = _MPUSBOpen(0, kSelector, kEndpoint, 1, 0);
        ASSERT_TRUE(writePipe_ != MPUSB_INVALID_HANDLE && readPipe_ != MPUSB_INVALID_HANDLE);
    }
    bool Write(const Bytes& packet) {
        uint32_t sent = 0xFFFFFFFF;
        const uint32_t ok = _MPUSBWrite(writePipe_, packet.data(), uint32_t(packet.size()), &sent, 500);
        EXPECT_EQ(sent, ok ? packet.size() : 0u);
        return ok != 0;
    }
    // The reply, or nothing when the read failed; the board must stay inside maxLength.
    std::optional<Bytes> Read(uint32_t maxLength = 268, uint32_t timeoutMs = 1500) {
        Bytes buffer(maxLength + 1, 0xEE);
        uint32_t received = 0xFFFFFFFF;
        const bool ok = _MPUSBRead(readPipe_, buffer.data(), maxLength, &received, timeoutMs);
        EXPECT_TRUE(ok ? received <= maxLength && buffer[received] == 0xEE : received == 0)
            << "read " << ok << ", received " << received;
        if (!ok) return std::nullopt;
        buffer.resize(received);
        return buffer;
    }
    std::optional<Bytes> Exchange(const Bytes& packet, uint32_t maxLength = 268) {
        return Write(packet) ? Read(maxLength) : std::nullopt;
    }

    void* writePipe_ = MPUSB_INVALID_HANDLE;
    void* readPipe_ = MPUSB_INVALID_HANDLE;
};

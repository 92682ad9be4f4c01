#pragma once
// A fresh board with both pipes of board 0 open, and exchanges in the host's terms.
#include <gtest/gtest.h>

#include <optional>

#include "mpusbapi/mpusbapi.h"
#include "tests/support/BoardLog.h"

inline const Bytes kPoll = {0xA0, 0x00, 0x04, 0x00};
inline const Bytes kIdle = {0x00, 0x00, 0x00, 0x00};

class TestBoard : public ::testing::Test {
protected:
    void SetUp() override { tb_reset(); OpenPipes(); }
    void TearDown() override { tb_reset(); }
    void OpenPipes() {
        write_ = _MPUSBOpen(0, "vid_04d8&pid_000c", "\\MCHP_EP1", 0, 0);
        read_ = _MPUSBOpen(0, "vid_04d8&pid_000c", "\\MCHP_EP1", 1, 0);
        ASSERT_TRUE(write_ != MPUSB_INVALID_HANDLE && read_ != MPUSB_INVALID_HANDLE);
    }
    bool Write(const Bytes& packet) {
        uint32_t sent = 0xFFFFFFFF;
        const bool ok = _MPUSBWrite(write_, packet.data(), uint32_t(packet.size()), &sent, 500);
        EXPECT_EQ(sent, ok ? packet.size() : 0u);
        return ok;
    }
    // The reply, or nothing when the read failed; the board must stay inside maxLength. A
    // failed read counts only the part of a split reply that came.
    std::optional<Bytes> Read(uint32_t maxLength = 268, uint32_t timeoutMs = 1500) {
        Bytes buffer(maxLength + 1, 0xEE);
        uint32_t received = 0xFFFFFFFF;
        const bool ok = _MPUSBRead(read_, buffer.data(), maxLength, &received, timeoutMs);
        EXPECT_TRUE(received <= maxLength && buffer[received] == 0xEE) << received;
        lastReceived_ = received;
        buffer.resize(received);
        return ok ? std::optional<Bytes>(buffer) : std::nullopt;
    }
    std::optional<Bytes> Exchange(const Bytes& packet, uint32_t maxLength = 268) {
        return Write(packet) ? Read(maxLength) : std::nullopt;
    }

    uint32_t lastReceived_ = 0;
    void* write_ = MPUSB_INVALID_HANDLE;
    void* read_ = MPUSB_INVALID_HANDLE;
};

#pragma once
// A fresh board with both pipes of board 0 open, and exchanges in the host's terms.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "testboard/testboard.h"
#include "tests/testboard/UsbEntryPoints.h"

using Bytes = std::vector<uint8_t>;

inline const char* const kSelector = "vid_04d8&pid_000c";
inline const char* const kEndpoint = "\\MCHP_EP1";
inline void* const kInvalid = reinterpret_cast<void*>(~uintptr_t{0});

class BoardFixture : public ::testing::Test {
protected:
    void SetUp() override {
        tb_reset();
        writePipe_ = _MPUSBOpen(0, kSelector, kEndpoint, 0, 0);
        readPipe_ = _MPUSBOpen(0, kSelector, kEndpoint, 1, 0);
        ASSERT_NE(writePipe_, kInvalid);
        ASSERT_NE(readPipe_, kInvalid);
    }
    void TearDown() override {
        _MPUSBClose(writePipe_);
        _MPUSBClose(readPipe_);
        tb_reset();
    }

    bool Write(const Bytes& packet) {
        uint32_t sent = 0xFFFFFFFF;
        uint32_t ok = _MPUSBWrite(writePipe_, packet.data(), static_cast<uint32_t>(packet.size()),
                                  &sent, 500);
        EXPECT_EQ(sent, ok ? packet.size() : 0u);
        return ok != 0;
    }
    // The reply, or nothing when the read failed.
    std::optional<Bytes> Read(uint32_t maxLength = 268, uint32_t timeoutMs = 1500) {
        Bytes buffer(maxLength + 1, 0xEE);
        uint32_t received = 0xFFFFFFFF;
        if (!_MPUSBRead(readPipe_, buffer.data(), maxLength, &received, timeoutMs)) {
            EXPECT_EQ(received, 0u);
            return std::nullopt;
        }
        EXPECT_LE(received, maxLength);
        EXPECT_EQ(buffer[received], 0xEE) << "wrote past the received count";
        buffer.resize(received);
        return buffer;
    }
    std::optional<Bytes> Exchange(const Bytes& packet, uint32_t maxLength = 268) {
        if (!Write(packet)) return std::nullopt;
        return Read(maxLength);
    }
    static Bytes Logged(unsigned index) {
        Bytes out(300);
        out.resize(tb_log_packet(index, out.data(), static_cast<unsigned>(out.size()), nullptr));
        return out;
    }

    void* writePipe_ = kInvalid;
    void* readPipe_ = kInvalid;
};

// The UI thread's register reads and the worker's polls share one pipe pair: each exchange
// must get its own reply.
#include <atomic>
#include <thread>
#include <vector>

#include "BoardFixture.h"

namespace {

using DeviceThreads = BoardTest;

TEST_F(DeviceThreads, RegisterReadsAndPollsKeepTheirOwnReplies) {
    tb_set_read_latency(0);  // as many exchanges as the threads can make
    tb_set_register(0x31, 0x5A);
    const uint8_t idle[4] = {0xC3, 0x00, 0x00, 0x00};  // unlike any register reply
    tb_set_idle_reply(idle, sizeof idle);
    constexpr int kRounds = 10000;  // enough for the gap between a write and its read to be hit
    std::atomic<int> wrongRegister{0}, wrongPoll{0};
    std::thread ui([&] {
        for (int i = 0; i < kRounds; ++i) {
            uint8_t value = 0;
            wrongRegister += !UsbReadRegister(0x31, &value) || value != 0x5A;
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        uint8_t reply[kPacketBufferSize];
        int received = -1;
        {
            auto lock = LockDevice();
            if (UsbSendPoll()) received = UsbReadPacket(1500, kPacketBufferSize, reply);
        }
        wrongPoll += received != 4 || reply[0] != 0xC3;
    }
    ui.join();
    EXPECT_EQ(wrongRegister.load(), 0);
    EXPECT_EQ(wrongPoll.load(), 0);
    EXPECT_EQ(messages_.Count(), 0u);
}

// A register read that fails on every pass, from several threads at once, shows one box while
// that box is up; once it is answered the next failure shows again.
TEST_F(DeviceThreads, FailingRegisterReadsShowOneBoxWhileItIsUp) {
    tb_set_responder([](void*, const uint8_t* packet, unsigned) { if (packet[0] == 0x50) tb_short_next_reply(2); },
                     nullptr);
    tb_set_read_latency(0);
    messages_.HoldBoxes(true);
    std::atomic<int> failed{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                uint8_t value = 0;
                failed += !UsbReadRegister(0x31, &value);
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(failed.load(), 2000);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"设备出现通信错误停止!"});
    messages_.CloseBoxes();
    uint8_t value = 0;
    EXPECT_EQ(UsbReadRegister(0x31, &value), 0);
    EXPECT_EQ(messages_.Count(), 2u);
    tb_set_responder(nullptr, nullptr);
}

}  // namespace

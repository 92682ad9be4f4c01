// The UI thread's register reads and the worker's polls share one pipe pair: each exchange
// must get its own reply.
#include <atomic>
#include <thread>

#include "BoardFixture.h"
#include "device/DeviceReply.h"

namespace {

using DeviceThreads = BoardTest;

TEST_F(DeviceThreads, RegisterReadsAndPollsKeepTheirOwnReplies) {
    tb_set_register(0x31, 0x5A);
    // Polls answer with a 4-byte idle reply whose status byte differs from any register value.
    const uint8_t idle[4] = {0xC3, 0x00, 0x00, 0x00};
    tb_set_idle_reply(idle, sizeof idle);

    constexpr int kRounds = 2000;
    std::atomic<int> wrongRegister{0}, wrongPoll{0};

    std::thread ui([&] {
        for (int i = 0; i < kRounds; ++i) {
            uint8_t value = 0;
            if (!UsbReadRegister(0x31, &value) || value != 0x5A) ++wrongRegister;
        }
    });
    std::thread worker([&] {
        for (int i = 0; i < kRounds; ++i) {
            uint8_t reply[kPacketBufferSize];
            int received = -1;
            {
                auto lock = LockDevice();
                if (UsbSendPoll()) received = UsbReadPacket(1500, kPacketBufferSize, reply);
            }
            if (received != 4 || reply[0] != 0xC3) ++wrongPoll;
        }
    });
    ui.join();
    worker.join();
    EXPECT_EQ(wrongRegister.load(), 0);
    EXPECT_EQ(wrongPoll.load(), 0);
    EXPECT_EQ(messages_.Count(), 0u);
}

}  // namespace

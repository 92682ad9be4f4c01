// The board shared by the program's UI thread, its worker and the test playing the peer.
#include <atomic>
#include <thread>

#include "tests/testboard/BoardFixture.h"

namespace {

TEST_F(TestBoard, WritersWithoutRepliesNeverDisturbAnExchangeInProgress) {
    constexpr unsigned kRounds = 2000;
    std::thread registers([&] {
        for (unsigned i = 0; i < kRounds; ++i) {
            const uint8_t packet[] = {0x52, uint8_t(i % 16), uint8_t(i), 0x00};
            uint32_t sent;
            ASSERT_TRUE(_MPUSBWrite(write_, packet, sizeof packet, &sent, 500));
        }
    });
    std::thread control([&] { EXPECT_EQ(tb_wait_log_count(2 * kRounds, 60000), 1); });
    unsigned good = 0;
    for (unsigned i = 0; i < kRounds; ++i) {
        auto reply = Exchange({0x00}, 64);
        good += reply && reply->size() == 64 && (*reply)[4] == 0x41 && (*reply)[5] == 0x12;
    }
    registers.join();
    control.join();
    EXPECT_EQ(good, kRounds);
    for (unsigned reg = 0; reg < 16; ++reg)  // the last write to r was round kRounds - 16 + r
        EXPECT_EQ(tb_get_register(uint8_t(reg)), uint8_t(kRounds - 16 + reg)) << reg;
}

std::atomic<unsigned> peerCalls{0};

// Set-up calls from inside the responder must not wait for the responder itself.
void Peer(void*, const uint8_t*, unsigned) {
    peerCalls.fetch_add(1);
    const uint8_t reply[] = {0x00, 0x10, 0x01, 0x00, 0x55};
    tb_queue_reply(reply, sizeof reply);
    tb_set_responder(&Peer, nullptr);
}

TEST_F(TestBoard, ResponderRemovedOnOneThreadIsNeverCalledAfterwards) {
    tb_set_responder(&Peer, nullptr);
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        const uint8_t start[] = {0xB1, 0xC1, 0x02, 0x00};
        for (uint32_t sent; !stop.load();) _MPUSBWrite(write_, start, sizeof start, &sent, 500);
    });
    ASSERT_EQ(tb_wait_log_count(50, 60000), 1);
    tb_set_responder(nullptr, nullptr);
    const unsigned callsAtRemoval = peerCalls.load();
    ASSERT_EQ(tb_wait_log_count(tb_log_count() + 50, 60000), 1);
    stop.store(true);
    worker.join();
    EXPECT_GT(callsAtRemoval, 0u);
    EXPECT_EQ(peerCalls.load(), callsAtRemoval);
}

}  // namespace

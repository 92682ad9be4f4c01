// The responder shared by the program's worker and the test playing the peer.
#include <atomic>
#include <thread>

#include "tests/testboard/BoardFixture.h"

namespace {

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

// The board shared by the program's UI thread, its worker and the test playing the peer.
#include <atomic>
#include <thread>

#include "tests/testboard/BoardFixture.h"

namespace {

using ThreadedBoardTest = BoardFixture;

TEST_F(ThreadedBoardTest, WritersWithoutRepliesNeverDisturbAnExchangeInProgress) {
    constexpr unsigned kRounds = 2000;
    // One thread writes registers (no reply) while the other runs version exchanges on the
    // same pipes and a third queues and drops replies: every read must be its own reply.
    std::thread registers([&] {
        for (unsigned i = 0; i < kRounds; ++i) {
            const uint8_t packet[] = {0x52, uint8_t(i % 16), uint8_t(i), 0x00};
            uint32_t sent;
            ASSERT_TRUE(_MPUSBWrite(writePipe_, packet, sizeof packet, &sent, 500));
        }
    });
    std::thread control([&] {
        for (unsigned i = 0; i < kRounds; ++i) {
            (void)tb_log_count();
            (void)tb_get_register(uint8_t(i % 16));
            (void)tb_open_pipes();
        }
    });
    unsigned good = 0;
    for (unsigned i = 0; i < kRounds; ++i) {
        auto reply = Exchange({0x00}, 64);
        if (reply && reply->size() == 64 && (*reply)[4] == 0x41 && (*reply)[5] == 0x12) ++good;
    }
    registers.join();
    control.join();

    EXPECT_EQ(good, kRounds);
    EXPECT_EQ(tb_log_count(), 2 * kRounds);
    for (unsigned reg = 0; reg < 16; ++reg) {
        // The last write to register r was round kRounds - 16 + r.
        EXPECT_EQ(tb_get_register(uint8_t(reg)), uint8_t(kRounds - 16 + reg)) << reg;
    }
}

TEST_F(ThreadedBoardTest, DelayedReadReturnsAReplyThatArrivesWhileItWaits) {
    tb_delay_next_read(60000);
    std::thread host([&] {
        // The write below lands before this read starts or while it waits: either way the
        // read returns that reply instead of failing at once.
        auto reply = Read(64, 60000);
        ASSERT_TRUE(reply);
        EXPECT_EQ((*reply)[4], 0x41);
    });
    ASSERT_TRUE(Write({0x00}));
    host.join();
}

TEST_F(ThreadedBoardTest, WaitForLogCountWakesWhenAnotherThreadWrites) {
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(Write({0xA0, 0x00, 0x04, 0x00}));
    });
    EXPECT_EQ(tb_wait_log_count(3, 60000), 1);
    worker.join();
    EXPECT_EQ(tb_log_count(), 3u);
}

struct Peer {
    std::atomic<unsigned> calls{0};
    static void Answer(void* context, const uint8_t* packet, unsigned length) {
        auto* self = static_cast<Peer*>(context);
        self->calls.fetch_add(1);
        // Set-up calls from inside the responder must not wait for the responder itself.
        if (length >= 1 && packet[0] == 0xB1) {
            const uint8_t reply[] = {0x00, 0x10, 0x01, 0x00, 0x55};
            tb_queue_reply(reply, sizeof reply);
            tb_set_responder(&Peer::Answer, self);
        }
    }
};

TEST_F(ThreadedBoardTest, ResponderRemovedOnOneThreadIsNeverCalledAfterwards) {
    Peer peer;
    tb_set_responder(&Peer::Answer, &peer);
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        while (!stop.load()) {
            const uint8_t start[] = {0xB1, 0xC1, 0x02, 0x00};
            uint32_t sent;
            _MPUSBWrite(writePipe_, start, sizeof start, &sent, 500);
        }
    });
    ASSERT_EQ(tb_wait_log_count(50, 60000), 1);
    tb_set_responder(nullptr, nullptr);
    const unsigned callsAtRemoval = peer.calls.load();
    ASSERT_EQ(tb_wait_log_count(tb_log_count() + 50, 60000), 1);
    stop.store(true);
    worker.join();
    EXPECT_EQ(peer.calls.load(), callsAtRemoval);
    EXPECT_GE(tb_queued_replies(), 50u);
}

}  // namespace

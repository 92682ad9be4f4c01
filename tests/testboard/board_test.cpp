#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

#include "tests/testboard/BoardFixture.h"

using ::testing::ElementsAreArray;

namespace {

using ReplyTest = BoardFixture;

TEST_F(ReplyTest, ReadCommandsAnswerFromWhatWasWrittenAndBusyReads) {
    tb_set_chip(0x55, 0x01);
    tb_set_register(0x31, 0x05);
    tb_set_busy_reads(2);
    ASSERT_TRUE(Write({0x52, 0x0E, 0x20, 0xC3}));  // byte 3 is noise from the host's buffer
    Bytes w = {0x57, 0x05, 0x00, 0x01};            // 256 bytes: the length needs byte 3
    for (unsigned i = 0; i < 256; ++i) w.push_back(uint8_t(255 - i));
    ASSERT_TRUE(Write(w));
    ASSERT_TRUE(Write({0x54, 0x2A, 0x06, 0x00, 0x11, 0x22}));  // 6 announced, 2 arrived

    struct Case { Bytes request; size_t size, at; Bytes expected; } cases[] = {
        {{0x00}, 64, 4, {0x55, 0x01}},
        {{0x50, 0x0E, 0x04, 0x00}, 64, 2, {0x20}},  // does not use up the busy reads
        {{0x50, 0x31, 0x04, 0x00}, 64, 2, {0x85}},
        {{0x50, 0x31, 0x04, 0x00}, 64, 2, {0x85}},
        {{0x50, 0x31, 0x04, 0x00}, 64, 2, {0x05}},
        {{0x51, 0x05, 0x00, 0x01}, 256, 0, Bytes(w.begin() + 4, w.end())},
        {{0x51, 0x2A, 0x05, 0x00}, 5, 0, {0x11, 0x22, 0, 0, 0}},  // zeros past the store
    };
    for (const auto& c : cases) {
        auto reply = Exchange(c.request, 256);
        ASSERT_TRUE(reply && reply->size() == c.size) << int(c.request[0]);
        EXPECT_EQ(Bytes(reply->begin() + c.at, reply->begin() + c.at + c.expected.size()), c.expected);
    }
    EXPECT_EQ(tb_get_register(0x0E), 0x20);
    EXPECT_EQ(tb_get_register(0x31), 0x05) << "the busy bit is not stored";
    uint8_t stored[8];
    ASSERT_EQ(tb_get_block(0x2A, stored, sizeof stored), 2u);
    EXPECT_EQ(stored[1], 0x22);
}

TEST_F(ReplyTest, PollsTakeQueuedRepliesInOrderWithTransmitDoneAndFaultBits) {
    tb_set_read_latency(1);  // a latency delays answers but never invents one
    const Bytes first = {0x00, 0x10, 0x01, 0x00, 0x55}, second(4 + 2 * 16, 0x20);
    tb_queue_reply(first.data(), unsigned(first.size()));
    tb_queue_reply(second.data(), unsigned(second.size()));
    EXPECT_EQ(tb_queued_replies(), 2u);
    EXPECT_EQ(Exchange(kPoll), first);
    EXPECT_EQ(Exchange(kPoll), second);
    EXPECT_EQ(Exchange(kPoll), kIdle);
    const Bytes idle = {0x7E, 0x00, 0x00, 0x00, 0x99};
    tb_set_idle_reply(idle.data(), unsigned(idle.size()));

    Bytes frame = {0xA0, 0x82, 0x10, 0x00};
    frame.resize(20, 0x2C);
    struct Case { bool fault, queue, frame; uint8_t byte1; } cases[] = {
        {false, false, false, 0x00}, {false, false, true, 0x80}, {false, true, false, 0x10},
        {false, true, true, 0x90},   {true, false, false, 0x08}, {true, false, true, 0x88},
        {true, true, false, 0x18},   {true, true, true, 0x98}};
    for (const auto& c : cases) {
        tb_set_fault(c.fault);
        if (c.queue) tb_queue_reply(first.data(), unsigned(first.size()));
        Bytes expected = c.queue ? first : c.frame ? kIdle : idle;
        expected[1] = c.byte1;
        EXPECT_EQ(Exchange(c.frame ? frame : kPoll), expected)
            << "fault " << c.fault << " queued " << c.queue << " frame " << c.frame;
    }
    EXPECT_EQ(tb_queued_replies(), 0u);
}

TEST_F(ReplyTest, CommandsWithoutReplyLeaveNothingToReadAndOversizedWritesFail) {
    const Bytes packets[] = {
        {0x52, 0x0D, 0x00, 0x00},       {0x54, 0x00, 0x02, 0x00, 0x01, 0x02},
        {0x55, 0x02, 0x10, 0x04},       {0x56, 0x02, 0x00, 0x00},
        {0x57, 0x3F, 0x01, 0x00, 0xC1}, {0x60, 0x00, 0x01, 0x00, 0x55},
        {0xAB, 0x00, 0x00, 0x00},       {0xB1, 0xC1, 0x02, 0x00},
        {0xB2, 0x00, 0x07, 0x00},
    };
    for (const Bytes& packet : packets) {
        ASSERT_TRUE(Write(packet));
        EXPECT_FALSE(Read()) << "command " << std::hex << int(packet[0]) << " produced a reply";
        EXPECT_EQ(Exchange(kPoll), kIdle) << "out of step after " << std::hex << int(packet[0]);
    }
    tb_log_clear();
    EXPECT_TRUE(Write(Bytes(268, 0x57)));
    EXPECT_FALSE(Write(Bytes(269, 0x57))) << "longer than any packet";
    EXPECT_FALSE(Write({}));
    EXPECT_EQ(tb_log_count(), 1u);
}

const Bytes kEcuAnswer = {0x00, 0x10, 0x07, 0x00, 0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3};

// An ECU that answers every frame the host sends on the UART engine.
void Ecu(void* seen, const uint8_t* packet, unsigned length) {
    static_cast<std::vector<Bytes>*>(seen)->emplace_back(packet, packet + length);
    if (length >= 2 && packet[0] == 0x57 && packet[1] == 0x3F)
        tb_queue_reply(kEcuAnswer.data(), unsigned(kEcuAnswer.size()));
}

TEST_F(ReplyTest, LogAndResponderSeeEveryPacketWrittenAndTheResponderAnswersTheNextPoll) {
    std::vector<Bytes> seen;
    tb_set_responder(&Ecu, &seen);
    const Bytes request = {0x57, 0x3F, 0x04, 0x00, 0x05, 0x00, 0xC1, 0x33};
    tb_fail_write(2);
    ASSERT_TRUE(Write({0x52, 0x01, 0x11, 0x00}));
    ASSERT_FALSE(Write({0x52, 0x02, 0x22, 0x00}));  // lost: no log, no store, no responder
    ASSERT_TRUE(Write(request));
    EXPECT_FALSE(Read()) << "the frame write itself has no reply";
    EXPECT_EQ(Exchange(kPoll), kEcuAnswer);
    EXPECT_EQ(Exchange(kPoll), kIdle);
    EXPECT_EQ(tb_get_register(0x02), 0x00);
    EXPECT_THAT(LoggedPackets(), ElementsAreArray({Bytes{0x52, 0x01, 0x11, 0x00}, request, kPoll, kPoll}));
    EXPECT_EQ(seen, LoggedPackets());
    uint32_t times[4] = {};
    for (unsigned i = 0; i < 4; ++i) tb_log_packet(i, nullptr, 0, &times[i]);
    EXPECT_TRUE(std::is_sorted(std::begin(times), std::end(times)));
    EXPECT_EQ(tb_log_packet(4, nullptr, 0, nullptr), 0u);
    EXPECT_FALSE(tb_wait_log_count(5, 1));

    tb_set_responder(nullptr, nullptr);
    tb_log_clear();
    ASSERT_TRUE(Write(request));
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(tb_queued_replies(), 0u);
    EXPECT_EQ(tb_log_count(), 1u);
    tb_fail_write(1);
    EXPECT_FALSE(Write({0x00}));
    EXPECT_FALSE(Read()) << "a lost request has no reply";
}

using FaultTest = BoardFixture;

TEST_F(FaultTest, ReadFaultsHitOneReadAndLaterExchangesStayInStep) {
    // Reply length of the faulted read and of the read after it; -1: the read fails.
    struct Case { const char* what; std::function<void()> arm; uint32_t max, timeout; int first, next; };
    const Case cases[] = {
        {"failed read loses its reply", [] { tb_fail_next_read(); }, 64, 1500, -1, -1},
        {"delay within the time-out", [] { tb_delay_next_read(1); }, 64, 1500, 64, -1},
        {"delay past the time-out: late reply", [] { tb_delay_next_read(50); }, 64, 1, -1, 64},
        {"cut", [] { tb_short_next_reply(3); }, 64, 1500, 3, -1},
        {"cut to nothing", [] { tb_short_next_reply(0); }, 64, 1500, 0, -1},
        {"cut longer than the reply", [] { tb_short_next_reply(200); }, 64, 1500, 64, -1},
        {"cut by maxLength: the rest is dropped", [] {}, 10, 1500, 10, -1},
    };
    auto length = [](const std::optional<Bytes>& r) { return r ? int(r->size()) : -1; };
    for (const Case& c : cases) {
        ASSERT_TRUE(Write({0x00}));
        c.arm();
        EXPECT_EQ(length(Read(c.max, c.timeout)), c.first) << c.what;
        EXPECT_EQ(length(Read(64, 100)), c.next) << c.what;
        EXPECT_EQ(length(Exchange({0x00}, 64)), 64) << c.what;
    }
    tb_short_next_reply(2);
    EXPECT_FALSE(Read()) << "nothing waiting: the cut stays armed";
    EXPECT_EQ(length(Exchange({0x00}, 64)), 2);
}

TEST_F(ReplyTest, PipesWorkInTheirOwnDirectionUntilClosedOrReset) {
    uint8_t in[64];
    uint32_t n = 0;
    for (void* wrong : {readPipe_, MPUSB_INVALID_HANDLE, static_cast<void*>(nullptr)})
        EXPECT_FALSE(_MPUSBWrite(wrong, in, 1, &n, 500));
    ASSERT_TRUE(Write({0x00}));
    EXPECT_FALSE(_MPUSBRead(writePipe_, in, sizeof in, &n, 100));
    EXPECT_TRUE(_MPUSBReadInt(readPipe_, in, sizeof in, &n, 100)) << "the reply was not taken";
    ASSERT_TRUE(Write({0x00}));
    for (void* handle : {MPUSB_INVALID_HANDLE, static_cast<void*>(nullptr), readPipe_, readPipe_})
        _MPUSBClose(handle);
    EXPECT_EQ(tb_open_pipes(), 1u);
    EXPECT_FALSE(Read()) << "read after close, with a reply waiting";
    EXPECT_EQ(tb_open_count(), 2u) << "the count of opens is not undone by close";

    const uint8_t bytes[] = {9, 9, 9, 9};
    tb_set_board_count(3);
    tb_set_chip(1, 2);
    tb_set_register(0x20, 0x55);
    tb_set_block(0x04, bytes, sizeof bytes);
    tb_queue_reply(bytes, sizeof bytes);
    tb_set_idle_reply(bytes, sizeof bytes);
    tb_set_fault(1);
    tb_fail_open(0);
    tb_reset();
    EXPECT_EQ(_MPUSBGetDeviceCount(kSelector), 1u);
    EXPECT_EQ(tb_get_register(0x20) + tb_get_block(0x04, nullptr, 0) + tb_queued_replies(), 0u);
    EXPECT_EQ(tb_log_count() + tb_open_pipes() + tb_open_count(), 0u);
    EXPECT_EQ(tb_last_open_index(), -1);
    EXPECT_FALSE(Write({0x00})) << "old handles are closed";
    OpenPipes();  // open failures end with the reset
    EXPECT_EQ(Exchange({0x00}, 64).value_or(Bytes(6))[5], 0x12);
    EXPECT_EQ(Exchange(kPoll), kIdle);
}

TEST(OpenTest, OpenSucceedsOnlyForTheSelectorEndpointDirectionAndIndex) {
    struct Case { const char* what; unsigned boards; uint32_t index; const char* selector;
                  const char* endpoint; uint32_t direction; int refused; bool opens; } cases[] = {
        {"write pipe", 1, 0, kSelector, kEndpoint, 0, -1, true},
        {"upper-case selector", 1, 0, "VID_04D8&PID_000C", kEndpoint, 0, -1, true},
        {"second of two boards", 2, 1, kSelector, kEndpoint, 1, -1, true},
        {"index past the last board", 2, 2, kSelector, kEndpoint, 0, -1, false},
        {"no board", 0, 0, kSelector, kEndpoint, 0, -1, false},
        {"no selector", 1, 0, nullptr, kEndpoint, 0, -1, false},
        {"other endpoint", 1, 0, kSelector, "\\MCHP_EP2", 0, -1, false},
        {"no endpoint", 1, 0, kSelector, nullptr, 1, -1, false},
        {"unknown direction", 1, 0, kSelector, kEndpoint, 2, -1, false},
        {"read opens refused", 1, 0, kSelector, kEndpoint, 1, 1, false},
        {"write refused, read opens", 1, 0, kSelector, kEndpoint, 1, 0, true},
    };
    for (const auto& c : cases) {
        tb_reset();
        tb_set_board_count(c.boards);
        if (c.refused >= 0) tb_fail_open(c.refused);
        void* handle = _MPUSBOpen(c.index, c.selector, c.endpoint, c.direction, 0);
        EXPECT_EQ(handle != MPUSB_INVALID_HANDLE, c.opens) << c.what;
        EXPECT_EQ(tb_open_pipes(), c.opens ? 1u : 0u) << c.what;
        EXPECT_EQ(tb_last_open_index(), c.opens ? int(c.index) : -1) << c.what;
        _MPUSBClose(handle);
        EXPECT_EQ(tb_open_pipes(), 0u) << c.what;
    }
    const char* selectors[] = {kSelector, "Vid_04D8&Pid_000c", "vid_04d8&pid_000c ", nullptr};
    for (const char* s : selectors)
        EXPECT_EQ(_MPUSBGetDeviceCount(s), s == selectors[0] || s == selectors[1] ? 1u : 0u);
    tb_reset();
}

}  // namespace

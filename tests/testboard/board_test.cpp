#include <gmock/gmock.h>

#include <cstring>
#include <string>

#include "tests/testboard/BoardFixture.h"

using ::testing::ElementsAreArray;

namespace {

Bytes Prefix(const Bytes& bytes, size_t n) { return Bytes(bytes.begin(), bytes.begin() + n); }

using ReplyTest = BoardFixture;

TEST_F(ReplyTest, VersionReadAnswersChipIdAndVersionAtBytes4And5) {
    struct Case { bool set; uint8_t id, version; } cases[] = {
        {false, 0x41, 0x12}, {true, 0x55, 0x01}, {true, 0x00, 0xFF}};
    for (const auto& c : cases) {
        if (c.set) tb_set_chip(c.id, c.version);
        auto reply = Exchange({0x00}, 64);
        ASSERT_TRUE(reply);
        ASSERT_EQ(reply->size(), 64u);
        EXPECT_EQ((*reply)[4], c.id);
        EXPECT_EQ((*reply)[5], c.version);
    }
}

TEST_F(ReplyTest, RegisterWriteIsReadBackAtReplyByte2) {
    struct Case { uint8_t reg, value; } cases[] = {{0x0D, 0x00}, {0x0E, 0x20}, {0x00, 0xFF},
                                                  {0xFF, 0x5A}, {0x31, 0x7F}};
    for (const auto& c : cases) {
        // Byte 3 is whatever the host's buffer held; the board ignores it.
        ASSERT_TRUE(Write({0x52, c.reg, c.value, 0xC3}));
        EXPECT_EQ(tb_get_register(c.reg), c.value);
        auto reply = Exchange({0x50, c.reg, 0x04, 0x00}, 64);
        ASSERT_TRUE(reply);
        ASSERT_EQ(reply->size(), 64u);
        EXPECT_EQ((*reply)[2], c.value) << "register " << int(c.reg);
    }
}

TEST_F(ReplyTest, BusyReadsOfRegister31SetBit7UntilUsedUp) {
    tb_set_register(0x31, 0x05);
    tb_set_busy_reads(2);
    auto read = [&](uint8_t reg) {
        auto reply = Exchange({0x50, reg, 0x04, 0x00}, 64);
        return reply ? int((*reply)[2]) : -1;
    };
    // Reads of another register do not use up the busy count.
    EXPECT_EQ(read(0x30), 0x00);
    EXPECT_EQ(read(0x31), 0x85);
    EXPECT_EQ(read(0x31), 0x85);
    EXPECT_EQ(read(0x31), 0x05);
    EXPECT_EQ(tb_get_register(0x31), 0x05) << "the busy bit is not stored";
}

TEST_F(ReplyTest, BlockWritesAreStoredAndReadBackByQ) {
    Bytes j1850(8);
    for (size_t i = 0; i < j1850.size(); ++i) j1850[i] = uint8_t(0xA0 + i);
    Bytes longBlock(256);
    for (size_t i = 0; i < longBlock.size(); ++i) longBlock[i] = uint8_t(255 - i);

    Bytes t = {0x54, 0x03, uint8_t(j1850.size()), 0x00};
    t.insert(t.end(), j1850.begin(), j1850.end());
    ASSERT_TRUE(Write(t));
    Bytes w = {0x57, 0x05, 0x00, 0x01};
    w.insert(w.end(), longBlock.begin(), longBlock.end());
    ASSERT_TRUE(Write(w));

    struct Case { uint8_t block; const Bytes& data; uint32_t maxLength; } cases[] = {
        {0x03, j1850, 64}, {0x05, longBlock, 256}};
    for (const auto& c : cases) {
        Bytes stored(300);
        stored.resize(tb_get_block(c.block, stored.data(), unsigned(stored.size())));
        EXPECT_EQ(stored, c.data);
        const uint16_t n = uint16_t(c.data.size());
        auto reply = Exchange({0x51, c.block, uint8_t(n & 0xFF), uint8_t(n >> 8)}, c.maxLength);
        ASSERT_TRUE(reply);
        EXPECT_EQ(*reply, c.data) << "block " << int(c.block);
    }

    // Asking for more than was stored: the stored bytes, then zeros; the length is the request.
    auto reply = Exchange({0x51, 0x03, 12, 0x00}, 64);
    ASSERT_TRUE(reply);
    Bytes expected = j1850;
    expected.resize(12, 0);
    EXPECT_EQ(*reply, expected);
}

TEST_F(ReplyTest, BlockWriteStoresOnlyTheBytesThatArrived) {
    ASSERT_TRUE(Write({0x54, 0x2A, 0x06, 0x00, 0x11, 0x22}));
    Bytes stored(16);
    stored.resize(tb_get_block(0x2A, stored.data(), unsigned(stored.size())));
    EXPECT_EQ(stored, (Bytes{0x11, 0x22}));
    // A count of 0 stores an empty block.
    ASSERT_TRUE(Write({0x54, 0x2A, 0x00, 0x00}));
    EXPECT_EQ(tb_get_block(0x2A, stored.data(), unsigned(stored.size())), 0u);
}

TEST_F(ReplyTest, PollsTakeQueuedRepliesInOrderThenTheIdleReply) {
    const Bytes first = {0x00, 0x10, 0x03, 0x00, 0xC1, 0x33, 0xF1};
    const Bytes second(4 + 2 * 16, 0x20);
    tb_queue_reply(first.data(), unsigned(first.size()));
    tb_queue_reply(second.data(), unsigned(second.size()));
    EXPECT_EQ(tb_queued_replies(), 2u);

    const Bytes poll = {0xA0, 0x05, 0x04, 0x00};
    EXPECT_EQ(Exchange(poll), first);
    EXPECT_EQ(Exchange(poll), second);
    EXPECT_EQ(Exchange(poll), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(tb_queued_replies(), 0u);

    const Bytes idle = {0x7E, 0x00, 0x00, 0x00, 0x99};
    tb_set_idle_reply(idle.data(), unsigned(idle.size()));
    EXPECT_EQ(Exchange(poll), idle);
    EXPECT_EQ(Exchange(poll), idle);
}

TEST_F(ReplyTest, ReadLatencyDelaysButKeepsEveryAnswerInStep) {
    tb_set_read_latency(2);
    const Bytes poll = {0xA0, 0x05, 0x04, 0x00};
    const Bytes reply = {0x00, 0x10, 0x01, 0x00, 0x55};
    tb_queue_reply(reply.data(), unsigned(reply.size()));
    EXPECT_EQ(Exchange(poll), reply);
    EXPECT_EQ(Exchange(poll), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Exchange({0x52, 0x0D, 0x00, 0x00}), std::nullopt) << "no answer, no wait";
}

TEST_F(ReplyTest, FramePacketsReportTransmitDone) {
    Bytes frame = {0xA0, 0x82, 0x10, 0x00};
    frame.resize(20, 0x2C);
    EXPECT_EQ(Exchange(frame), (Bytes{0x00, 0x80, 0x00, 0x00}));

    const Bytes queued = {0x00, 0x10, 0x02, 0x00, 0xAA, 0xBB};
    tb_queue_reply(queued.data(), unsigned(queued.size()));
    frame[1] = 0x80;  // the CAN form
    Bytes expected = queued;
    expected[1] |= 0x80;
    EXPECT_EQ(Exchange(frame), expected);
    EXPECT_EQ(tb_queued_replies(), 0u) << "the frame packet consumed the queued reply";
}

TEST_F(ReplyTest, FaultBitIsOredIntoEveryPollReplyWhileSet) {
    const Bytes poll = {0xA0, 0x00, 0x04, 0x00};
    Bytes frame = {0xA0, 0x80, 0x10, 0x00};
    frame.resize(20, 0);
    const Bytes uartReply = {0x00, 0x10, 0x01, 0x00, 0x55};

    tb_set_fault(1);
    auto idle = Exchange(poll);
    ASSERT_TRUE(idle);
    EXPECT_EQ((*idle)[1], 0x08);
    tb_queue_reply(uartReply.data(), unsigned(uartReply.size()));
    auto queued = Exchange(poll);
    ASSERT_TRUE(queued);
    EXPECT_EQ((*queued)[1], 0x18);
    auto sent = Exchange(frame);
    ASSERT_TRUE(sent);
    EXPECT_EQ((*sent)[1], 0x88);
    // Register replies are not poll replies.
    tb_set_register(0x10, 0x01);
    auto reg = Exchange({0x50, 0x10, 0x04, 0x00}, 64);
    ASSERT_TRUE(reg);
    EXPECT_EQ((*reg)[2], 0x01);

    tb_set_fault(0);
    EXPECT_EQ(Exchange(poll), (Bytes{0, 0, 0, 0}));
}

TEST_F(ReplyTest, CommandsWithoutReplyLeaveNothingToRead) {
    const Bytes packets[] = {
        {0x52, 0x0D, 0x00, 0x00},                    // register write
        {0x54, 0x00, 0x02, 0x00, 0x01, 0x02},        // block write
        {0x55, 0x02, 0x10, 0x04},                    // J1850 node
        {0x56, 0x02, 0x00, 0x00},                    // J1850 control
        {0x57, 0x3F, 0x03, 0x00, 0x01, 0x00, 0xC1},  // long block / UART frame
        {0x60, 0x00, 0x01, 0x00, 0x55},              // UART send
        {0xAB, 0x00, 0x00, 0x00},                    // wake
        {0xB1, 0xC1, 0x02, 0x00},                    // start
        {0xB2, 0x00, 0x07, 0x00},                    // stop
    };
    for (const Bytes& packet : packets) {
        ASSERT_TRUE(Write(packet));
        EXPECT_FALSE(Read()) << "command " << std::hex << int(packet[0]) << " produced a reply";
        // The next exchange is in step: the poll gets its own reply.
        EXPECT_EQ(Exchange({0xA0, 0x00, 0x04, 0x00}), (Bytes{0, 0, 0, 0}));
    }
    EXPECT_EQ(tb_log_count(), 2 * std::size(packets));
}

TEST_F(ReplyTest, ReadWithMaxLengthBelowTheReplyCopiesOnlyMaxLength) {
    auto reply = Exchange({0x00}, 5);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->size(), 5u);
    EXPECT_FALSE(Read()) << "the rest of a cut reply is not read later";
}

using FaultTest = BoardFixture;

TEST_F(FaultTest, TheNthWriteFailsAndIsNeitherLoggedNorDecoded) {
    tb_fail_write(2);
    EXPECT_TRUE(Write({0x52, 0x01, 0x11, 0x00}));
    EXPECT_FALSE(Write({0x52, 0x02, 0x22, 0x00}));
    EXPECT_TRUE(Write({0x52, 0x03, 0x33, 0x00}));
    EXPECT_TRUE(Write({0x52, 0x04, 0x44, 0x00})) << "the failure is for one write only";

    EXPECT_EQ(tb_get_register(0x01), 0x11);
    EXPECT_EQ(tb_get_register(0x02), 0x00);
    EXPECT_EQ(tb_get_register(0x03), 0x33);
    ASSERT_EQ(tb_log_count(), 3u);
    EXPECT_EQ(Logged(1), (Bytes{0x52, 0x03, 0x33, 0x00}));

    // A failed request produces no reply either.
    tb_fail_write(1);
    EXPECT_FALSE(Write({0x00}));
    EXPECT_FALSE(Read());
}

TEST_F(FaultTest, FailedReadLosesItsReplySoLaterExchangesStayInStep) {
    tb_fail_next_read();
    ASSERT_TRUE(Write({0x00}));
    EXPECT_FALSE(Read(64));
    EXPECT_FALSE(Read(64));
    tb_set_register(0x0E, 0x20);
    auto reply = Exchange({0x50, 0x0E, 0x04, 0x00}, 64);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[2], 0x20);
}

TEST_F(FaultTest, DelayLongerThanTheTimeOutFailsAndTheReplyArrivesLate) {
    ASSERT_TRUE(Write({0x00}));
    tb_delay_next_read(50);
    EXPECT_FALSE(Read(64, 1)) << "a read whose time-out is shorter than the delay fails";
    auto late = Read(64, 100);
    ASSERT_TRUE(late) << "the late reply waits for the next read";
    EXPECT_EQ((*late)[4], 0x41);
}

TEST_F(FaultTest, DelayWithinTheTimeOutAnswers) {
    ASSERT_TRUE(Write({0x00}));
    tb_delay_next_read(1);
    auto reply = Read(64, 1500);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[5], 0x12);
    // The delay was for one read: with nothing queued the next read fails at once.
    EXPECT_FALSE(Read(64, 1500));
}

TEST_F(FaultTest, ShortReplyCutsTheNextAnswer) {
    struct Case { unsigned cut; uint32_t maxLength; size_t expected; } cases[] = {
        {3, 64, 3}, {0, 64, 0}, {5, 64, 5}, {64, 10, 10}, {200, 64, 64}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Write({0x00}));
        tb_short_next_reply(c.cut);
        auto reply = Read(c.maxLength);
        ASSERT_TRUE(reply) << "a short reply is still a success";
        EXPECT_EQ(reply->size(), c.expected) << "cut to " << c.cut;
        // Only one reply is cut.
        auto whole = Exchange({0x00}, 64);
        ASSERT_TRUE(whole);
        EXPECT_EQ(whole->size(), 64u);
    }
}

TEST_F(FaultTest, ShortReplyWaitsForAnAnswerRatherThanAFailedRead) {
    tb_short_next_reply(2);
    EXPECT_FALSE(Read());  // nothing waiting: the cut stays armed
    auto reply = Exchange({0x00}, 64);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->size(), 2u);
}

TEST_F(FaultTest, OversizedAndEmptyWritesAreRefused) {
    Bytes largest(268, 0);
    largest[0] = 0x57;
    largest[1] = 0x3E;
    largest[2] = 0x08;
    largest[3] = 0x01;
    EXPECT_TRUE(Write(largest));
    Bytes tooLong(269, 0);
    tooLong[0] = 0x57;
    EXPECT_FALSE(Write(tooLong));
    EXPECT_FALSE(Write({}));
    EXPECT_EQ(tb_log_count(), 1u);
}

struct Responder {
    std::vector<Bytes> seen;
    Bytes answer;
    static void Call(void* context, const uint8_t* packet, unsigned length) {
        auto* self = static_cast<Responder*>(context);
        self->seen.emplace_back(packet, packet + length);
        // An ECU that answers every frame the host sends on the UART engine.
        if (length >= 2 && packet[0] == 0x57 && packet[1] == 0x3F)
            tb_queue_reply(self->answer.data(), unsigned(self->answer.size()));
    }
};

using ResponderTest = BoardFixture;

TEST_F(ResponderTest, ResponderSeesEveryPacketAndItsReplyAnswersTheNextPoll) {
    Responder ecu;
    ecu.answer = {0x00, 0x10, 0x07, 0x00, 0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3};
    tb_set_responder(&Responder::Call, &ecu);

    const Bytes request = {0x57, 0x3F, 0x07, 0x00, 0x05, 0x00, 0xC1, 0x33, 0xF1, 0x81, 0x66};
    const Bytes poll = {0xA0, 0x00, 0x04, 0x00};
    ASSERT_TRUE(Write(request));
    EXPECT_FALSE(Read()) << "the frame write itself has no reply";
    EXPECT_EQ(Exchange(poll), ecu.answer);
    EXPECT_EQ(Exchange(poll), (Bytes{0, 0, 0, 0}));
    EXPECT_THAT(ecu.seen, ElementsAreArray({request, poll, poll}));

    tb_set_responder(nullptr, nullptr);
    ASSERT_TRUE(Write(request));
    EXPECT_EQ(ecu.seen.size(), 3u);
    EXPECT_EQ(tb_queued_replies(), 0u);
}

TEST_F(ResponderTest, FailedWritesDoNotReachTheResponder) {
    Responder peer;
    tb_set_responder(&Responder::Call, &peer);
    tb_fail_write(1);
    EXPECT_FALSE(Write({0xB1, 0x00, 0x01, 0x00}));
    EXPECT_TRUE(peer.seen.empty());
    tb_set_responder(nullptr, nullptr);
}

using LogTest = BoardFixture;

TEST_F(LogTest, LogKeepsEveryPacketWithNonDecreasingTimes) {
    const Bytes packets[] = {{0x00}, {0x52, 0x0D, 0x00, 0x00}, {0xA0, 0x00, 0x04, 0x00}};
    for (const Bytes& packet : packets) ASSERT_TRUE(Write(packet));
    ASSERT_EQ(tb_log_count(), std::size(packets));
    uint32_t previous = 0;
    for (unsigned i = 0; i < std::size(packets); ++i) {
        uint8_t out[300];
        uint32_t time = 0;
        unsigned length = tb_log_packet(i, out, sizeof out, &time);
        EXPECT_EQ(Bytes(out, out + length), packets[i]);
        EXPECT_GE(time, previous);
        previous = time;
    }
    uint8_t small[2];
    EXPECT_EQ(tb_log_packet(1, small, sizeof small, nullptr), 4u) << "the full length";
    EXPECT_EQ(Bytes(small, small + 2), Prefix(packets[1], 2));
    EXPECT_EQ(tb_log_packet(3, small, sizeof small, nullptr), 0u);

    EXPECT_TRUE(tb_wait_log_count(3, 0));
    EXPECT_FALSE(tb_wait_log_count(4, 1));
    tb_log_clear();
    EXPECT_EQ(tb_log_count(), 0u);
}

TEST(ResetTest, ResetRestoresTheStartState) {
    tb_reset();
    void* w = _MPUSBOpen(0, kSelector, kEndpoint, 0, 0);
    void* r = _MPUSBOpen(0, kSelector, kEndpoint, 1, 0);
    const uint8_t block[] = {1, 2, 3};
    const uint8_t reply[] = {9, 9, 9, 9};
    tb_set_board_count(3);
    tb_set_chip(1, 2);
    tb_set_register(0x20, 0x55);
    tb_set_block(0x04, block, sizeof block);
    tb_queue_reply(reply, sizeof reply);
    tb_set_idle_reply(reply, sizeof reply);
    tb_set_fault(1);
    tb_fail_open(0);
    const uint8_t stop[] = {0xB2, 0x00, 0x07, 0x00};
    uint32_t sent;
    ASSERT_TRUE(_MPUSBWrite(w, stop, sizeof stop, &sent, 500));

    tb_reset();
    EXPECT_EQ(_MPUSBGetDeviceCount(kSelector), 1u);
    EXPECT_EQ(tb_get_register(0x20), 0x00);
    EXPECT_EQ(tb_get_block(0x04, nullptr, 0), 0u);
    EXPECT_EQ(tb_queued_replies(), 0u);
    EXPECT_EQ(tb_log_count(), 0u);
    EXPECT_EQ(tb_open_pipes(), 0u);
    EXPECT_EQ(tb_open_count(), 0u);
    EXPECT_EQ(tb_last_open_index(), -1);
    EXPECT_FALSE(_MPUSBWrite(w, stop, sizeof stop, &sent, 500)) << "old handles are closed";

    w = _MPUSBOpen(0, kSelector, kEndpoint, 0, 0);
    r = _MPUSBOpen(0, kSelector, kEndpoint, 1, 0);
    ASSERT_NE(w, kInvalid) << "open failures end with the reset";
    const uint8_t version = 0x00;
    ASSERT_TRUE(_MPUSBWrite(w, &version, 1, &sent, 500));
    uint8_t in[64];
    uint32_t received = 0;
    ASSERT_TRUE(_MPUSBRead(r, in, sizeof in, &received, 100));
    EXPECT_EQ(in[4], 0x41);
    EXPECT_EQ(in[5], 0x12);
    const uint8_t poll[] = {0xA0, 0x00, 0x04, 0x00};
    ASSERT_TRUE(_MPUSBWrite(w, poll, sizeof poll, &sent, 500));
    ASSERT_TRUE(_MPUSBReadInt(r, in, sizeof in, &received, 1500));
    EXPECT_EQ(Bytes(in, in + received), (Bytes{0, 0, 0, 0}));
    _MPUSBClose(w);
    _MPUSBClose(r);
    tb_reset();
}

TEST(OpenTest, OpenSucceedsOnlyForTheSelectorEndpointDirectionAndIndex) {
    struct Case {
        const char* what;
        unsigned boards;
        uint32_t index;
        const char* selector;
        const char* endpoint;
        uint32_t direction;
        int failDirection;  // -1: none
        bool opens;
    } cases[] = {
        {"write pipe", 1, 0, kSelector, kEndpoint, 0, -1, true},
        {"read pipe", 1, 0, kSelector, kEndpoint, 1, -1, true},
        {"upper-case selector", 1, 0, "VID_04D8&PID_000C", kEndpoint, 0, -1, true},
        {"second of two boards", 2, 1, kSelector, kEndpoint, 1, -1, true},
        {"index past the last board", 2, 2, kSelector, kEndpoint, 0, -1, false},
        {"no board", 0, 0, kSelector, kEndpoint, 0, -1, false},
        {"other product", 1, 0, "vid_04d8&pid_000b", kEndpoint, 0, -1, false},
        {"no selector", 1, 0, nullptr, kEndpoint, 0, -1, false},
        {"other endpoint", 1, 0, kSelector, "\\MCHP_EP2", 0, -1, false},
        {"no endpoint", 1, 0, kSelector, nullptr, 0, -1, false},
        {"unknown direction", 1, 0, kSelector, kEndpoint, 2, -1, false},
        {"write opens refused", 1, 0, kSelector, kEndpoint, 0, 0, false},
        {"read opens refused", 1, 0, kSelector, kEndpoint, 1, 1, false},
        {"write refused, read opens", 1, 0, kSelector, kEndpoint, 1, 0, true},
        {"read refused, write opens", 1, 0, kSelector, kEndpoint, 0, 1, true},
    };
    for (const auto& c : cases) {
        tb_reset();
        tb_set_board_count(c.boards);
        if (c.failDirection >= 0) tb_fail_open(c.failDirection);
        void* handle = _MPUSBOpen(c.index, c.selector, c.endpoint, c.direction, 0);
        EXPECT_EQ(handle != kInvalid, c.opens) << c.what;
        EXPECT_EQ(tb_open_count(), c.opens ? 1u : 0u) << c.what;
        EXPECT_EQ(tb_open_pipes(), c.opens ? 1u : 0u) << c.what;
        EXPECT_EQ(tb_last_open_index(), c.opens ? int(c.index) : -1) << c.what;
        _MPUSBClose(handle);
        EXPECT_EQ(tb_open_pipes(), 0u) << c.what;
    }
    tb_reset();
}

TEST(OpenTest, DeviceCountAnswersOnlyTheBoardsSelector) {
    tb_reset();
    tb_set_board_count(2);
    EXPECT_EQ(_MPUSBGetDeviceCount(kSelector), 2u);
    EXPECT_EQ(_MPUSBGetDeviceCount("Vid_04D8&Pid_000c"), 2u);
    EXPECT_EQ(_MPUSBGetDeviceCount("vid_04d8&pid_000c "), 0u);
    EXPECT_EQ(_MPUSBGetDeviceCount("vid_1234&pid_5678"), 0u);
    EXPECT_EQ(_MPUSBGetDeviceCount(nullptr), 0u);
    EXPECT_NE(_MPUSBGetDLLVersion(), 0u);
    tb_reset();
}

TEST(OpenTest, PipesWorkOnlyInTheirOwnDirectionAndCloseIsHarmless) {
    tb_reset();
    void* w = _MPUSBOpen(0, kSelector, kEndpoint, 0, 0);
    void* r = _MPUSBOpen(0, kSelector, kEndpoint, 1, 0);
    const uint8_t version = 0x00;
    uint8_t in[64];
    uint32_t count = 0;
    EXPECT_FALSE(_MPUSBWrite(r, &version, 1, &count, 500)) << "write on the read pipe";
    EXPECT_FALSE(_MPUSBWrite(kInvalid, &version, 1, &count, 500));
    EXPECT_FALSE(_MPUSBWrite(nullptr, &version, 1, &count, 500));
    ASSERT_TRUE(_MPUSBWrite(w, &version, 1, &count, 500));
    EXPECT_FALSE(_MPUSBRead(w, in, sizeof in, &count, 100)) << "read on the write pipe";
    EXPECT_FALSE(_MPUSBRead(kInvalid, in, sizeof in, &count, 100));
    EXPECT_TRUE(_MPUSBRead(r, in, sizeof in, &count, 100)) << "the reply was not taken";

    EXPECT_EQ(tb_open_pipes(), 2u);
    _MPUSBClose(kInvalid);
    _MPUSBClose(nullptr);
    EXPECT_EQ(tb_open_pipes(), 2u);
    _MPUSBClose(w);
    _MPUSBClose(w);
    EXPECT_EQ(tb_open_pipes(), 1u);
    EXPECT_FALSE(_MPUSBWrite(w, &version, 1, &count, 500)) << "write after close";
    _MPUSBClose(r);
    EXPECT_EQ(tb_open_pipes(), 0u);
    EXPECT_EQ(tb_open_count(), 2u) << "the count of opens is not undone by close";
    tb_reset();
}

}  // namespace

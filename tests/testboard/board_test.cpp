#include <gmock/gmock.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "testboard/Board.h"
#include "testboard/SetupFile.h"
#include "tests/testboard/BoardFixture.h"

namespace {

// Blocks read back as they were stored: all 256 bytes of a 'W', only what arrived of a 'T',
// zeros past the end.
TEST_F(TestBoard, BlockReadsAnswerWithWhatWasStored) {
    Bytes w = {0x57, 0x05, 0x00, 0x01};  // 256 bytes: the length needs byte 3
    for (unsigned i = 0; i < 256; ++i) w.push_back(uint8_t(255 - i));
    ASSERT_TRUE(Write(w));
    ASSERT_TRUE(Write({0x54, 0x2A, 0x06, 0x00, 0x11, 0x22}));  // 6 announced, 2 arrived
    EXPECT_EQ(Exchange({0x51, 0x05, 0x00, 0x01}), Bytes(w.begin() + 4, w.end()));
    EXPECT_EQ(Exchange({0x51, 0x2A, 0x05, 0x00}), (Bytes{0x11, 0x22, 0, 0, 0}));
}

TEST_F(TestBoard, PollsAndFramePacketsCarryTransmitDoneAndFaultBits) {
    const Bytes queued = {0x00, 0x10, 0x01, 0x00, 0x55}, idle = {0x7E, 0x00, 0x00, 0x00, 0x99};
    tb_set_idle_reply(idle.data(), unsigned(idle.size()));
    Bytes frame = {0xA0, 0x80, 0x10, 0x00};  // a J1850 frame (low nibble 2) has its own answer
    frame.resize(20, 0x2C);
    for (int bits = 0; bits < 8; ++bits) {
        const bool fault = bits & 1, queue = bits & 2, isFrame = bits & 4;
        tb_set_fault(fault);
        if (queue) tb_queue_reply(queued.data(), unsigned(queued.size()));
        Bytes expected = queue ? queued : isFrame ? kIdle : idle;
        expected[1] = uint8_t((queue ? 0x10 : 0) | (fault ? 0x08 : 0) | (isFrame ? 0x80 : 0));
        EXPECT_EQ(Exchange(isFrame ? frame : kPoll), expected) << "fault, queued, frame: " << bits;
    }
}

TEST_F(TestBoard, ReadFaultsHitOneReadAndLaterExchangesStayInStep) {
    // Reply length of the faulted read and of the read after it (-1: the read fails), and the
    // bytes the faulted read counted.
    const struct { const char* what; std::function<void()> arm; uint32_t max, timeout; int first, next; uint32_t arrived; } cases[] = {
        {"delay within the time-out", [] { tb_delay_next_read(1); }, 64, 1500, 64, -1, 64},
        {"delay past the time-out: late reply", [] { tb_delay_next_read(50); }, 64, 1, -1, 64, 0},
        {"cut by maxLength: the rest is dropped", [] {}, 10, 1500, 10, -1, 10},
        {"split: a failure with the part that came, the rest for the next read", [] { tb_split_next_reply(20); },
         64, 1, -1, 44, 20},
    };
    auto length = [](const std::optional<Bytes>& r) { return r ? int(r->size()) : -1; };
    for (const auto& c : cases) {
        ASSERT_TRUE(Write({0x00}));
        c.arm();
        EXPECT_EQ(length(Read(c.max, c.timeout)), c.first) << c.what;
        EXPECT_EQ(lastReceived_, c.arrived) << c.what;
        EXPECT_EQ(length(Read(64, 100)), c.next) << c.what;
        EXPECT_EQ(length(Exchange({0x00}, 64)), 64) << c.what;
    }
    // A read of an empty pipe (the host draining it) leaves the fault for the next reply.
    tb_fail_next_read();
    EXPECT_EQ(length(Read(64, 1)), -1);
    EXPECT_EQ(length(Exchange({0x00}, 64)), -1);
    EXPECT_EQ(length(Exchange({0x00}, 64)), 64);
}

TEST_F(TestBoard, PipesWorkInTheirOwnDirectionUntilClosedOrReset) {
    uint8_t in[64];
    uint32_t n = 0;
    ASSERT_TRUE(Write({0x00}));
    EXPECT_FALSE(_MPUSBWrite(read_, in, 1, &n, 500) || _MPUSBRead(write_, in, sizeof in, &n, 100));
    EXPECT_TRUE(_MPUSBReadInt(read_, in, sizeof in, &n, 100)) << "the reply was not taken";
    ASSERT_TRUE(Write({0x00}));
    _MPUSBClose(read_);
    EXPECT_FALSE(Read()) << "read after close, with a reply waiting";
    tb_set_chip(1, 2);
    tb_queue_reply(in, 4);
    tb_fail_open(0);
    tb_reset();
    EXPECT_EQ(tb_queued_replies() + tb_log_count() + tb_open_pipes() + tb_open_count(), 0u);
    EXPECT_FALSE(Write({0x00})) << "old handles are closed";
    OpenPipes();
    EXPECT_EQ(Exchange({0x00}, 64).value_or(Bytes(6))[5], 0x12);
}

// A directory of its own for one test's files, removed with everything in it.
struct TempDir {
    char path[32] = "/tmp/testboard-XXXXXX";
    TempDir() { EXPECT_NE(mkdtemp(path), nullptr); }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name, const char* text = nullptr) const {
        const std::string file = std::string(path) + "/" + name;
        if (text) std::ofstream(file) << text;
        return file;
    }
};

std::string ReadFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// A board polled for a working day must not fill the memory: it keeps the newest packets and
// calls under their running indices, the log file every packet.
TEST_F(TestBoard, MemoryKeepsTheNewestLogEntriesAndTheFileKeepsEveryPacket) {
    TempDir dir;
    ASSERT_EQ(tb_set_log_file(dir.File("packets.log").c_str()), 1);
    tb_set_log_limit(3);
    for (uint8_t i = 0; i < 5; ++i) ASSERT_TRUE(Write({0x52, i, 0x00, 0x00}));
    EXPECT_FALSE(Read(7, 9));
    tb_set_log_file(nullptr);
    EXPECT_EQ(tb_log_count(), 5u);
    EXPECT_EQ(tb_wait_log_count(5, 0), 1);
    EXPECT_THAT(LoggedPackets(), testing::ElementsAre(Bytes{}, Bytes{}, Bytes{0x52, 2, 0, 0}, Bytes{0x52, 3, 0, 0},
                                                      Bytes{0x52, 4, 0, 0}));
    EXPECT_EQ(tb_call_count(), 6u);
    EXPECT_EQ(LoggedCalls(0), "");
    EXPECT_EQ(LoggedCalls(3), "w4/500 w4/500 r7/9");
    std::istringstream file(ReadFile(dir.File("packets.log")));
    std::string line;
    unsigned lines = 0;
    for (; std::getline(file, line); ++lines)
        EXPECT_THAT(line, testing::MatchesRegex("[0-9]+ 52 0" + std::to_string(lines) + " 00 00")) << lines;
    EXPECT_EQ(lines, 5u);

    tb_reset();  // back to the default size
    OpenPipes();
    const uint8_t poll[] = {0xA0, 0x00, 0x04, 0x00};
    for (uint32_t i = 0, sent; i <= testboard::kDefaultLogLimit; ++i) _MPUSBWrite(write_, poll, 4, &sent, 500);
    EXPECT_EQ(tb_log_count(), testboard::kDefaultLogLimit + 1);
    EXPECT_EQ(LoggedPacket(0), Bytes{});
    EXPECT_EQ(LoggedPacket(1), kPoll);
}

TEST(ParseSetupTest, BadAndUnknownLinesAreIgnoredWithANote) {
    for (const char* line : {"speed 10400", "boards 2 3", "boards zz", "chip 41", "chip 141 12", "reg 31 0G",
                             "on 57 3F", "on => 00 10", "on 57 =>", "on 57 => 100", "block", "idle 1 2 x",
                             "on A0 => can", "on A0 => can 123456789 00", "on A0 => can 7E8 1 2 3 4 5 6 7 8 9",
                             "on A0 => can 7E8 0G",
                             "every => 00", "every 0 => 00", "every 10 00 10", "every 10 =>", "echo 1",
                             "init5 00 8A", "init5 00 8A 01 02", "kw1281-ack 1",
                             "on 57 => 01 after 0", "on 57 => after 5", "on 57 => 01 after 5ms"}) {
        const auto setup = testboard::ParseSetup(std::string("reg 01 02\n") + line + "\n");
        ASSERT_EQ(setup.notes.size(), 1u) << line;
        EXPECT_THAT(setup.notes[0], testing::HasSubstr("line 2")) << line;
        EXPECT_FALSE(setup.boards || setup.chip || setup.idle || !setup.rules.empty() || !setup.blocks.empty() ||
                     !setup.periodic.empty() || setup.echo || setup.init5 || setup.kw1281Ack) << line;
        EXPECT_EQ(setup.registers.size(), 1u) << "the good line still counts: " << line;
    }
}

TEST_F(TestBoard, LoadedSetupFillsTheStoresAndEveryMatchingRuleAnswersAPollInFileOrder) {
    TempDir dir;
    ASSERT_EQ(tb_load_setup(dir.File("board.txt", "reg 0x31 4a   # hex\n"
                                                  "block 03 0A 0B\n"
                                                  "idle 00 00 00 00 7F\n"
                                                  "on 57 3F 07 00 => 01\n"
                                                  "whatever this is\n"
                                                  "on 57 3F=>02\n").c_str()), 1);
    EXPECT_EQ(Exchange({0x50, 0x31, 0x04, 0x00}, 64).value_or(Bytes(3))[2], 0x4A);
    EXPECT_EQ(Exchange({0x51, 0x03, 0x02, 0x00}), (Bytes{0x0A, 0x0B}));
    const struct { Bytes packet; std::vector<Bytes> replies; } cases[] = {
        {{0x57, 0x3F, 0x07, 0x00, 0x05, 0x00, 0xC1}, {{0x01}, {0x02}}},
        {{0x57, 0x3F, 0x08, 0x00, 0x05}, {{0x02}}},
        {{0x57}, {}},  // shorter than every prefix
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Write(c.packet));
        EXPECT_FALSE(Read()) << "rules answer polls, not the write";
        for (const Bytes& reply : c.replies) EXPECT_EQ(Exchange(kPoll), reply);
        EXPECT_EQ(Exchange(kPoll), (Bytes{0, 0, 0, 0, 0x7F}));
    }
    EXPECT_EQ(tb_load_setup(dir.File("none.txt").c_str()), 0);
}

TEST(ParseSetupTest, CanRepliesBecomeRecordsOfOnePollReply) {
    const struct { const char* line; Bytes reply; } cases[] = {
        {"on A0 => can 7E8 06 41 00", {0, 0, 1, 0, 0xA0, 0x1F, 0, 0, 3, 0, 0x06, 0x41, 0x00, 0, 0, 0, 0, 0, 0, 0}},
        // Four digits and more: a 29-bit identifier, even with leading zeros.
        {"on A0 => can 0123", {0, 0, 1, 0, 0x01, 0x00, 0x04, 0x00, 0x00, 0x8C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"on A0 => can 18DAF110 02 50 01 can 7E9 01 7F",
         {0, 0, 2, 0, 0xD9, 0x18, 0xC4, 0x0B, 0x03, 0x40, 0x02, 0x50, 0x01, 0, 0, 0, 0, 0, 0, 0,
          0xA4, 0x1F, 0, 0, 2, 0, 0x01, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const auto setup = testboard::ParseSetup(std::string(c.line) + "\n");
        ASSERT_EQ(setup.rules.size(), 1u) << c.line;
        EXPECT_EQ(setup.rules[0].reply, c.reply) << c.line;
    }
}

TEST(ParseSetupTest, OnRulesTakeAQuestionMarkForAnyDigitOfAPacketByte) {
    const char* const noPattern = "is no byte pattern: two digits, each hex or '?' (?0, 8?, ?\?), ignored";
    const char* const notHere = "line 1: a '?' digit matches part of a packet byte only in an on rule, before '=>', ignored";
    const struct { std::string line; Bytes prefix, mask; std::string note; } cases[] = {
        {"on A0 ?0 10 00 => 01", {0xA0, 0x00, 0x10, 0x00}, {0xFF, 0x0F, 0xFF, 0xFF}, ""},
        {"on A0 8? => 01", {0xA0, 0x80}, {0xFF, 0xF0}, ""},
        {"on ?? 3f ?b=>01", {0x00, 0x3F, 0x0B}, {0x00, 0xFF, 0x0F}, ""},
        {"on 0xA0 5 => 01", {0xA0, 0x05}, {0xFF, 0xFF}, ""},  // plain bytes as before
        {"on A0 ? => 01", {}, {}, "line 1: '?' " + std::string(noPattern)},
        {"on A0 0x?0 => 01", {}, {}, "line 1: '0x?0' " + std::string(noPattern)},
        {"on A0 ?00 => 01", {}, {}, "line 1: '?00' " + std::string(noPattern)},
        {"on A0 ?G => 01", {}, {}, "line 1: '?G' " + std::string(noPattern)},
        {"on A0 3f?b => 01", {}, {}, "line 1: '3f?b' " + std::string(noPattern)},
        {"on A0 *0 => 01", {}, {}, "line 1: on needs hex bytes, '=>' and the reply's hex bytes, ignored"},
        {"on ?? ?? => 01", {}, {}, "line 1: an on rule's bytes cannot all be '?\?': every packet would match, ignored"},
        {"on A0 => 0?", {}, {}, notHere},
        {"on A0 => can 7?8 01", {}, {}, notHere},
        {"on A0 => 01 after 1?", {}, {}, notHere},
        {"every 3E8 on B1 8? => 0C", {}, {}, notHere},
        {"j1850 68 ?A => 48", {}, {}, notHere},
        {"reg 3? 00", {}, {}, notHere},
        {"on A0 ?0 # a comment?", {}, {}, "line 1: on needs hex bytes, '=>' and the reply's hex bytes, ignored"},
    };
    for (const auto& c : cases) {
        const testboard::Setup setup = testboard::ParseSetup(c.line + "\n");
        if (c.note.empty()) {
            ASSERT_EQ(setup.rules.size(), 1u) << c.line;
            EXPECT_EQ(setup.rules[0].prefix, c.prefix) << c.line;
            EXPECT_EQ(setup.rules[0].mask, c.mask) << c.line;
            EXPECT_EQ(setup.rules[0].reply, Bytes{0x01}) << c.line;
        }
        EXPECT_EQ(setup.notes, c.note.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.note}) << c.line;
        EXPECT_TRUE(c.note.empty() || (setup.rules.empty() && setup.periodic.empty() && setup.j1850Peers.empty() &&
                                       setup.registers.empty())) << c.line;
    }
}

// The CAN send packet keeps the high nibble of byte 1 that an earlier page left there.
TEST_F(TestBoard, APatternRuleAnswersWhateverItsQuestionMarksCover) {
    testboard::ApplySetup(testboard::TheBoard(), testboard::ParseSetup("on A0 ?0 10 00 7C 1F => 01\n"));
    const struct { Bytes packet; bool answered; } cases[] = {
        {{0xA0, 0x80, 0x10, 0x00, 0x7C, 0x1F, 0x00}, true},
        {{0xA0, 0xB0, 0x10, 0x00, 0x7C, 0x1F, 0x00}, true},
        {{0xA0, 0x70, 0x10, 0x00, 0x7C, 0x1F}, true},
        {{0xA0, 0x81, 0x10, 0x00, 0x7C, 0x1F, 0x00}, false},
        {{0xA0, 0xB0, 0x10, 0x00, 0x7C, 0x1E, 0x00}, false},
        {{0xA0, 0xB0, 0x10, 0x00, 0x7C}, false},  // shorter than the rule
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.packet));
        ASSERT_TRUE(Exchange(c.packet)) << "the packet's own answer";
        EXPECT_EQ(Exchange(kPoll), c.answered ? Bytes{0x01} : kIdle);
        EXPECT_EQ(Exchange(kPoll), kIdle);
    }
}

TEST_F(TestBoard, QueuedCanFramesRideInPollRepliesSixteenAtMost) {
    const Bytes record{0xA0, 0x1F, 0, 0, 1, 0, 0x55, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 20; ++i) {
        const uint8_t data = 0x55;
        tb_queue_can_frame(0x7E8, 0, &data, 1);
    }
    Bytes queued{0x00, 0x00, 0x01, 0x00};
    queued.insert(queued.end(), 16, 0x33);
    tb_queue_reply(queued.data(), static_cast<unsigned>(queued.size()));
    const auto first = Exchange(kPoll);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->size(), 4u + 16 * 16);
    EXPECT_EQ((*first)[2], 16) << "the queued reply's record first, then 15";
    EXPECT_EQ(Bytes(first->begin() + 4, first->begin() + 20), Bytes(16, 0x33));
    EXPECT_EQ(Bytes(first->begin() + 20, first->begin() + 36), record);
    const auto second = Exchange(kPoll);
    ASSERT_TRUE(second);
    EXPECT_EQ((*second)[2], 5);
    EXPECT_EQ(second->size(), 4u + 5 * 16);
    EXPECT_EQ(Exchange(kPoll), (Bytes{0, 0, 0, 0}));
}

TEST(ParseSetupTest, PeriodicRepliesInHexMillisecondsAndTheEcho) {
    const auto setup = testboard::ParseSetup("every 1F4 => 00 10 01 80 0C\necho\nevery 3E8 on B1 82 => 0C\n");
    EXPECT_TRUE(setup.notes.empty());
    ASSERT_EQ(setup.periodic.size(), 2u);
    EXPECT_EQ(setup.periodic[0].periodMs, 500u);
    EXPECT_EQ(setup.periodic[0].reply, (Bytes{0x00, 0x10, 0x01, 0x80, 0x0C}));
    EXPECT_EQ(setup.periodic[0].start, Bytes{});
    EXPECT_EQ(setup.periodic[1].start, (Bytes{0xB1, 0x82}));
    EXPECT_EQ(setup.periodic[1].reply, Bytes{0x0C});
    EXPECT_TRUE(setup.echo);
}

TEST_F(TestBoard, UartSendsComeBackOnlyOnK1AndK2WhileTheEchoIsOn) {
    const Bytes send = {0x60, 0x00, 0x03, 0x00, 0xA1, 0xA2, 0xA3};
    const struct { const char* name; bool echo; uint8_t pins; bool heard; } cases[] = {
        {"K1", true, 0x30, true}, {"K2", true, 0x05, true}, {"SCI TX1 RX2", true, 0x04, false},
        {"RS485", true, 0x0A, false}, {"echo off", false, 0x00, false},
    };
    for (const auto& c : cases) {
        tb_set_uart_echo(c.echo);
        ASSERT_TRUE(Write({0x52, 0x2D, c.pins, 0x00}));
        ASSERT_TRUE(Write(send));
        EXPECT_FALSE(Read()) << "a send has no reply of its own: " << c.name;
        const Bytes heard = {0x00, 0x10, 0x03, 0x00, 0xA1, 0xA2, 0xA3};
        EXPECT_EQ(Exchange(kPoll), c.heard ? heard : kIdle) << c.name;
    }
}

TEST_F(TestBoard, PeriodicRepliesComeOnlyBetweenStartAndStop) {
    const Bytes header = {0x00, 0x10, 0x01, 0x80, 0x0C};
    tb_add_periodic_reply(1, header.data(), static_cast<unsigned>(header.size()));
    // Polls for at least a few periods (a deadline, not a sleep): all idle, or the first header.
    auto pollFor = [&](std::chrono::milliseconds span, bool untilHeader) {
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) {
            const auto reply = Exchange(kPoll);
            if (!reply) return false;
            if (*reply == header) return untilHeader;
            if (*reply != kIdle) return false;
        }
        return !untilHeader;
    };
    EXPECT_TRUE(pollFor(std::chrono::milliseconds(5), false)) << "before the start";
    ASSERT_TRUE(Write({0xB1, 0x82, 0x02, 0x00}));
    EXPECT_TRUE(pollFor(std::chrono::seconds(2), true));
    ASSERT_TRUE(Write({0xB2, 0x01, 0x07, 0x00}));
    EXPECT_TRUE(pollFor(std::chrono::milliseconds(5), false)) << "after the stop";

    // A rule tied to one start packet stays quiet after any other start.
    tb_reset();
    OpenPipes();
    testboard::ApplySetup(testboard::TheBoard(), testboard::ParseSetup("every 1 on B1 82 => 00 10 01 80 0C\n"));
    ASSERT_TRUE(Write({0xB1, 0xC3, 0x02, 0x00}));
    EXPECT_TRUE(pollFor(std::chrono::milliseconds(20), false)) << "after another page's start";
    ASSERT_TRUE(Write({0xB1, 0x82, 0x02, 0x00}));
    EXPECT_TRUE(pollFor(std::chrono::seconds(2), true)) << "after the LIN start";
}

TEST_F(TestBoard, EngineAnswersFiveBaudInitsAndKw1281BlocksAndCountsBadLengths) {
    TempDir dir;
    ASSERT_EQ(tb_load_setup(dir.File("board.txt", "init5 00 8A 01\nkw1281-ack\n").c_str()), 1);
    const struct { const char* name; Bytes packet; std::vector<Bytes> replies; unsigned mismatches; } cases[] = {
        // The answered 5-baud init and block are checked by the KW1281 page's board tests.
        {"fast init: no result", {0x57, 0x3F, 0x02, 0x00, 0x00, 0x10}, {}, 0},
        {"counter wraps", {0x57, 0x3F, 0x06, 0x00, 0x04, 0x00, 0x03, 0xFF, 0x09, 0x03},
         {{0x00, 0x10, 0x04, 0x00, 0x03, 0x00, 0x09, 0x03}}, 0},
        {"no block end", {0x57, 0x3F, 0x06, 0x00, 0x04, 0x00, 0x03, 0x05, 0x09, 0x04}, {}, 0},
        {"wrong block length", {0x57, 0x3F, 0x06, 0x00, 0x04, 0x00, 0x02, 0x05, 0x09, 0x03}, {}, 0},
        {"length wrapped past the word", {0x57, 0x3F, 0x03, 0x00, 0x00, 0x01, 0xFF}, {}, 1},
        {"other block", {0x57, 0x2F, 0x06, 0x00, 0x04, 0x00, 0x03, 0x05, 0x09, 0x03}, {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Write(c.packet));
        for (const Bytes& reply : c.replies) EXPECT_EQ(Exchange(kPoll), reply);
        EXPECT_EQ(Exchange(kPoll), (Bytes{0, 0, 0, 0}));
        EXPECT_EQ(tb_frame_length_mismatches(), c.mismatches);
    }
    tb_set_init5(0, 0, 0, 0);
    tb_set_kw1281_ack(0);
    ASSERT_TRUE(Write({0x57, 0x3F, 0x02, 0x00, 0x00, 0x20}));
    EXPECT_EQ(Exchange(kPoll), (Bytes{0, 0, 0, 0}));
}

TEST_F(TestBoard, HeldRepliesWaitTheirTimeAndJoinTheQueueInDueOrder) {
    TempDir dir;
    ASSERT_EQ(tb_load_setup(dir.File("board.txt", "on B1 => 0A after 927C0\n"
                                                  "on B1 => 0B after 1\n"
                                                  "on B1 => 0C\n").c_str()), 1);
    const Bytes late{0x0D};
    tb_queue_reply_after(late.data(), 1, 200);
    ASSERT_TRUE(Write({0xB1, 0xC3, 0x02, 0x00}));
    EXPECT_EQ(Exchange(kPoll), (Bytes{0x0C}));  // the rule without a hold at once
    std::vector<Bytes> taken;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (taken.size() < 2 && std::chrono::steady_clock::now() < deadline) {
        const Bytes reply = Exchange(kPoll).value_or(Bytes{});
        if (reply != Bytes{0, 0, 0, 0}) taken.push_back(reply);
    }
    EXPECT_EQ(taken, (std::vector<Bytes>{{0x0B}, {0x0D}}));
    EXPECT_EQ(Exchange(kPoll), (Bytes{0, 0, 0, 0})) << "the long hold is still held";

    // A stopped engine never hears the peer's later frame; what is in its buffer stays.
    tb_reset();
    OpenPipes();
    testboard::ApplySetup(testboard::TheBoard(), testboard::ParseSetup("on 57 => 0E after 1\non 57 => 0F\n"));
    ASSERT_TRUE(Write({0x57, 0x3F, 0x02, 0x00, 0x00, 0x00}));
    ASSERT_TRUE(Write({0xB2, 0x80, 0x00, 0x00}));
    const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(5);
    while (std::chrono::steady_clock::now() < due) {
    }
    EXPECT_EQ(Exchange(kPoll), (Bytes{0x0F}));
    EXPECT_EQ(Exchange(kPoll), (Bytes{0, 0, 0, 0})) << "the held frame after the stop";
}

TEST(EnvironmentTest, VariablesPrepareTheBoardAtLoadTime) {
    TempDir dir;
    const std::string vars[] = {"VR3526_TESTBOARD=" + dir.File("board.txt", "boards 3\nchip 42 2A\n"),
                                "VR3526_TESTBOARD_LOG=" + dir.File("packets.log", "earlier run\n")};
    const std::string out = dir.File("probe.out");
    char* env[] = {const_cast<char*>(vars[0].c_str()), const_cast<char*>(vars[1].c_str()), nullptr};
    char* argv[] = {const_cast<char*>(ENV_PROBE_PATH), const_cast<char*>(out.c_str()), nullptr};
    pid_t child = 0;
    int status = 0;
    ASSERT_EQ(posix_spawn(&child, ENV_PROBE_PATH, nullptr, nullptr, argv, env), 0);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadFile(out), "count 3 id 42 version 2A\n");
    EXPECT_THAT(ReadFile(dir.File("packets.log")), testing::MatchesRegex("earlier run\n[0-9]+ 00\n[0-9]+ 52 0D 00 00\n"));
}

}  // namespace

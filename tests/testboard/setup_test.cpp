#include <gmock/gmock.h>

#include <spawn.h>
#include <sys/wait.h>

#include <regex>
#include <sstream>

#include "testboard/SetupFile.h"
#include "tests/testboard/BoardFixture.h"
#include "tests/testboard/TempDir.h"

extern char** environ;

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;

namespace {

TEST(ParseSetupTest, ReadsEveryKindOfLine) {
    const auto setup = testboard::ParseSetup(
        "# a board for the K-line pages\n"
        "boards 2                      # two boards\n"
        "chip 41 12\n"
        "\n"
        "reg 31 00\n"
        "reg 0x0e 0A\n"
        "on 57 3F 07 00 05 00 C1 => 00 10 07 00 83 F1 10 C1 EF 8F C3\n"
        "on B1 C1=>00 10 01 00 55\n"
        "block 03 01 02 03\n"
        "idle 00 00 00 00 7F\n"
        "latency 0A\n");
    EXPECT_TRUE(setup.notes.empty()) << setup.notes.front();
    EXPECT_EQ(setup.boards, 2u);
    ASSERT_TRUE(setup.chip);
    EXPECT_EQ(*setup.chip, std::make_pair(uint8_t{0x41}, uint8_t{0x12}));
    EXPECT_THAT(setup.registers, ElementsAre(Pair(0x31, 0x00), Pair(0x0E, 0x0A)));
    ASSERT_EQ(setup.rules.size(), 2u);
    EXPECT_EQ(setup.rules[0].prefix, (Bytes{0x57, 0x3F, 0x07, 0x00, 0x05, 0x00, 0xC1}));
    EXPECT_EQ(setup.rules[0].reply,
              (Bytes{0x00, 0x10, 0x07, 0x00, 0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3}));
    EXPECT_EQ(setup.rules[1].prefix, (Bytes{0xB1, 0xC1}));
    EXPECT_EQ(setup.rules[1].reply, (Bytes{0x00, 0x10, 0x01, 0x00, 0x55}));
    ASSERT_EQ(setup.blocks.size(), 1u);
    EXPECT_EQ(setup.blocks[0].first, 0x03);
    EXPECT_EQ(setup.blocks[0].second, (Bytes{1, 2, 3}));
    EXPECT_EQ(setup.idle, (Bytes{0, 0, 0, 0, 0x7F}));
    EXPECT_EQ(setup.latencyMs, 10u);
}

TEST(ParseSetupTest, NumbersAreHex) {
    const auto setup = testboard::ParseSetup("boards 10\nchip fF a\n");
    EXPECT_EQ(setup.boards, 16u);
    ASSERT_TRUE(setup.chip);
    EXPECT_EQ(setup.chip->first, 0xFF);
    EXPECT_EQ(setup.chip->second, 0x0A);
}

TEST(ParseSetupTest, BadAndUnknownLinesAreIgnoredWithANote) {
    struct Case { const char* line; } cases[] = {
        {"speed 10400"},     {"boards"},          {"boards 2 3"},        {"boards zz"},
        {"chip 41"},         {"chip 141 12"},     {"reg 31"},            {"reg 31 0G"},
        {"on 57 3F"},        {"on => 00 10"},     {"on 57 =>"},          {"on 57 => 100"},
        {"block"},           {"idle 1 2 x"},
    };
    for (const auto& c : cases) {
        const auto setup = testboard::ParseSetup(std::string("reg 01 02\n") + c.line + "\n");
        ASSERT_EQ(setup.notes.size(), 1u) << c.line;
        EXPECT_THAT(setup.notes[0], HasSubstr("line 2")) << c.line;
        EXPECT_FALSE(setup.boards) << c.line;
        EXPECT_FALSE(setup.chip) << c.line;
        EXPECT_TRUE(setup.rules.empty()) << c.line;
        EXPECT_EQ(setup.registers.size(), 1u) << "the good line still counts: " << c.line;
    }
}

using LoadSetupTest = BoardFixture;

TEST_F(LoadSetupTest, LoadedSetupShapesTheBoard) {
    TempDir dir;
    const std::string path = dir.Write("board.txt",
                                       "boards 2\n"
                                       "chip 55 07\n"
                                       "reg 31 40\n"
                                       "on 57 3F 07 00 => 00 10 02 00 AA BB\n"
                                       "whatever this is\n");
    ASSERT_EQ(tb_load_setup(path.c_str()), 1);

    EXPECT_EQ(_MPUSBGetDeviceCount(kSelector), 2u);
    auto version = Exchange({0x00}, 64);
    ASSERT_TRUE(version);
    EXPECT_EQ((*version)[4], 0x55);
    EXPECT_EQ((*version)[5], 0x07);
    auto reg = Exchange({0x50, 0x31, 0x04, 0x00}, 64);
    ASSERT_TRUE(reg);
    EXPECT_EQ((*reg)[2], 0x40);

    const Bytes poll = {0xA0, 0x00, 0x04, 0x00};
    const Bytes canned = {0x00, 0x10, 0x02, 0x00, 0xAA, 0xBB};
    struct Case { Bytes packet; bool matches; } cases[] = {
        {{0x57, 0x3F, 0x07, 0x00, 0x05, 0x00, 0xC1, 0x33, 0xF1}, true},
        {{0x57, 0x3F, 0x07, 0x00}, true},
        {{0x57, 0x3F, 0x07}, false},                    // shorter than the prefix
        {{0x57, 0x3F, 0x08, 0x00, 0x05, 0x00}, false},  // differs inside the prefix
        {{0x54, 0x3F, 0x07, 0x00, 0x05}, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Write(c.packet));
        EXPECT_FALSE(Read()) << "the rule answers the next poll, not the write";
        EXPECT_EQ(Exchange(poll), (c.matches ? canned : Bytes{0, 0, 0, 0}));
    }
}

TEST_F(LoadSetupTest, EveryMatchingRuleQueuesItsReplyInFileOrder) {
    TempDir dir;
    const std::string path = dir.Write("rules.txt",
                                       "on B1 => 01\n"
                                       "on B1 C1 => 02\n"
                                       "on B2 => 03\n");
    ASSERT_EQ(tb_load_setup(path.c_str()), 1);
    ASSERT_TRUE(Write({0xB1, 0xC1, 0x02, 0x00}));
    EXPECT_EQ(tb_queued_replies(), 2u);
    EXPECT_EQ(Exchange({0xA0, 0x00, 0x04, 0x00}), (Bytes{0x01}));
    EXPECT_EQ(Exchange({0xA0, 0x00, 0x04, 0x00}), (Bytes{0x02}));
    EXPECT_EQ(Exchange({0xA0, 0x00, 0x04, 0x00}), (Bytes{0, 0, 0, 0}));
}

TEST(LoadSetupFileTest, MissingFileIsRefused) {
    tb_reset();
    TempDir dir;
    EXPECT_EQ(tb_load_setup(dir.File("none.txt").c_str()), 0);
    EXPECT_EQ(tb_load_setup(nullptr), 0);
    EXPECT_EQ(_MPUSBGetDeviceCount(kSelector), 1u);
}

// "<ms> <bytes as upper-case hex pairs>", one line per packet, in the order written.
std::vector<std::pair<uint32_t, std::string>> ParseLogLines(const std::string& text) {
    static const std::regex line("^([0-9]+)((?: [0-9A-F]{2})+)$");
    std::vector<std::pair<uint32_t, std::string>> lines;
    std::istringstream in(text);
    for (std::string s; std::getline(in, s);) {
        std::smatch m;
        EXPECT_TRUE(std::regex_match(s, m, line)) << "bad log line: " << s;
        if (!m.empty()) lines.emplace_back(uint32_t(std::stoul(m[1])), m[2].str().substr(1));
    }
    return lines;
}

using LogFileTest = BoardFixture;

TEST_F(LogFileTest, EveryWrittenPacketIsOneLineWithItsLoggedTime) {
    TempDir dir;
    const std::string path = dir.File("packets.log");
    ASSERT_EQ(tb_set_log_file(path.c_str()), 1);
    ASSERT_TRUE(Write({0x52, 0x0D, 0x00, 0x00}));
    ASSERT_TRUE(Write({0x00}));
    tb_fail_write(1);
    ASSERT_FALSE(Write({0xB2, 0x00, 0x07, 0x00}));
    ASSERT_TRUE(Write({0x57, 0x3F, 0x02, 0x00, 0xab, 0xcd}));
    // Flushed per line: the file is complete before it is closed.
    const auto lines = ParseLogLines(TempDir::Read(path));
    ASSERT_EQ(tb_set_log_file(nullptr), 1);

    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].second, "52 0D 00 00");
    EXPECT_EQ(lines[1].second, "00");
    EXPECT_EQ(lines[2].second, "57 3F 02 00 AB CD");
    for (unsigned i = 0; i < lines.size(); ++i) {
        uint32_t logged = 0;
        tb_log_packet(i, nullptr, 0, &logged);
        EXPECT_EQ(lines[i].first, logged);
    }

    ASSERT_TRUE(Write({0xA0, 0x00, 0x04, 0x00}));
    EXPECT_EQ(ParseLogLines(TempDir::Read(path)).size(), 3u) << "logging stopped";
    ASSERT_EQ(tb_set_log_file(path.c_str()), 1);
    ASSERT_TRUE(Write({0xAB, 0x00, 0x00, 0x00}));
    ASSERT_EQ(tb_set_log_file(nullptr), 1);
    const auto appended = ParseLogLines(TempDir::Read(path));
    ASSERT_EQ(appended.size(), 4u) << "a reopened log is appended to";
    EXPECT_EQ(appended[3].second, "AB 00 00 00");
    EXPECT_EQ(tb_set_log_file(dir.File("no/such/dir.log").c_str()), 0);
}

// The probe prints what a program sees of the board and writes a register.
TEST(EnvironmentTest, VariablesPrepareTheBoardAtLoadTime) {
    TempDir dir;
    const std::string setup = dir.Write("board.txt", "boards 3\nchip 42 2A\n");
    const std::string log = dir.File("packets.log");
    const std::string out = dir.File("probe.out");
    const std::string vars[] = {"VR3526_TESTBOARD=" + setup, "VR3526_TESTBOARD_LOG=" + log};
    char* env[] = {const_cast<char*>(vars[0].c_str()), const_cast<char*>(vars[1].c_str()), nullptr};
    char* argv[] = {const_cast<char*>(ENV_PROBE_PATH), const_cast<char*>(out.c_str()), nullptr};

    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, ENV_PROBE_PATH, nullptr, nullptr, argv, env), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << TempDir::Read(out);

    EXPECT_EQ(TempDir::Read(out), "count 3 id 42 version 2A\n");
    const auto lines = ParseLogLines(TempDir::Read(log));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].second, "00");
    EXPECT_EQ(lines[1].second, "52 0D 00 00");
    EXPECT_LE(lines[0].first, lines[1].first);
}

}  // namespace

#include <gmock/gmock.h>

#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testboard/SetupFile.h"
#include "tests/testboard/BoardFixture.h"

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

namespace {

// A directory of its own for one test's files, removed with everything in it.
struct TempDir {
    char path[32] = "/tmp/testboard-XXXXXX";
    TempDir() { EXPECT_NE(mkdtemp(path), nullptr); }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
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

TEST(ParseSetupTest, BadAndUnknownLinesAreIgnoredWithANote) {
    for (const char* line : {"speed 10400", "boards", "boards 2 3", "boards zz", "chip 41",
                             "chip 141 12", "reg 31", "reg 31 0G", "on 57 3F", "on => 00 10",
                             "on 57 =>", "on 57 => 100", "block", "idle 1 2 x"}) {
        const auto setup = testboard::ParseSetup(std::string("reg 01 02\n") + line + "\n");
        ASSERT_EQ(setup.notes.size(), 1u) << line;
        EXPECT_THAT(setup.notes[0], HasSubstr("line 2")) << line;
        EXPECT_FALSE(setup.boards || setup.chip || setup.idle) << line;
        EXPECT_TRUE(setup.rules.empty() && setup.blocks.empty()) << line;
        EXPECT_EQ(setup.registers.size(), 1u) << "the good line still counts: " << line;
    }
    EXPECT_EQ(testboard::ParseSetup("latency 0A\n").latencyMs, 10u);
}

using SetupFileTest = BoardFixture;

TEST_F(SetupFileTest, LoadedSetupShapesTheBoardAndItsRulesAnswerPolls) {
    TempDir dir;
    const std::string file = dir.File("board.txt",
                                      "# numbers are hex\n"
                                      "boards 10        # sixteen\n"
                                      "chip 55 0x07\n"
                                      "\n"
                                      "reg 0x31 4a\n"
                                      "block 03 0A 0B\n"
                                      "idle 00 00 00 00 7F\n"
                                      "on 57 3F 07 00 => 01\n"
                                      "whatever this is\n"
                                      "on 57 3F=>02\n"
                                      "on B2 => 03 # stop\n");
    ASSERT_EQ(tb_load_setup(file.c_str()), 1);
    EXPECT_EQ(_MPUSBGetDeviceCount(kSelector), 16u);
    const Bytes version = Exchange({0x00}, 64).value_or(Bytes(6));
    EXPECT_EQ(version[4], 0x55);
    EXPECT_EQ(version[5], 0x07);
    EXPECT_EQ(Exchange({0x50, 0x31, 0x04, 0x00}, 64).value_or(Bytes(3))[2], 0x4A);
    EXPECT_EQ(Exchange({0x51, 0x03, 0x02, 0x00}), (Bytes{0x0A, 0x0B}));

    // Every matching rule fires, in file order; the replies answer polls, not the write.
    struct Case { Bytes packet; std::vector<Bytes> replies; } cases[] = {
        {{0x57, 0x3F, 0x07, 0x00, 0x05, 0x00, 0xC1}, {{0x01}, {0x02}}},
        {{0x57, 0x3F, 0x08, 0x00, 0x05}, {{0x02}}},
        {{0x57}, {}},  // shorter than every prefix
        {{0xB2, 0x00, 0x07, 0x00}, {{0x03}}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Write(c.packet));
        EXPECT_FALSE(Read());
        for (const Bytes& reply : c.replies) EXPECT_EQ(Exchange(kPoll), reply);
        EXPECT_EQ(Exchange(kPoll), (Bytes{0, 0, 0, 0, 0x7F}));
    }
    EXPECT_EQ(tb_load_setup(dir.File("none.txt").c_str()), 0);
    EXPECT_EQ(tb_load_setup(nullptr), 0);
}

TEST_F(SetupFileTest, LogFileHasOneLineForEveryPacketLogged) {
    TempDir dir;
    const std::string path = dir.File("packets.log");
    ASSERT_EQ(tb_set_log_file(path.c_str()), 1);
    ASSERT_TRUE(Write({0x52, 0x0D, 0x00, 0x00}));
    tb_fail_write(1);
    ASSERT_FALSE(Write({0xB2, 0x00, 0x07, 0x00}));
    ASSERT_TRUE(Write({0x57, 0x3F, 0x02, 0x00, 0xab, 0xcd}));
    const char* hex[] = {"52 0D 00 00", "57 3F 02 00 AB CD"};
    std::string expected;
    for (unsigned i = 0; i < 2; ++i) {
        uint32_t ms = 0;
        tb_log_packet(i, nullptr, 0, &ms);
        expected += std::to_string(ms) + " " + hex[i] + "\n";
    }
    EXPECT_EQ(ReadFile(path), expected) << "flushed per line, with the logged times";

    ASSERT_EQ(tb_set_log_file(nullptr), 1);
    ASSERT_TRUE(Write(kPoll));  // not in the file: logging stopped
    ASSERT_EQ(tb_set_log_file(path.c_str()), 1);
    ASSERT_TRUE(Write({0x00}));
    ASSERT_EQ(tb_set_log_file(nullptr), 1);
    EXPECT_THAT(ReadFile(path), MatchesRegex(expected + "[0-9]+ 00\n")) << "reopened: appended";
    EXPECT_EQ(tb_set_log_file(dir.File("no/such/dir.log").c_str()), 0);
}

// The probe reports what a program sees of the board and writes a register.
TEST(EnvironmentTest, VariablesPrepareTheBoardAtLoadTime) {
    TempDir dir;
    const std::string vars[] = {"VR3526_TESTBOARD=" + dir.File("board.txt", "boards 3\nchip 42 2A\n"),
                                "VR3526_TESTBOARD_LOG=" + dir.File("packets.log")};
    const std::string out = dir.File("probe.out");
    char* env[] = {const_cast<char*>(vars[0].c_str()), const_cast<char*>(vars[1].c_str()), nullptr};
    char* argv[] = {const_cast<char*>(ENV_PROBE_PATH), const_cast<char*>(out.c_str()), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, ENV_PROBE_PATH, nullptr, nullptr, argv, env), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadFile(out), "count 3 id 42 version 2A\n");
    EXPECT_THAT(ReadFile(dir.File("packets.log")), MatchesRegex("[0-9]+ 00\n[0-9]+ 52 0D 00 00\n"));
}

}  // namespace

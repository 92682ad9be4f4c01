// The board's capture data: what polls get after a capture start, and the set-up file's
// capture lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "logic/KlgFile.h"
#include "logic/UartSynth.h"
#include "testboard/SetupFile.h"
#include "tests/testboard/BoardFixture.h"

namespace {

using Samples = std::vector<uint32_t>;

const Bytes kCaptureStart = {0xB1, 0x87, 0x02, 0x00};
const Bytes kCapturePoll = {0xA0, 0x07, 0x04, 0x00};

Samples Ramp(uint32_t count) {
    Samples v(count);
    for (uint32_t i = 0; i < count; ++i) v[i] = 0x01020304u * (i + 1);
    return v;
}

Bytes Reply(const Samples& samples, size_t from, size_t n) {
    Bytes r = {0x00, 0x00, static_cast<uint8_t>(4 * n), static_cast<uint8_t>((4 * n) >> 8)};
    for (size_t i = from; i < from + n; ++i)
        for (int b = 0; b < 4; ++b) r.push_back(static_cast<uint8_t>(samples[i] >> (8 * b)));
    return r;
}

class CaptureBoard : public TestBoard {
protected:
    // The samples the next polls bring until the idle reply comes.
    Samples Drain(std::vector<size_t>* sizes = nullptr) {
        Samples got;
        for (int polls = 0; polls < 100000; ++polls) {
            auto reply = Exchange(kCapturePoll);
            if (!reply || *reply == kIdle) break;
            const size_t n = (*reply)[2] / 4 + (*reply)[3] * 64;
            if (sizes) sizes->push_back(n);
            EXPECT_EQ(reply->size(), 4 + 4 * n);
            for (size_t i = 0; i < n; ++i) {
                uint32_t s = 0;
                for (int b = 0; b < 4; ++b) s |= uint32_t{(*reply)[4 + 4 * i + b]} << (8 * b);
                got.push_back(s);
            }
        }
        return got;
    }
};

TEST_F(CaptureBoard, ACaptureStartServesTheSamplesInRepliesOfAtMost66) {
    const Samples samples = Ramp(150);
    tb_set_capture(samples.data(), 150);
    EXPECT_EQ(Exchange(kCapturePoll), kIdle) << "nothing before the start";
    ASSERT_TRUE(Write(kCaptureStart));
    EXPECT_EQ(Exchange(kCapturePoll), Reply(samples, 0, 66));
    std::vector<size_t> sizes;
    EXPECT_EQ(Drain(&sizes), Samples(samples.begin() + 66, samples.end()));
    EXPECT_EQ(sizes, (std::vector<size_t>{66, 18}));
    EXPECT_EQ(tb_capture_served(), 150u);

    // A queued reply goes first, the fault bit is or'ed in, and a new start serves from the first.
    ASSERT_TRUE(Write(kCaptureStart));
    const Bytes queued = {0x00, 0x00, 0x00, 0x00};
    tb_queue_reply(queued.data(), 4);
    tb_set_fault(1);
    EXPECT_EQ(Exchange(kCapturePoll), (Bytes{0x00, 0x08, 0x00, 0x00}));
    Bytes faulted = Reply(samples, 0, 66);
    faulted[1] = 0x08;
    EXPECT_EQ(Exchange(kCapturePoll), faulted);
}

TEST_F(CaptureBoard, OnlyTheCaptureStartServesAndAStopEndsIt) {
    const Samples samples = Ramp(40);
    tb_set_capture(samples.data(), 40);
    tb_set_capture_per_reply(15);
    const struct {
        Bytes start;
        bool serves;
    } cases[] = {
        {{0xB1, 0x81, 0x02, 0x00}, false},  // an ISO 14230 start
        {{0xB1, 0x87, 0x01, 0x00}, false},  // the CAN engine
        {kCaptureStart, true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Write(c.start));
        EXPECT_EQ(Exchange(kCapturePoll) != kIdle, c.serves) << int(c.start[1]) << " " << int(c.start[2]);
    }
    ASSERT_TRUE(Write({0xB2, 0x07, 0x07, 0x00}));
    EXPECT_EQ(Exchange(kCapturePoll), kIdle);
    ASSERT_TRUE(Write(kCaptureStart));
    std::vector<size_t> sizes;
    EXPECT_EQ(Drain(&sizes), samples);
    EXPECT_EQ(sizes, (std::vector<size_t>{15, 15, 10}));
}

TEST(CaptureSetupTest, CaptureLinesAreReadOrNamedInTheNotes) {
    const testboard::Setup setup = testboard::ParseSetup(
        "capture uart 28A0 even\n"
        "capture gap 1F4\n"
        "capture bytes 81 10 F1\n"
        "capture idle 3E8\n"
        "capture break 61A8\n"
        "capture klg /tmp/wave.klg\n"
        "capture uart 28A0 mark\n"
        "capture uart 0 none\n"
        "capture bytes\n"
        "capture bytes 1FF\n"
        "capture idle\n"
        "capture klg\n"
        "capture\n"
        "capture later 1\n");
    ASSERT_EQ(setup.capture.size(), 6u);
    const testboard::CaptureStep& uart = setup.capture[0];
    EXPECT_EQ(uart.kind, testboard::CaptureStep::Uart);
    EXPECT_EQ(uart.number, 10400u);
    EXPECT_EQ(uart.parityMode, 2u);
    EXPECT_EQ(setup.capture[1].number, 500u);
    EXPECT_EQ(setup.capture[2].data, (Bytes{0x81, 0x10, 0xF1}));
    EXPECT_EQ(setup.capture[4].kind, testboard::CaptureStep::Break);
    EXPECT_EQ(setup.capture[5].path, "/tmp/wave.klg");
    std::vector<std::string> lines;
    for (const std::string& note : setup.notes) lines.push_back(note.substr(0, note.find(':')));
    EXPECT_EQ(lines, (std::vector<std::string>{"line 7", "line 8", "line 9", "line 10", "line 11", "line 12",
                                               "line 13", "line 14"}));
}

TEST_F(CaptureBoard, TheSetupFileServesASynthesisedLineOrAKlgFile) {
    UartSynth line(10400, 2);
    const uint8_t bytes[] = {0x81, 0x10, 0xF1, 0x81, 0x03};
    line.Idle(1000);
    line.Bytes(bytes, sizeof bytes, 500);
    line.Break(25000);
    line.Idle(0);
    testboard::ApplySetup(testboard::TheBoard(), testboard::ParseSetup(
        "capture uart 28A0 even\ncapture idle 3E8\ncapture gap 1F4\ncapture bytes 81 10 F1 81 03\n"
        "capture break 61A8\ncapture idle 0\n"));
    ASSERT_TRUE(Write(kCaptureStart));
    EXPECT_EQ(Drain(), line.Samples());

    const std::string path = (std::filesystem::temp_directory_path() / "capture_setup_test.klg").string();
    const Samples stored = Ramp(70);
    ASSERT_EQ(SaveKlg(path, KlgSettings{1, 3, 0}, stored.data(), 70), KlgResult::Ok);
    testboard::ApplySetup(testboard::TheBoard(), testboard::ParseSetup("capture klg " + path + "\n"));
    ASSERT_TRUE(Write(kCaptureStart));
    EXPECT_EQ(Drain(), stored);
    std::filesystem::remove(path);
}

}  // namespace

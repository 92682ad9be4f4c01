// .klg files through the page: what a save writes, what a load takes, and what it refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>


#include <string>
#include <vector>

#include "logic/KlgFile.h"
#include "logic/LogicPage.h"
#include "tests/support/TempFiles.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

void PutU32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

Bytes KlgBytes(uint32_t count, uint32_t scale, uint32_t baud, uint32_t parity, uint32_t samplesPresent,
               uint32_t magic = kKlgMagic) {
    Bytes b;
    for (uint32_t v : {magic, count, scale, baud, parity}) PutU32(b, v);
    for (uint32_t i = 0; i < samplesPresent; ++i) PutU32(b, 1000 + 7 * i);
    return b;
}

std::vector<uint32_t> Ramp(uint32_t count, uint32_t step = 3) {
    std::vector<uint32_t> v(count);
    for (uint32_t i = 0; i < count; ++i) v[i] = 0xFFFFFF00u + i * step;  // wraps on the way
    return v;
}

std::vector<uint32_t> Held(const WaveView& v) { return {v.capture.Samples(), v.capture.Samples() + v.capture.Count()}; }

using KlgFileTest = TempFolderTest;

TEST_F(KlgFileTest, SaveWritesTheHeaderAndSamplesAndLoadGivesThemBack) {
    LogicPage page;
    page.View().capture.Assign(Ramp(5));
    page.SelectParity(ParityEven);
    page.SelectBaud(6);
    page.SelectTimeScale(8);
    ASSERT_EQ(page.SaveTo(Path("wave.klg")), KlgResult::Ok);
    Bytes expected = {0x01, 0xEE, 0x00, 0xEE, 5, 0, 0, 0, 8, 0, 0, 0, 6, 0, 0, 0, 2, 0, 0, 0};
    for (uint32_t v : Ramp(5)) PutU32(expected, v);
    EXPECT_EQ(ReadAll(Path("wave.klg")), expected);

    LogicPage loaded;
    ASSERT_EQ(loaded.LoadFrom(Path("wave.klg")), KlgResult::Ok);
    const WaveView& v = loaded.View();
    EXPECT_EQ(Held(v), Ramp(5));
    EXPECT_EQ(v.lastDrawnCount, 5u);
    EXPECT_EQ((std::vector<unsigned>{loaded.TimeScaleRow(), loaded.BaudRow(), loaded.ParityMode()}),
              (std::vector<unsigned>{8, 6, 2}));
    // The baud is applied with the stored parity: an 11-bit frame at 19200.
    EXPECT_EQ(v.settings.frameUs, 11000000u / 19200);
    EXPECT_EQ(v.settings.timeScaleUs, 10000u);
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST(KlgNameTest, KlgIsAppendedUnlessTheNameHoldsItInEitherCase) {
    const struct { const char* typed; const char* saved; } cases[] = {
        {"wave", "wave.klg"},        {"wave.KLG", "wave.KLG"},      {"a.klg.bak", "a.klg.bak"},
        {"wave.Klg", "wave.Klg.klg"}, {"dir.klg/wave", "dir.klg/wave"}, {"wave.rec", "wave.rec.klg"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithKlgExtension(c.typed), c.saved);
}

TEST_F(KlgFileTest, BrokenFilesAreRefusedAndLeaveCaptureAndSettingsAsTheyWere) {
    Bytes shortHeader = KlgBytes(0, 1, 3, 0, 0);
    shortHeader.pop_back();
    Bytes trailing = KlgBytes(3, 8, 6, 3, 3);
    trailing.push_back(0x99);
    const struct { const char* name; Bytes file; KlgResult result; } cases[] = {
        {"empty", {}, KlgResult::FormatError},
        {"19-byte header", shortHeader, KlgResult::FormatError},
        {"wrong magic", KlgBytes(1, 1, 3, 0, 1, 0xEE00EE02), KlgResult::FormatError},
        {"more samples than the buffer", KlgBytes(1000001, 1, 3, 0, 0), KlgResult::FormatError},
        {"count above the samples held", KlgBytes(10, 1, 3, 0, 7), KlgResult::FormatError},
        {"time scale 9", KlgBytes(1, 9, 3, 0, 1), KlgResult::FormatError},
        {"baud 7", KlgBytes(1, 1, 7, 0, 1), KlgResult::FormatError},
        {"parity 4", KlgBytes(1, 1, 3, 4, 1), KlgResult::FormatError},
        {"baud 0xFFFFFFFF", KlgBytes(1, 1, 0xFFFFFFFF, 0, 1), KlgResult::FormatError},
        {"the largest rows, a byte after the samples", trailing, KlgResult::Ok},
        {"no samples", KlgBytes(0, 0, 0, 1, 0), KlgResult::Ok},
    };
    for (const auto& c : cases) {
        LogicPage page;
        page.View().capture.Assign(Ramp(4));
        page.SelectParity(ParityOdd);  // times still of no parity: a load must not recompute them
        const LogicSettings before = page.View().settings;
        WriteAll(Path("case.klg"), c.file);
        messages_.Clear();
        EXPECT_EQ(page.LoadFrom(Path("case.klg")), c.result) << c.name;
        const WaveView& v = page.View();
        if (c.result == KlgResult::Ok) {
            EXPECT_EQ(messages_.Count(), 0u);
            const uint32_t count = c.file[4];
            EXPECT_EQ(v.capture.Count(), count) << c.name;
            continue;
        }
        EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"文件格式错误！"}) << c.name;
        EXPECT_EQ(Held(v), Ramp(4));
        EXPECT_EQ((std::vector<unsigned>{page.TimeScaleRow(), page.BaudRow(), page.ParityMode(), v.settings.frameUs,
                                         v.settings.timeScaleUs}),
                  (std::vector<unsigned>{kLogicTimeScaleDefault, kLogicBaudDefault, ParityOdd, before.frameUs,
                                         before.timeScaleUs}))
            << c.name;
    }
    LogicPage page;
    messages_.Clear();
    EXPECT_EQ(page.LoadFrom(Path("missing.klg")), KlgResult::OpenError);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"打开文件出错！"});
    // A FIFO is refused at once, not waited on for a writer.
    messages_.Clear();
    ASSERT_EQ(mkfifo(Path("fifo.klg").c_str(), 0644), 0);
    alarm(5);
    EXPECT_EQ(page.LoadFrom(Path("fifo.klg")), KlgResult::OpenError);
    alarm(0);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"打开文件出错！"});
}

TEST_F(KlgFileTest, HalfAMillionSamplesLoadWholeAndAFullBufferSavesWhole) {
    for (uint32_t count : {500000u, kLogicCaptureSamples}) {
        LogicPage page;
        page.View().capture.Assign(Ramp(count, 11));
        ASSERT_EQ(page.SaveTo(Path("big.klg")), KlgResult::Ok);
        EXPECT_EQ(fs::file_size(Path("big.klg")), 20u + 4u * count);
        LogicPage loaded;
        ASSERT_EQ(loaded.LoadFrom(Path("big.klg")), KlgResult::Ok);
        const WaveCapture& c = loaded.View().capture;
        ASSERT_EQ(c.Count(), count);
        EXPECT_EQ(c.Samples()[count - 1], Ramp(count, 11).back());
    }
}

TEST_F(KlgFileTest, AFailedSaveReportsItAndKeepsTheOldFile) {
    const Bytes old = KlgBytes(2, 1, 3, 0, 2);
    WriteAll(Path("keep.klg"), old);
    LogicPage page;
    page.View().capture.Assign(Ramp(100000));
    {
        FileSizeLimit limit(64 * 1024);
        EXPECT_EQ(page.SaveTo(Path("keep.klg")), KlgResult::SaveError);
    }
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Save file error!"});
    EXPECT_EQ(ReadAll(Path("keep.klg")), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "no temporary file left";
    messages_.Clear();
    EXPECT_EQ(page.SaveTo(Path("no-such-folder/wave.klg")), KlgResult::SaveError);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Save file error!"});
    // A pipe in the file's place: refused at once, never waited on.
    messages_.Clear();
    ASSERT_EQ(mkfifo(Path("pipe.klg").c_str(), 0644), 0);
    alarm(5);
    EXPECT_EQ(page.SaveTo(Path("pipe.klg")), KlgResult::SaveError);
    alarm(0);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Save file error!"});
    EXPECT_TRUE(fs::is_fifo(Path("pipe.klg")));
}

}  // namespace

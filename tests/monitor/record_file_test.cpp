#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "MonitorTestSupport.h"
#include "monitor/RecordFile.h"
#include "monitor/RecordFormat.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t LoadU32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

void StoreU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The six words and a hash of every record byte: what a refused load must leave alone.
struct RingState {
    uint32_t words[6];
    uint64_t recordHash;
    bool operator==(const RingState& o) const {
        return std::memcmp(words, o.words, sizeof words) == 0 && recordHash == o.recordHash;
    }
};

RingState CaptureRing() {
    RingState s{{g_MonitorOldest, g_MonitorWrite, g_MonitorCount, g_MonitorRowsPerPage, g_MonitorTop, g_MonitorSeq},
                1469598103934665603ull};
    const auto* p = reinterpret_cast<const uint8_t*>(g_MonitorRecords);
    for (size_t i = 0; i < sizeof g_MonitorRecords; ++i) s.recordHash = (s.recordHash ^ p[i]) * 1099511628211ull;
    return s;
}

// Records of every kind, with bytes that no writer of that kind touches left stale.
void FillMixedRing(uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t seq = g_MonitorSeq;
        uint8_t bytes[kMonitorDataBytes];
        for (uint32_t b = 0; b < sizeof bytes; ++b) bytes[b] = static_cast<uint8_t>(seq * 7 + b);
        MonitorInitBytes init;
        init.which = MonitorInitBytes::Fast;
        init.lowMs = static_cast<uint8_t>(seq);
        init.highMs = static_cast<uint8_t>(seq + 1);
        switch (seq % 4) {
            case 0: AppendMonitorRecord(kReceived, KindCan, 0, seq * 3, bytes, 16); break;
            case 1: AppendMonitorRecord(kSent, KindUart, UartWord(1, 40), seq * 3, bytes, 40, init); break;
            case 2: AppendMonitorRecord(kSent, KindJ1850, 0, 0xFFFFFF00u + seq, bytes, 16); break;
            default: AppendMonitorRecord(kReceived, KindErrorFlags, 0, seq, bytes, 16); break;
        }
    }
    g_MonitorRecords[0].reserved = 0x5C;  // never written by an append, still saved
}

class RecordFiles : public CleanRing {
protected:
    void SetUp() override {
        CleanRing::SetUp();
        char pattern[] = "/tmp/vr-monitor-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    size_t EntriesInDir() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }

    fs::path dir_;
};

TEST_F(RecordFiles, RecRoundTripIsByteExact) {
    static_assert(sizeof(MonitorRecord) == kMonitorFileRecordBytes, "");
    FillMixedRing(1234);
    g_MonitorRowsPerPage = 33;
    g_MonitorTop = 17;
    const RingState saved = CaptureRing();
    const std::string path = Path("ring.rec");
    ASSERT_EQ(SaveMonitorRec(path), RecordFileResult::Ok);

    const std::vector<uint8_t> file = ReadBytes(path);
    ASSERT_EQ(file.size(), 28u + 276u * 1234u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 4), (std::vector<uint8_t>{0x23, 0x01, 0xA0, 0xEA}));
    const uint32_t words[6] = {0, 1234, 1234, 33, 17, 1235};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(LoadU32(file, 4 + 4 * i), words[i]) << i;
    // Record 1 (sequence 2, a J1850 frame) field by field.
    const size_t r1 = 28 + 276;
    EXPECT_EQ(LoadU32(file, r1), 2u);
    EXPECT_EQ(LoadU32(file, r1 + 4), 0xFFFFFF02u);
    EXPECT_EQ(file[r1 + 8], kSent);
    EXPECT_EQ(file[r1 + 9], KindJ1850);
    EXPECT_EQ(file[28 + 275], 0x5C);
    EXPECT_EQ(file[28 + 272], 1);  // record 0's fast-init low time
    EXPECT_EQ(file[28 + 10], 40);  // record 0's length word, low byte
    EXPECT_EQ(file[28 + 11], 0x10);

    std::memset(g_MonitorRecords, 0, sizeof g_MonitorRecords);
    ResetMonitorRing();
    g_MonitorRowsPerPage = 5;
    ASSERT_EQ(LoadMonitorRec(path), RecordFileResult::Ok);
    RingState expected = saved;
    expected.words[4] = 0;  // a load starts at the top
    EXPECT_TRUE(CaptureRing() == expected);
    EXPECT_EQ(g_MonitorLastSeq.load(), 1235u);
    EXPECT_FALSE(MonitorTakeNewRecords());

    // Saved again, the file is the same to the last byte (top aside).
    g_MonitorTop = 17;
    ASSERT_EQ(SaveMonitorRec(Path("again.rec")), RecordFileResult::Ok);
    EXPECT_EQ(ReadBytes(Path("again.rec")), file);
}

TEST_F(RecordFiles, FullWrappedRingRoundTripsAndAppendsContinue) {
    AppendNumbered(100001);
    const RingState saved = CaptureRing();
    ASSERT_EQ(SaveMonitorRec(Path("full.rec")), RecordFileResult::Ok);
    ResetMonitorRing();
    AppendNumbered(3);
    ASSERT_EQ(LoadMonitorRec(Path("full.rec")), RecordFileResult::Ok);
    EXPECT_TRUE(CaptureRing() == saved);
    AppendNumbered(1);
    EXPECT_EQ(CopyMonitorRecord(1).sequence, 100002u);
    EXPECT_EQ(g_MonitorOldest.load(), 2u);
}

TEST_F(RecordFiles, BrokenFilesAreRefusedAndTheRingIsUntouched) {
    FillMixedRing(10);
    ASSERT_EQ(SaveMonitorRec(Path("good.rec")), RecordFileResult::Ok);
    const std::vector<uint8_t> good = ReadBytes(Path("good.rec"));

    // A different ring is on screen when the broken file is opened.
    ResetMonitorRing();
    AppendNumbered(25);
    g_MonitorRowsPerPage = 12;
    g_MonitorTop = 4;
    const RingState before = CaptureRing();

    auto with = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> b = good;
        StoreU32(b, at, value);
        return b;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"bad magic", with(0, 0xEAA00124)},
        {"empty", {}},
        {"header cut short", std::vector<uint8_t>(good.begin(), good.begin() + 27)},
        {"one byte short of its count", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"count above what it holds", with(12, 11)},
        {"count 100001", with(12, 100001)},
        {"rows 257", with(16, 257)},
        {"rows negative", with(16, 0xFFFFFFFD)},
        {"oldest 100000", with(4, 100000)},
        {"write 100000", with(8, 100000)},
        {"top 100000", with(20, 100000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(Path("bad.rec"), c.bytes);
        EXPECT_EQ(LoadMonitorRec(Path("bad.rec")), RecordFileResult::FormatError);
        EXPECT_EQ(LoadMonitorRecFromMemory(c.bytes.data(), c.bytes.size()), RecordFileResult::FormatError);
        EXPECT_TRUE(CaptureRing() == before);
    }
    EXPECT_STREQ(RecordFileMessage(RecordFileResult::FormatError), "文件格式错误！");

    // At the limits the file is taken; bytes past its records are ignored.
    std::vector<uint8_t> edge = with(16, 256);
    edge.push_back(0xAB);
    EXPECT_EQ(LoadMonitorRecFromMemory(edge.data(), edge.size()), RecordFileResult::Ok);
    EXPECT_EQ(g_MonitorRowsPerPage.load(), 256u);
    EXPECT_EQ(g_MonitorCount.load(), 10u);
}

TEST_F(RecordFiles, MissingFileCannotBeOpened) {
    const RingState before = CaptureRing();
    EXPECT_EQ(LoadMonitorRec(Path("absent.rec")), RecordFileResult::OpenError);
    EXPECT_EQ(LoadMonitorRec(dir_.string()), RecordFileResult::OpenError);  // a folder
    EXPECT_TRUE(CaptureRing() == before);
    EXPECT_STREQ(RecordFileMessage(RecordFileResult::OpenError), "打开文件出错！");
}

TEST_F(RecordFiles, EmptyRingIsNotSaved) {
    EXPECT_EQ(SaveMonitorRec(Path("empty.rec")), RecordFileResult::NothingToSave);
    EXPECT_EQ(SaveMonitorTxt(Path("empty.txt")), RecordFileResult::NothingToSave);
    EXPECT_EQ(EntriesInDir(), 0u);
    EXPECT_STREQ(RecordFileMessage(RecordFileResult::NothingToSave), "无监控数据需要保存!");
}

TEST(RecordFileNames, ExtensionIsAddedUnlessPresentAnywhere) {
    const struct {
        const char* path;
        RecordFileType type;
        const char* result;
    } cases[] = {
        {"data", RecordFileType::Rec, "data.rec"},
        {"data.rec", RecordFileType::Rec, "data.rec"},
        {"data.REC.bak", RecordFileType::Rec, "data.REC.bak"},
        {"data.Rec", RecordFileType::Rec, "data.Rec.rec"},
        {"/home/a.rec/log", RecordFileType::Rec, "/home/a.rec/log"},
        {"data.txt", RecordFileType::Rec, "data.txt.rec"},
        {"x", RecordFileType::Txt, "x.txt"},
        {"x.TXT", RecordFileType::Txt, "x.TXT"},
        {"x.rec", RecordFileType::Txt, "x.rec.txt"},
        {"notes.txt.old", RecordFileType::Txt, "notes.txt.old"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithRecordFileExtension(c.path, c.type), c.result) << c.path;
}

TEST_F(RecordFiles, TextExportOfAWrappedRingIsInArrayOrderWithCrlf) {
    AppendNumbered(100001);
    const std::string path = Path("ring.txt");
    ASSERT_EQ(SaveMonitorTxt(path), RecordFileResult::Ok);
    std::ifstream in(path, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::string> lines;
    for (size_t at = 0; at < content.size();) {
        const size_t end = content.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "line without CRLF at " << at;
        lines.push_back(content.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 100000u);
    EXPECT_EQ(lines[0], FormatExportLine(CopyMonitorRecord(0)));
    EXPECT_EQ(lines[0].substr(0, 9), "   100001");
    EXPECT_EQ(lines[1].substr(0, 8), "       2");
    EXPECT_EQ(lines[99999].substr(0, 9), "   100000");
    EXPECT_EQ(content.find('\n'), content.find("\r\n") + 1);
}

TEST_F(RecordFiles, SaveIntoAMissingFolderFails) {
    AppendNumbered(3);
    EXPECT_EQ(SaveMonitorRec(Path("no/such/folder/a.rec")), RecordFileResult::RecSaveError);
    EXPECT_EQ(SaveMonitorTxt(Path("no/such/folder/a.txt")), RecordFileResult::TxtSaveError);
    EXPECT_EQ(EntriesInDir(), 0u);
    EXPECT_STREQ(RecordFileMessage(RecordFileResult::RecSaveError), "Save data record file error!");
    EXPECT_STREQ(RecordFileMessage(RecordFileResult::TxtSaveError), "Save Txt  file error!");
}

// Writes that fail part way (a file size limit stands in for a full disk) leave the file
// that was there as it was, and no temporary file behind.
TEST_F(RecordFiles, FailedSaveKeepsTheExistingFile) {
    AppendNumbered(500);
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    WriteBytes(Path("keep.rec"), old);
    WriteBytes(Path("keep.txt"), old);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const RecordFileResult rec = SaveMonitorRec(Path("keep.rec"));
    const RecordFileResult txt = SaveMonitorTxt(Path("keep.txt"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(rec, RecordFileResult::RecSaveError);
    EXPECT_EQ(txt, RecordFileResult::TxtSaveError);
    EXPECT_EQ(ReadBytes(Path("keep.rec")), old);
    EXPECT_EQ(ReadBytes(Path("keep.txt")), old);
    EXPECT_EQ(EntriesInDir(), 2u);

    // Without the limit the same save replaces the file.
    ASSERT_EQ(SaveMonitorRec(Path("keep.rec")), RecordFileResult::Ok);
    EXPECT_EQ(ReadBytes(Path("keep.rec")).size(), 28u + 276u * 500u);
}

}  // namespace

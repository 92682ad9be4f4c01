#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "MonitorTestSupport.h"
#include "monitor/HexText.h"
#include "monitor/RecordFile.h"
#include "monitor/RecordFormat.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The six words and a hash of every record byte.
std::vector<uint64_t> RingState() {
    const uint64_t hash = std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char*>(g_MonitorRecords), sizeof g_MonitorRecords));
    return {g_MonitorOldest, g_MonitorWrite, g_MonitorCount, g_MonitorRowsPerPage, g_MonitorTop, g_MonitorSeq, hash};
}

void PutWord(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Header offsets of the words.
constexpr size_t kOldestAt = 4, kWriteAt = 8, kCountAt = 12, kSeqAt = 24;

// Records of every kind whose 260 bytes, init bytes and the reserved byte all differ.
void FillMixedRing(uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t seq = g_MonitorSeq;
        uint8_t bytes[kMonitorDataBytes];
        for (uint32_t b = 0; b < sizeof bytes; ++b) bytes[b] = static_cast<uint8_t>(seq * 7 + b);
        MonitorInitBytes init;
        init.which = MonitorInitBytes::Fast, init.lowMs = static_cast<uint8_t>(seq), init.highMs = init.lowMs + 1;
        const uint8_t kind = static_cast<uint8_t>(seq % 4);
        AppendMonitorRecord(seq % 3 ? kSent : kReceived, kind, kind == KindUart ? UartWord(1, 260) : 0,
                            0xFFFFFF00u + seq, bytes, sizeof bytes, init);
        g_MonitorRecords[(seq - 1) % kMonitorCapacity].reserved = static_cast<uint8_t>(seq * 3);
    }
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
    size_t Entries() const { return std::distance(fs::directory_iterator(dir_), {}); }

    fs::path dir_;
};

TEST_F(RecordFiles, WrappedRingRoundTripsByteExact) {
    FillMixedRing(100001);
    g_MonitorRowsPerPage = 33;
    g_MonitorTop = 17;
    const std::vector<uint64_t> saved = RingState();
    ASSERT_EQ(SaveMonitorRec(Path("ring.rec")), RecordFileResult::Ok);

    const std::vector<uint8_t> file = ReadBytes(Path("ring.rec"));
    ASSERT_EQ(file.size(), 28u + 276u * 100000u);
    // Magic, oldest 1, write 1, count 100000, rows 33, top 17, next 100002; then record 0 (sequence
    // 100001, a sent UART frame) as sequence, time, direction, kind, length word.
    const std::vector<uint8_t> head = {0x23, 0x01, 0xA0, 0xEA, 1, 0, 0, 0, 1, 0, 0, 0, 0xA0, 0x86, 0x01, 0, 33, 0, 0, 0,
                                       17, 0, 0, 0, 0xA2, 0x86, 0x01, 0, 0xA1, 0x86, 0x01, 0x00, 0xA1, 0x85, 0x01, 0x00,
                                       kSent, KindUart, 0x04, 0x11};
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + head.size()), head);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 28 + 272, file.begin() + 28 + 276),
              (std::vector<uint8_t>{0xA1, 0xA2, 0x00, static_cast<uint8_t>(100001 * 3)}));

    std::memset(g_MonitorRecords, 0, sizeof g_MonitorRecords);
    ResetMonitorRing();
    AppendNumbered(3);
    ASSERT_EQ(LoadMonitorRec(Path("ring.rec")), RecordFileResult::Ok);
    std::vector<uint64_t> expected = saved;
    expected[4] = 0;  // a load starts at the top
    EXPECT_EQ(RingState(), expected);
    EXPECT_EQ(g_MonitorLastSeq.load(), g_MonitorSeq.load()) << "the load refreshed the list itself";

    g_MonitorTop = 17;
    ASSERT_EQ(SaveMonitorRec(Path("again.rec")), RecordFileResult::Ok);
    EXPECT_EQ(ReadBytes(Path("again.rec")), file);
}

// Every ring the program can hold saves to a file that loads back as it was, and the same file
// with one word moved off the ring's own rules is refused. Rings past 2^31 and 2^32 appends
// start from a seeded counter.
TEST_F(RecordFiles, EveryRingRoundTripsAndNoContradictingWordsLoad) {
    const struct { const char* name; uint64_t seeded; uint32_t appended; } cases[] = {
        {"0 appends", 0, 0},
        {"1 append", 0, 1},
        {"99999 appends", 0, 99999},
        {"100000 appends", 0, 100000},
        {"250000 appends", 0, 250000},
        {"next sequence 0x80000001", 0x80000000, 0},
        {"across 2^31", (uint64_t{1} << 31) - 5, 10},
        {"across 2^32", (uint64_t{1} << 32) - 5, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        SeedRing(c.seeded);
        AppendNumbered(c.appended);
        g_MonitorTop = 0;
        const std::vector<uint64_t> saved = RingState();
        const uint32_t count = g_MonitorCount, oldest = g_MonitorOldest, write = g_MonitorWrite, next = g_MonitorSeq;

        const std::string path = Path("ring.rec");
        if (count == 0) {
            EXPECT_EQ(SaveMonitorRec(path), RecordFileResult::NothingToSave);
            std::vector<uint8_t> empty(kMonitorFileHeaderBytes, 0);  // the empty ring's words, made by hand
            PutWord(empty, 0, kMonitorFileMagic), PutWord(empty, 16, g_MonitorRowsPerPage), PutWord(empty, kSeqAt, 1);
            WriteBytes(path, empty);
        } else {
            ASSERT_EQ(SaveMonitorRec(path), RecordFileResult::Ok);
        }
        ResetMonitorRing();  // another ring on screen: other words, other bytes where the file's records go
        g_MonitorRowsPerPage = 7;
        std::memset(g_MonitorRecords, 0xEE, count * sizeof(MonitorRecord));
        ASSERT_EQ(LoadMonitorRec(path), RecordFileResult::Ok);
        EXPECT_EQ(RingState(), saved);

        // One record more than the count, so that no broken word is refused for the length.
        std::vector<uint8_t> file = ReadBytes(path);
        file.resize(file.size() + kMonitorFileRecordBytes);
        const struct { size_t at; uint32_t bad; } broken[] = {
            {kOldestAt, (oldest + 1) % kMonitorCapacity}, {kWriteAt, (write + 1) % kMonitorCapacity},
            {kSeqAt, next + 1}, {kCountAt, count + 1},
        };
        for (const auto& b : broken) {
            if (count == kMonitorCapacity && b.at == kSeqAt) continue;  // a full ring's sequence may be any
            SCOPED_TRACE(testing::Message() << "word at " << b.at << " = " << b.bad);
            std::vector<uint8_t> bad = file;
            PutWord(bad, b.at, b.bad);
            EXPECT_EQ(LoadMonitorRecFromMemory(bad.data(), bad.size()), RecordFileResult::FormatError);
            EXPECT_EQ(RingState(), saved);
        }

        // Records appended after the load carry on from the file.
        AppendNumbered(1);
        EXPECT_EQ(CopyMonitorRecord(write).sequence, next);
        EXPECT_EQ(g_MonitorOldest.load(), count + 1 >= kMonitorCapacity ? g_MonitorWrite.load() : 0u);
    }
}

TEST_F(RecordFiles, BrokenFilesAreRefusedAndTheRingIsUntouched) {
    FillMixedRing(10);
    ASSERT_EQ(SaveMonitorRec(Path("good.rec")), RecordFileResult::Ok);
    const std::vector<uint8_t> good = ReadBytes(Path("good.rec"));
    ResetMonitorRing();  // a different ring is on screen when the file is opened
    AppendNumbered(25);
    g_MonitorRowsPerPage = 12;
    g_MonitorTop = 4;
    const std::vector<uint64_t> before = RingState();

    auto with = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> b = good;
        PutWord(b, at, value);
        return b;
    };
    auto words = [&](uint32_t oldest, uint32_t write, uint32_t count, uint32_t seq) {
        std::vector<uint8_t> b = good;
        PutWord(b, kOldestAt, oldest), PutWord(b, kWriteAt, write), PutWord(b, kCountAt, count), PutWord(b, kSeqAt, seq);
        return b;
    };
    const struct { const char* name; std::vector<uint8_t> bytes; RecordFileResult result; } cases[] = {
        {"bad magic", with(0, 0xEAA00124), RecordFileResult::FormatError},
        {"empty", {}, RecordFileResult::FormatError},
        {"header cut short", std::vector<uint8_t>(good.begin(), good.begin() + 27), RecordFileResult::FormatError},
        {"one byte short of its count", std::vector<uint8_t>(good.begin(), good.end() - 1), RecordFileResult::FormatError},
        {"count 100001", with(12, 100001), RecordFileResult::FormatError},
        {"rows 257", with(16, 257), RecordFileResult::FormatError},
        {"oldest 100000", with(4, 100000), RecordFileResult::FormatError},
        {"write 100000", with(8, 100000), RecordFileResult::FormatError},
        {"top 100000", with(20, 100000), RecordFileResult::FormatError},
        {"not full, oldest not 0", words(99999, 1, 2, 3), RecordFileResult::FormatError},
        {"not full, write not the count", words(99998, 5, 5, 6), RecordFileResult::FormatError},
        {"full count over ten records", words(7, 7, 100000, 11), RecordFileResult::FormatError},
        {"no such file", {}, RecordFileResult::OpenError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(Path("bad.rec"));
        if (c.result != RecordFileResult::OpenError) WriteBytes(Path("bad.rec"), c.bytes);
        EXPECT_EQ(LoadMonitorRec(Path("bad.rec")), c.result);
        EXPECT_EQ(RingState(), before);
    }
    // A FIFO is refused at once, not waited on for a writer.
    ASSERT_EQ(mkfifo(Path("fifo.rec").c_str(), 0644), 0);
    alarm(5);
    EXPECT_EQ(LoadMonitorRec(Path("fifo.rec")), RecordFileResult::OpenError);
    alarm(0);
    EXPECT_EQ(RingState(), before);

    // At the limits the file is taken; bytes past its records are ignored.
    std::vector<uint8_t> edge = with(16, 256);
    edge.push_back(0xAB);
    EXPECT_EQ(LoadMonitorRecFromMemory(edge.data(), edge.size()), RecordFileResult::Ok);
    EXPECT_EQ(g_MonitorRowsPerPage.load(), 256u);
    EXPECT_EQ(g_MonitorCount.load(), 10u);
}

TEST(RecordFileNames, ExtensionIsAddedUnlessPresentAnywhere) {
    const struct { const char* path; RecordFileType type; const char* result; } cases[] = {
        {"data", RecordFileType::Rec, "data.rec"},         {"data.rec", RecordFileType::Rec, "data.rec"},
        {"data.REC.bak", RecordFileType::Rec, "data.REC.bak"}, {"data.Rec", RecordFileType::Rec, "data.Rec.rec"},
        {"data.txt", RecordFileType::Rec, "data.txt.rec"}, {"x", RecordFileType::Txt, "x.txt"},
        {"x.TXT", RecordFileType::Txt, "x.TXT"},           {"x.rec", RecordFileType::Txt, "x.rec.txt"},
        {"notes.txt.old", RecordFileType::Txt, "notes.txt.old"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithRecordFileExtension(c.path, c.type), c.result) << c.path;
}

// A UART reply whose length word promises more than came: after Clear the slot still holds the
// frame before, and none of it may show, export, save or raise the KW1281 link.
TEST_F(RecordFiles, AFrameCutShortShowsExportsAndSavesOnlyWhatArrived) {
    uint8_t before[20];
    for (uint8_t i = 0; i < 20; ++i) before[i] = static_cast<uint8_t>(0x11 + i);
    AppendMonitorRecord(kReceived, KindUart, UartWord(0, 20), 10, before, 20);
    ResetMonitorRing();
    const uint8_t came[2] = {0xAA, 0xBB};
    AppendMonitorRecord(kReceived, KindUart, UartWord(0, 20, true), 20, came, 2);
    AppendMonitorRecord(kReceived, KindUart, UartWord(2, 0), 30, nullptr, 0);          // 00 10 00 20
    const uint8_t result[3] = {0x00, 0x00, 0x2A};
    AppendMonitorRecord(kReceived, KindUart, UartWord(2, 7), 40, result, 3);

    const MonitorRecord cut = CopyMonitorRecord(0);
    EXPECT_EQ(cut.lengthWord, 0x0802);
    EXPECT_EQ(FormatData(cut), "AA BB ...");
    EXPECT_EQ(FormatLength(cut), "2");
    EXPECT_EQ(DecodeRecordDetail(cut).data, "AA BB ...");
    g_Kw1281LinkMark = 0;
    g_Kw1281LinkUp = 0;
    EXPECT_EQ(FormatData(CopyMonitorRecord(1)), "INIT ERROR : ");
    EXPECT_EQ(FormatData(CopyMonitorRecord(2)), "INIT ERROR : 00 00 2A ...");
    EXPECT_EQ(g_Kw1281LinkUp.load(), 0u);

    ASSERT_EQ(SaveMonitorTxt(Path("cut.txt")), RecordFileResult::Ok);
    const std::vector<uint8_t> text = ReadBytes(Path("cut.txt"));
    const std::string lines(text.begin(), text.end());
    EXPECT_EQ(lines.substr(0, lines.find("\r\n")), "       1    IN           20   UART       2   AA BB ...");
    ASSERT_EQ(SaveMonitorRec(Path("cut.rec")), RecordFileResult::Ok);
    const std::vector<uint8_t> rec = ReadBytes(Path("cut.rec"));
    const auto data = rec.begin() + kMonitorFileHeaderBytes + 12;
    EXPECT_EQ(std::vector<uint8_t>(data, data + 4), (std::vector<uint8_t>{0xAA, 0xBB, 0, 0}));
    EXPECT_EQ(std::count(data + 2, data + 260, 0), 258);
    EXPECT_EQ(rec[kMonitorFileHeaderBytes + 275], 1);
    ASSERT_EQ(LoadMonitorRec(Path("cut.rec")), RecordFileResult::Ok);
    EXPECT_EQ(FormatData(CopyMonitorRecord(0)), "AA BB ...");
}

// A whole frame longer than a record keeps its length word: 262 and 264 bytes show their
// length, in the list, the detail and the export, with the 260 bytes kept and no "..." mark;
// a long frame that arrived short of 260 bytes is still cut short.
TEST_F(RecordFiles, AWholeFrameLongerThanARecordKeepsItsLength) {
    std::vector<uint8_t> frame(264);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i);
    AppendMonitorRecord(kSent, KindUart, UartWord(0, 262), 10, frame.data(), 262);
    AppendMonitorRecord(kReceived, KindUart, UartWord(0, 264), 20, frame.data(), 264);
    AppendMonitorRecord(kReceived, KindUart, UartWord(0, 264), 30, frame.data(), 200);
    AppendMonitorRecord(kReceived, KindUart, UartWord(0, 511), 40, frame.data(), 264);

    std::string kept;
    for (int i = 0; i < 260; ++i) kept += HexByteText(static_cast<uint8_t>(i)) + " ";
    const MonitorRecord sent = CopyMonitorRecord(0), received = CopyMonitorRecord(1), cut = CopyMonitorRecord(2);
    EXPECT_EQ(FormatLength(sent), "262");
    EXPECT_EQ(FormatLength(received), "264");
    EXPECT_EQ(FormatData(sent), kept);
    EXPECT_EQ(FormatData(received), kept);
    EXPECT_EQ(received.reserved, 0);
    const std::string detail = DecodeRecordDetail(received).data;
    EXPECT_EQ(detail.find("..."), std::string::npos);
    const std::string shown = detail.substr(0, detail.find_last_not_of(" \r\n") + 1);
    EXPECT_EQ(shown.substr(shown.size() - 22), "FD FE FF \r\n00 01 02 03") << "the 260 bytes, up to the last kept";
    EXPECT_EQ(FormatLength(cut), "200");
    EXPECT_EQ(FormatData(cut).substr(FormatData(cut).size() - 6), "C7 ...");
    const MonitorRecord cutLong = CopyMonitorRecord(3);
    EXPECT_EQ(FormatLength(cutLong), "264") << "fewer came than the word promised, past what a record keeps";
    EXPECT_EQ(FormatData(cutLong), kept + "...");

    ASSERT_EQ(SaveMonitorTxt(Path("long.txt")), RecordFileResult::Ok);
    const std::vector<uint8_t> text = ReadBytes(Path("long.txt"));
    const std::string lines(text.begin(), text.end());
    EXPECT_EQ(lines.substr(0, lines.find("\r\n")), "       1   OUT           10   UART     262   " + kept);
}

// Array order: after the wrap the newest record comes first.
TEST_F(RecordFiles, TextExportOfAWrappedRing) {
    AppendNumbered(99998, KindUart);
    const uint8_t remote[16] = {0xA2, 0x1F}, j1850[16] = {0, 0x05, 0, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4};
    AppendMonitorRecord(kSent, KindCan, 0, static_cast<uint32_t>(-5), remote, 16);
    AppendMonitorRecord(kReceived, 9, 0, 4294967, remote, 16);
    AppendMonitorRecord(kReceived, KindJ1850, 0, 0, j1850, 16);
    ASSERT_EQ(SaveMonitorTxt(Path("ring.txt")), RecordFileResult::Ok);
    const std::vector<uint8_t> bytes = ReadBytes(Path("ring.txt"));
    const std::string text(bytes.begin(), bytes.end()), crc = std::string(22, ' ') + "CRC:C4\r\n";
    const std::string head = "   100001    IN            0   J1850    5(1)   VPW: 68 6A F1 01 " + crc +
                             "       2    IN           20   UART       0   \r\n";
    const std::string tail = "   99999   OUT           -5    CAN        0   ID:      7E8    Remote\r\n"
                             "   100000    IN      4294967     -         -   -\r\n";
    ASSERT_GT(text.size(), head.size() + tail.size());
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 100000);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 100000);
}

// An empty ring writes nothing; a write that fails part way (a file size limit stands in for
// a full disk) leaves the file that was there as it was, and no temporary file behind.
TEST_F(RecordFiles, RefusedOrFailedSavesLeaveTheFolderAsItWas) {
    EXPECT_EQ(SaveMonitorRec(Path("empty.rec")), RecordFileResult::NothingToSave);
    EXPECT_EQ(SaveMonitorTxt(Path("empty.txt")), RecordFileResult::NothingToSave);
    EXPECT_EQ(Entries(), 0u);
    AppendNumbered(500);
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    WriteBytes(Path("keep.rec"), old);
    WriteBytes(Path("keep.txt"), old);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{4096, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const RecordFileResult rec = SaveMonitorRec(Path("keep.rec"));
    const RecordFileResult txt = SaveMonitorTxt(Path("keep.txt"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(rec, RecordFileResult::RecSaveError);
    EXPECT_EQ(txt, RecordFileResult::TxtSaveError);
    EXPECT_EQ(ReadBytes(Path("keep.rec")), old);
    EXPECT_EQ(ReadBytes(Path("keep.txt")), old);
    EXPECT_EQ(SaveMonitorRec(Path("no/such/folder/a.rec")), RecordFileResult::RecSaveError);
    EXPECT_EQ(Entries(), 2u);
    ASSERT_EQ(SaveMonitorRec(Path("keep.rec")), RecordFileResult::Ok);
    EXPECT_EQ(ReadBytes(Path("keep.rec")).size(), 28u + 276u * 500u);
}

}  // namespace

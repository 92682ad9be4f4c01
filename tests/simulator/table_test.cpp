// The response table, its file and the page's rules that need no board.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "simulator/EcuSimFile.h"
#include "simulator/KLineResponder.h"
#include "simulator/ObdSimuPage.h"
#include "simulator/RespondTable.h"
#include "tests/support/TempFiles.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

OBDRespondEntry Entry(Bytes request, const char* note = "Note", uint32_t mask = 0x7F) {
    OBDRespondEntry e;
    InitRespondEntry(e);
    std::copy(request.begin(), request.end(), e.request);
    e.requestLength = static_cast<uint32_t>(request.size());
    e.protocolMask = mask;
    std::strncpy(e.note, note, sizeof e.note - 1);
    return e;
}

std::vector<std::string> Notes(const std::vector<OBDRespondEntry>& table) {
    std::vector<std::string> notes;
    for (const auto& e : table) notes.emplace_back(e.note);
    return notes;
}

void PutU32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

using TempFolder = TempFolderTest;

}  // namespace

TEST(RespondTableSort, OrdersBySidThenDataThenLengthAndZeroesTheTail) {
    struct Case { const char* name; std::vector<OBDRespondEntry> table; std::vector<std::string> order; };
    OBDRespondEntry longer = Entry({0x01, 0x0C, 0x00}, "long");
    OBDRespondEntry shorter = Entry({0x01, 0x0C}, "short");
    shorter.request[2] = 0xAA;  // stale bytes past the length: zeroed by the sort
    shorter.request[7] = 0x55;
    const Case cases[] = {
        {"empty", {}, {}},
        {"one", {shorter}, {"short"}},
        {"shorter first", {longer, shorter}, {"short", "long"}},
        {"equal keys keep order", {Entry({0x09, 0x02}, "a"), Entry({0x01, 0x00}, "b"), Entry({0x09, 0x02}, "c")}, {"b", "a", "c"}},
        {"SID before PID", {Entry({0x02, 0x00}, "x"), Entry({0x01, 0xFF}, "y")}, {"y", "x"}},
    };
    for (const Case& c : cases) {
        std::vector<OBDRespondEntry> table = c.table;
        SortRespondTable(table.data(), static_cast<uint32_t>(table.size()));
        EXPECT_EQ(Notes(table), c.order) << c.name;
    }
    // A single entry is left as it is; two or more have their tails zeroed, and stored.
    std::vector<OBDRespondEntry> one{shorter};
    SortRespondTable(one.data(), 1);
    EXPECT_EQ(one[0].request[2], 0xAA);
    std::vector<OBDRespondEntry> two{longer, shorter};
    SortRespondTable(two.data(), 2);
    EXPECT_EQ(Bytes(two[0].request, two[0].request + 8), (Bytes{1, 0x0C, 0, 0, 0, 0, 0, 0}));
    const std::vector<uint8_t> file = EncodeEcuSimFile(0, g_EcuSimParams, two.data(), 2);
    EXPECT_EQ(file[140 + 8 + 2], 0x00);
    EXPECT_EQ(file[140 + 8 + 7], 0x00);
}

TEST(RespondTableMatch, FirstEnabledEntryOfTheProtocolWithEqualBytes) {
    std::vector<OBDRespondEntry> table = {
        Entry({0x01, 0x00}, "first"), Entry({0x01, 0x00}, "second"),
        Entry({0x01, 0x0C}, "kline only", 0x07), Entry({0x01, 0x0C}, "can only", 0x20),
        Entry({0x01, 0x0C, 0x00}, "three bytes"),
    };
    struct Case {
        const char* name;
        std::function<void(std::vector<OBDRespondEntry>&)> change;
        Bytes request;
        uint32_t bit;
        int expected;
    };
    const Case cases[] = {
        {"duplicates: the first", nullptr, {0x01, 0x00}, 0x01, 0},
        {"first disabled: the second", [](auto& t) { t[0].enabled = 0; }, {0x01, 0x00}, 0x01, 1},
        {"mask with the bit", nullptr, {0x01, 0x0C}, 0x04, 2},
        {"mask of another bus", nullptr, {0x01, 0x0C}, 0x20, 3},
        {"no entry with the bit", [](auto& t) { t[3].protocolMask = 0x40; }, {0x01, 0x0C}, 0x08, -1},
        {"length must be equal", nullptr, {0x01}, 0x01, -1},
        {"longer request", nullptr, {0x01, 0x0C, 0x00}, 0x01, 4},
        {"bytes differ", nullptr, {0x01, 0x0D}, 0x01, -1},
    };
    for (const Case& c : cases) {
        std::vector<OBDRespondEntry> t = table;
        if (c.change) c.change(t);
        const uint32_t n = static_cast<uint32_t>(c.request.size());
        EXPECT_EQ(MatchRespondEntry(t.data(), 5, c.bit, c.request.data(), n), c.expected) << c.name;
        RespondIndex index(t.data(), 5);
        EXPECT_EQ(index.Match(c.bit, c.request.data(), n), c.expected) << c.name;
    }
}

TEST(RespondTableMatch, IndexAgreesWithTheWalkOnARandomTable) {
    std::mt19937 random(12);
    std::vector<OBDRespondEntry> table(kMaxRespondEntries);
    for (auto& e : table) {
        e = Entry({static_cast<uint8_t>(random() % 4), static_cast<uint8_t>(random() % 4),
                   static_cast<uint8_t>(random() % 2)});
        e.requestLength = 1 + random() % 3;
        e.enabled = random() % 5 != 0;
        e.protocolMask = random() % 128;
    }
    RespondIndex index(table.data(), kMaxRespondEntries);
    for (int i = 0; i < 2000; ++i) {
        const uint8_t request[3] = {static_cast<uint8_t>(random() % 4),
                                    static_cast<uint8_t>(random() % 4), static_cast<uint8_t>(random() % 2)};
        const uint32_t length = 1 + random() % 3, bit = 1u << (random() % 7);
        ASSERT_EQ(index.Match(bit, request, length),
                  MatchRespondEntry(table.data(), kMaxRespondEntries, bit, request, length));
    }
}

TEST(RespondTableDelete, LeavesExactlyTheUnselectedEntries) {
    struct Case {
        std::vector<uint32_t> rows;
        std::vector<std::string> left;  // after the sort
    };
    const Case cases[] = {
        {{1, 2}, {"0", "3", "4"}},
        {{2, 1, 1}, {"0", "3", "4"}},
        {{0, 1, 2, 3, 4}, {}},
        {{}, {"0", "1", "2", "3", "4"}},
        {{4}, {"0", "1", "2", "3"}},
    };
    for (const Case& c : cases) {
        std::vector<OBDRespondEntry> t;
        for (uint8_t i = 0; i < 5; ++i) t.push_back(Entry({i}, std::to_string(i).c_str()));
        const uint32_t n = DeleteRespondRows(t.data(), 5, c.rows);
        t.resize(n);
        SortRespondTable(t.data(), n);
        EXPECT_EQ(Notes(t), c.left);
    }
    EXPECT_EQ(DeleteQuestionText(2), "确定要册除选择的 2 项数据吗?");
}

TEST(RespondTableRecord, DefaultsAsBytesAndTheDefaultersSpareWhatTheyMust) {
    EcuSimParams p{};
    p.canStandardId = 1;
    p.reserved120[3] = 0x77;
    LoadDefaultParams(p);
    uint8_t bytes[kEcuSimParamsBytes];
    EncodeEcuSimParams(p, bytes);
    const Bytes expected = {
        0x88, 0x13, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xF1, 0x6A, 0x68, 0x00, 0x33, 0x48, 0x10, 0x6B,
        0x08, 0x08, 0x33, 0xEF, 0x8F, 0x19, 0x33, 0x10, 0xF1, 0x00, 0x0A, 0x00, 0x1E, 0x00, 0xEF, 0x00,
        0xF1, 0x6A, 0x68, 0x00, 0x10, 0x6B, 0x48, 0x00, 0xF1, 0x10, 0x6C, 0x00, 0x10, 0xF1, 0x6C, 0x00,
        0xF1, 0x6A, 0x61, 0x00, 0x10, 0x6B, 0x41, 0x00, 0xF1, 0x10, 0x64, 0x00, 0x10, 0xF1, 0x64, 0x00,
        0x10, 0x6A, 0x10, 0x6A, 0x00, 0x00, 0x00, 0x00, 0xDF, 0x07, 0x00, 0x00, 0xE0, 0x07, 0x00, 0x00,
        0xE8, 0x07, 0x00, 0x00, 0xF1, 0x33, 0xDB, 0x18, 0xF1, 0x10, 0xDA, 0x18, 0x10, 0xF1, 0xDA, 0x18,
        0xF4, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00,
        0x30, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x77, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(Bytes(bytes, bytes + sizeof bytes), expected);

    OBDRespondEntry e;
    std::memset(&e, 0xEE, sizeof e);
    InitRespondEntry(e);
    uint8_t entry[kRespondEntryBytes];
    EncodeRespondEntry(e, entry);
    Bytes fresh(kRespondEntryBytes, 0);
    fresh[0] = 1, fresh[4] = 0x7F, fresh[152] = 7;
    std::memcpy(&fresh[680], "Note", 4);
    EXPECT_EQ(Bytes(entry, entry + sizeof entry), fresh);
}

TEST_F(TempFolder, SavedFileLoadsByteForByteAndNamesFollowTheExtensionRule) {
    std::vector<OBDRespondEntry> table = {Entry({0x01, 0x00}, "pids"), Entry({0x09, 0x02}, "vin")};
    table[0].ackLength = 2, table[0].ack[0] = 0x41, table[0].messageCount = 1;
    table[0].message1Length = 4, table[0].message2[255] = 0x5A;  // past the length: kept
    EcuSimParams params{};
    LoadDefaultParams(params);
    params.reserved5[1] = 0x11, params.reserved69[2] = 0x22, params.reserved120[7] = 0x33;
    const fs::path path = dir_ / WithSimExtension("obd");
    ASSERT_EQ(SaveEcuSimFile(path, 5, params, table.data(), 2), SimFileResult::Ok);
    const Bytes saved = ReadAll(path);
    ASSERT_EQ(saved.size(), 140u + 2 * 808u);
    EXPECT_EQ(Bytes(saved.begin(), saved.begin() + 12),
              (Bytes{0x00, 0x18, 0x90, 0xEA, 2, 0, 0, 0, 5, 0, 0, 0}));
    EcuSimFileContents loaded;
    ASSERT_EQ(LoadEcuSimFile(path, loaded), SimFileResult::Ok);
    EXPECT_EQ(EncodeEcuSimFile(loaded.protocolIndex, loaded.params, loaded.entries.data(), 2), saved);

    const std::pair<const char*, const char*> names[] = {
        {"obd", "obd.sim"}, {"OBD.SIM", "OBD.SIM"}, {"a.simx", "a.simx"}, {"x.Sim", "x.Sim.sim"},
        {"/d.sim/t", "/d.sim/t"}};
    for (const auto& [typed, used] : names) EXPECT_EQ(WithSimExtension(typed), used);
}

TEST_F(TempFolder, RefusedFilesChangeNothing) {
    std::vector<OBDRespondEntry> table = {Entry({0x01, 0x00}, "one"), Entry({0x01, 0x0C}, "two")};
    EcuSimParams params{};
    LoadDefaultParams(params);
    const Bytes good = EncodeEcuSimFile(2, params, table.data(), 2);
    struct Case { const char* name; std::function<void(Bytes&)> spoil; };
    const Case cases[] = {
        {"bad magic", [](Bytes& b) { b[3] = 0xEB; }},
        {"count -1", [](Bytes& b) { PutU32(b, 4, 0xFFFFFFFF); }},
        {"count 1001", [](Bytes& b) { PutU32(b, 4, 1001); }},
        {"count beyond the file", [](Bytes& b) { PutU32(b, 4, 3); }},
        {"truncated", [](Bytes& b) { b.resize(b.size() - 1); }},
        {"shorter than a header", [](Bytes& b) { b.resize(139); }},
        {"protocol index 7", [](Bytes& b) { PutU32(b, 8, 7); }},
        {"request length 129", [](Bytes& b) { PutU32(b, 140 + 808 + 136, 129); }},
        {"message count 3", [](Bytes& b) { PutU32(b, 140 + 140, 3); }},
        {"message 1 of 257", [](Bytes& b) { PutU32(b, 140 + 144, 257); }},
        {"message 2 of 257", [](Bytes& b) { PutU32(b, 140 + 808 + 148, 257); }},
        {"bytes per frame 0", [](Bytes& b) { PutU32(b, 140 + 152, 0); }},
        {"bytes per frame 9", [](Bytes& b) { PutU32(b, 140 + 152, 9); }},
        {"ack length 8", [](Bytes& b) { PutU32(b, 140 + 156, 8); }},
        {"ack length 9", [](Bytes& b) { PutU32(b, 140 + 808 + 156, 9); }},
    };
    ObdSimuPage page;
    page.Init(dir_.string() + "/");  // no default file: defaults, protocol 0, empty table
    const fs::path keep = dir_ / "keep.sim";
    WriteAll(keep, EncodeEcuSimFile(1, params, table.data(), 1));
    ASSERT_EQ(page.LoadFile(keep), SimFileResult::Ok);
    page.modified = true;
    const Bytes before = EncodeEcuSimFile(page.ProtocolIndex(), g_EcuSimParams, g_RespondTable, g_RespondCount);
    for (const Case& c : cases) {
        Bytes file = good;
        c.spoil(file);
        const fs::path path = dir_ / "bad.sim";
        WriteAll(path, file);
        messages_.Clear();
        EXPECT_EQ(page.LoadFile(path), SimFileResult::FormatError) << c.name;
        EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"文件格式错误！"}) << c.name;
        EXPECT_EQ(EncodeEcuSimFile(page.ProtocolIndex(), g_EcuSimParams, g_RespondTable, g_RespondCount),
                  before)
            << c.name;
        EXPECT_TRUE(page.modified) << c.name;
    }
    messages_.Clear();
    EXPECT_EQ(page.LoadFile(dir_ / "missing.sim"), SimFileResult::OpenError);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"打开文件出错！"});
    // A FIFO is refused at once, not waited on for a writer.
    messages_.Clear();
    ASSERT_EQ(mkfifo((dir_ / "fifo.sim").c_str(), 0644), 0);
    alarm(5);
    EXPECT_EQ(page.LoadFile(dir_ / "fifo.sim"), SimFileResult::OpenError);
    alarm(0);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"打开文件出错！"});

    // A header alone is a good file: empty table, its record and protocol.
    Bytes header(good.begin(), good.begin() + 140);
    PutU32(header, 4, 0);
    header[12] = 0x99;  // session time-out low byte
    WriteAll(dir_ / "header.sim", header);
    ASSERT_EQ(page.LoadFile(dir_ / "header.sim"), SimFileResult::Ok);
    EXPECT_EQ((std::vector<unsigned>{g_RespondCount, g_EcuSimParams.sessionTimeoutMs, page.ProtocolIndex(),
                                     g_SimProtocolBit.load(), page.modified}),
              (std::vector<unsigned>{0, 0x1399, 2, 0x04, false}));

    // A note without its terminator is cut at 127 characters.
    Bytes noted = good;
    std::memset(&noted[140 + 680], 'n', 128);
    WriteAll(dir_ / "note.sim", noted);
    ASSERT_EQ(page.LoadFile(dir_ / "note.sim"), SimFileResult::Ok);
    EXPECT_EQ(RespondListCell(g_RespondTable[0], 11), std::string(127, 'n'));
}

TEST_F(TempFolder, AFailedSaveKeepsTheOldFileAndTheModifiedFlag) {
    std::vector<OBDRespondEntry> table(2, Entry({0x01}));
    const fs::path path = dir_ / "old.sim";
    WriteAll(path, Bytes{'o', 'l', 'd'});
    ObdSimuPage page;
    page.Init(dir_.string() + "/");
    std::copy(table.begin(), table.end(), g_RespondTable);
    g_RespondCount = 2;
    page.modified = true;
    messages_.Clear();
    {
        FileSizeLimit limit(1024);  // the save cannot be completed
        EXPECT_EQ(page.SaveFile(path), SimFileResult::SaveError);
    }
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Save file error!"});
    EXPECT_TRUE(page.modified);
    EXPECT_EQ(ReadAll(path), (Bytes{'o', 'l', 'd'}));
    // A pipe in the file's place: refused at once, never waited on.
    messages_.Clear();
    const fs::path pipe = dir_ / "pipe.sim";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    alarm(5);
    EXPECT_EQ(page.SaveFile(pipe), SimFileResult::SaveError);
    alarm(0);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Save file error!"});
    EXPECT_TRUE(fs::is_fifo(pipe));
    ASSERT_EQ(page.SaveFile(path), SimFileResult::Ok);
    EXPECT_FALSE(page.modified);
    EXPECT_EQ(ReadAll(path).size(), 140u + 2 * 808u);
}

TEST_F(TempFolder, DefaultTableFileOrItsFallback) {
    std::vector<OBDRespondEntry> table = {Entry({0x01, 0x00}, "from the file")};
    EcuSimParams params{};
    LoadDefaultParams(params);
    params.p2Ms = 44;
    struct Case {
        const char* name;
        Bytes file;  // empty: no file
        std::vector<std::string> messages;
        uint32_t count, protocol;
        uint8_t p2;
    };
    Bytes bad = EncodeEcuSimFile(1, params, table.data(), 1);
    bad[1] = 0;
    const Case cases[] = {
        {"missing", {}, {"Obd2DeFault.DAT打开文件出错！"}, 0, 0, 30},
        {"bad", bad, {"Obd2DeFault.DAT文件格式错误！"}, 0, 0, 30},
        {"good", EncodeEcuSimFile(1, params, table.data(), 1), {}, 1, 1, 44},
    };
    for (const Case& c : cases) {
        fs::remove(dir_ / "Obd2DeFault.DAT");
        if (!c.file.empty()) WriteAll(dir_ / "Obd2DeFault.DAT", c.file);
        g_RespondCount = 5;  // what an earlier page left
        messages_.Clear();
        ObdSimuPage page;
        page.Init(dir_.string() + "/");
        EXPECT_EQ(messages_.Texts(), c.messages) << c.name;
        EXPECT_EQ((std::vector<unsigned>{g_RespondCount, page.ProtocolIndex(), g_EcuSimParams.p2Ms, page.modified}),
                  (std::vector<unsigned>{c.count, c.protocol, c.p2, false})) << c.name;
        // Protocol 1 from the file still has the 5-baud block of the 9141 preparation.
        EXPECT_EQ(page.Image()[uart::U5BAUDCON], 0xFB) << c.name;
        EXPECT_EQ(page.Image()[uart::UFRMCON], c.protocol == 0 ? 0xC3 : 0xC1) << c.name;
    }
}

TEST(ObdSimuPageTexts, SummariesOfTheSevenProtocols) {
    EcuSimParams p{};
    LoadDefaultParams(p);
    const char* const expected[kSimProtocolCount] = {
        "ECU as ISO9141-2   Baudrate: 10400   5Baudrate InitAddress: 0x33\n"
        "Req.Header: 68 6A F1    Ack.Header: 48 6B 10",
        "ECU as ISO14230 SlowInit   Baudrate: 10400   5Baudrate InitAddress: 0x33\n"
        "Req.Func_Address: 0x33 Req.Phys_Address: 0x10   Key Word: EF 8F  Target Addr: F1",
        "ECU as ISO14230 Fastinit   Baudrate: 10400   LowPuls Time: 25 ms\n"
        "Req.Func_Address: 0x33     Req.Phys_Address: 0x10      Target Address: 0xF1",
        "FunctionReqHeader:  68 6A F1     Function Repond Header: 48 6B 10\n"
        " PhysicalReqHeader:  6C 10 F1      Physical Repond Header: 6C F1 10      < J1850 VPW 10.4KBPS >",
        "FunctionReqHeader:  61 6A F1     Function Repond Header: 41 6B 10\n"
        " PhysicalReqHeader:  64 10 F1      Physical Repond Header: 64 F1 10      < J1850 PWM 41.6KBPS >",
        "ECU as CAN 11bits   Baudrate: 500kpbs   \n"
        " Function Req ID: 0x7DF    Physical Req.ID: 0x7E0    Ack.Respobd ID: 0x7E8",
        "ECU as CAN 29bits   Baudrate: 500kpbs   \n"
        " Function Req ID: 0x18DB33F1    Physical Req ID: 0x18DA10F1    Ack.Respobd ID: 0x18DAF110",
    };
    for (uint32_t i = 0; i < kSimProtocolCount; ++i) EXPECT_EQ(ProtocolSummary(p, i), expected[i]) << i;
    p.fastInitLowMs = 0, p.kLineBrg = 259, p.canKbps = 250;
    EXPECT_EQ(ProtocolSummary(p, 2).substr(0, 62),
              "ECU as ISO14230 Fastinit   Baudrate: 9600   LowPuls Time:  ms\n");
    EXPECT_EQ(ProtocolSummary(p, 5).substr(0, 40), "ECU as CAN 11bits   Baudrate: 250kpbs   ");
}

TEST(ObdSimuPageTexts, ListCells) {
    OBDRespondEntry sidOnly = Entry({0x04});
    sidOnly.protocolMask = 0x05;
    OBDRespondEntry pid = Entry({0x01, 0x0C});
    pid.enabled = 0, pid.ackLength = 2, pid.ack[0] = 0x41, pid.ack[1] = 0x0C;
    pid.messageCount = 2, pid.message1Length = 2, pid.message1[0] = 0x1A, pid.message1[1] = 0xF8;
    pid.message2Length = 1, pid.message2[0] = 0x0A;
    OBDRespondEntry data = Entry({0x22, 0xF1, 0x90, 0x0A}, "vin");
    struct Case { const OBDRespondEntry* entry; std::vector<std::string> cells; };
    const Case cases[] = {
        {&sidOnly, {"Y", "04", "-", "-", "0000101", "-", "0", "0", "-", "0", "-", "Note"}},
        {&pid, {"N", "01", "0C", "-", "1111111", "41 0C ", "2", "2", "1A F8 ", "1", "0A ", "Note"}},
        {&data, {"Y", "22", "F1", "900A", "1111111", "-", "0", "0", "-", "0", "-", "vin"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> cells;
        for (int col = 0; col < kRespondListColumns; ++col) cells.push_back(RespondListCell(*c.entry, col));
        EXPECT_EQ(cells, c.cells);
    }
}

TEST(ObdSimuPageTexts, ProtocolChoiceOwnsFlavourIdKindAndTheImage) {
    ObdSimuPage page;
    LoadDefaultParams(g_EcuSimParams);
    struct Case { uint32_t index; uint8_t mode, fastFlag, initAddress, lowTime; uint8_t flavour; uint32_t standardId; };
    g_EcuSimParams.initAddress14230 = 0x44;
    g_EcuSimParams.fastInitLowMs = 30;
    const Case cases[] = {
        {0, 0xC3, 0, 0x33, 25, 0, 0},  {1, 0xC1, 0, 0x44, 30, 0, 0}, {2, 0xC1, 1, 0x33, 30, 0, 0},
        {4, 0xC1, 1, 0x33, 30, 1, 0}, {3, 0xC1, 1, 0x33, 30, 0, 0},   {5, 0xC1, 1, 0x33, 30, 0, 1},
        {6, 0xC1, 1, 0x33, 30, 0, 0},
    };
    g_EcuSimParams.canStandardId = 0;
    for (const Case& c : cases) {
        page.SelectProtocol(c.index);
        EXPECT_EQ(g_SimProtocolBit.load(), 1u << c.index);
        const UartRegisterImage& im = page.Image();
        EXPECT_EQ((std::vector<unsigned>{im[uart::UFRMCON], im[uart::Block2E], im[uart::Block2E + 1], im[uart::Block2E + 3],
                                         g_EcuSimParams.j1850Flavour, g_EcuSimParams.canStandardId}),
                  (std::vector<unsigned>{c.mode, c.fastFlag, c.initAddress, c.lowTime, c.flavour, c.standardId}))
            << c.index;
    }
}

#include <gtest/gtest.h>

#include <string>

#include "MonitorTestSupport.h"
#include "monitor/RecordFormat.h"

namespace {

std::string Spaces(size_t n) { return std::string(n, ' '); }

MonitorRecord WithInit(MonitorRecord r, uint8_t low, uint8_t high, uint8_t address) {
    r.fastInitLowMs = low;
    r.fastInitHighMs = high;
    r.slowInitAddress = address;
    return r;
}

// Bytes past the 16-byte frame record that a careless reader would show.
MonitorRecord WithStaleTail(MonitorRecord r) {
    for (uint32_t i = 16; i < kMonitorDataBytes; ++i) r.data[i] = 0xEE;
    return r;
}

MonitorRecord J1850(std::initializer_list<uint8_t> bytes) {
    return WithStaleTail(MakeRecord(KindJ1850, kReceived, 0, bytes));
}

MonitorRecord Can(std::initializer_list<uint8_t> bytes, uint8_t direction = kReceived) {
    return WithStaleTail(MakeRecord(KindCan, direction, 0, bytes));
}

// Frame record bytes 4..15 = 40 41 ... 4B.
MonitorRecord J1850Counting(uint8_t byte0, uint8_t byte1) {
    MonitorRecord r = J1850({byte0, byte1, 0x00, 0x20});
    for (int i = 4; i < 16; ++i) r.data[i] = static_cast<uint8_t>(0x40 + i - 4);
    return r;
}

const uint8_t kInitOk[] = {0x00, 0x00, 0x60, 0x09, 0x00, 0x8A, 0x01};

struct CellCase {
    const char* name;
    MonitorRecord record;
    const char* kind;
    const char* length;
    std::string data;
    const char* status;
};

std::vector<CellCase> CellCases() {
    const std::string vpw5 = "VPW: 68 6A F1 01 " + Spaces(22);
    return {
        {"slow init sent", WithInit(MakeRecord(KindUart, kSent, UartWord(2, 2), {0x01, 0x02}), 0, 0, 0x33),
         "UART", "2", " SLOW INIT; ADDR= 0X33 DATA: 01 02 ", " "},
        {"init ok", MakeRecord(KindUart, kReceived, UartWord(2, 7), {0x00, 0x00, 0x60, 0x09, 0x00, 0x8A, 0x01}),
         "UART", "7", "INIT=OK; BRG= 2400 KEYWORD: 8A 01", " "},
        {"init error one digit", MakeRecord(KindUart, kReceived, UartWord(2, 7), {0x0A, 0x00, 0x60, 0x09, 0x00, 0x8A, 0x01}),
         "UART", "7", "INIT ERROR : A BRG= 2400 KEYWORD: 8A 01", " "},
        {"init error two digits", MakeRecord(KindUart, kReceived, UartWord(2, 7), {0xF3, 0x00, 0xFF, 0xFF, 0x00, 0x08, 0x08}),
         "UART", "7", "INIT ERROR : F3 BRG= 65535 KEYWORD: 08 08", " "},
        {"ecu init", MakeRecord(KindUart, kReceived, UartWord(7, 0), {}), "UART", "0", "ECU INIT ACTIVE", " "},
        {"fast init sent", WithInit(MakeRecord(KindUart, kSent, UartWord(1, 3), {0x81, 0x10, 0xF1}), 25, 24, 0),
         "UART", "3", "FAST INIT:LT= 25 MS HT= 24 MS  DATA: 81 10 F1 ", " "},
        {"fast init received", WithInit(MakeRecord(KindUart, kReceived, UartWord(1, 3), {0x81, 0x10, 0xF1}), 25, 24, 0),
         "UART", "3", "81 10 F1 ", " "},
        {"plain received checksum ok", MakeRecord(KindUart, kReceived, UartWord(0, 2, true), {0x12, 0xab}),
         "UART", "2", "12 AB ", " CS:1"},
        {"plain received checksum bad", MakeRecord(KindUart, kReceived, UartWord(0, 2), {0x12, 0xab}),
         "UART", "2", "12 AB ", " CS:0"},
        {"plain sent", MakeRecord(KindUart, kSent, UartWord(0, 1, true), {0x7f}), "UART", "1", "7F ", " "},
        {"other init type", MakeRecord(KindUart, kSent, UartWord(3, 1), {0x01}), "UART", "1", "01 ", " "},
        {"can standard", Can({0xA0, 0x1F, 0x00, 0x00, 0x08, 0x00, 0x02, 0x01, 0x0C}),
         "CAN", "8", "ID:      7E8    DATA: 02 01 0C 00 00 00 00 00 ", ""},
        {"can standard remote", Can({0xA2, 0x1F, 0x00, 0x00, 0x00, 0x00}), "CAN", "0", "ID:      7E8    远程帧", ""},
        {"can extended", Can({0xD9, 0x18, 0xC4, 0x0B, 0x03, 0x40, 0x11, 0x22, 0x33}),
         "CAN", "3", "ID: 18DAF110    DATA: 11 22 33 ", ""},
        {"can extended remote", Can({0xD9, 0x18, 0xC4, 0x0B, 0x00, 0x42}), "CAN", "0", "ID: 18DAF110    远程帧", ""},
        {"can dlc above 8", Can({0xA0, 0x1F, 0, 0, 0x0F, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
         "CAN", "15", "ID:      7E8    DATA: 01 02 03 04 05 06 07 08 ", ""},
        {"j1850 vpw", J1850({0x00, 0x05, 0x00, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4}), "J1850", "5(1)", vpw5 + "CRC:C4", ""},
        {"j1850 pwm one-byte header", J1850({0x09, 0x03, 0x00, 0x20, 0x61, 0x6A, 0x5B}),
         "J1850", "3(1)", "PWM: 61 6A " + Spaces(28) + "CRC:5B", ""},
        {"j1850 one-byte header from byte 4", J1850({0x00, 0x03, 0x00, 0x20, 0x10, 0x6A, 0x5B}),
         "J1850", "3(1)", "VPW: 10 6A " + Spaces(28) + "CRC:5B", ""},
        {"j1850 vpw with nb and ifr", J1850({0x04, 0x25, 0x00, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4, 0x10, 0x20}),
         "J1850", "7(1)", vpw5 + "CRC:C4--NB:1--IFR: 10 20 ", ""},
        {"j1850 pwm with ifr", J1850({0x01, 0x15, 0x00, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4, 0x33}),
         "J1850", "6(1)", "PWM: 68 6A F1 01 " + Spaces(22) + "CRC:C4--IFR: 33 ", ""},
        {"j1850 frame over 12 bytes", J1850Counting(0x00, 0x0D),
         "J1850", "13(9)", "VPW: 40 41 42 43 44 45 46 47 48 49 4A " + Spaces(1) + "CRC:4B", ""},
        {"j1850 ifr stops at the record end", J1850Counting(0x00, 0x5A),
         "J1850", "15(6)", "VPW: 40 41 42 43 44 45 46 47 48 " + Spaces(7) + "CRC:49--NB:0--IFR: 4A 4B ", ""},
        {"j1850 ifr wholly past the record", J1850Counting(0x01, 0x3C),
         "J1850", "15(8)", "PWM: 40 41 42 43 44 45 46 47 48 49 4A " + Spaces(1) + "CRC:4B--IFR: ", ""},
        {"j1850 empty frame", J1850({0x00, 0x00, 0x00, 0x20}), "J1850", "0(-4)", "VPW: " + Spaces(34) + "CRC:20", ""},
        {"error flags", MakeRecord(KindErrorFlags, kReceived, 0, {0, 0, 0, 0x30, 0x01, 0x02, 0x03, 0x04, 0x05}),
         "-", "-", "ERROR FLAG:01 02 03 04 05 ", ""},
        {"unknown kind", MakeRecord(7, kReceived, UartWord(0, 4), {1, 2, 3, 4}), "-", "-", "-", ""},
    };
}

TEST(RecordFormat, ListCellsForEveryKindAndBranch) {
    for (const CellCase& c : CellCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatKind(c.record), c.kind);
        EXPECT_EQ(FormatLength(c.record), c.length);
        EXPECT_EQ(FormatData(c.record), c.data);
        EXPECT_EQ(FormatStatus(c.record), c.status);
    }
}

TEST(RecordFormat, ExportDataDiffersOnlyForRemoteFrames) {
    for (const CellCase& c : CellCases()) {
        SCOPED_TRACE(c.name);
        std::string expected = c.data;
        const std::string remote = "    远程帧";
        const size_t at = expected.find(remote);
        if (at != std::string::npos) expected.replace(at, remote.size(), "    Remote");
        EXPECT_EQ(FormatData(c.record, RecordTextUse::Export), expected);
    }
}

TEST(RecordFormat, OnlyTheListRaisesTheLinkFlagOnInitOk) {
    MonitorRecord ok = MakeRecord(KindUart, kReceived, UartWord(2, 7), {});
    std::copy(std::begin(kInitOk), std::end(kInitOk), ok.data);
    MonitorRecord error = ok;
    error.data[0] = 1;
    MonitorRecord sent = ok;
    sent.direction = kSent;
    const struct {
        const char* name;
        MonitorRecord record;
        RecordTextUse use;
        uint32_t flag;
    } cases[] = {
        {"list ok", ok, RecordTextUse::List, 1},
        {"export ok", ok, RecordTextUse::Export, 0},
        {"list error", error, RecordTextUse::List, 0},
        {"list sent", sent, RecordTextUse::List, 0},
    };
    for (const auto& c : cases) {
        g_Kw1281LinkUp = 0;
        FormatData(c.record, c.use);
        EXPECT_EQ(g_Kw1281LinkUp.load(), c.flag) << c.name;
    }
    g_Kw1281LinkUp = 0;
    DecodeRecordDetail(ok);
    EXPECT_EQ(g_Kw1281LinkUp.load(), 0u) << "detail";
}

TEST(RecordFormat, UartDataOfMaximalLengthWordShows260Bytes) {
    MonitorRecord r = MakeRecord(KindUart, kReceived, UartWord(0, 511), {});
    for (uint32_t i = 0; i < kMonitorDataBytes; ++i) r.data[i] = static_cast<uint8_t>(i % 0x80);
    r.fastInitLowMs = 0xEE;  // the byte after the data must not appear
    const std::string data = FormatData(r);
    EXPECT_EQ(data.size(), 3 * kMonitorDataBytes);
    EXPECT_EQ(data.substr(data.size() - 6), "02 03 ");  // bytes 258 and 259
    EXPECT_EQ(FormatLength(r), "511");
    EXPECT_EQ(data.find("EE"), std::string::npos);
}

TEST(RecordFormat, ExportLines) {
    MonitorRecord uart = MakeRecord(KindUart, kReceived, UartWord(0, 2), {0x12, 0xAB});
    uart.timeMs = 1234;
    MonitorRecord remote = Can({0xA2, 0x1F, 0, 0, 0, 0}, kSent);
    remote.sequence = 100001;
    remote.timeMs = static_cast<uint32_t>(-5);
    MonitorRecord unknown = MakeRecord(9, kReceived, 0, {});
    unknown.sequence = 12345;
    unknown.timeMs = 4294967;
    MonitorRecord j1850 = J1850({0x00, 0x05, 0x00, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4});
    j1850.sequence = 42;
    j1850.timeMs = 0;
    MonitorRecord ok = MakeRecord(KindUart, kReceived, UartWord(2, 7), {});
    std::copy(std::begin(kInitOk), std::end(kInitOk), ok.data);

    const struct {
        MonitorRecord record;
        std::string line;
    } cases[] = {
        {uart, "       1    IN         1234   UART       2   12 AB "},
        {remote, "   100001   OUT           -5    CAN        0   ID:      7E8    Remote"},
        {unknown, "   12345    IN      4294967     -         -   -"},
        {j1850, "      42    IN            0   J1850    5(1)   VPW: 68 6A F1 01 " + Spaces(22) + "CRC:C4"},
        {ok, "       1    IN            0   UART       7   INIT=OK; BRG= 2400 KEYWORD: 8A 01"},
    };
    g_Kw1281LinkUp = 0;
    for (const auto& c : cases) EXPECT_EQ(FormatExportLine(c.record), c.line);
    EXPECT_EQ(g_Kw1281LinkUp.load(), 0u);
}

TEST(RecordFormat, DetailDecoders) {
    MonitorRecord forty = MakeRecord(KindUart, kSent, UartWord(0, 40), {});
    for (int i = 0; i < 40; ++i) forty.data[i] = static_cast<uint8_t>(i);
    forty.sequence = 77;
    MonitorRecord flags = MakeRecord(KindErrorFlags, kReceived, 0, {0, 0, 0, 0x30, 0x01, 0x02, 0x0A, 0xB4, 0xFF});
    MonitorRecord flags9 = flags;
    flags9.kind = 9;
    const std::string flagText = "UERRF: 0x01 \r\nJERRF: 0x02 \r\nCINTF0: 0x0A \r\nCINTF1: 0xB4 \r\nCINTF2: 0xFF ";

    const struct {
        const char* name;
        MonitorRecord record;
        RecordDetail expected;
    } cases[] = {
        {"uart forty bytes", forty,
         {"77", "发送", "UART", "-", "40", "-",
          "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F      10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F "
          "\r\n20 21 22 23 24 25 26 27 "}},
        {"uart slow init", WithInit(MakeRecord(KindUart, kSent, UartWord(2, 2), {0x01, 0x02}), 0, 0, 0x33),
         {"1", "发送", "UART", "-", "2", "-", " SLOW INIT; ADDR= 0X33 DATA: 01 02 "}},
        {"uart ecu init", MakeRecord(KindUart, kReceived, UartWord(7, 5), {}),
         {"1", "接收", "UART", "-", "-", "-", "ECU INIT ACTIVE"}},
        {"can extended", Can({0xD9, 0x18, 0xC4, 0x0B, 0x03, 0x40, 0x11, 0x22, 0x33}),
         {"1", "接收", "CAN", " 18 DA F1 10", "3", "-", "11 22 33 "}},
        {"can standard", Can({0xA0, 0x1F, 0x00, 0x00, 0x02, 0x00, 0xab, 0xcd}),
         {"1", "接收", "CAN", " 7E8", "2", "-", "AB CD "}},
        {"can remote", Can({0xD9, 0x18, 0xC4, 0x0B, 0x08, 0x42}),
         {"1", "接收", "CAN", " 18 DA F1 10", "8", "-", "远程帧"}},
        {"can dlc above 8", Can({0xA0, 0x1F, 0, 0, 0x0C, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
         {"1", "接收", "CAN", " 7E8", "12", "-", "01 02 03 04 05 06 07 08 "}},
        {"j1850 vpw three-byte header", J1850({0x04, 0x25, 0x00, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4, 0x10, 0x20}),
         {"1", "接收", "J1850", " VPW: 68 6A F1", "1", "C4", "01       NB:1      IFR: 10 20 "}},
        {"j1850 pwm one-byte header", J1850({0x09, 0x03, 0x00, 0x20, 0x61, 0x6A, 0x5B}),
         {"1", "接收", "J1850", " PWM: 61 ", "1", "5B", "6A "}},
        {"j1850 pwm ifr", J1850({0x01, 0x15, 0x00, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4, 0x33}),
         {"1", "接收", "J1850", " PWM: 68 6A F1", "1", "C4", "01       IFR: 33 "}},
        {"j1850 short frame", J1850({0x00, 0x02, 0x00, 0x20, 0x68, 0x6A}),
         {"1", "接收", "J1850", " VPW: 68 6A 00", "-2", "6A", ""}},
        {"j1850 ifr stops at the record end", J1850Counting(0x00, 0x5A),
         {"1", "接收", "J1850", " VPW: 40 41 42", "6", "49", "43 44 45 46 47 48       NB:0      IFR: 4A 4B "}},
        {"error flags", flags, {"1", "接收", "ERROR Flag", "-", "-", "-", flagText}},
        {"kind above 3", flags9, {"1", "接收", "ERROR Flag", "-", "-", "-", flagText}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordDetail d = DecodeRecordDetail(c.record);
        EXPECT_EQ(d.sequence, c.expected.sequence);
        EXPECT_EQ(d.direction, c.expected.direction);
        EXPECT_EQ(d.bus, c.expected.bus);
        EXPECT_EQ(d.header, c.expected.header);
        EXPECT_EQ(d.dlc, c.expected.dlc);
        EXPECT_EQ(d.crc, c.expected.crc);
        EXPECT_EQ(d.data, c.expected.data);
    }
}

TEST(RecordFormat, SequenceTextOfADoubleClickedRow) {
    const struct {
        const char* text;
        uint32_t index;
    } cases[] = {
        {"1", 0},           {"0", 0},      {"-7", 0},         {"", 0},
        {"100000", 99999},  {"100001", 0}, {"250003", 50002}, {"  42", 41},
        {"99999999999", 83646},  // saturates at 2147483647
        {"-99999999999", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(MonitorIndexFromSequenceText(c.text), c.index) << c.text;
}

// --- one page of the list ---

using MonitorPageTest = CleanRing;

void AppendUart(uint8_t direction, uint32_t timeMs, std::initializer_list<uint8_t> bytes, unsigned t = 0) {
    std::vector<uint8_t> v(bytes);
    AppendMonitorRecord(direction, KindUart, UartWord(t, static_cast<unsigned>(v.size())), timeMs, v.data(), v.size());
}

std::vector<std::string> Column(const MonitorPage& page, MonitorColumn column) {
    std::vector<std::string> out;
    for (const MonitorRow& row : page.rows) out.push_back(row.cells[column]);
    return out;
}

TEST_F(MonitorPageTest, EmptyRingShowsNoRows) {
    MonitorPage page;
    page.rows.resize(3);  // what an earlier refresh left
    BuildMonitorPage(page);
    EXPECT_TRUE(page.rows.empty());
    EXPECT_EQ(page.top, 0u);
}

TEST_F(MonitorPageTest, TopIsClampedSoTheLastPageIsFull) {
    const struct {
        uint32_t records, rows, top;
        uint32_t shownTop, shownRows;
        const char* firstSeq;
    } cases[] = {
        {5, 20, 3, 0, 5, "1"},           // fewer records than rows
        {50, 20, 40, 30, 20, "31"},      // past the end
        {50, 20, 10, 10, 20, "11"},      // in range, kept
        {50, 20, 0xFFFFFFF0, 30, 20, "31"},
        {300, 300, 100, 44, 256, "45"},  // never more than 256 rows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.records);
        ResetMonitorRing();
        AppendNumbered(c.records);
        g_MonitorRowsPerPage = c.rows;
        g_MonitorTop = c.top;
        MonitorPage page;
        BuildMonitorPage(page);
        EXPECT_EQ(page.top, c.shownTop);
        EXPECT_EQ(g_MonitorTop.load(), c.shownTop);
        ASSERT_EQ(page.rows.size(), c.shownRows);
        EXPECT_EQ(page.rows[0].cells[ColumnSequence], c.firstSeq);
    }
}

TEST_F(MonitorPageTest, PagesWrapAtTheEndOfTheRing) {
    AppendNumbered(100002);  // oldest = 2
    g_MonitorRowsPerPage = 4;
    g_MonitorTop = 99996;
    MonitorPage page;
    BuildMonitorPage(page);
    ASSERT_EQ(page.rows.size(), 4u);
    const uint32_t indices[4] = {99998, 99999, 0, 1};
    const char* seqs[4] = {"99999", "100000", "100001", "100002"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(page.rows[i].index, indices[i]);
        EXPECT_EQ(page.rows[i].cells[ColumnSequence], seqs[i]);
    }

    // A full ring from the top shows the oldest first: 2 after 100001 appends.
    ResetMonitorRing();
    AppendNumbered(100001);
    g_MonitorTop = 0;
    BuildMonitorPage(page);
    EXPECT_EQ(page.rows[0].cells[ColumnSequence], "2");
    EXPECT_EQ(page.rows[0].index, 1u);
}

TEST_F(MonitorPageTest, RowCellsTimesAndColours) {
    AppendUart(kReceived, 100, {0x01});
    AppendUart(kSent, 150, {0x02});
    const uint8_t flags[16] = {0, 0, 0, 0x30, 1, 2, 3, 4, 5};
    AppendMonitorRecord(kReceived, KindErrorFlags, 0, 140, flags, sizeof flags);
    AppendMonitorRecord(kSent, KindErrorFlags, 0, 0xFFFFFFFF, flags, sizeof flags);
    MonitorPage page;
    BuildMonitorPage(page);
    ASSERT_EQ(page.rows.size(), 4u);
    EXPECT_EQ(Column(page, ColumnDirection), (std::vector<std::string>{"接收", "发送", "接收", "发送"}));
    EXPECT_EQ(Column(page, ColumnTime), (std::vector<std::string>{"100", "150", "140", "-1"}));
    EXPECT_EQ(Column(page, ColumnRelativeTime), (std::vector<std::string>{" +0", " +50", " +-10", " +-141"}));
    EXPECT_EQ(Column(page, ColumnKind), (std::vector<std::string>{"UART", "UART", "-", "-"}));
    EXPECT_EQ(Column(page, ColumnData)[1], "02 ");
    EXPECT_EQ(Column(page, ColumnStatus)[0], " CS:0");
    const RgbColour text[4] = {kRowTextReceived, kRowTextSent, kRowTextReceived, kRowTextReceived};
    const RgbColour back[4] = {kRowBackground, kRowBackground, kRowBackgroundErrorFlags, kRowBackgroundErrorFlags};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(page.rows[i].text, text[i]) << i;
        EXPECT_EQ(page.rows[i].background, back[i]) << i;
    }
    EXPECT_EQ(kRowTextSent, (RgbColour{255, 0, 0}));
    EXPECT_EQ(kRowBackgroundErrorFlags, (RgbColour{255, 220, 220}));
}

TEST_F(MonitorPageTest, InitOkOnScreenRaisesTheLinkFlagOnEveryRefresh) {
    AppendUart(kReceived, 0, {0x00, 0x00, 0x60, 0x09, 0x00, 0x8A, 0x01}, 2);
    AppendNumbered(30);
    g_MonitorRowsPerPage = 10;
    MonitorPage page;
    for (uint32_t top : {0u, 0u, 5u}) {
        g_Kw1281LinkUp = 0;
        g_MonitorTop = top;
        BuildMonitorPage(page);
        EXPECT_EQ(g_Kw1281LinkUp.load(), top == 0 ? 1u : 0u) << top;
    }
}

}  // namespace

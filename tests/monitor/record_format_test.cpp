#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MonitorTestSupport.h"
#include "monitor/RecordFormat.h"

namespace {

std::string Spaces(size_t n) { return std::string(n, ' '); }

MonitorRecord Uart(uint8_t direction, uint16_t word, std::initializer_list<uint8_t> bytes, uint8_t low = 0,
                   uint8_t high = 0, uint8_t address = 0) {
    MonitorRecord r{1, 0, direction, KindUart, word, {}, low, high, address, 0};
    std::copy(bytes.begin(), bytes.end(), r.data);
    return r;
}

// Frame records with bytes past their 16 that a careless reader would show.
MonitorRecord Frame(uint8_t kind, std::initializer_list<uint8_t> bytes, uint8_t direction = kReceived) {
    MonitorRecord r{1, 0, direction, kind, 0, {}, 0, 0, 0, 0};
    std::copy(bytes.begin(), bytes.end(), r.data);
    std::fill(r.data + 16, r.data + kMonitorDataBytes, 0xEE);
    return r;
}

// A J1850 frame record whose bytes 4..15 count 40 41 ... 4B.
MonitorRecord J1850Counting(uint8_t byte0, uint8_t byte1) {
    MonitorRecord r = Frame(KindJ1850, {byte0, byte1, 0x00, 0x20});
    for (int i = 4; i < 16; ++i) r.data[i] = static_cast<uint8_t>(0x40 + i - 4);
    return r;
}

// 511 bytes announced, 260 held; the byte after them must not show.
MonitorRecord LongUart() {
    MonitorRecord r = Uart(kReceived, UartWord(0, 511), {}, 0xEE);
    std::fill(r.data, r.data + kMonitorDataBytes, 0xAB);
    return r;
}

// The record as the ring keeps one whose length word promised more bytes than came.
MonitorRecord Cut(MonitorRecord r) {
    r.reserved = kMonitorShortFrame;
    return r;
}

const std::initializer_list<uint8_t> kInitOk = {0x00, 0x00, 0x60, 0x09, 0x00, 0x8A, 0x01};
const std::initializer_list<uint8_t> kCanExtended = {0xD9, 0x18, 0xC4, 0x0B, 0x03, 0x40, 0x11, 0x22, 0x33};

// The list cells; the export shows the same data but for a remote frame, and never raises
// the link flag that a listed INIT=OK raises.
TEST(RecordFormat, ListCellsForEveryKindAndBranch) {
    const std::string vpw = "VPW: 68 6A F1 01 " + Spaces(22) + "CRC:C4";
    std::string longData;
    for (uint32_t i = 0; i < kMonitorDataBytes; ++i) longData += "AB ";
    const struct { const char* name; MonitorRecord record; const char *kind, *length; std::string data; const char* status; }
        cases[] = {
        {"slow init sent", Uart(kSent, UartWord(2, 2), {1, 2}, 0, 0, 0x33), "UART", "2", " SLOW INIT; ADDR= 0X33 DATA: 01 02 ", " "},
        {"init ok", Uart(kReceived, UartWord(2, 7), kInitOk), "UART", "7", "INIT=OK; BRG= 2400 KEYWORD: 8A 01", " "},
        {"init error", Uart(kReceived, UartWord(2, 7), {0x0A, 0, 0xFF, 0xFF, 0, 8, 8}), "UART", "7", "INIT ERROR : A BRG= 65535 KEYWORD: 08 08", " "},
        {"init ok cut short", Cut(Uart(kReceived, UartWord(2, 7), kInitOk)), "UART", "7", "INIT=OK; BRG= 2400 KEYWORD: 8A 01 ...", " "},
        {"init error cut short", Cut(Uart(kReceived, UartWord(2, 7), {0x0A, 0, 0xFF, 0xFF, 0, 8, 8})), "UART", "7", "INIT ERROR : A BRG= 65535 KEYWORD: 08 08 ...", " "},
        {"init result of 6 bytes cut short", Cut(Uart(kReceived, UartWord(2, 6), {0, 0, 0x60, 0x09, 0, 0x8A})), "UART", "6", "INIT ERROR : 00 00 60 09 00 8A ...", " "},
        {"frame cut short", Cut(Uart(kReceived, UartWord(0, 2), {0x12, 0xab})), "UART", "2", "12 AB ...", " CS:0"},
        {"ecu init", Uart(kReceived, UartWord(7, 0), {}), "UART", "0", "ECU INIT ACTIVE", " "},
        {"fast init sent", Uart(kSent, UartWord(1, 3),
         {0x81, 0x10, 0xF1}, 25, 24), "UART", "3", "FAST INIT:LT= 25 MS HT= 24 MS  DATA: 81 10 F1 ", " "},
        {"fast init received", Uart(kReceived, UartWord(1, 3), {0x81, 0x10, 0xF1}, 25, 24), "UART", "3", "81 10 F1 ", " "},
        {"checksum bad", Uart(kReceived, UartWord(0, 2), {0x12, 0xab}), "UART", "2", "12 AB ", " CS:0"},
        {"uart length over 260", LongUart(), "UART", "511", longData, " CS:0"},
        {"can standard", Frame(KindCan, {0xA0, 0x1F, 0, 0, 0x08, 0, 0x02, 0x01, 0x0C}),
         "CAN", "8", "ID:      7E8    DATA: 02 01 0C 00 00 00 00 00 ", ""},
        {"can standard remote", Frame(KindCan, {0xA2, 0x1F, 0, 0, 0, 0}), "CAN", "0", "ID:      7E8    远程帧", ""},
        {"can extended", Frame(KindCan, kCanExtended), "CAN", "3", "ID: 18DAF110    DATA: 11 22 33 ", ""},
        {"can extended remote", Frame(KindCan, {0xD9, 0x18, 0xC4, 0x0B, 0x00, 0x42}), "CAN", "0", "ID: 18DAF110    远程帧", ""},
        {"can dlc above 8", Frame(KindCan, {0xA0, 0x1F, 0, 0, 0x0F, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
         "CAN", "15", "ID:      7E8    DATA: 01 02 03 04 05 06 07 08 ", ""},
        {"j1850 vpw", Frame(KindJ1850, {0, 0x05, 0, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4}), "J1850", "5(1)", vpw, ""},
        {"j1850 pwm one-byte header", Frame(KindJ1850, {0x09, 0x03, 0, 0x20, 0x61, 0x6A, 0x5B}),
         "J1850", "3(1)", "PWM: 61 6A " + Spaces(28) + "CRC:5B", ""},
        {"j1850 one-byte header by byte 4", Frame(KindJ1850, {0, 0x03, 0, 0x20, 0x10, 0x6A, 0x5B}),
         "J1850", "3(1)", "VPW: 10 6A " + Spaces(28) + "CRC:5B", ""},
        {"j1850 vpw nb and ifr", Frame(KindJ1850, {0x04, 0x25, 0, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4, 0x10, 0x20}),
         "J1850", "7(1)", vpw + "--NB:1--IFR: 10 20 ", ""},
        {"j1850 pwm ifr", Frame(KindJ1850, {0x01, 0x15, 0, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4, 0x33}),
         "J1850", "6(1)", "PWM: 68 6A F1 01 " + Spaces(22) + "CRC:C4--IFR: 33 ", ""},
        {"j1850 ifr stops at the record end", J1850Counting(0x00, 0x5A),
         "J1850", "15(6)", "VPW: 40 41 42 43 44 45 46 47 48 " + Spaces(7) + "CRC:49--NB:0--IFR: 4A 4B ", ""},
        {"j1850 frame over 12, ifr past the record", J1850Counting(0x01, 0x3D),
         "J1850", "16(9)", "PWM: 40 41 42 43 44 45 46 47 48 49 4A " + Spaces(1) + "CRC:4B--IFR: ", ""},
        {"j1850 empty frame", Frame(KindJ1850, {0, 0, 0, 0x20}), "J1850", "0(-4)", "VPW: " + Spaces(34) + "CRC:20", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatKind(c.record), c.kind);
        EXPECT_EQ(FormatLength(c.record), c.length);
        EXPECT_EQ(FormatStatus(c.record), c.status);
        g_Kw1281LinkUp = 0;
        std::string exported = c.data;
        const size_t remote = exported.find("    远程帧");
        if (remote != std::string::npos) exported.replace(remote, exported.size() - remote, "    Remote");
        EXPECT_EQ(FormatData(c.record, RecordTextUse::Export), exported);
        EXPECT_EQ(g_Kw1281LinkUp.load(), 0u);
        EXPECT_EQ(FormatData(c.record), c.data);
        EXPECT_EQ(g_Kw1281LinkUp.load(), c.data.rfind("INIT=OK", 0) == 0 ? 1u : 0u);
    }
}

TEST(RecordFormat, DetailDecoders) {
    MonitorRecord forty = Uart(kSent, UartWord(0, 40), {});
    for (int i = 0; i < 40; ++i) forty.data[i] = static_cast<uint8_t>(i);
    forty.sequence = 77;
    MonitorRecord flags = Frame(KindErrorFlags, {0, 0, 0, 0x30, 0x01, 0x02, 0x0A, 0xB4, 0xFF}), flags9 = flags;
    flags9.kind = 9;
    const std::string flagText = "UERRF: 0x01 \r\nJERRF: 0x02 \r\nCINTF0: 0x0A \r\nCINTF1: 0xB4 \r\nCINTF2: 0xFF ";
    const std::string rx = "接收", tx = "发送";
    // Fields: sequence, direction, bus, header, dlc, crc, data.
    const struct { const char* name; MonitorRecord record; std::vector<std::string> fields; } cases[] = {
        {"uart 40 bytes", forty, {"77", tx, "UART", "-", "40", "-",
          "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F      10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F "
          "\r\n20 21 22 23 24 25 26 27 "}},
        {"uart slow init", Uart(kSent, UartWord(2, 2), {1, 2}, 0, 0, 0x33), {"1", tx, "UART", "-", "2", "-", " SLOW INIT; ADDR= 0X33 DATA: 01 02 "}},
        {"uart init ok", Uart(kReceived, UartWord(2, 7), kInitOk), {"1", rx, "UART", "-", "7", "-", "INIT=OK; BRG= 2400 KEYWORD: 8A 01"}},
        {"uart init ok cut short", Cut(Uart(kReceived, UartWord(2, 7), kInitOk)), {"1", rx, "UART", "-", "7", "-", "INIT=OK; BRG= 2400 KEYWORD: 8A 01 ..."}},
        {"uart ecu init", Uart(kReceived, UartWord(7, 5), {}), {"1", rx, "UART", "-", "-", "-", "ECU INIT ACTIVE"}},
        {"can extended", Frame(KindCan, kCanExtended), {"1", rx, "CAN", " 18 DA F1 10", "3", "-", "11 22 33 "}},
        {"can remote", Frame(KindCan, {0xD9, 0x18, 0xC4, 0x0B, 0x08, 0x42}), {"1", rx, "CAN", " 18 DA F1 10", "8", "-", "远程帧"}},
        {"can standard dlc above 8", Frame(KindCan, {0xA0, 0x1F, 0, 0, 0x0C, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
         {"1", rx, "CAN", " 7E8", "12", "-", "01 02 03 04 05 06 07 08 "}},
        {"j1850 vpw", Frame(KindJ1850, {0x04, 0x25, 0, 0x20, 0x68, 0x6A, 0xF1, 0x01, 0xC4, 0x10, 0x20}),
         {"1", rx, "J1850", " VPW: 68 6A F1", "1", "C4", "01       NB:1      IFR: 10 20 "}},
        {"j1850 pwm one-byte header", Frame(KindJ1850, {0x09, 0x13, 0, 0x20, 0x61, 0x6A, 0x5B, 0x33}),
         {"1", rx, "J1850", " PWM: 61 ", "1", "5B", "6A       IFR: 33 "}},
        {"j1850 short frame", Frame(KindJ1850, {0, 0x02, 0, 0x20, 0x68, 0x6A}), {"1", rx, "J1850", " VPW: 68 6A 00", "-2", "6A", ""}},
        {"j1850 ifr stops at the record end", J1850Counting(0x00, 0x5A),
         {"1", rx, "J1850", " VPW: 40 41 42", "6", "49", "43 44 45 46 47 48       NB:0      IFR: 4A 4B "}},
        {"error flags", flags, {"1", rx, "ERROR Flag", "-", "-", "-", flagText}},
        {"kind above 3", flags9, {"1", rx, "ERROR Flag", "-", "-", "-", flagText}},
    };
    for (const auto& c : cases) {
        g_Kw1281LinkUp = 0;
        const RecordDetail d = DecodeRecordDetail(c.record);
        EXPECT_EQ((std::vector<std::string>{d.sequence, d.direction, d.bus, d.header, d.dlc, d.crc, d.data}), c.fields) << c.name;
        EXPECT_EQ(g_Kw1281LinkUp.load(), 0u) << c.name;
    }
}

TEST(RecordFormat, InitOkRaisesTheLinkOnlyFromTheMarkOn) {
    // The page took the link down when g_MonitorSeq was 50: rows of older sequences are an
    // earlier initialisation still on screen.
    const struct { const char* name; uint32_t mark, sequence; bool raised; } cases[] = {
        {"no mark yet", 0, 1, true},
        {"row from before the mark", 50, 49, false},
        {"first row after the mark", 50, 50, true},
        {"later row", 50, 51, true},
        {"sequence wrapped past the mark", 0xFFFFFFF0u, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MonitorRecord r = Uart(kReceived, UartWord(2, 7), kInitOk);
        r.sequence = c.sequence;
        g_Kw1281LinkMark = c.mark;
        g_Kw1281LinkUp = 0;
        FormatData(r);
        EXPECT_EQ(g_Kw1281LinkUp.load(), c.raised ? 1u : 0u);
    }
    const uint32_t seq = g_MonitorSeq.exchange(77);
    g_Kw1281LinkUp = 1;
    ClearKw1281Link();
    EXPECT_EQ(g_Kw1281LinkUp.load(), 0u);
    EXPECT_EQ(g_Kw1281LinkMark.load(), 77u);
    g_Kw1281LinkMark = 0;
    g_MonitorSeq = seq;
}

}  // namespace

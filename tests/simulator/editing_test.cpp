// The parameter dialog's fields, the entry editor's rules and the import from the monitor,
// without widgets.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "monitor/MonitorRing.h"
#include "simulator/EcuParamFields.h"
#include "simulator/MonitorImport.h"
#include "simulator/ObdSimuPage.h"
#include "simulator/RespondEditor.h"
#include "tests/simulator/SimEntries.h"

using simtest::Bytes;
using simtest::Cat;
using simtest::PidEntry;
using simtest::Ramp;

namespace {

std::string Hex(const Bytes& b) {
    std::string text;
    for (uint8_t v : b) text += std::string{"0123456789ABCDEF"[v >> 4], "0123456789ABCDEF"[v & 15], ' '};
    return text;
}

}  // namespace

TEST(EcuParamFields, TypedTextsWriteTheirFieldsAndShowBack) {
    struct Case {
        int id;
        std::string typed;
        std::function<bool(const EcuSimParams&)> stored;
        std::string shown;    // the field's text afterwards
        std::string message;  // "" for none
    };
    using P = const EcuSimParams&;
    const Case cases[] = {
        {1043, "68 6A F2", [](P p) { return p.requestHeader9141 == 0x686AF2; }, "68 6A F2", ""},
        {1043, "486B", [](P p) { return p.requestHeader9141 == 0x00486B; }, "00 48 6B", ""},
        {1042, "48 6B 10", [](P p) { return Bytes(p.respondHeader9141, p.respondHeader9141 + 3) == Bytes{0x48, 0x10, 0x6B}; }, "48 6B 10", ""},
        {1044, "94 8", [](P p) { return p.keyWords9141[0] == 0x09 && p.keyWords9141[1] == 0x48; }, "09 48", ""},
        {1017, "FFF", [](P p) { return p.can11FunctionalRequestId == 0x7FF; }, "7FF", ""},
        {1012, "FF FF FF FF", [](P p) { return p.can29RespondId == 0x1FFFFFFF; }, "1F FF FF FF", ""},
        {1019, "6C 10 F1", [](P p) { return p.vpwNodeAddress == 0x10 && p.vpwPhysicalRequestHeader == 0x6C10F1; }, "6C 10 F1", ""},
        {1025, "61 6B F1", [](P p) { return p.pwmFunctionalAddress == 0x6B; }, "61 6B F1", ""},
        {1039, "300", [](P p) { return p.p2Ms == 255; }, "255", "最大255ms!"},
        {1040, "255", [](P p) { return p.p1Ms == 255; }, "255", ""},
        {1038, "9999", [](P p) { return p.sessionTimeoutMs == 9999; }, "9999", ""},
        {1018, "5", [](P p) { return p.canPadValue == 0x05; }, "05", ""},
        {1011, "30 00 00 00 00 00 00 00 00", [](P p) { return p.flowControlDlc == 8; }, "30 00 00 00 00 00 00 00", "数据桢的总长度不可大于8字节!"},
        {1011, "30 01 0A", [](P p) { return p.flowControlDlc == 3 && p.flowControlData[1] == 0x01 && p.flowControlData[2] == 0x0A; }, "30 01 0A", ""},
        {1011, "", [](P p) { return p.flowControlDlc == 0; }, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " " + c.typed);
        EcuSimParams p{};
        LoadDefaultParams(p);
        const EcuParamEdit edit = SetEcuParamText(p, c.id, c.typed);
        EXPECT_TRUE(c.stored(p));
        EXPECT_EQ(edit.message, c.message);
        EXPECT_EQ(edit.rewrite ? edit.text : EcuParamText(p, c.id), c.shown);
    }
    EcuSimParams p{};
    LoadDefaultParams(p);
    SetEcuParamText(p, 1019, "6C 22 F1");
    EXPECT_EQ(J1850AddressText(p, false, true), "VPW: ECU Respond for Functional Addr: 0x6A and Physical Addr 0x22");
    p.vpwFunctionalAddress = 0x05;
    EXPECT_EQ(J1850AddressText(p, false, false), "VPW:ECU Respond for Functional Addr: 0x05 and Physical Addr 0x22");
}

TEST(EcuParamFields, ListsAndTheObd2DefaultsKeepTheProtocolsOwnFields) {
    EcuSimParams p{};
    LoadDefaultParams(p);
    for (auto [id, row] : {std::pair{1029, 1}, {1030, 1}, {1031, 2}, {1026, 1}, {1027, 1}}) SetEcuParamChoice(p, id, row);
    const auto fields = [&p] {
        return std::vector<unsigned>{p.kLineBrg, p.lengthMode9141, p.headerMode14230, p.canKbps, p.canPadTo8, p.j1850Flavour, p.canStandardId};
    };
    EXPECT_EQ(fields(), (std::vector<unsigned>{259, 0, 2, 250, 0, 0, 0}));
    for (int id : {1029, 1030, 1026, 1027}) EXPECT_EQ(EcuParamChoice(p, id), 1) << id;
    p.j1850Flavour = 1;
    p.canStandardId = 1;
    SetDefaultParams(p);
    EXPECT_EQ(fields(), (std::vector<unsigned>{239, 1, 0, 500, 1, 1, 1}));
}

TEST(RespondEditor, HexEditsKeepTheirLimitsAndLayTheMessagesOut) {
    OBDRespondEntry e;
    InitRespondEntry(e);
    EditorEdit edit = EditRequest(e, "0102030405060708");
    EXPECT_EQ(e.requestLength, 7u);
    EXPECT_EQ(edit.text, "01 02 03 04 05 06 07 ");
    EXPECT_EQ(edit.message, "数据桢长度不可大于7字节!");
    EXPECT_EQ(RequestLengthLabel(e), "Request All Data Length: 7");
    EXPECT_TRUE(EditRequest(e, "ABC").message.empty());
    EXPECT_EQ(Bytes(e.request, e.request + e.requestLength), (Bytes{0xAB, 0x0C}));

    edit = EditMessage(e, 1, Hex(Ramp(0, 257)));
    EXPECT_EQ(e.message1Length, 256u);
    EXPECT_EQ(edit.message, "数据长度不可大于256字节!");
    EXPECT_TRUE(edit.formatMessages);
    EXPECT_EQ(e.messageCount, 1u);

    EditMessage(e, 1, Hex(Ramp(0xA0, 12)));
    EditAck(e, "41 00");
    ASSERT_TRUE(FormatMessages(e));
    EXPECT_EQ(FormatMessages(e)->text[0],
              "A0 A1 A2 A3 A4     A5 A6 A7 A8 A9 \r\nAA AB ");
    EXPECT_EQ(FormatMessages(e)->length[0], "12");
    edit = EditAck(e, "41 00 01 02 03 04 05");
    EXPECT_EQ(edit.message, "应答的服务SID/DATA的长度已达到设置的数据桢长度，无法处理消息分帧!");
    EXPECT_FALSE(FormatMessages(e)) << "no byte fits after the ACK: the edits are left alone";
    EXPECT_EQ(EditBytesPerFrame(e, 3).message, "帧长度设置太小");
    EXPECT_EQ(e.bytesPerFrame, 4u);

    EditMessage(e, 1, "");
    EditMessage(e, 2, "01");
    EXPECT_EQ(e.messageCount, 0u);
}

TEST(RespondEditor, ClosingChecksInTheirOrder) {
    struct Case { const char* name; std::function<void(OBDRespondEntry&)> change; const char* save; const char* add; };
    const char* m1Save = "设置不合规则：\n首先赢设置消息1（Message1）!";
    const char* m1Add = "设置不合规则：\n首先应设置消息1（Message1）!";
    const char* ack4 = "设置不符合数据规则:\n 当有设置Message1、Message2消息后,\nACK.SID/PID/DATA中的字节数据最多3个。";
    const Case cases[] = {
        {"usable", nullptr, nullptr, nullptr},
        {"no request first", [](OBDRespondEntry& e) { e.requestLength = 0; e.message1Length = 0; e.message2Length = 1; },
         "设置不合规则：\n诊断仪请求的内容必须设置！", "设置不合规则：\n诊断仪请求的内容必须设置！"},
        {"message 2 without message 1", [](OBDRespondEntry& e) { EditMessage(e, 1, ""); EditMessage(e, 2, "01"); }, m1Save, m1Add},
        {"ack 4 with a message", [](OBDRespondEntry& e) { EditAck(e, "41 00 01 02"); }, ack4, ack4},
        {"ack 4 alone", [](OBDRespondEntry& e) { EditAck(e, "41 00 01 02"); EditMessage(e, 1, ""); }, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OBDRespondEntry e = PidEntry(simtest::kPids);
        if (c.change) c.change(e);
        const char* save = EditorClosingCheck(e, EditorClose::SaveChanges);
        const char* add = EditorClosingCheck(e, EditorClose::AddNew);
        EXPECT_EQ(save ? std::string(save) : "", c.save ? std::string(c.save) : "");
        EXPECT_EQ(add ? std::string(add) : "", c.add ? std::string(c.add) : "");
    }
}

namespace {

// Record bytes past the frame hold whatever the chip's buffer held: never 00 by chance.
constexpr uint8_t kNotFrame = 0xEE;

Bytes CanRecord(const Bytes& data) {
    Bytes r = {0xA0, 0x1F, 0x00, 0x00, static_cast<uint8_t>(data.size()), 0x00};
    r = Cat(r, data);
    r.resize(16, kNotFrame);
    return r;
}
Bytes J1850Record(const Bytes& frame, uint8_t flags = 0x80) {
    Bytes r = Cat({flags, static_cast<uint8_t>(frame.size() + 1), 0x00, 0x20}, frame);
    r.resize(16, kNotFrame);  // the CRC too
    return r;
}
// Slots that earlier, cleared records filled: a long K-line answer, then bytes of no frame.
void DirtyThenClearTheRing(uint32_t rows) {
    Bytes earlier = {0x48, 0x6B, 0x10, 0x41, 0x00, 0xBE, 0x3F, 0xB8, 0x13, 0xCC};
    earlier.resize(kMonitorDataBytes, kNotFrame);
    ResetMonitorRing();
    for (uint32_t i = 0; i < rows; ++i)
        AppendMonitorRecord(1, KindUart, static_cast<uint16_t>(earlier.size()), 0, earlier.data(), earlier.size());
    ResetMonitorRing();
}
struct Row {
    uint8_t direction, kind;
    uint16_t word;
    Bytes data;
};
Row Can(const Bytes& d, uint8_t dir = 1) { return {dir, KindCan, 0, CanRecord(d)}; }
Row KLine(const Bytes& f, uint16_t flags = 0) { return {1, KindUart, static_cast<uint16_t>(f.size() | flags), f}; }
Row J1850(const Bytes& f) { return {1, KindJ1850, 0, J1850Record(f)}; }

}  // namespace

TEST(MonitorImport, RangesOfRecordsIntoAckAndMessage1) {
    const Bytes ff = {0x10, 0x14, 0x49, 0x02, 0x01, 0x31, 0x44, 0x34};
    const Bytes cf1 = Cat({0x21}, Ramp(0x50, 7)), cf2 = Cat({0x22}, Ramp(0x60, 7)), cf3 = Cat({0x23}, Ramp(0x70, 7));
    struct Case { const char* name; std::vector<Row> rows; uint32_t ack, from, to; const char* refusal; Bytes ackBytes, message1; };
    const Case cases[] = {
        {"CAN single frame", {Can({0x06, 0x41, 0x00, 0xBE, 0x3F, 0xB8, 0x13, 0x00})}, 2, 1, 0, nullptr,
         {0x41, 0x00}, {0xBE, 0x3F, 0xB8, 0x13}},
        {"CAN FF, FC, CFs: the third adds nothing",
         {Can(ff), Can({0x30, 0x00, 0x00}, 0), Can(cf1), Can(cf2), Can(cf3)}, 2, 1, 5, nullptr,
         {0x49, 0x02}, Cat(Cat({0x01, 0x31, 0x44, 0x34}, Ramp(0x50, 7)), Ramp(0x60, 7))},
        {"K-line 3-byte header", {KLine({0x48, 0x6B, 0x10, 0x41, 0x00, 0xBE, 0x3F, 0xB8, 0x13, 0xCC})}, 2, 1, 1,
         nullptr, {0x41, 0x00}, {0xBE, 0x3F, 0xB8, 0x13}},
        {"K-line 4-byte header", {KLine({0x80, 0xF1, 0x10, 0x06, 0x41, 0x00, 0xBE, 0x3F, 0xB8, 0x13, 0xCC})}, 2, 1,
         0, nullptr, {0x41, 0x00}, {0xBE, 0x3F, 0xB8, 0x13}},
        {"two J1850 records", {J1850({0x48, 0x6B, 0x10, 0x41, 0x00, 0xBE, 0x3F}), J1850({0x48, 0x6B, 0x10, 0x41, 0x00, 0xB8, 0x13})},
         2, 1, 2, nullptr, {0x41, 0x00}, {0xBE, 0x3F, 0xB8, 0x13}},
        {"empty monitor", {}, 2, 1, 0, "监控窗口中无数据可调入!", {}, {}},
        {"from 0", {J1850({0x48})}, 2, 0, 0, "最小序号是1，开始序号不可为0", {}, {}},
        {"beyond the rows", {J1850({0x48})}, 2, 1, 2, "序号超过监控窗口中已有的数据!", {}, {}},
        {"from after to", {J1850({0x48}), J1850({0x48}), J1850({0x48})}, 2, 3, 2, "开始序号不可以大于结束序号!", {}, {}},
        {"first sent", {Can({0x02, 0x41, 0x00}, 0)}, 2, 1, 0, "第一帧数据不可以是输出数桢 ", {}, {}},
        {"first CAN consecutive frame", {Can(cf1)}, 2, 1, 0, "第一帧CAN数据必顺是SF桢或FF桢", {}, {}},
        {"K-line init", {KLine({}, 0x7000)}, 2, 1, 0, "不能导入含初始化信息的帧", {}, {}},
        {"error flags", {{1, KindErrorFlags, 0, Bytes(16, 0)}}, 2, 1, 0, "第一帧数据非数据桢", {}, {}},
        // Valid by number, no answer bytes after the ACK: taken, with an empty Message1.
        {"CAN single frame of DLC 2, ACK 2", {Can({0x01, 0x7E})}, 2, 1, 0, nullptr, {0x7E, 0x00}, {}},
        {"CAN first frame of DLC 3, ACK 2", {Can({0x10, 0x14, 0x49})}, 2, 1, 0, nullptr, {0x49, 0x00}, {}},
        {"K-line frame shorter than header and ACK", {KLine({0x81, 0xF1, 0x10, 0x7E, 0xE0})}, 3, 1, 0, nullptr,
         {0x7E, 0xE0, 0x00}, {}},
        {"J1850 frame of one byte and its CRC", {J1850({0x48, 0x6B, 0x10, 0x7E})}, 2, 1, 0, nullptr, {0x7E, 0x00}, {}},
        // ACK bytes the first frame does not hold are 00, not what the slot held before.
        {"K-line frame of its header alone", {KLine({0x48, 0x6B, 0x10})}, 2, 1, 0, nullptr, {0x00, 0x00}, {}},
        {"CAN first frame of DLC 2", {Can({0x10, 0x14})}, 1, 1, 0, nullptr, {0x00}, {}},
        {"J1850 frame of its header alone", {J1850({0x48, 0x6B, 0x10})}, 1, 1, 0, nullptr, {0x00}, {}},
        // A later record: J1850 takes the ACK again, 00 where it holds no byte; K-line and CAN
        // keep the first record's ACK whatever they hold.
        {"J1850 then a shorter J1850", {J1850({0x48, 0x6B, 0x10, 0x41, 0x0D, 0x42, 0x99}), J1850({0x48, 0x6B, 0x10, 0x99})},
         2, 1, 2, nullptr, {0x99, 0x00}, {0x42, 0x99}},
        {"J1850 then one of its header alone", {J1850({0x48, 0x6B, 0x10, 0x41, 0x0D, 0x42}), J1850({0x48, 0x6B, 0x10})},
         2, 1, 2, nullptr, {0x00, 0x00}, {0x42}},
        {"K-line then a J1850 of one byte", {KLine({0x48, 0x6B, 0x10, 0x41, 0x0D, 0x42, 0xCC}), J1850({0x48, 0x6B, 0x10, 0x7F})},
         3, 1, 2, nullptr, {0x7F, 0x00, 0x00}, {}},
        {"K-line then a shorter K-line", {KLine({0x48, 0x6B, 0x10, 0x41, 0x0D, 0x42, 0xCC}), KLine({0x48, 0x6B, 0x10, 0x99, 0xCC})},
         2, 1, 2, nullptr, {0x41, 0x0D}, {0x42}},
        {"K-line then one with a 4-byte header", {KLine({0x48, 0x6B, 0x10, 0x41, 0x0D, 0x42, 0xCC}), KLine({0x80, 0xF1, 0x10, 0x01, 0x99, 0xCC})},
         2, 1, 2, nullptr, {0x41, 0x0D}, {0x42}},
        {"CAN FF then a short CF", {Can({0x10, 0x08, 0x49, 0x02, 0x01, 0x31, 0x44, 0x34}), Can({0x21, 0x55})},
         2, 1, 2, nullptr, {0x49, 0x02}, {0x01, 0x31, 0x44, 0x34, 0x55}},
        {"CAN SF then a J1850 of its header alone", {Can({0x03, 0x41, 0x0D, 0x42}), J1850({0x48, 0x6B, 0x10})},
         2, 1, 2, nullptr, {0x00, 0x00}, {0x42}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DirtyThenClearTheRing(8);
        for (const Row& r : c.rows) AppendMonitorRecord(r.direction, r.kind, r.word, 0, r.data.data(), r.data.size());
        ImportState s;
        const char* refusal = ImportMonitorRange(s, c.ack, c.from, c.to);
        EXPECT_EQ(refusal ? std::string(refusal) : "", c.refusal ? std::string(c.refusal) : "");
        if (c.refusal) continue;
        EXPECT_EQ(Bytes(s.ack, s.ack + s.ackLength), c.ackBytes);
        EXPECT_EQ(Bytes(s.message1, s.message1 + s.message1Length), c.message1);
    }
}

TEST(MonitorImport, LongMessagesStopAt256AndNumbersFollowTheListAfterAWrap) {
    ResetMonitorRing();
    const Bytes ff = {0x11, 0x40, 0x62, 0xF1, 0x90, 0x00, 0x01, 0x02};  // announces 320 bytes
    AppendMonitorRecord(1, KindCan, 0, 0, CanRecord(ff).data(), 16);
    for (int i = 0; i < 45; ++i) {
        const Bytes cf = CanRecord(Cat({static_cast<uint8_t>(0x20 | (i & 0x0F))}, Ramp(static_cast<uint8_t>(i), 7)));
        AppendMonitorRecord(1, KindCan, 0, 0, cf.data(), 16);
    }
    ImportState s;
    ASSERT_EQ(ImportMonitorRange(s, 2, 1, 46), nullptr);
    EXPECT_EQ(s.message1Length, 256u);

    // After the ring wrapped, number n is the row that shows sequence n.
    ResetMonitorRing();
    const Bytes filler = CanRecord({0x02, 0x01, 0x00});
    for (uint32_t i = 0; i < kMonitorCapacity + 5; ++i) AppendMonitorRecord(1, KindCan, 0, 0, filler.data(), 16);
    const Bytes sf = CanRecord({0x03, 0x41, 0x0D, 0x42});
    AppendMonitorRecord(1, KindCan, 0, 0, sf.data(), 16);
    const uint32_t last = g_MonitorSeq.load() - 1;
    ASSERT_EQ(ImportMonitorRange(s, 2, last, 0), nullptr);
    EXPECT_EQ(Bytes(s.message1, s.message1 + s.message1Length), Bytes{0x42});
    EXPECT_STREQ(ImportMonitorRange(s, 2, 3, 0), "序号超过监控窗口中已有的数据!");
}

TEST(RespondEditor, AnImportReplacesAckAndMessage1AndKeepsMessage2) {
    OBDRespondEntry e = PidEntry(Ramp(0, 10));
    e.message2Length = 3;
    std::memcpy(e.message2, "\x01\x02\x03", 3);
    ImportState s;
    s.ackLength = 1;
    s.ack[0] = 0x7E;
    s.message1Length = 0;
    ApplyImport(e, s);
    EXPECT_EQ(Bytes(e.ack, e.ack + e.ackLength), Bytes{0x7E});
    EXPECT_EQ(e.message1Length, 0u);
    EXPECT_EQ(Bytes(e.message2, e.message2 + 3), (Bytes{1, 2, 3}));
    EXPECT_EQ(e.messageCount, 0u);
}

TEST(ObdSimuPageEdits, AFullTableTakesNoMoreAndEditsSortAndMark) {
    ObdSimuPage page;
    for (uint32_t i = 0; i < kMaxRespondEntries; ++i) {
        g_RespondTable[i] = PidEntry({});
        g_RespondTable[i].request[1] = static_cast<uint8_t>(i);
    }
    g_RespondCount = kMaxRespondEntries - 1;
    OBDRespondEntry first = PidEntry({});
    first.request[0] = 0x00;
    EXPECT_TRUE(page.AddEntry(first));
    EXPECT_EQ(g_RespondTable[0].request[0], 0x00) << "sorted in";
    EXPECT_TRUE(page.modified);
    EXPECT_FALSE(page.CanAddEntry());
    EXPECT_FALSE(page.AddEntry(first));
    page.StoreEditedEntry(5, first, false);  // "新增一项" on a full table
    EXPECT_EQ(g_RespondCount, kMaxRespondEntries);
    OBDRespondEntry last = PidEntry({});
    last.request[0] = 0xFF;
    page.StoreEditedEntry(0, last, true);
    EXPECT_EQ(g_RespondTable[kMaxRespondEntries - 1].request[0], 0xFF);
    g_RespondCount = 0;
}

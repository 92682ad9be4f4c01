// The LIN page and its ID-table editor without widgets, and the UART test page's fields.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "pages/kline/lin/LinPage.h"
#include "pages/kline/lin/LinWorker.h"
#include "pages/kline/uarttest/UartTestPage.h"
#include "tests/support/PageTestSupport.h"

namespace {

using ::testing::ElementsAre;

class LinPageTest : public ::testing::Test {
protected:
    void SetUp() override { g_DeviceOpen = 1; }
    void TearDown() override {
        g_WorkerThread.Stop();
        g_TxPending = 0;
        g_RegPacketPending = 0;
        g_DeviceOpen = 0;
    }
    void StartWorker() { ASSERT_TRUE(g_WorkerThread.Start(QuietWorker, nullptr, false)); }
    // The editor on the page's own table, moved to an ID as the page moves it.
    LinIdTableEditor EditorAt(uint8_t id) {
        LinIdTableEditor editor(page.IdTable());
        editor.SetCurrentId(id);
        editor.Reload();
        return editor;
    }

    platform::RecordingMessageSink messages;
    LinPage page;
};

// The sums themselves are checked through the page's checksum table below.
TEST(LinChecksumTest, ProtectedIdsAndAnEmptySum) {
    struct Pid { uint8_t id, pid; };
    for (const Pid& c : {Pid{0, 0x80}, Pid{48, 0xF0}, Pid{60, 0x3C}, Pid{61, 0x7D}, Pid{12, 0x4C}})
        EXPECT_EQ(LinProtectedId(c.id), c.pid) << int(c.id);
    EXPECT_EQ(LinChecksum(nullptr, 0, false, 0), 0xFF);
}

// Checksum, lengths, BRG, LACKB and the list's texts at opening are the window's and the
// download's checks.
TEST_F(LinPageTest, OpeningShowsTheDefaultFrameAtNineSixHundred) {
    EXPECT_TRUE(page.View().dataEnabled);
    EXPECT_EQ(page.MasterDataText(), ByteRun(8));
    EXPECT_EQ(page.BaudRow(), kUartBaudRow9600);
    EXPECT_EQ(page.SlaveDataText(7), ByteRun(8, 0x70));
    EXPECT_EQ(LinIdListText(63), "63-0X3F");
    EXPECT_EQ(page.Image()[uart::UFRMCON], 0x82);
    EXPECT_THAT(page.SetAutoBaud(true), ::testing::HasSubstr("必须首先设定大约的BRG值"));
    EXPECT_EQ(page.Image()[uart::UFRMCON], 0xA2);
    EXPECT_EQ(page.SetAutoBaud(false), "");
    EXPECT_EQ(page.Image()[uart::UFRMCON], 0x82);
}

TEST_F(LinPageTest, ChecksumFollowsTheIdAndItsTableByte) {
    const struct { const char* name; uint8_t id, config; const char *data, *cs, *idLen; } cases[] = {
        {"ID 32, four bytes", 32, 0, "FF FF FF 02", "FD", "4"},
        {"ID 5, two bytes", 5, 0, "FF FF", "00", "2"},
        {"ID 60 set to two bytes, enhanced", 60, 0x80 | 0x10 | 0x08, "00 00", "C3", "2"},
        {"free length sums the DLC", 62, 0, "01 02 03", "F9", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        page.LoadDefaults();
        if (c.config) page.IdTable()[c.id] = c.config;
        page.MasterIdChanged(std::to_string(c.id));
        page.MasterDataChanged(c.data);
        EXPECT_EQ(page.View().checksumText, c.cs);
        EXPECT_EQ(page.View().idLenText, c.idLen);
    }
}

TEST_F(LinPageTest, MasterDataIsCappedByTheIdAndPaddedOnLeaving) {
    // 9 bytes for ID 48: 8 kept with the ID's length in the message.
    PageEditResult r = page.MasterDataChanged(ByteRun(9));
    EXPECT_EQ(r.text, ByteRun(8));
    EXPECT_EQ(r.message, "数据长度不可大于ID定义的8字节数!");
    EXPECT_EQ(page.Master().DLC, 8);

    // Free length: 255 bytes taken, the 256th refused.
    page.MasterIdChanged("62");
    r = page.MasterDataChanged(ByteRun(255));
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(page.Master().DLC, 255);
    r = page.MasterDataChanged(ByteRun(256));
    EXPECT_EQ(r.message, "数据桢的总长度不可大于255字节!");
    EXPECT_EQ(r.text, ByteRun(255));
    EXPECT_EQ(page.Master().DLC, 255);

    // 48 -> 5 cuts to two bytes; back to 48 pads zeros to eight.
    page.LoadDefaults();
    page.MasterIdChanged("5");
    EXPECT_EQ(page.Master().DLC, 2);
    EXPECT_EQ(page.MasterDataText(), "00 01 ");
    page.MasterIdChanged("48");
    EXPECT_EQ(page.Master().DLC, 8);
    EXPECT_EQ(page.MasterDataText(), "00 01 00 00 00 00 00 00 ");
    EXPECT_EQ(page.View().checksumText, HexByteText(static_cast<uint8_t>(~1)));

    // Fewer bytes than ID_LEN count what the buffer held (the 01 of byte 1) until the edit
    // is left: FF + 01 folds to 01.
    page.MasterDataChanged("FF");
    EXPECT_EQ(page.View().checksumText, "FE");
    EXPECT_EQ(page.MasterDataLeft(), "FF 00 00 00 00 00 00 00 ");
    EXPECT_EQ(page.View().checksumText, "00");
    EXPECT_EQ(page.View().dlcText, "8");
}

TEST_F(LinPageTest, SendBuildsTheMasterFrameOrTheHeaderAlone) {
    EXPECT_EQ(page.Send(), PageSendResult::NotRunning);
    StartWorker();
    ASSERT_EQ(page.Send(), PageSendResult::Queued);
    EXPECT_THAT(PendingPacket(), ElementsAre(0x57, 0x3F, 0x0B, 0x00, 0x09, 0x00, 0x30, 0, 1, 2, 3, 4, 5, 6, 7));
    EXPECT_EQ(page.Send(), PageSendResult::Pending);

    g_TxPending = 0;
    page.IdTable()[21] |= lin::SRP;
    page.MasterIdChanged("21");
    EXPECT_FALSE(page.View().dataEnabled);
    ASSERT_EQ(page.Send(), PageSendResult::Queued);
    EXPECT_THAT(PendingPacket(), ElementsAre(0x57, 0x3F, 0x03, 0x00, 0x01, 0x00, 21));

    g_TxPending = 0;  // free length with nothing typed: the ID alone, word 1
    page.MasterIdChanged("63");
    page.MasterDataChanged("");
    ASSERT_EQ(page.Send(), PageSendResult::Queued);
    EXPECT_THAT(PendingPacket(), ElementsAre(0x57, 0x3F, 0x03, 0x00, 0x01, 0x00, 63));
    EXPECT_EQ(messages.Count(), 1u);  // the "not connected" box only
}

TEST_F(LinPageTest, FieldsClampWithTheirMessages) {
    UartTestPage uartTest;
    const std::string badId = "有效ID应为0-63", eight = "数据缓冲区长度8字节!";
    // text: what the edit is rewritten with; nullptr: not looked at.
    const struct { const char* name; std::function<PageEditResult()> edit; const char* text; std::string message; } cases[] = {
        {"slave ID 70", [&] { return page.SlaveIdChanged(3, "70"); }, "63", badId},
        {"pasted slave ID -5", [&] { return page.SlaveIdChanged(4, "-5"); }, "63", badId},
        {"slave ID 63 kept", [&] { return page.SlaveIdChanged(5, "63"); }, nullptr, ""},
        {"master ID 64", [&] { return page.MasterIdChanged("64"); }, "63", badId},
        {"nine LACKB bytes", [&] { return page.LackbChanged(1, ByteRun(9, 0x40)); }, "40 41 42 43 44 45 46 47 ", eight},
        {"nine slave bytes", [&] { return page.SlaveDataChanged(6, ByteRun(9, 0x50)); }, "50 51 52 53 54 55 56 57 ", eight},
        {"61 UART test bytes", [&] { return uartTest.DataChanged(ByteRun(61)); }, nullptr, "数据桢的总长度不可大于60字节!"},
    };
    for (const auto& c : cases) {
        const PageEditResult r = c.edit();
        EXPECT_EQ(r.message, c.message) << c.name;
        if (c.text) { EXPECT_EQ(r.text, c.text) << c.name; }
    }
    EXPECT_EQ(page.SlaveRows().Row(3).ID, 63);
    EXPECT_EQ(page.SlaveRows().Row(4).ID, 63);
    EXPECT_EQ(page.Master().ID, 63);
    EXPECT_EQ(uartTest.Count(), 60u);
    EXPECT_EQ(uartTest.DataText(), ByteRun(60));
    // Bytes not entered are zero.
    page.LackbChanged(0, "AA BB");
    EXPECT_EQ(page.LackbText(0), "AA BB 00 00 00 00 00 00 ");
    EXPECT_EQ(messages.Count(), 0u);  // the page returns messages; the window shows them
}

TEST_F(LinPageTest, SetQueuesOneBlockAtATimeAndStartDropsIt) {
    page.LackbChanged(1, "01 02 03");
    ASSERT_TRUE(page.SetLackb(1));
    page.LackbChanged(1, "09");
    EXPECT_FALSE(page.SetLackb(2)) << "a second set before the worker's pass is dropped";
    EXPECT_THAT(Bytes(g_LinSetPacket, g_LinSetPacket + 12), ElementsAre(0x54, 0x31, 0x08, 0x00, 1, 2, 3, 0, 0, 0, 0, 0));
    EXPECT_EQ(g_RegPacketPending.load(), 1u);
    g_DeviceOpen = 0;
    EXPECT_EQ(page.Start(), PageStartResult::NotConnected);
    EXPECT_EQ(g_RegPacketPending.load(), 0u);
}

TEST_F(LinPageTest, EditorWritesOneIdOrARangeAndTheWholeTableButtons) {
    // first, last: the IDs that take the edited byte.
    const struct { const char* name; bool range; const char *from, *to; bool applied; uint32_t first, last; } cases[] = {
        {"single ID", false, "0", "31", true, 7, 7},
        {"FROM 10 TO 10", true, "10", "10", true, 10, 10},
        {"0 to 63", true, "0", "63", true, 0, 63},
        {"20 to 19 refused", true, "20", "19", false, 1, 0},
        {"TO 99 is 63", true, "60", "99", true, 60, 63},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        page.LoadDefaults();
        messages.Clear();
        LinIdTableEditor editor = EditorAt(7);
        const std::vector<uint8_t> before(page.IdTable(), page.IdTable() + kLinIdCount);
        editor.SetField(LinIdTableEditor::Csm, 1);
        editor.SetField(LinIdTableEditor::Afp, 3);
        EXPECT_EQ(editor.Edited(), 0x9B) << "only the fields' bits change";
        editor.SetRangeMode(c.range), editor.FromChanged(c.from), editor.ToChanged(c.to);
        EXPECT_EQ(editor.Apply(), c.applied);
        for (uint8_t id = 0; id < kLinIdCount; ++id)
            EXPECT_EQ(page.IdTable()[id], id >= c.first && id <= c.last ? 0x9B : before[id]) << int(id);
        EXPECT_EQ(messages.Texts(), c.applied ? std::vector<std::string>{} : std::vector<std::string>{"结束的ID不应小于开始的ID!"});
    }

    LinIdTableEditor editor = EditorAt(20);
    EXPECT_EQ(editor.ToChanged("99").message, "有效ID应为0-63");
    EXPECT_EQ(editor.FromChanged("99").text, "63");
    EXPECT_EQ(editor.To(), 63u);
    EXPECT_EQ(editor.CurrentIdText(), "20 (0x14)");

    // IDEN=0 leaves the edited byte: the next apply writes the old IDEN back.
    editor.SetAllIden(false);
    EXPECT_EQ(page.IdTable()[0], 0x10);
    EXPECT_EQ(editor.FieldValue(LinIdTableEditor::Iden), 1u);
    editor.Apply();
    EXPECT_EQ(page.IdTable()[20], 0x90);
    EXPECT_EQ(page.IdTable()[21], 0x10);

    // The recommended lengths come back for 62 and 63, other bits kept.
    page.IdTable()[62] = 0x3C, page.IdTable()[63] = 0xB0;
    editor.RecommendedLenc();
    EXPECT_EQ(page.IdTable()[62], 0x0C);
    EXPECT_EQ(page.IdTable()[63], 0x80);
    EXPECT_EQ(page.IdTable()[40], 0x20);
}

TEST_F(LinPageTest, EditorChangeOfTheMasterIdMovesItsChecksum) {
    LinIdTableEditor editor = EditorAt(48);
    editor.SetField(LinIdTableEditor::Csm, 1);
    editor.Apply();
    const LinMasterView view = page.ComputeChecksum();  // what the window reruns after "更改"
    EXPECT_EQ(view.checksumText, HexByteText(LinChecksum(page.Master().data, 8, true, 48)));
    EXPECT_EQ(view.checksumText, "F2");
    editor.SetField(LinIdTableEditor::Lenc, 1);
    editor.Apply();
    EXPECT_EQ(page.ComputeChecksum().idLenText, "2");
    EXPECT_EQ(page.View().dlcText, "8") << "the DLC stays until the data edit is left";
}

}  // namespace

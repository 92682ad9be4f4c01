#include "monitor/Connection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "platform/Message.h"
#include "testboard/testboard.h"
#include "tests/support/BoardLog.h"

namespace {

using Texts = std::vector<std::string>;

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reset();
        ASSERT_EQ(UsbLoadLibrary(), 1);
    }
    void TearDown() override { Reset(); }
    void Reset() {
        g_WorkerRunning = 0;
        if (UsbWritePipeOpen()) UsbClosePipes();
        g_DeviceOpen = 0;
        tb_reset();
        messages.Clear();
        offered.clear();
        captions.clear();
        refreshes = 0;
    }
    Connection Make(int choice) {
        return Connection({[this, choice](uint32_t count) { return offered.push_back(count), choice; },
                           [this](const std::string& c) { captions.push_back(c); }, [this] { ++refreshes; }});
    }

    platform::RecordingMessageSink messages;
    std::vector<uint32_t> offered;
    Texts captions;
    int refreshes = 0;
};

TEST_F(ConnectionTest, ConnectOutcomes) {
    const char* const versionFailed = "读取版本信息失败!";
    // open: the pipes and g_DeviceOpen.
    struct Case { const char* name; void (*setup)(); int choice; ConnectResult result; Texts texts, captions; bool open; }
        cases[] = {
        {"second of two boards", [] { tb_set_board_count(2); tb_set_chip(0x41, 0x12); }, 1, ConnectResult::Connected,
         {}, {"VR3526Kits -- Device(1) Connected. VR3526 ID: 0x41 VER: 0x12"}, true},
        {"two hex digits", [] { tb_set_chip(0x0A, 0xFF); }, 0, ConnectResult::Connected, {},
         {"VR3526Kits -- Device(0) Connected. VR3526 ID: 0x0A VER: 0xFF"}, true},
        {"no board", [] { tb_set_board_count(0); }, 0, ConnectResult::NoDevice, {"无法找到 MCP USB device!"},
         {"VR3526Kits - None Device"}, false},
        {"cancel", [] {}, -1, ConnectResult::Cancelled, {}, {}, false},
        {"write pipe fails", [] { tb_fail_open(0); }, 0, ConnectResult::OpenFailed, {}, {}, false},
        {"read pipe fails", [] { tb_fail_open(1); }, 0, ConnectResult::OpenFailed, {}, {}, false},
        // A failed version read keeps the pipes open: Disconnect is the way back.
        {"version read fails", [] { tb_fail_next_read(); }, 0, ConnectResult::VersionFailed, {versionFailed}, {}, true},
        {"no version byte", [] { tb_short_next_reply(5); }, 0, ConnectResult::VersionFailed, {versionFailed}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        c.setup();
        const uint32_t boards = UsbGetDeviceCount();
        EXPECT_EQ(Make(c.choice).Connect(), c.result);
        EXPECT_EQ(offered, boards ? std::vector<uint32_t>{boards} : std::vector<uint32_t>{});
        EXPECT_EQ(messages.Texts(), c.texts);
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(refreshes, c.result == ConnectResult::Connected ? 1 : 0);
        EXPECT_EQ(g_DeviceOpen.load(), c.open ? 1u : 0u);
        EXPECT_EQ(tb_open_pipes(), c.open ? 2u : 0u);
        EXPECT_TRUE(!c.open || tb_last_open_index() == c.choice) << tb_last_open_index();
        // The version read: one byte out in 500 ms, at most 64 back within 100 ms.
        using Calls = testing::Matcher<std::string>;
        EXPECT_THAT(LoggedCalls(), c.open ? Calls(testing::HasSubstr("w1/500 r64/100")) : Calls(""));
    }
}

TEST_F(ConnectionTest, ConnectAgainOpensNothingAndAWorkerRefusesDisconnectAndClose) {
    Connection connection = Make(0);
    ASSERT_EQ(connection.Connect(), ConnectResult::Connected);
    EXPECT_EQ(connection.Connect(), ConnectResult::AlreadyOpen);
    g_WorkerRunning = 1;
    EXPECT_EQ(connection.Disconnect(), DisconnectResult::WorkerRunning);
    EXPECT_FALSE(connection.CanClose());
    EXPECT_EQ(tb_open_count(), 2u) << "opening again would leak the pipes";
    EXPECT_EQ(tb_open_pipes(), 2u);
    EXPECT_EQ(captions.size() + refreshes, 2u) << "only the connect's";
    ASSERT_EQ(messages.Count(), 2u);
    for (const platform::Message& m : messages.Messages()) {
        EXPECT_EQ(m.text, "VR3526正在工作，请先停止VR3526工作");
        EXPECT_EQ(m.caption, "请先停止");
        EXPECT_EQ(m.icon, platform::MessageIcon::Exclamation);
    }
    g_WorkerRunning = 0;
    EXPECT_TRUE(connection.CanClose());
    EXPECT_EQ(connection.Disconnect(), DisconnectResult::Disconnected);
    EXPECT_EQ(tb_open_pipes() + g_DeviceOpen.load(), 0u);
    EXPECT_EQ(captions.back(), "VR3526Kits - None Device");
    EXPECT_EQ(refreshes, 2);
}

}  // namespace

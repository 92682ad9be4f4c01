#include "monitor/Connection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "platform/Message.h"
#include "testboard/testboard.h"

namespace {

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        tb_reset();
        ASSERT_EQ(UsbLoadLibrary(), 1);
        g_WorkerRunning = 0;
        g_DeviceOpen = 0;
        g_DeviceNumber = 0;
    }
    void TearDown() override {
        g_WorkerRunning = 0;
        if (UsbWritePipeOpen()) UsbClosePipes();
        g_DeviceOpen = 0;
    }

    Connection Make(int choice) {
        ConnectionHooks hooks;
        hooks.chooseDevice = [this, choice](uint32_t count) {
            offered.push_back(count);
            return choice;
        };
        hooks.setCaption = [this](const std::string& c) { captions.push_back(c); };
        hooks.refreshPages = [this] { ++refreshes; };
        return Connection(hooks);
    }

    platform::RecordingMessageSink messages;
    std::vector<uint32_t> offered;
    std::vector<std::string> captions;
    int refreshes = 0;
};

TEST(ConnectedCaption, ShowsDeviceIdAndVersionInTwoHexDigits) {
    EXPECT_EQ(FormatConnectedCaption(1, 0x41, 0x12),
              "VR3526Kits -- Device(1) Connected. VR3526 ID: 0x41 VER: 0x12");
    EXPECT_EQ(FormatConnectedCaption(0, 0x0A, 0xFF),
              "VR3526Kits -- Device(0) Connected. VR3526 ID: 0x0A VER: 0xFF");
    EXPECT_EQ(FormatConnectedCaption(65535, 0, 0),
              "VR3526Kits -- Device(65535) Connected. VR3526 ID: 0x00 VER: 0x00");
}

TEST_F(ConnectionTest, SecondOfTwoBoardsOpensDeviceOneAndShowsItsChip) {
    tb_set_board_count(2);
    tb_set_chip(0x41, 0x12);
    Connection connection = Make(1);

    EXPECT_EQ(connection.Connect(), ConnectResult::Connected);
    EXPECT_EQ(offered, std::vector<uint32_t>{2});
    EXPECT_EQ(tb_last_open_index(), 1);
    EXPECT_EQ(tb_open_pipes(), 2u);
    EXPECT_EQ(g_DeviceOpen.load(), 1u);
    EXPECT_EQ(g_DeviceNumber.load(), 1u);
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0], "VR3526Kits -- Device(1) Connected. VR3526 ID: 0x41 VER: 0x12");
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(messages.Count(), 0u);

    // The version read is the single byte 00.
    uint8_t packet[64];
    ASSERT_GE(tb_log_count(), 1u);
    ASSERT_EQ(tb_log_packet(0, packet, sizeof packet, nullptr), 1u);
    EXPECT_EQ(packet[0], 0x00);
}

TEST_F(ConnectionTest, NoBoardShowsTheBoxAndNeverOpens) {
    tb_set_board_count(0);
    Connection connection = Make(0);

    EXPECT_EQ(connection.Connect(), ConnectResult::NoDevice);
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(tb_open_count(), 0u);
    EXPECT_EQ(g_DeviceOpen.load(), 0u);
    EXPECT_EQ(captions, std::vector<std::string>{"VR3526Kits - None Device"});
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"无法找到 MCP USB device!"});
    EXPECT_EQ(refreshes, 0);
}

TEST_F(ConnectionTest, FailuresBeforeTheVersionLeaveEverythingClosedAndSilent) {
    struct Case {
        const char* name;
        int choice;
        int failOpenDirection;  // -1 none
        ConnectResult result;
    } cases[] = {
        {"cancel", -1, -1, ConnectResult::Cancelled},
        {"write pipe fails", 0, 0, ConnectResult::OpenFailed},
        {"read pipe fails", 0, 1, ConnectResult::OpenFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tb_reset();
        messages.Clear();
        captions.clear();
        refreshes = 0;
        if (c.failOpenDirection >= 0) tb_fail_open(c.failOpenDirection);
        Connection connection = Make(c.choice);

        EXPECT_EQ(connection.Connect(), c.result);
        EXPECT_EQ(g_DeviceOpen.load(), 0u);
        EXPECT_FALSE(UsbWritePipeOpen());
        EXPECT_EQ(tb_open_pipes(), 0u);
        EXPECT_EQ(messages.Count(), 0u);
        EXPECT_TRUE(captions.empty());
        EXPECT_EQ(refreshes, 0);
    }
}

TEST_F(ConnectionTest, VersionReadFailureKeepsThePipesOpenAndTheCaption) {
    struct Case {
        const char* name;
        void (*fault)();
    } cases[] = {
        {"read fails", [] { tb_fail_next_read(); }},
        {"one byte only", [] { tb_short_next_reply(1); }},
        {"five bytes: no version byte", [] { tb_short_next_reply(5); }},
        {"slower than 100 ms", [] { tb_delay_next_read(300); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (UsbWritePipeOpen()) UsbClosePipes();
        g_DeviceOpen = 0;
        tb_reset();
        messages.Clear();
        captions.clear();
        refreshes = 0;
        c.fault();
        Connection connection = Make(0);

        EXPECT_EQ(connection.Connect(), ConnectResult::VersionFailed);
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{"读取版本信息失败!"});
        EXPECT_EQ(g_DeviceOpen.load(), 1u);
        EXPECT_TRUE(UsbWritePipeOpen());
        EXPECT_TRUE(captions.empty());
        EXPECT_EQ(refreshes, 0);
    }
}

TEST_F(ConnectionTest, ConnectWhileOpenDoesNotOpenAgain) {
    Connection connection = Make(0);
    ASSERT_EQ(connection.Connect(), ConnectResult::Connected);
    const unsigned opens = tb_open_count();
    EXPECT_EQ(connection.Connect(), ConnectResult::AlreadyOpen);
    EXPECT_EQ(tb_open_count(), opens);
    EXPECT_EQ(tb_open_pipes(), 2u);
}

TEST_F(ConnectionTest, DisconnectClosesThePipesAndRefreshesThePages) {
    Connection connection = Make(0);
    ASSERT_EQ(connection.Connect(), ConnectResult::Connected);
    captions.clear();
    refreshes = 0;

    EXPECT_EQ(connection.Disconnect(), DisconnectResult::Disconnected);
    EXPECT_EQ(tb_open_pipes(), 0u);
    EXPECT_FALSE(UsbWritePipeOpen());
    EXPECT_EQ(g_DeviceOpen.load(), 0u);
    EXPECT_EQ(captions, std::vector<std::string>{"VR3526Kits - None Device"});
    EXPECT_EQ(refreshes, 1);

    // Again without a connection: nothing to close, still the same caption.
    EXPECT_EQ(connection.Disconnect(), DisconnectResult::Disconnected);
    EXPECT_EQ(captions.size(), 2u);
}

TEST_F(ConnectionTest, WorkerRunningRefusesDisconnectAndClose) {
    Connection connection = Make(0);
    ASSERT_EQ(connection.Connect(), ConnectResult::Connected);
    captions.clear();
    refreshes = 0;
    g_WorkerRunning = 1;

    EXPECT_EQ(connection.Disconnect(), DisconnectResult::WorkerRunning);
    EXPECT_FALSE(connection.CanClose());
    EXPECT_EQ(tb_open_pipes(), 2u);
    EXPECT_EQ(g_DeviceOpen.load(), 1u);
    EXPECT_TRUE(captions.empty());
    EXPECT_EQ(refreshes, 0);
    const auto shown = messages.Messages();
    ASSERT_EQ(shown.size(), 2u);
    for (const platform::Message& m : shown) {
        EXPECT_EQ(m.text, "VR3526正在工作，请先停止VR3526工作");
        EXPECT_EQ(m.caption, "请先停止");
        EXPECT_EQ(m.icon, platform::MessageIcon::Exclamation);
    }

    g_WorkerRunning = 0;
    EXPECT_TRUE(connection.CanClose());
    EXPECT_EQ(messages.Count(), 2u);
}

}  // namespace

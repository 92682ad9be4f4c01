// A reply that nobody reads any more (it came after its read timed out, or before a
// reconnect) must never answer a later request. Built twice: on the simulated board, and on
// the real USB library against an emulated board (tests/usbboard/).
#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#ifdef VR_MPUSBAPI_PATH
#include "tests/usbboard/EmulatedBoardFixture.h"
#else
#include "BoardFixture.h"
#endif
#include "monitor/Connection.h"
#include "monitor/MonitorRing.h"
#include "pages/shared/BusWorker.h"
#include "pages/kline/UartPageOps.h"
#include "pages/kline/KLineWorkers.h"

namespace {

// A poll reply carrying a UART frame; unlike a version, register or idle reply.
const Bytes kStale = {0x00, 0x10, 0x05, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE};
const UartPageConfig kSession{UartPage::Iso14230, ThreadProc14230, true, false, 0};

void LeaveStaleReply() {
    tb_queue_reply(kStale.data(), static_cast<unsigned>(kStale.size()));
    ASSERT_EQ(UsbSendPoll(), 1);  // its reply is never read
}

// The worker writes one poll at a time: the stale reply answers the poll after the one that
// queued it, and that poll's reply comes past the worker's 1500 ms.
void LateOnSecondPoll(void* context, const uint8_t* packet, unsigned length) {
    auto& step = *static_cast<std::atomic<int>*>(context);
    if (!IsPoll(Bytes(packet, packet + length))) return;
    if (step == 0) tb_queue_reply(kStale.data(), static_cast<unsigned>(kStale.size()));
    if (step == 1) tb_delay_next_read(1600);
    ++step;
}

class LateReply : public BoardTest {
protected:
    void TearDown() override {
        StopPage();
        tb_set_responder(nullptr, nullptr);
        BoardTest::TearDown();
    }
};

TEST_F(LateReply, EveryRequestAfterAStaleReplyGetsItsOwn) {
    const struct { const char* name; std::function<void()> leave; } cases[] = {
        {"late for its timed-out read",
         [] {
             LeaveStaleReply();
             tb_delay_next_read(50);
             uint8_t buffer[kPacketBufferSize];
             EXPECT_EQ(UsbReadPacket(10, sizeof buffer, buffer), -1);
         }},
        {"left before a reconnect",
         [] {
             LeaveStaleReply();
             UsbClosePipes();
             ASSERT_EQ(UsbOpenPipes(), 1);
         }},
        {"left by an earlier session", [] {
             LeaveStaleReply();
             UsbSendStart(0x81, EngineUart, 0);
         }},
    };
    tb_set_register(0x31, 0x7F);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.leave();
        uint8_t id = 0, version = 0, value = 0;
        EXPECT_TRUE(UsbReadVersion(&id, &version) && id == 0x41 && version == 0x12) << int(id) << " " << int(version);
        EXPECT_TRUE(UsbReadRegister(0x31, &value) && value == 0x7F) << int(value);
        uint8_t reply[kPacketBufferSize] = {};
        EXPECT_TRUE(UsbSendPoll() && UsbReadPacket(1500, sizeof reply, reply) == 4 && reply[1] == 0) << int(reply[1]);
    }
    EXPECT_EQ(messages_.Count(), 0u);
}

// The whole path a user takes: the worker gives up on a late poll reply, then the user
// reconnects and starts again.
TEST_F(LateReply, AfterReadOneTheReconnectAndTheNextSessionSeeTheirOwnReplies) {
    std::string caption;
    Connection connection({[](uint32_t) { return 0; }, [&](const std::string& c) { caption = c; }, [] {}});
    const UartRegisterImage image{};
    ResetMonitorRing();
    ASSERT_EQ(StartUartPage(image, kSession), PageStartResult::Started);
    ASSERT_GE(WaitForPolls(1), 0);
    std::atomic<int> step{0};
    tb_set_responder(LateOnSecondPoll, &step);
    ASSERT_TRUE(messages_.WaitForCount(1, std::chrono::seconds(10)));
    EXPECT_EQ(messages_.Texts()[0], "设备出现通信错误停止! Read 1");
    g_WorkerThread.JoinEnded();
    tb_set_responder(nullptr, nullptr);

    EXPECT_EQ(connection.Disconnect(), DisconnectResult::Disconnected);
    EXPECT_EQ(connection.Connect(), ConnectResult::Connected);
    EXPECT_EQ(caption, "VR3526Kits -- Device(0) Connected. VR3526 ID: 0x41 VER: 0x12");

    tb_log_clear();
    ASSERT_EQ(StartUartPage(image, kSession), PageStartResult::Started);
    ASSERT_GE(WaitForPolls(3), 0);
    EXPECT_TRUE(StopPage());
    EXPECT_EQ(g_MonitorCount.load(), 0u) << "the stale frame was filed as received";
    EXPECT_EQ(messages_.Count(), 1u);
}

}  // namespace

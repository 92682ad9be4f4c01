// The K-line responders and the simulator's Start / Stop against the simulated board playing
// the tester: init reports and requests arrive as queued poll replies.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "simulator/BusResponder.h"
#include "simulator/KLineResponder.h"
#include "tests/simulator/SimBoard.h"

namespace {

using simtest::Cat;
using simtest::kPids;
using simtest::PidEntry;
using simtest::Ramp;

std::atomic<uint32_t> g_FakeNow{1000};
uint32_t FakeClock() { return g_FakeNow.load(); }

// A tester frame as the chip reports it: status 0x10, its word, the bytes.
Bytes Received(const Bytes& frame, uint16_t flags = 0) {
    const uint16_t word = static_cast<uint16_t>(frame.size() | flags);
    return Cat({0x00, 0x10, static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)}, frame);
}
const Bytes kInitReport{0x00, 0x10, 0x00, 0x70};

Bytes WithSum(Bytes frame) {
    uint8_t sum = 0;
    for (uint8_t b : frame) sum = static_cast<uint8_t>(sum + b);
    frame.push_back(sum);
    return frame;
}
const Bytes kReq9141 = WithSum({0x68, 0x6A, 0xF1, 0x01, 0x00});
const Bytes kAck9141{0x48, 0x6B, 0x10, 0x41, 0x00};
const Bytes kPidAnswer = WithSum(Cat(kAck9141, kPids));

// The frames of every engine frame packet in the log, each checked against its word.
std::vector<Bytes> SentFrames(unsigned from = 0) {
    std::vector<Bytes> frames;
    for (const Bytes& p : LoggedPackets(from)) {
        if (!IsEngineFrame(p)) continue;
        const size_t n = p[2] | (p[3] << 8);
        EXPECT_EQ(p.size(), n + 4);
        EXPECT_EQ(static_cast<size_t>(p[4] | (p[5] << 8)), n - 2);
        frames.emplace_back(p.begin() + 6, p.end());
    }
    return frames;
}

// Status texts in the order the responder posted them (no UI thread: posted at once).
struct StatusLog {
    StatusLog() {
        SetSimStatusListener([this](const std::string& text) {
            std::lock_guard<std::mutex> lock(mutex);
            texts.push_back(text);
        });
    }
    ~StatusLog() { SetSimStatusListener(nullptr); }
    std::vector<std::string> Texts() {
        std::lock_guard<std::mutex> lock(mutex);
        return texts;
    }
    std::mutex mutex;
    std::vector<std::string> texts;
};

class SimBoard : public SimBoardTest {
protected:
    StatusLog status_;
};

}  // namespace

TEST_F(SimBoard, RequestsAndTheFramesWrittenForThem) {
    const Bytes unknown14230 = WithSum({0xC2, 0x33, 0xF1, 0x22, 0x01});
    const Bytes pids14230 = WithSum({0xC2, 0x33, 0xF1, 0x01, 0x00});
    const Bytes neg14230 = {0x83, 0xF1, 0x10, 0x7F, 0x22, 0x11, 0x36};
    std::vector<Bytes> first64;
    for (uint8_t i = 0; i < 64; ++i) first64.push_back(WithSum({0x48, 0x6B, 0x10, 0x41, i}));
    struct Case {
        const char* name;
        KLineSim sim;
        std::function<void()> setUp;
        std::vector<Bytes> replies;  // what the tester sends after the init report
        std::vector<Bytes> frames;
        bool together = false;       // all at once, else each after the last answer
    };
    const auto i9141 = KLineSim::Iso9141, i14230 = KLineSim::Iso14230;
    const Case cases[] = {
        {"9141 default entry", i9141, nullptr, {Received(kReq9141)}, {kPidAnswer}},
        {"9141 seven message bytes: two frames", i9141, [] { g_RespondTable[0] = PidEntry(Ramp(0xA0, 7)); },
         {Received(kReq9141)}, {WithSum(Cat(kAck9141, Ramp(0xA0, 5))), WithSum(Cat(kAck9141, Ramp(0xA5, 2)))}},
        {"9141 two messages, the second empty", i9141, [] { g_RespondTable[0].messageCount = 2; },
         {Received(kReq9141)}, {kPidAnswer, WithSum(kAck9141)}},
        {"9141 one frame per part: 3 + 256 bytes cut to 262 with its sum", i9141,
         [] { g_EcuSimParams.lengthMode9141 = 0; g_RespondTable[0] = PidEntry(Ramp(0, 256)); g_RespondTable[0].ackLength = 3; },
         {Received(kReq9141)}, {WithSum(Cat(Cat(kAck9141, {0x00}), Ramp(0, 255)))}},
        {"9141 unknown request: negative", i9141, nullptr, {Received(WithSum({0x68, 0x6A, 0xF1, 0x09, 0x02}))},
         {WithSum({0x48, 0x6B, 0x10, 0x7F, 0x09, 0x11})}},
        {"9141 negatives off: nothing", i9141, [] { g_NegativeRespondEnabled = 0; },
         {Received(WithSum({0x68, 0x6A, 0xF1, 0x09, 0x02})), Received(kReq9141)}, {kPidAnswer}},
        {"9141 other header: nothing", i9141, nullptr, {Received(WithSum({0x68, 0x6A, 0xF2, 0x01, 0x00}))}, {}},
        {"9141 bad frame bit: nothing", i9141, nullptr, {Received(kReq9141, 0x0800)}, {}},
        {"9141 a word claiming more bytes than came", i9141, nullptr, {Cat({0x00, 0x10, 0x20, 0x00}, kReq9141)}, {kPidAnswer}},
        {"9141 a request during an answer: nothing", i9141, nullptr,
         {Received(kReq9141), Received(WithSum({0x68, 0x6A, 0xF1, 0x09, 0x02}))}, {kPidAnswer}, true},
        {"9141 65 frames: the first 64", i9141,
         [] { g_RespondTable[0] = PidEntry(Ramp(0, 65)); g_RespondTable[0].ackLength = 1, g_RespondTable[0].bytesPerFrame = 2; },
         {Received(kReq9141)}, first64},
        {"9141 ack as long as a frame: no message frames", i9141, [] { g_RespondTable[0].bytesPerFrame = 2; },
         {Received(kReq9141)}, {}},
        {"14230 mode 0 negative", i14230, nullptr, {Received(unknown14230)}, {neg14230}},
        {"14230 four-byte header request: the same answer", i14230, nullptr,
         {Received(WithSum({0x80, 0x10, 0xF1, 0x02, 0x22, 0x01}))}, {neg14230}},
        {"14230 mode 2 negative", i14230, [] { g_EcuSimParams.headerMode14230 = 2; }, {Received(unknown14230)},
         {{0x80, 0xF1, 0x10, 0x03, 0x7F, 0x22, 0x11, 0x36}}},
        {"14230 four-byte header without data: nothing", i14230, nullptr, {Received(WithSum({0x80, 0x10, 0xF1, 0x00}))}, {}},
        {"14230 other target, other tester, swapped kinds: nothing", i14230, nullptr,
         {Received(WithSum({0xC2, 0x34, 0xF1, 0x01, 0x00})), Received(WithSum({0xC2, 0x33, 0xF2, 0x01, 0x00})),
          Received(WithSum({0x82, 0x33, 0xF1, 0x01, 0x00})), Received(WithSum({0xC2, 0x10, 0xF1, 0x01, 0x00}))},
         {}},
        {"14230 mode 0 split", i14230, [] { g_RespondTable[0] = PidEntry(Ramp(0xA0, 7)); }, {Received(pids14230)},
         {WithSum(Cat({0x87, 0xF1, 0x10, 0x41, 0x00}, Ramp(0xA0, 5))), WithSum(Cat({0x84, 0xF1, 0x10, 0x41, 0x00}, Ramp(0xA5, 2)))}},
        {"14230 mode 1 short and long", i14230,
         [] {
             g_EcuSimParams.headerMode14230 = 1;
             g_RespondTable[0] = PidEntry(Ramp(0, 61));
             g_RespondTable[0].messageCount = 2, g_RespondTable[0].message2Length = 62;
             std::memcpy(g_RespondTable[0].message2, Ramp(0, 62).data(), 62);
         },
         {Received(pids14230)},
         {WithSum(Cat({0xBF, 0xF1, 0x10, 0x41, 0x00}, Ramp(0, 61))), WithSum(Cat({0x80, 0xF1, 0x10, 64, 0x41, 0x00}, Ramp(0, 62)))}},
        {"14230 mode 2 ack alone and a cut message", i14230,
         [] {
             g_EcuSimParams.headerMode14230 = 2;
             g_RespondTable[0] = PidEntry(Ramp(0, 256)), g_RespondTable[1] = simtest::AnswerEntry({0x3E}, {0x7E}, {});
             g_RespondCount = 2;
         },
         {Received(WithSum({0xC1, 0x33, 0xF1, 0x3E})), Received(pids14230)},
         {WithSum({0x80, 0xF1, 0x10, 0x01, 0x7E}), WithSum(Cat({0x80, 0xF1, 0x10, 0xFF, 0x41, 0x00}, Ramp(0, 253)))}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh(SimIso9141);
        if (c.setUp) c.setUp();
        KLineResponder policy(c.sim, &FakeClock);
        policy.Enter();
        tb_log_clear();
        Queue(kInitReport);
        for (const Bytes& r : c.replies) {
            Queue(r);
            if (!c.together) RunPasses(policy);
        }
        RunPasses(policy);
        EXPECT_EQ(SentFrames(), c.frames);
    }
}

TEST_F(SimBoard, FramesWaitForAnIdleTransmitterAndAreLoggedAsSent) {
    g_RespondTable[0] = PidEntry(Ramp(0xA0, 7));
    KLineResponder policy(KLineSim::Iso9141, &FakeClock);
    policy.Enter();
    tb_set_responder([](void*, const uint8_t* p, unsigned n) {
        if (n >= 2 && p[0] == 0x57 && p[1] == 0x3F) tb_set_busy_reads(2);
    }, nullptr);
    Queue(kInitReport);
    Queue(Received(kReq9141));
    RunPasses(policy);
    tb_set_responder(nullptr, nullptr);
    const std::vector<Bytes> log = LoggedPackets();
    std::vector<size_t> frameAt;
    for (size_t i = 0; i < log.size(); ++i)
        if (IsEngineFrame(log[i])) frameAt.push_back(i);
    ASSERT_EQ(frameAt.size(), 2u);
    int reads = 0;
    for (size_t i = frameAt[0]; i < frameAt[1]; ++i) reads += IsRead31(log[i]);
    EXPECT_EQ(reads, 3);  // busy, busy, free
    // Ring: init report and request received, two frames sent, in that order.
    ASSERT_EQ(g_MonitorCount.load(), 4u);
    for (uint32_t i = 0; i < 4; ++i) {
        const MonitorRecord r = CopyMonitorRecord(i);
        EXPECT_EQ((std::pair<int, int>(r.direction, r.kind)), (std::pair<int, int>(i < 2, KindUart))) << i;
    }
    EXPECT_EQ(CopyMonitorRecord(2).lengthWord, 11);
    EXPECT_EQ(status_.Texts(), (std::vector<std::string>{"等待初始化...", "等待请求指令...",
                                                         "正在发送响应...", "等待请求指令..."}));
}

TEST_F(SimBoard, FastInitWaitsForStartCommunicationAndANewInitRestartsIt) {
    g_FastInitMode = 1;
    const Bytes r22 = Received(WithSum({0xC2, 0x33, 0xF1, 0x22, 0x01}));
    const Bytes r81 = Received(WithSum({0xC1, 0x33, 0xF1, 0x81}));
    KLineResponder policy(KLineSim::Iso14230, &FakeClock);
    policy.Enter();
    for (const Bytes& r : {kInitReport, r22, r81, r22, kInitReport, r22}) {
        Queue(r);
        RunPasses(policy);
    }
    EXPECT_EQ(SentFrames(), (std::vector<Bytes>{WithSum({0x83, 0xF1, 0x10, 0x7F, 0x81, 0x11}),
                                          WithSum({0x83, 0xF1, 0x10, 0x7F, 0x22, 0x11})}));
    EXPECT_EQ(g_KLineSessionState.load(), 2u);
    const std::vector<std::string> texts = status_.Texts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[1], "等待0x81连接指令...");
    EXPECT_EQ(texts[2], "等待请求指令...");
    EXPECT_EQ(texts.back(), "等待0x81连接指令...");
}

TEST_F(SimBoard, SessionTimeOutRearmsTheInitAndDropsRequestsUntilTheNext) {
    g_FakeNow = 0xFFFFF000u;  // across the clock's wrap
    KLineResponder policy(KLineSim::Iso9141, &FakeClock);
    policy.Enter();
    Queue(kInitReport);
    RunPasses(policy);
    g_FakeNow += g_EcuSimParams.sessionTimeoutMs;  // not yet over
    ASSERT_EQ(RunWorkerPass(policy), nullptr);
    EXPECT_EQ(g_KLineSessionState.load(), 1u);
    g_FakeNow += 1;
    tb_log_clear();
    ASSERT_EQ(RunWorkerPass(policy), nullptr);
    EXPECT_EQ(g_KLineSessionState.load(), 0u);
    EXPECT_EQ(Defined(LoggedPacket(0)), (Bytes{0x52, 0x2C, 0xC3}));
    EXPECT_EQ(status_.Texts().back(), "时间溢出,等待重新初始化...");
    const Bytes request = Received(kReq9141);
    Queue(request);
    RunPasses(policy);
    EXPECT_TRUE(SentFrames().empty());
    Queue(kInitReport);
    Queue(request);
    RunPasses(policy);
    EXPECT_EQ(SentFrames().size(), 1u);
}

TEST_F(SimBoard, EveryExitClearsTheFlagFirstThenStatusAndStopPacket) {
    struct Case { const char* name; WorkerProc proc; uint32_t protocol; std::function<void()> fault; const char* text; };
    // The chip's next write fails once the host reads the register (its transmitter state).
    static uint8_t failAfterRead;
    const auto failWriteAfterReading = [](uint8_t reg) {
        failAfterRead = reg;
        tb_set_responder([](void*, const uint8_t* p, unsigned n) {
            if (n == 4 && p[0] == 0x50 && p[1] == failAfterRead) tb_fail_write(1);
        }, nullptr);
    };
    const Case cases[] = {
        {"read", ThreadProcEcuSim9141, SimIso9141, [] { tb_fail_next_read(); }, "设备出现通信错误停止! Read 1"},
        {"poll write", ThreadProcEcuSim9141, SimIso9141, [] { tb_fail_write(1); }, "设备出现通信错误停止! write 2"},
        {"9141 fault", ThreadProcEcuSim9141, SimIso9141, [] { tb_set_fault(1); }, "KM5804故障保护动作，设备停止!"},
        {"14230 fault", ThreadProcEcuSim14230, SimIso9141, [] { tb_set_fault(1); }, "VR3526故障保护动作，设备停止!"},
        {"frame write", ThreadProcEcuSim9141, SimIso9141,
         [&] { failWriteAfterReading(0x31); Queue(kInitReport); Queue(Received(kReq9141)); }, "设备出现通信错误停止! write 1"},
        {"J1850 transmit write", ThreadProcEcuSimJ1850, SimJ1850Vpw,
         [&] { failWriteAfterReading(0x0A); QueueJ1850({0x68, 0x6A, 0xF1, 0x01, 0x00}); }, "设备出现通信错误停止! write JTXB"},
        {"CAN transmit write", ThreadProcEcuSimCan, SimCan11, [&] { failWriteAfterReading(0x2A); QueueCan({0x02, 0x01, 0x00}); },
         "设备出现通信错误停止! write JTXB"},
        {"J1850 fault", ThreadProcEcuSimJ1850, SimJ1850Vpw, [] { tb_set_fault(1); }, "VR3526故障保护动作，设备停止!"},
        {"CAN read", ThreadProcEcuSimCan, SimCan11, [] { tb_fail_next_read(); }, "设备出现通信错误停止! Read 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh(c.protocol);
        StatusLog status;
        const size_t before = messages_.Count();
        ASSERT_TRUE(g_WorkerThread.Start(c.proc, nullptr, false));
        c.fault();
        ASSERT_NO_FATAL_FAILURE(ExpectWorkerExit(messages_, before, c.text, 0));
        EXPECT_EQ(status.Texts().back(), "未启动");
    }
}

TEST_F(SimBoard, StartRefusedWithoutBoard) {
    ObdSimuPage page;
    page.SelectProtocol(0);
    g_DeviceOpen = 0;
    EXPECT_EQ(page.Start(nullptr), PageStartResult::NotConnected);
    EXPECT_EQ(messages_.Messages().at(0).caption, "设备未连接");
    EXPECT_EQ(tb_log_count(), 0u);
    EXPECT_EQ(page.DeviceStatus().caption, "ECU Simulator --  No device Connected");
    g_DeviceOpen = 1;
    EXPECT_EQ(page.DeviceStatus().caption, "ECU Simulator -- Device( 0 ) Connected");
}

TEST_F(SimBoard, AfterASelfEndedResponderStartSendsNoStaleFrame) {
    g_RespondTable[0] = PidEntry(Ramp(0xA0, 7));  // two frames
    ObdSimuPage page;
    page.SelectProtocol(0);
    // The fault comes with the first frame written: the second stays queued.
    tb_set_responder([](void*, const uint8_t* p, unsigned n) {
        if (n >= 2 && p[0] == 0x57 && p[1] == 0x3F) tb_set_fault(1);
    }, nullptr);
    Queue(kInitReport);
    Queue(Received(kReq9141));
    ASSERT_EQ(page.Start(nullptr), PageStartResult::Started);
    ASSERT_TRUE(messages_.WaitForCount(1, std::chrono::seconds(5)));
    tb_set_fault(0);
    EXPECT_EQ(SentFrames().size(), 1u);
    EXPECT_EQ(page.DeviceStatus().startText, "START");
    EXPECT_TRUE(page.DeviceStatus().editingEnabled);
    const unsigned from = tb_log_count();
    ASSERT_EQ(page.Start(nullptr), PageStartResult::Started);
    ASSERT_GE(WaitForPolls(2, static_cast<int>(from)), 0);
    page.Stop();
    EXPECT_TRUE(SentFrames(from).empty());
}

// The capture against the simulated board: Start's packets, the capture thread's replies and
// exits, the full buffer, and the page's timer and paint reading while the thread appends.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "logic/LogicPage.h"
#include "logic/LogicWorker.h"
#include "logic/UartSynth.h"
#include "tests/support/TempFiles.h"
#include "tests/support/WorkerBoard.h"

namespace {

using Samples = std::vector<uint32_t>;
using namespace std::chrono_literals;

const Bytes kStart = {0xB1, 0x87, 0x02, 0x00};
const Bytes kLogicPoll = {0xA0, 0x07, 0x04, 0x00};
const Bytes kLogicStop = {0xB2, 0x07, 0x07, 0x00};

Bytes SampleReply(uint16_t word, const Samples& samples, uint8_t status = 0) {
    Bytes reply = {0x00, status, static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)};
    for (uint32_t s : samples)
        for (int b = 0; b < 4; ++b) reply.push_back(static_cast<uint8_t>(s >> (8 * b)));
    return reply;
}

Samples Ramp(uint32_t from, uint32_t count) {
    Samples v(count);
    for (uint32_t i = 0; i < count; ++i) v[i] = from + 10 * i;
    return v;
}

Samples Held(const WaveCapture& c) { return Samples(c.Samples(), c.Samples() + c.Count()); }

class CaptureTest : public WorkerBoardTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WorkerBoardTest::SetUp());
        tb_log_clear();
    }
    // The capture thread alone, on this capture.
    void StartThread(WaveCapture& capture) { ASSERT_TRUE(g_WorkerThread.Start(ThreadProcLogic, &capture, false)); }
};

TEST_F(CaptureTest, StartResetsTheChipStartsTheCaptureAndStopEndsIt) {
    LogicPage page;
    ASSERT_EQ(page.Start(), LogicStartResult::Started);
    EXPECT_EQ(g_WorkerRunning.load(), 1u);
    ASSERT_GE(WaitForPolls(3), 0);
    EXPECT_EQ(page.Start(), LogicStartResult::Ignored);
    EXPECT_FALSE(page.ConfirmClose());
    page.Stop();
    EXPECT_EQ(g_WorkerRunning.load(), 0u);

    EXPECT_EQ(PacketsThroughStart(), (std::vector<Bytes>{{0x52, 0x0D, 0x00}, {0x52, 0x0E, 0x20}, {0x52, 0x0E, 0x00}, kStart}));
    const std::vector<Bytes> logged = LoggedPackets();
    ASSERT_GE(logged.size(), 8u);
    for (size_t i = 4; i + 1 < logged.size(); ++i) EXPECT_EQ(logged[i], kLogicPoll) << i;
    EXPECT_EQ(logged.back(), kLogicStop);
    EXPECT_EQ(g_MonitorCount.load(), 0u);
}

TEST_F(CaptureTest, StartRefusedWithoutDeviceOrWhenTheResetFails) {
    LogicPage page;
    page.View().capture.Assign(Ramp(1, 4));
    g_DeviceOpen = 0;
    EXPECT_EQ(page.Start(), LogicStartResult::NotConnected);
    EXPECT_EQ(page.View().capture.Count(), 4u) << "nothing cleared";
    g_DeviceOpen = 1;
    tb_fail_write(2);
    EXPECT_EQ(page.Start(), LogicStartResult::DeviceError);
    EXPECT_EQ(LoggedPackets().size(), 1u) << "no start packet after the failed reset";
    EXPECT_FALSE(g_WorkerThread.HasThread());
    const auto m = messages_.Messages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].caption, "设备未连接");
    EXPECT_EQ(m[1].text, "设备通讯错误 !");
    EXPECT_EQ(m[1].caption, "设备错误");
}

TEST_F(CaptureTest, RepliesAppendTheSamplesTheyHold) {
    const struct { const char* name; Bytes reply; Samples expected; } cases[] = {
        {"word 20: five samples", SampleReply(20, Ramp(100, 5)), Ramp(100, 5)},
        {"word 2: none", SampleReply(2, Ramp(100, 1)), {}},
        {"word 0x1FC in 24 bytes: five", SampleReply(0x1FC, Ramp(7, 5)), Ramp(7, 5)},
        {"word 0x204: one, the count is 7 bits", SampleReply(0x204, Ramp(3, 3)), Ramp(3, 1)},
        {"a partial sample is not one", [] { Bytes r = SampleReply(8, Ramp(1, 2)); r.pop_back(); return r; }(), Ramp(1, 1)},
        {"a UART-frame status is no different", SampleReply(8, Ramp(50, 2), 0x10), Ramp(50, 2)},
        {"three bytes", {0x00, 0x00, 0x04}, {}},
    };
    for (const auto& c : cases) {
        WaveCapture capture;
        capture.Assign(Ramp(0xFFFFFFF0, 2));
        tb_log_clear();
        Queue(c.reply);
        StartThread(capture);
        ASSERT_GE(WaitForPolls(2), 0) << c.name;  // the reply is taken before the next poll
        g_WorkerThread.Stop();
        Samples expected = Ramp(0xFFFFFFF0, 2);
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(Held(capture), expected) << c.name;
    }
    EXPECT_EQ(messages_.Count(), 0u);
    EXPECT_EQ(g_MonitorCount.load(), 0u);
}

TEST_F(CaptureTest, AFullBufferEndsTheCaptureWithItsMessageAndAnExactFillDoesNot) {
    const struct {
        uint32_t held, sent;
        bool full;
    } cases[] = {{999990, 20, true}, {999990, 10, false}, {kLogicCaptureSamples, 1, true}};
    for (const auto& c : cases) {
        WaveCapture capture;
        capture.Assign(Ramp(0, c.held));
        const size_t before = messages_.Count();
        tb_log_clear();
        Queue(SampleReply(static_cast<uint16_t>(4 * c.sent), Ramp(5000000, c.sent)));
        StartThread(capture);
        if (c.full) {
            ASSERT_NO_FATAL_FAILURE(ExpectWorkerExit(messages_, before, "缓冲区已满，采集停止！", 0));
            EXPECT_EQ(messages_.Messages()[before].icon, platform::MessageIcon::Exclamation);
        } else {
            ASSERT_GE(WaitForPolls(3), 0);
            EXPECT_EQ(g_WorkerRunning.load(), 1u);
            g_WorkerThread.Stop();
            EXPECT_EQ(messages_.Count(), before);
        }
        ASSERT_EQ(capture.Count(), kLogicCaptureSamples) << c.held << " + " << c.sent;
        EXPECT_EQ(capture.Samples()[kLogicCaptureSamples - 1],
                  c.held == kLogicCaptureSamples ? 10 * (kLogicCaptureSamples - 1) : 5000000 + 10 * (kLogicCaptureSamples - c.held - 1));
    }
}

TEST_F(CaptureTest, TransferErrorsAndTheFaultEndTheCaptureThroughTheWorkersExit) {
    const struct { const char* text; std::function<void()> inject; } cases[] = {
        {"设备出现通信错误停止! write 2", [] { tb_fail_write(1); }},
        {"设备出现通信错误停止! Read 1", [] { tb_fail_next_read(); }},
        {"VR3526故障保护动作，设备停止!", [] { tb_set_fault(1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        LogicPage page;
        const size_t before = messages_.Count();
        tb_set_fault(0);
        ASSERT_EQ(page.Start(), LogicStartResult::Started);
        ASSERT_GE(WaitForPolls(2), 0);
        tb_log_clear();
        c.inject();
        ASSERT_NO_FATAL_FAILURE(ExpectWorkerExit(messages_, before, c.text, 0));
        EXPECT_EQ(LoggedPackets().back(), kLogicStop);
        EXPECT_TRUE(page.OnTimer().ended);
        EXPECT_TRUE(page.DeviceStatus().startEnabled) << "a capture that ended by itself needs no Stop";
    }
    tb_set_fault(0);
}

TEST_F(CaptureTest, TimerAndPaintReadTheCaptureWhileTheThreadAppends) {
    UartSynth line(10400, ParityNone, 0xFFF00000);
    line.Idle(1000);
    for (int i = 0; i < 2000; ++i) {
        line.Byte(static_cast<uint8_t>(i * 37));
        line.Idle(i % 3 ? 0 : 400);
    }
    line.Break(0);
    const Samples source = line.Take();
    tb_set_capture(source.data(), static_cast<unsigned>(source.size()));
    tb_set_read_latency(1);  // a capture that takes a while: about 300 replies

    LogicPage page;
    page.SelectTimeScale(8);
    ASSERT_EQ(page.Start(), LogicStartResult::Started);
    uint32_t lastCount = 0;
    unsigned repaints = 0, saves = 0;
    TempDir temp;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (page.View().capture.Count() < source.size() && std::chrono::steady_clock::now() < deadline) {
        const LogicTick t = page.OnTimer();
        const uint32_t count = page.View().capture.Count();
        EXPECT_GE(count, lastCount);
        lastCount = count;
        if (t.repaint) {
            ++repaints;
            page.View().Paint(1600, 1000, nullptr);
        }
        // A save while the thread appends holds a whole prefix of the capture.
        if (t.repaint && count > 0 && saves < 4 && repaints % 8 == 1) {
            ++saves;
            const std::string path = (temp.path / "during.klg").string();
            ASSERT_EQ(page.SaveTo(path), KlgResult::Ok);
            KlgContents saved;
            ASSERT_EQ(LoadKlg(path, saved), KlgResult::Ok);
            ASSERT_GE(saved.samples.size(), count);
            ASSERT_LE(saved.samples.size(), source.size());
            EXPECT_EQ(saved.samples, Samples(source.begin(), source.begin() + saved.samples.size()));
        }
    }
    EXPECT_GT(saves, 0u);
    ASSERT_EQ(page.View().capture.Count(), source.size());
    page.Stop();
    EXPECT_TRUE(page.OnTimer().ended);
    EXPECT_GT(repaints, 1u);
    EXPECT_EQ(Held(page.View().capture), source);
    EXPECT_EQ(messages_.Count(), 0u);
}

}  // namespace

// The J1939 and TP2.0 pages and workers against the simulated board: downloads byte for byte,
// hand-overs, the engine stand-ins' frames put back together, and the TP2.0 answers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/can/j1939/J1939Frame.h"
#include "pages/can/j1939/J1939Page.h"
#include "pages/can/tp20/Tp20Frame.h"
#include "pages/can/tp20/Tp20Page.h"
#include "testboard/testboard.h"
#include "tests/can/CanBoardFixture.h"

namespace {

std::vector<Bytes> HexList(std::initializer_list<const char*> lines) {
    std::vector<Bytes> out;
    for (const char* l : lines) out.push_back(Hex(l));
    return out;
}
Bytes Counting(size_t n, uint8_t from) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(from + i);
    return b;
}
// A 'T' packet's message buffer: the 16 bytes after its header.
Bytes Buffer(const Bytes& packet) { return Bytes(packet.begin() + 4, packet.end()); }
EcanMessageBuffer BusFrame(unsigned i) {
    EcanMessageBuffer frame;
    tb_bus_frame(i, frame.bytes, sizeof frame.bytes);
    return frame;
}
auto Starts(const char* prefix) {
    return [p = Hex(prefix)](const Bytes& b) { return b.size() >= p.size() && std::equal(p.begin(), p.end(), b.begin()); };
}
const std::vector<Bytes> kHeadJ1939 = HexList({
    "52 17 FC", "52 3B 00", "52 05 00", "52 01 95", "52 12 03", "52 13 00", "52 1A C3", "52 1B FC", "52 1C 05",
    "52 1D 07", "52 1E 00", "52 1F 10", "52 20 FF", "52 21 FF", "52 22 FF", "52 28 1F", "52 29 E2",
    "52 68 FA", "52 69 FA", "52 6A 64", "52 6B 64",
    "54 09 04 00 08 00 00 FF", "54 0A 04 00 08 78 00 00", "54 0B 04 00 FF FF FF FF",
    "54 0C 04 00 08 00 00 F9", "54 0D 04 00 08 00 00 FF", "54 0E 04 00 08 78 00 00", "54 0F 04 00 08 00 00 FF",
    "54 10 04 00 00 00 00 00", "54 11 04 00 00 00 00 00", "54 12 04 00 00 00 00 00", "54 13 04 00 00 00 00 00",
    "54 1C 04 00 FF FF FF FF", "54 1D 04 00 FF FF FF FF", "54 34 04 00 00 10 00 00",
    "54 23 10 00 E9 1C 03 0C 08 E4 00 00 00 00 00 00 00 00 00 00",
    "54 24 10 00 ED 1C 03 00 08 E4 00 00 00 00 00 00 00 00 00 00",
    "54 25 10 00 ED 1C 03 00 08 E4 00 00 00 00 00 00 00 00 00 00", "B1 00 01 00"});
const std::vector<Bytes> kHeadTp20 = HexList({
    "52 17 FC", "52 3B 00", "52 05 00", "52 01 95", "52 12 03", "52 13 00", "52 1A C1", "52 1B FC", "52 1C 05",
    "52 1D 03", "52 1E 00", "52 1F F0", "52 20 FF", "52 21 FF", "52 22 FF", "52 28 3F", "52 29 83",
    "52 64 14", "52 65 32", "52 66 14",
    "54 09 04 00 E8 FF 00 00", "54 0A 04 00 E8 FF 00 00", "54 0B 04 00 E8 FF 00 00",
    "54 0C 04 00 00 60 00 00", "54 0D 04 00 E0 43 00 00", "54 0E 04 00 00 00 00 00", "54 0F 04 00 00 00 00 00",
    "54 10 04 00 00 00 00 00", "54 11 04 00 00 00 00 00", "54 12 04 00 00 00 00 00", "54 13 04 00 00 00 00 00",
    "54 1C 04 00 FF FF FF FF", "54 1D 04 00 FF FF FF FF", "54 29 04 00 01 0F 3A 00",
    "54 24 10 00 B8 0C 00 00 06 00 A0 0F 8A FF 32 FF 00 00 00 00",
    "54 25 10 00 B8 0C 00 00 01 00 B0 00 00 00 00 00 00 00 00 00", "B1 00 01 00"});
const Bytes kRtsPacket = Hex("54 22 10 00 ED 1C 03 00 08 E4 10 17 00 04 FF E3 FE 00 00 00");
const Bytes kTp20FirstFramePacket = Hex("54 22 10 00 B8 0C 00 00 08 00 21 00 EF 01 02 03 04 05 00 00");
const Bytes kChannelSetupPacket = Hex("54 23 10 00 00 08 00 00 07 00 1F C0 00 10 00 03 01 00 00 00");

class TransportBoardTest : public CanBoardFixture {
protected:
    // The packets of one hand-over: from the engine read to the frame it wrote, once the next
    // poll shows the request done.
    std::vector<Bytes> HandOver(unsigned from, const Bytes& framePrefix) {
        const int t = WaitForPacket([&](const Bytes& p) { return p.size() == 20 && std::equal(framePrefix.begin(), framePrefix.end(), p.begin()); }, from);
        if (t < 0 || WaitForPolls(1, t) < 0) return {};
        const int read = WaitForPacket(Starts("50 2A 04 00"), from);
        const std::vector<Bytes> all = LoggedPackets(static_cast<unsigned>(read));
        return std::vector<Bytes>(all.begin(), all.begin() + (t - read + 1));
    }

    J1939Page j1939;
    Tp20Page tp20;
};

TEST_F(TransportBoardTest, DownloadsGoOutByteForByteAndStopAtAFailure) {
    struct Case { const char* name; std::function<PageStartResult()> start; const std::vector<Bytes>& expected; };
    const Case cases[] = {{"J1939", [this] { return j1939.Start(); }, kHeadJ1939},
                          {"TP2.0", [this] { return tp20.Start(); }, kHeadTp20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tb_log_clear();
        tb_fail_write(static_cast<unsigned>(c.expected.size() / 2));
        EXPECT_EQ(c.start(), PageStartResult::DeviceError);
        EXPECT_EQ(DefinedPackets(), std::vector<Bytes>(c.expected.begin(), c.expected.begin() + c.expected.size() / 2 - 1));
        tb_log_clear();
        ASSERT_EQ(c.start(), PageStartResult::Started);
        EXPECT_EQ(PacketsThroughStart(), c.expected);
        g_WorkerThread.Stop();
    }
    ASSERT_EQ(messages_.Count(), 2u);
    EXPECT_EQ(messages_.Messages()[0].text, "设备通讯错误 !");
}

TEST_F(TransportBoardTest, J1939HandOverWritesBufferCountAndRtsThenFilesTheRts) {
    struct Case { const char* name; std::function<void()> edit; uint16_t w; };
    const Case cases[] = {{"the whole buffer", [] {}, 256},
                          {"an empty buffer", [this] { j1939.BufferChanged(""); }, 0}};
    ASSERT_EQ(j1939.Start(), PageStartResult::Started);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        c.edit();
        const unsigned from = tb_log_count();
        ASSERT_TRUE(j1939.StartMultiFrame());
        const std::vector<Bytes> p = HandOver(from, Hex("54 22"));
        ASSERT_EQ(p.size(), 4u);
        ASSERT_EQ(p[1].size(), c.w + 4u);
        EXPECT_EQ(Bytes(p[1].begin(), p[1].begin() + 4), (Bytes{0x57, 0x3E, static_cast<uint8_t>(c.w), static_cast<uint8_t>(c.w >> 8)}));
        EXPECT_EQ(Bytes(p[1].begin() + 4, p[1].end()), Counting(c.w, 0));
        EXPECT_EQ(Defined(p[2]), Hex("52 2B 04"));
        EXPECT_EQ(p[3], kRtsPacket);
        EXPECT_EQ(g_MultiFrameRequest.load(), 0u);
        ASSERT_EQ(g_MonitorCount.load(), 1u);
        EXPECT_EQ(FiledRecord(0, 16), Filed(0, KindCan, 16, Buffer(kRtsPacket)));
    }
}

TEST_F(TransportBoardTest, HandOverWritesThatFailEndTheWorkerAndKeepTheRequest) {
    struct Case { const char* name; WorkerProc proc; void* source; unsigned failing; const char* text; };
    const Case cases[] = {
        {"J1939 W", ThreadProcJ1939, static_cast<J1939HandOverSource*>(&j1939), 2, "设备出现通信错误停止! write wrlong buff"},
        {"J1939 T", ThreadProcJ1939, static_cast<J1939HandOverSource*>(&j1939), 4, "设备出现通信错误停止! write FF txbuff"},
        {"TP2.0 channel T", ThreadProcTP20, static_cast<Tp20HandOverSource*>(&tp20), 2, "设备出现通信错误停止! write FF txbuff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.Clear();
        tb_log_clear();
        g_Tp20RequestMode = kTp20RequestChannel;
        g_MultiFrameRequest = 1;
        tb_fail_write(c.failing);
        ASSERT_TRUE(g_WorkerThread.Start(c.proc, c.source, false));
        ASSERT_GE(WaitForPacket(IsStop), 0);
        g_WorkerThread.Stop();
        ASSERT_EQ(messages_.Count(), 1u);
        EXPECT_EQ(messages_.Messages()[0].text, c.text);
        EXPECT_EQ(messages_.FlagAt(0), 0u);
        EXPECT_EQ(g_MultiFrameRequest.load(), 1u);
    }
}

TEST_F(TransportBoardTest, ABusyEngineDelaysTheHandOver) {
    ASSERT_EQ(j1939.Start(), PageStartResult::Started);
    ASSERT_GE(WaitForPolls(1), 0);
    const unsigned from = tb_log_count();
    tb_set_busy_bits(0x2A, 0x01, 3);
    ASSERT_TRUE(j1939.StartMultiFrame());
    EXPECT_FALSE(j1939.StartMultiFrame()) << "one request at a time";
    ASSERT_EQ(HandOver(from, Hex("54 22")).back(), kRtsPacket);
    unsigned reads = 0;
    for (const Bytes& p : LoggedPackets(from)) reads += Starts("50 2A 04 00")(p);
    EXPECT_EQ(reads, 4u);
}

TEST_F(TransportBoardTest, TheEnginesFramesComeBackAsTheMessage) {
    struct Case { const char* name; std::function<void()> set; unsigned frames; Bytes first; uint32_t dtId; };
    const Case cases[] = {
        {"J1939 RTS", [] {}, 5, Hex("ED 1C 03 00 08 E4 10 17 00 04 FF E3 FE 00 00 00"), 0x1CEB00F9},
        {"J1939 BAM", [this] { j1939.SetBam(true); }, 5, Hex("ED 1C FF 03 08 E4 20 17 00 04 FF E3 FE 00 00 00"), 0x1CEBFFF9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        j1939.LoadDefaults();
        c.set();
        tb_bus_frames_clear();
        ASSERT_EQ(j1939.Start(), PageStartResult::Started);
        const unsigned from = tb_log_count();
        ASSERT_TRUE(j1939.StartMultiFrame());
        ASSERT_FALSE(HandOver(from, Hex("54 22")).empty());
        g_WorkerThread.Stop();
        ASSERT_EQ(tb_bus_frame_count(), c.frames);
        const EcanMessageBuffer first = BusFrame(0);
        EXPECT_EQ(Bytes(first.bytes, first.bytes + 16), c.first);
        J1939Reassembler r(23);
        for (unsigned i = 1; i < c.frames; ++i) {
            const EcanMessageBuffer dt = BusFrame(i);
            EXPECT_EQ(EcanIdAs(dt, true), c.dtId);
            r.Feed(EcanData(dt), EcanDlc(dt));
        }
        ASSERT_EQ(r.GetState(), J1939Reassembler::State::Complete);
        EXPECT_EQ(r.Message(), Counting(23, 0));
    }
}

TEST_F(TransportBoardTest, Tp20RequestsHandOverTheirFramesAndTheEngineSendsTheMessage) {
    ASSERT_EQ(tp20.Start(), PageStartResult::Started);
    unsigned from = tb_log_count();
    ASSERT_TRUE(tp20.StartConnection());
    std::vector<Bytes> p = HandOver(from, Hex("54 23"));
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[1], kChannelSetupPacket);

    tb_bus_frames_clear();
    from = tb_log_count();
    ASSERT_TRUE(tp20.StartMultiFrame());
    p = HandOver(from, Hex("54 22"));
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[1].size(), 260u);
    EXPECT_EQ(Defined(p[2]), Hex("52 2B EA")) << "CCF_DL, not the buffer length";
    EXPECT_EQ(p[3], kTp20FirstFramePacket);
    g_WorkerThread.Stop();

    ASSERT_EQ(g_MonitorCount.load(), 2u);
    EXPECT_EQ(FiledRecord(0, 16), Filed(0, KindCan, 16, Buffer(kChannelSetupPacket)));
    EXPECT_EQ(FiledRecord(1, 16), Filed(0, KindCan, 16, Buffer(kTp20FirstFramePacket)));
    ASSERT_EQ(tb_bus_frame_count(), 1u + 34u);
    Tp20Reassembler r;
    for (unsigned i = 0; i < tb_bus_frame_count(); ++i) {
        const EcanMessageBuffer f = BusFrame(i);
        EXPECT_EQ(EcanId(f), 0x32Eu);
        i == 0 ? r.FeedFirst(EcanData(f), EcanDlc(f)) : r.Feed(EcanData(f), EcanDlc(f));
    }
    ASSERT_EQ(r.GetState(), Tp20Reassembler::State::Complete);
    Bytes expected = Hex("00 EF 01 02 03 04 05");
    const Bytes sent = Counting(234, 6);
    expected.insert(expected.end(), sent.begin(), sent.end());
    EXPECT_EQ(r.Message(), expected);
}

TEST_F(TransportBoardTest, Tp20AnswersGoToTheChipNotToTheMonitor) {
    const Bytes channelReply = Hex("54 1F 10 00 7C 08 00 00 07 00 00 D0 00 03 2E 03 01 00 00 00");
    const Bytes connectionReply = Hex("54 1F 10 00 00 0C 00 00 06 00 A1 08 8A FF 00 FF 00 00 00 00");
    struct Frame { uint32_t id; bool ext; Bytes data; };
    struct Case { const char* name; std::vector<Frame> frames; std::vector<Bytes> answers; };
    const Case cases[] = {
        {"channel set-up", {{0x200, false, Hex("1F C0 00 10 00 03 01")}}, {channelReply}},
        {"another unit", {{0x200, false, Hex("1F C1 00 10 00 03 01")}, {0x201, false, Hex("1F C0")}}, {}},
        {"connection set-up and test", {{0x32E, false, Hex("A0 0F")}, {0x32E, false, Hex("A1")}, {0x32E, false, Hex("A3")}},
         {connectionReply, connectionReply}},
        {"29-bit lookalike", {{0x200u << 18, true, Hex("1F C0")}}, {channelReply}},
        {"DLC 0", {{0x32E, false, {}}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMonitorRing();
        tb_log_clear();
        for (const Frame& f : c.frames) tb_queue_can_frame(f.id, f.ext, f.data.data(), static_cast<unsigned>(f.data.size()));
        ASSERT_TRUE(g_WorkerThread.Start(ThreadProcTP20, static_cast<Tp20HandOverSource*>(&tp20), false));
        ASSERT_GE(WaitForPolls(2), 0);
        g_WorkerThread.Stop();
        std::vector<Bytes> answers;
        for (const Bytes& p : LoggedPackets()) if (Starts("54 1F")(p)) answers.push_back(p);
        EXPECT_EQ(answers, c.answers);
        EXPECT_EQ(g_MonitorCount.load(), c.frames.size()) << "only the received frames";
    }
    // A failed answer ends the worker after the reply's records are filed.
    messages_.Clear();
    ResetMonitorRing();
    tb_log_clear();
    const Bytes setUp = Hex("1F C0 00 10 00 03 01");
    tb_queue_can_frame(0x200, 0, setUp.data(), 7);
    tb_queue_can_frame(0x300, 0, setUp.data(), 7);
    tb_fail_write(2);
    ASSERT_TRUE(g_WorkerThread.Start(ThreadProcTP20, static_cast<Tp20HandOverSource*>(&tp20), false));
    ASSERT_GE(WaitForPacket(IsStop), 0);
    g_WorkerThread.Stop();
    ASSERT_EQ(messages_.Count(), 1u);
    EXPECT_EQ(messages_.Messages()[0].text, "设备出现通信错误停止! write FF txbuff");
    EXPECT_EQ(g_MonitorCount.load(), 2u);
}

}  // namespace

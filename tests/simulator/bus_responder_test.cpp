// The J1850 and CAN responders against the simulated board playing the tester (requests arrive
// as records in poll replies), and every protocol's START download.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "simulator/BusResponder.h"
#include "tests/simulator/SimBoard.h"

namespace {

using simtest::Cat;
using simtest::kPids;
using simtest::PidEntry;
using simtest::Ramp;

// 'R' writes of register / value pairs, and packet lists one after the other.
std::vector<Bytes> Regs(std::initializer_list<std::pair<uint8_t, uint8_t>> list) {
    std::vector<Bytes> out;
    for (auto [r, v] : list) out.push_back({0x52, r, v});
    return out;
}
std::vector<Bytes> operator+(std::vector<Bytes> a, const std::vector<Bytes>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A 'T' (or 'W') write of the data to a block, as logged.
Bytes Tx(uint8_t block, const Bytes& data, uint8_t command = 0x54) {
    return Cat({command, block, static_cast<uint8_t>(data.size()), static_cast<uint8_t>(data.size() >> 8)}, data);
}

// Every write of a transmit buffer (T 06, T 1E, T 23, W 3E) and of the length register (R 2B).
std::vector<Bytes> TransmitWrites() {
    std::vector<Bytes> out;
    for (const Bytes& p : LoggedPackets()) {
        const bool t = p.size() > 4 && p[0] == 0x54 && (p[1] == 0x06 || p[1] == 0x1E || p[1] == 0x23);
        if (t || (p.size() > 4 && p[0] == 0x57 && p[1] == 0x3E) || (p.size() == 4 && p[0] == 0x52 && p[1] == 0x2B))
            out.push_back(Defined(p));
    }
    return out;
}

class BusSimBoard : public SimBoardTest {
protected:
    void SetUp() override {
        SimBoardTest::SetUp();
        Fresh(SimJ1850Vpw);
    }
    void RunPasses(WorkerPolicy& policy) { SimBoardTest::RunPasses(policy, 3); }  // CAN records ride later
};

}  // namespace

TEST_F(BusSimBoard, RequestsAndTheTransmitWritesForThem) {
    const Bytes vpw{0x68, 0x6A, 0xF1, 0x01, 0x00}, can{0x02, 0x01, 0x00}, unknownCan{0x02, 0x22, 0x11};
    // A J1850 record: count, two zero bytes, the frame; a CAN frame: id, DLC, word 2 high byte, data.
    const auto jtx = [](Bytes frame) { return Tx(0x06, Padded(Cat({0x00, static_cast<uint8_t>(frame.size() + 1), 0x00, 0x00}, frame), 16)); };
    const auto ctx = [](uint8_t block, Bytes id, uint8_t w2hi, uint8_t dlc, Bytes data) {
        return Tx(block, Padded(Cat(Cat(id, {dlc, w2hi}), data), 16));
    };
    const Bytes id7E8{0xA0, 0x1F, 0x00, 0x00};
    const Bytes sf = ctx(0x1E, id7E8, 0, 8, {0x06, 0x41, 0x00, 0xBE, 0x3F, 0xB8, 0x13, 0x00});
    struct Case { const char* name; uint32_t protocol; std::function<void()> setUp; std::vector<Bytes> requests; uint8_t flags; std::vector<Bytes> writes; };
    const Case cases[] = {
        {"VPW functional", SimJ1850Vpw, nullptr, {vpw}, 0x80, {jtx({0x48, 0x6B, 0x10, 0x41, 0x00, 0xBE, 0x3F, 0xB8, 0x13})}},
        {"VPW physical: the Y bit picks the physical header", SimJ1850Vpw, nullptr, {{0x6C, 0x10, 0xF1, 0x01, 0x00}}, 0x80,
         {jtx({0x6C, 0xF1, 0x10, 0x41, 0x00, 0xBE, 0x3F, 0xB8, 0x13})}},
        {"PWM functional", SimJ1850Pwm, nullptr, {{0x61, 0x6A, 0xF1, 0x01, 0x00}}, 0x81, {jtx({0x41, 0x6B, 0x10, 0x41, 0x00, 0xBE, 0x3F, 0xB8, 0x13})}},
        {"VPW header on PWM: nothing", SimJ1850Pwm, nullptr, {vpw}, 0x81, {}},
        {"J1850 unknown SID: negative", SimJ1850Vpw, nullptr, {{0x68, 0x6A, 0xF1, 0x09, 0x02}}, 0x80, {jtx({0x48, 0x6B, 0x10, 0x7F, 0x09, 0x11})}},
        {"J1850 negatives off: nothing", SimJ1850Vpw, [] { g_NegativeRespondEnabled = 0; }, {{0x68, 0x6A, 0xF1, 0x09, 0x02}}, 0x80, {}},
        {"another tester: nothing", SimJ1850Vpw, nullptr, {{0x68, 0x6A, 0xF2, 0x01, 0x00}}, 0x80, {}},
        {"a frame the chip sent: nothing", SimJ1850Vpw, nullptr, {vpw}, 0x00, {}},
        {"J1850 seven message bytes: 5 + 2", SimJ1850Vpw, [] { g_RespondTable[0] = PidEntry(Ramp(0xA0, 7)); }, {vpw}, 0x80,
         {jtx(Cat({0x48, 0x6B, 0x10, 0x41, 0x00}, Ramp(0xA0, 5))), jtx(Cat({0x48, 0x6B, 0x10, 0x41, 0x00}, Ramp(0xA5, 2)))}},
        {"J1850 ack alone", SimJ1850Vpw, [] { g_RespondTable[0] = PidEntry({}); }, {vpw}, 0x80, {jtx({0x48, 0x6B, 0x10, 0x41, 0x00})}},
        {"J1850 ack as long as a frame: no message records", SimJ1850Vpw, [] { g_RespondTable[0].bytesPerFrame = 2; }, {vpw}, 0x80, {}},
        {"CAN single frame", SimCan11, nullptr, {can}, 0, {sf}},
        {"CAN single frame padded to 8", SimCan11, nullptr, {Padded(can, 8)}, 0, {sf}},
        {"CAN 20 bytes: first frame and the long buffer", SimCan11, [] { g_RespondTable[0] = PidEntry(Ramp(0x60, 20)); }, {can}, 0,
         {Tx(0x3E, Cat(Ramp(0x64, 16), Bytes(6, 0x00)), 0x57), Bytes{0x52, 0x2B, 0x10},
          ctx(0x23, id7E8, 0, 8, Cat({0x10, 0x16, 0x41, 0x00}, Ramp(0x60, 4)))}},
        {"CAN unpadded negative", SimCan11, [] { g_EcuSimParams.canPadTo8 = 0; }, {unknownCan}, 0, {ctx(0x1E, id7E8, 0, 4, {0x03, 0x7F, 0x22, 0x11})}},
        {"CAN padded negative with its pad byte", SimCan11, [] { g_EcuSimParams.canPadValue = 0x55; }, {unknownCan}, 0,
         {ctx(0x1E, id7E8, 0, 8, {0x03, 0x7F, 0x22, 0x11, 0x55, 0x55, 0x55, 0x55})}},
        {"CAN negatives off: nothing", SimCan11, [] { g_NegativeRespondEnabled = 0; }, {unknownCan}, 0, {}},
        {"tester FF, CF, FC and PCI 0: nothing", SimCan11, nullptr,
         {{0x10, 0x08, 0x01, 0x00, 0, 0, 0, 0}, {0x21, 0x01}, {0x30, 0x00, 0x00}, {0x00, 0x01, 0x00}}, 0, {}},
        {"PCI beyond the DLC: negative", SimCan11, nullptr, {{0x03, 0x01, 0x00}}, 0, {ctx(0x1E, id7E8, 0, 8, {0x03, 0x7F, 0x01, 0x11, 0, 0, 0, 0})}},
        {"29-bit", SimCan29, nullptr, {can}, 0, {ctx(0x1E, {0xD9, 0x18, 0xC4, 0x0B}, 0x40, 8, {0x06, 0x41, 0x00, 0xBE, 0x3F, 0xB8, 0x13, 0x00})}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh(c.protocol);
        if (c.setUp) c.setUp();
        const bool isCan = c.protocol >= SimCan11;
        BusResponder policy(isCan ? BusSim::Can : BusSim::J1850);
        for (const Bytes& r : c.requests)
            isCan ? QueueCan(r, c.protocol == SimCan29 ? 0x18DB33F1 : 0x7DF, c.protocol == SimCan29) : QueueJ1850(r, c.flags);
        RunPasses(policy);
        EXPECT_EQ(TransmitWrites(), c.writes);
        if (!isCan) continue;
        // Every CAN request is filed received; every frame written, sent.
        const auto sent = std::count_if(c.writes.begin(), c.writes.end(), [](const Bytes& w) { return w[0] == 0x54; });
        ASSERT_EQ(g_MonitorCount.load(), c.requests.size() + static_cast<size_t>(sent));
        for (uint32_t i = 0; i < g_MonitorCount.load(); ++i) {
            const MonitorRecord r = CopyMonitorRecord(i);
            EXPECT_EQ((std::pair<int, int>(r.direction, r.kind)), (std::pair<int, int>(i < c.requests.size(), KindCan))) << i;
        }
    }
}

TEST_F(BusSimBoard, J1850WaitsForTheTransmitterAndTheMonitorShowsTheChipsEcho) {
    tb_set_register(0x09, 0x5E);
    UsbSendStart(0x00, EngineJ1850, 0x00);
    BusResponder policy(BusSim::J1850);
    tb_set_busy_bits(0x0A, 0x10, 2);
    QueueJ1850({0x68, 0x6A, 0xF1, 0x01, 0x00});
    tb_queue_reply(Bytes{0x00, 0x00, 0x00, 0x00}.data(), 4);  // the request's own pass
    RunPasses(policy);
    const std::vector<Bytes> log = LoggedPackets();
    int busyReads = 0, writes = 0;
    for (const Bytes& p : log) {
        busyReads += p == Bytes{0x50, 0x0A, 0x04, 0x00};
        writes += p.size() == 20 && p[0] == 0x54 && p[1] == 0x06;
    }
    EXPECT_EQ(busyReads, 4);  // busy, busy, free, then the drained queue's own read
    EXPECT_EQ(writes, 1);
    ASSERT_EQ(g_MonitorCount.load(), 2u);
    const MonitorRecord request = CopyMonitorRecord(0), echo = CopyMonitorRecord(1);
    EXPECT_EQ(request.kind, KindJ1850);
    EXPECT_EQ(request.direction, 1);
    EXPECT_EQ(echo.kind, KindJ1850);
    EXPECT_EQ(echo.direction, 0);
    EXPECT_EQ(Bytes(echo.data + 4, echo.data + 13),
              (Bytes{0x48, 0x6B, 0x10, 0x41, 0x00, 0xBE, 0x3F, 0xB8, 0x13}));
}

TEST_F(BusSimBoard, StartDownloadsEveryProtocolByteForByte) {
    const std::vector<Bytes> reset = Regs({{0x0D, 0x00}, {0x0E, 0x20}, {0x0E, 0x00}});
    auto kline = [&](uint8_t mode, Bytes t2e) {
        return reset +
               Regs({{0x17, 0x00}, {0x3B, 0xFF}, {0x05, 0x00}, {0x01, 0x95}, {0x42, 0x00}, {0x44, 0x1E}, {0x45, 0x0A},
                     {0x39, 0x00}, {0x3C, 0x00}, {0x2D, 0x00}, {0x2E, 0x08}, {0x2F, 0x00}, {0x30, 0xFF}, {0x32, 0x00},
                     {0x33, 0x00}, {0x34, 0x00}, {0x36, 0x00}, {0x37, 0x00}, {0x35, 0x00}}) +
               std::vector<Bytes>{{0x54, 0x2A, 0x02, 0x00, 0xEF, 0x00},
                                  {0x54, 0x2B, 0x0A, 0x00, 0xFB, 0x32, 0x05, 0x64, 0x05, 0x64, 0x00, 0x32, 0x1E, 0x00},
                                  Cat({0x54, 0x2E, 0x0C, 0x00}, t2e), {0xB1, mode, 0x02, 0x00}};
    };
    auto j1850 = [&](uint8_t r09) {
        return reset +
               Regs({{0x17, 0x00}, {0x3B, 0x00}, {0x05, 0xFF}, {0x01, 0x95}, {0x09, r09}, {0x08, 0}, {0x04, 0}, {0x06, 0},
                     {0x07, 0}, {0x0A, 0}}) +
               std::vector<Bytes>{{0x54, 0x00, 0x08, 0x00, 0x20, 0x10, 0x20, 0x00, 0x10, 0x00, 0x00, 0x00},
                                  {0x54, 0x03, 0x08, 0x00, 0x10, 0, 0, 0, 0, 0, 0, 0}, {0x56, 0x02, 0x00},
                                  {0x55, 0x02, 0x6A, 0x04}, {0x55, 0x02, 0x10, 0x02}, {0x56, 0x01, 0x00}, {0xB1, 0x00, 0x04, 0x00}};
    };
    auto can = [&](Bytes mask, Bytes f0, Bytes f1, Bytes fcId) {
        const Bytes fc = Cat(Cat({0x54, 0x24, 0x10, 0x00}, fcId), {0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        Bytes fc25 = fc;
        fc25[1] = 0x25;
        return reset +
               Regs({{0x17, 0xFC}, {0x3B, 0x00}, {0x05, 0x00}, {0x01, 0x95}, {0x10, 0x04}, {0x13, 0x00}, {0x27, 0x00},
                     {0x28, 0x3F}, {0x29, 0xE0}, {0x1A, 0xC1}, {0x1B, 0xFC}, {0x1C, 0x05}}) +
               std::vector<Bytes>{Cat({0x54, 0x09, 0x04, 0x00}, mask), Cat({0x54, 0x0C, 0x04, 0x00}, f0),
                                  Cat({0x54, 0x0D, 0x04, 0x00}, f1)} +
               Regs({{0x1F, 0x00}, {0x1D, 0x03}, {0x1E, 0x00}}) +
               std::vector<Bytes>{{0x54, 0x27, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00}, {0x54, 0x28, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00},
                                  fc, fc25, {0x54, 0x26, 0x04, 0x00, 0x81, 0x10, 0x00, 0x00}} +
               Regs({{0x60, 0xC8}, {0x61, 0x00}, {0x62, 0x0A}}) + std::vector<Bytes>{{0xB1, 0x00, 0x01, 0x00}};
    };
    struct Case { uint32_t protocol; std::vector<Bytes> packets; };
    const Case cases[] = {
        {SimIso9141, kline(0xC3, {0x00, 0x33, 0x9C, 0x19, 0x08, 0x08, 0x96, 0x0A, 0x01, 0x1E, 0x32, 0x00})},
        {SimIso14230Slow, kline(0xC1, {0x00, 0x33, 0x9C, 0x19, 0xEF, 0x8F, 0x96, 0x0A, 0x01, 0x1E, 0x32, 0x00})},
        {SimIso14230Fast, kline(0xC1, {0x01, 0x33, 0x9C, 0x19, 0xEF, 0x8F, 0x96, 0x0A, 0x01, 0x1E, 0x32, 0x00})},
        {SimJ1850Vpw, j1850(0x5E)},
        {SimJ1850Pwm, j1850(0xDE)},
        {SimCan11, can({0xE8, 0xFF, 0x00, 0x00}, {0xE0, 0xFB, 0x00, 0x00}, {0x00, 0xFC, 0x00, 0x00}, {0xA0, 0x1F, 0x00, 0x00, 0x08, 0x00})},
        {SimCan29, can({0xFF, 0xFF, 0xFF, 0xFF}, {0xCB, 0xC6, 0xF1, 0x33}, {0xCA, 0xC6, 0xF1, 0x10}, {0xD9, 0x18, 0xC4, 0x0B, 0x08, 0x40})},
    };
    ObdSimuPage page;  // one page through the protocols, as a user picks them in turn
    page.SelectProtocol(SimIso9141);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.protocol);
        tb_log_clear();
        page.SelectProtocol(c.protocol);
        ASSERT_EQ(page.Start(nullptr), PageStartResult::Started);
        std::vector<Bytes> packets = PacketsThroughStart();
        for (Bytes& p : packets)
            if (p.size() == 4 && p[0] == 0x56) p.pop_back();
        EXPECT_EQ(packets, c.packets);
        EXPECT_EQ(page.DeviceStatus().startText, "STOP");
        EXPECT_FALSE(page.DeviceStatus().editingEnabled);
        EXPECT_TRUE(page.Stop());
        EXPECT_EQ(page.DeviceStatus().startText, "START");
        EXPECT_TRUE(IsStop(LoggedPackets().back()));
    }
}

TEST_F(BusSimBoard, SetUpWritesThatEndAStartAndThoseThatDoNot) {
    struct Case {
        uint32_t protocol;
        unsigned failAt;  // counted from the first packet after the three reset writes
        PageStartResult result;
    };
    const Case cases[] = {
        {SimIso9141, 3, PageStartResult::DeviceError},   // R 05
        {SimJ1850Vpw, 5, PageStartResult::DeviceError},  // R 09
        {SimJ1850Vpw, 10, PageStartResult::Started},     // R 0A
        {SimCan11, 4, PageStartResult::DeviceError},     // R 01
        {SimCan11, 5, PageStartResult::Started},         // R 10
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failAt);
        Fresh(c.protocol);
        messages_.Clear();
        ObdSimuPage page;
        page.SelectProtocol(c.protocol);
        tb_fail_write(3 + c.failAt);
        EXPECT_EQ(page.Start(nullptr), c.result);
        if (c.result == PageStartResult::DeviceError) {
            EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"设备通讯错误 !"});
            EXPECT_EQ(tb_log_count(), 2 + c.failAt) << "nothing after the failed write";
            EXPECT_EQ(g_WorkerRunning.load(), 0u);
        } else {
            EXPECT_TRUE(messages_.Texts().empty());
        }
        page.Stop();
    }
}

namespace {

// A length nibble of 13-15 names more bytes than a 16-byte record holds: the request is taken
// as the 12 that fit (the record is exactly 16 bytes, so AddressSanitizer sees any read past it).
TEST_F(BusSimBoard, AJ1850LengthNibbleAbove12ReadsNoFurtherThanTheRecord) {
    g_RespondTable[0] = simtest::AnswerEntry(Ramp(0x01, 8), {0x41}, {0x99});
    g_RespondCount = 1;
    const RespondIndex index(g_RespondTable, g_RespondCount);
    const std::atomic<uint8_t> negative{0};
    const SimAnswerSource source{&g_EcuSimParams, &index, SimProtocolBit(SimJ1850Vpw), &negative};
    for (uint8_t nibble : {0x0C, 0x0D, 0x0F}) {
        SCOPED_TRACE(int{nibble});
        std::unique_ptr<uint8_t[]> record(new uint8_t[16]{0x80, nibble, 0, 0x20, 0x68, 0x6A, 0xF1, 1, 2, 3, 4, 5, 6, 7, 8, 0x55});
        EXPECT_TRUE(RespondJ1850(source, record.get(), g_SimTxQueue));
        ASSERT_EQ(g_SimTxQueue.count, 1u);
    }
}

}  // namespace

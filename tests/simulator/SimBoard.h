#pragma once
// The responders on the simulated board: table, record and flags as every case starts, and
// worker passes run on the test's thread.
#include "monitor/MonitorRing.h"
#include "simulator/ObdSimuPage.h"
#include "tests/simulator/SimEntries.h"
#include "tests/support/WorkerBoard.h"

inline Bytes Padded(Bytes b, size_t n) {
    b.resize(n, 0);
    return b;
}

// A poll reply with one J1850 record the chip received (length counts a CRC byte).
inline void QueueJ1850(const Bytes& frame, uint8_t flags = 0x80) {
    const Bytes reply{0x00, 0x00, 0x01, 0x00, flags, static_cast<uint8_t>(frame.size() + 1), 0x00, 0x20};
    Queue(Padded(simtest::Cat(reply, frame), 20));
}
inline void QueueCan(const Bytes& data, uint32_t id = 0x7DF, bool extended = false) {
    tb_queue_can_frame(id, extended ? 1 : 0, data.data(), static_cast<unsigned>(data.size()));
}

class SimBoardTest : public WorkerBoardTest {
protected:
    void SetUp() override {
        WorkerBoardTest::SetUp();
        Fresh(SimIso9141);
    }
    // The protocol's bit and id kind; 01 00 answered with its four bytes; negatives on.
    void Fresh(uint32_t protocol) {
        tb_set_responder(nullptr, nullptr);
        tb_set_fault(0);
        tb_log_clear();
        ResetMonitorRing();
        LoadDefaultParams(g_EcuSimParams);
        g_EcuSimParams.j1850Flavour = protocol == SimJ1850Pwm ? 1 : 0;
        g_EcuSimParams.canStandardId = protocol == SimCan11 ? 1 : 0;
        g_RespondTable[0] = simtest::PidEntry(simtest::kPids);
        g_RespondCount = 1;
        g_SimProtocolBit = SimProtocolBit(protocol);
        g_NegativeRespondEnabled = 1;
        g_KLineSessionState = 0;
        g_FastInitMode = 0;
        g_TxPending = 0;
        g_SimTxQueue.Clear();
    }
    // Passes until every queued reply was taken and the answer is out, then `more` passes.
    void RunPasses(WorkerPolicy& policy, int more = 0) {
        g_WorkerRunning = 1;
        for (int i = 0; i < 400 && (tb_queued_replies() > 0 || g_TxPending.load()); ++i)
            ASSERT_EQ(RunWorkerPass(policy), nullptr);
        for (int i = 0; i < more; ++i) ASSERT_EQ(RunWorkerPass(policy), nullptr);
        g_WorkerRunning = 0;
        ASSERT_EQ(g_TxPending.load(), 0u);
    }
};

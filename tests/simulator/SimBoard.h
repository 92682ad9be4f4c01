#pragma once
// The responders on the simulated board: table, record and flags as every case starts, and
// worker passes run on the test's thread.
#include "monitor/MonitorRing.h"
#include "simulator/ObdSimuPage.h"
#include "tests/simulator/SimEntries.h"
#include "tests/support/WorkerBoard.h"

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

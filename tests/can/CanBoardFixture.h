#pragma once
// The simulated board opened for a CAN worker test; a hand-over request does not outlive it.
#include <vector>

#include "pages/can/CanWorker.h"
#include "tests/support/WorkerBoard.h"

// Every packet from `from` on as Defined gives it.
inline std::vector<Bytes> DefinedPackets(unsigned from = 0) {
    std::vector<Bytes> packets = LoggedPackets(from);
    for (Bytes& p : packets) p = Defined(p);
    return packets;
}

class CanBoardFixture : public WorkerBoardTest {
protected:
    void TearDown() override {
        WorkerBoardTest::TearDown();
        g_MultiFrameRequest = 0;
    }
};

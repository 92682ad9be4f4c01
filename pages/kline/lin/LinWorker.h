#pragma once
// The LIN worker: the one worker loop with three differences.
//   - Before the pending frame it writes a queued LACKB set (g_LinSetPacket, handed over by
//     g_RegPacketPending); no record; a failed write is "write 1".
//   - A written master frame is recorded and the same pass polls and reads (a failed poll,
//     also after a busy engine, is "write 2").
//   - A received frame with bit 15 (a header waiting for the slave response) is answered
//     from the first slave row with its ID: 57 3F 0A 00 08 80 + the row's 8 bytes, and the
//     record becomes that response (direction 0, data after the ID byte, length word + 8
//     with bits 9-15 kept). A header whose ID byte did not arrive, or that no row holds, is
//     filed as received; so is one whose response could not be written (the link's failure
//     then ends the worker at its next poll).
//
// Threads: ThreadProcLin runs on the worker thread; the set hand-over is filled by the UI
// thread before the flag is set, and cleared by the worker after the write.
#include <atomic>
#include <cstdint>

#include "device/UsbOperation.h"
#include "pages/shared/BusWorker.h"
#include "pages/kline/lin/LinFrame.h"

// A queued LACKB set (54 3n 08 00 + 8 bytes) waits in g_LinSetPacket while this is 1.
extern std::atomic<uint32_t> g_RegPacketPending;
extern uint8_t g_LinSetPacket[kPacketBufferSize];

class LinWorkerPolicy : public WorkerPolicy {
public:
    explicit LinWorkerPolicy(const LinSlaveRows& rows) : rows_(rows) {}

    const char* PollWriteFailText() const override { return kWorkerTextWrite2; }
    const char* BeforePending() override;
    bool PollAfterFrame() const override { return true; }
    bool HandlesTxDone() const override { return false; }
    const char* OnUartFrameReceived(WorkerRecord& record) override;

private:
    const LinSlaveRows& rows_;
};

// param: the LinSlaveRows of the page that started it.
uint32_t ThreadProcLin(void* param);

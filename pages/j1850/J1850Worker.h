#pragma once
// The J1850 worker: the one worker loop with the J1850 policy.
//
// Where it differs from the serial-bus worker: a pending packet is written on every pass,
// with no transmitter-busy test, until a reply to that write carries StatusTxDone; it makes
// no sent record (the chip reports the frame itself, direction 0). A reply flagged
// StatusUartFrame files nothing; any other reply's word counts 16-byte records, filed by tag
// (2 J1850 with its direction bit, 3 error flags, others CAN). No KW1281 block counter.
#include <cstdint>

#include "pages/shared/BusWorker.h"

class J1850WorkerPolicy : public WorkerPolicy {
public:
    PendingRule RuleFor(const uint8_t* /*packet*/) const override {
        return PendingRule::UntilTxDone;
    }
    UartFlagReply UartFlagReplies() const override { return UartFlagReply::Ignore; }
};

// The worker thread's procedure (hub not read). Returns 0.
uint32_t ThreadProcJ1850(void* hub);

#pragma once
// The J1939 worker: the CAN policy with the J1939 hand-over. 'W' 0x3E with the page's
// buffer (at most 256 bytes), register 0x2B := the RTS packet count (data byte 3, not
// checked), 'T' 0x22 (CTXB4) := the RTS or BAM frame; the chip then sends it and the TP.DT
// packets itself. The frame written is filed as sent.
#include <cstdint>

#include "pages/can/CanWorker.h"

struct J1939HandOver {
    uint8_t message[kCanLongMessageBytes] = {};
    uint32_t length = 0;
    EcanMessageBuffer rtsFrame;
};
class J1939HandOverSource {
public:
    virtual ~J1939HandOverSource() = default;
    // Called on the worker thread; the page guards the fields it copies.
    virtual J1939HandOver TakeHandOver() const = 0;
};

class J1939WorkerPolicy : public CanWorkerPolicy {
public:
    explicit J1939WorkerPolicy(const J1939HandOverSource* source) : source_(source) {}

protected:
    const char* HandOver() override;

private:
    const J1939HandOverSource* source_;
};

constexpr uint8_t kJ1939RtsBlock = 0x22;  // CTXB4
constexpr uint8_t kJ1939DtBlock = 0x23;   // CTXB5, the TP.DT template

// The J1939 page's worker; param is the page's J1939HandOverSource.
uint32_t ThreadProcJ1939(void* param);

#pragma once
// The CAN workers: the one loop of pages/shared/BusWorker.h under a CAN policy.
//
// Against the serial-bus pass: a pending packet is always a 16-byte CAN frame (A0 8x 10 00),
// written on every pass until a reply to that very write carries StatusTxDone; a poll that
// cannot be written exits with "write 2"; the reply word always counts 16-byte records, filed
// as received, kind 3 for tag 3 (error flags) and kind 0 for every other tag.
//
// BeforePending is the family's hand-over: while g_MultiFrameRequest is set, register 0x2A
// is read; bit 0 set (the protocol engine is busy) or a failed read leaves the request for a
// later pass; otherwise the page's HandOver writes its message and frame, and on success
// clears the request and files the frame it wrote as sent. The hand-over packets are built
// in g_CmdPacket, so the polls and the stop packet after them carry their byte 1.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "pages/can/CanFrame.h"
#include "pages/shared/BusWorker.h"

extern const char* const kCanTextWriteLongBuff;  // 'W' 0x3E failed: "... write wrlong buff"
extern const char* const kCanTextWriteFfTxBuff;  // hand-over frame failed: "... write FF txbuff"

// A CAN page asks its running worker to hand a long message to the chip. Set by the page
// (after it built what the worker reads), cleared by Start and by the worker's hand-over.
extern std::atomic<uint32_t> g_MultiFrameRequest;

constexpr uint8_t kCanEngineBusyRegister = 0x2A;
constexpr uint8_t kCanLengthRegister = 0x2B;
constexpr uint8_t kCanLongMessageBlock = 0x3E;
constexpr size_t kCanLongMessageBytes = 256;

class CanWorkerPolicy : public WorkerPolicy {
public:
    PendingRule RuleFor(const uint8_t* /*packet*/) const override { return PendingRule::UntilTxDone; }
    const char* PollWriteFailText() const override { return kWorkerTextWrite2; }
    UartFlagReply UartFlagReplies() const override { return UartFlagReply::Records; }
    RecordKindDirection KindOfRecord(const uint8_t* record) const override;
    const char* BeforePending() override;

protected:
    // Writes the page's hand-over; nullptr on success (the policy then clears the request),
    // else the text of the exit (the request stays set).
    virtual const char* HandOver() = 0;
};

// Hand-over writes in g_CmdPacket, each one exchange under the device lock; 1 on success.
int CanWriteLongMessage(const uint8_t* data, uint32_t length);  // 'W' 0x3E, at most 256 bytes
int CanWriteTransmitBuffer(uint8_t block, const EcanMessageBuffer& frame);  // 'T' block, 16 bytes
// Files a frame the worker handed to the chip: sent, kind 0, length word 16, the time now.
void FileSentCanFrame(const EcanMessageBuffer& frame);

// What the ISO 15765 worker takes from its page at a hand-over (not at the button press:
// edits made in between go in).
struct Iso15765HandOver {
    uint8_t message[kCanLongMessageBytes] = {};
    uint32_t totalLength = 0;
    uint8_t ptype = 0;
    EcanMessageBuffer firstFrame;
};
class Iso15765HandOverSource {
public:
    virtual ~Iso15765HandOverSource() = default;
    // Called on the worker thread; the page guards the fields it copies.
    virtual Iso15765HandOver TakeHandOver() const = 0;
};

// 'W' 0x3E with min(total + 8, 256) message bytes; register 0x2B := total - PTYPE - 6, at
// least 0; 'T' 0x23 (CTXB5) := the first frame.
class Iso15765WorkerPolicy : public CanWorkerPolicy {
public:
    explicit Iso15765WorkerPolicy(const Iso15765HandOverSource* source) : source_(source) {}

protected:
    const char* HandOver() override;

private:
    const Iso15765HandOverSource* source_;
};

// The register 0x2B value for a message of total bytes: the bytes after the first frame as
// the chip counts them, never below 0.
uint8_t Iso15765LengthRegister(uint32_t totalLength, uint8_t ptype);

// The ISO 15765 page's worker; param is the page's Iso15765HandOverSource (the page outlives
// the worker: it is hidden, never destroyed, while a worker runs).
uint32_t ThreadProc15765(void* param);

#pragma once
// The worker loop every bus worker runs, its policy, and the one running worker thread.
//
// One pass: (1) the policy's own work first (BeforePending); (2) a pending packet: a UART
// engine frame (57 3F ...) waits for register 0x31 bit 7 clear (a failed read counts as busy)
// and, while busy, the pass polls instead; once written it is recorded at once as sent and
// the pass reads nothing more (unless PollAfterFrame); any other packet is written on every
// pass until a reply to that very write carries StatusTxDone (a policy with a frame queue of
// its own sends its next frame instead, see SendsFromQueue); (3) nothing pending: a poll;
// (4) one reply, bounded by what arrived: fault status ends the worker, a UART frame or the
// 16-byte records (as the policy reads StatusUartFrame) go to the monitor, one time per reply,
// each record followed by the policy's own answer to it (AfterRecordFiled),
// unless the policy takes the reply itself.
//
// Every exit with a message clears g_WorkerRunning first, posts the message (never waits on
// it), sends the stop packet and returns. A Stop clears the flag: the pass finishes, the stop
// packet goes out, the worker returns 0.
//
// Threads: the loop runs on the worker thread; WorkerControl is called on the UI thread.
#include <atomic>
#include <cstdint>

#include "device/DeviceReply.h"
#include "device/WorkerThread.h"
#include "monitor/MonitorRing.h"

// Exit texts of the workers.
extern const char* const kWorkerTextWrite1;     // pending packet write failed
extern const char* const kWorkerTextWrite2;     // poll after a busy engine (or the LIN poll)
extern const char* const kWorkerTextWriteRd;    // poll failed
extern const char* const kWorkerTextRead1;      // reply read failed
extern const char* const kWorkerTextFault;      // StatusFault

// A record before it goes into the ring; policies may change it.
struct WorkerRecord {
    uint8_t direction = 0;
    uint8_t kind = 0;
    uint16_t lengthWord = 0;
    uint8_t data[kMonitorDataBytes] = {};
    uint32_t count = 0;    // data bytes present (at most 260)
    uint32_t arrived = 0;  // the frame's bytes that came, when more than count (0: count)
    MonitorInitBytes init;
};

class WorkerPolicy {
public:
    virtual ~WorkerPolicy() = default;

    enum class PendingRule {
        UartFrameWhenIdle,  // wait for 0x31 bit 7 clear, record at the write
        UartFrameAtOnce,    // write without the busy test, record at the write
        UntilTxDone         // write on every pass until StatusTxDone, record then
    };
    virtual PendingRule RuleFor(const uint8_t* packet) const;

    // Text of the exit when a plain poll (nothing pending) cannot be written.
    virtual const char* PollWriteFailText() const { return kWorkerTextWriteRd; }
    // Text of the exit when the poll that replaces a held-back frame cannot be written.
    virtual const char* BusyPollWriteFailText() const { return kWorkerTextWrite2; }

    // Work of the pass before the pending packet (a queued register packet, a hand-over).
    // Returns nullptr to go on, or the text of an exit.
    virtual const char* BeforePending() { return nullptr; }

    // After a written UART frame: true polls and reads in the same pass.
    virtual bool PollAfterFrame() const { return false; }

    // The record of a written UART frame (packet bytes; n = the packet's u16 at 2-3).
    // Default: word at bytes 4-5, n - 2 bytes from byte 6, init bytes by the word's type.
    virtual void MakeSentFrameRecord(const uint8_t* packet, uint32_t n, WorkerRecord& record) const;

    // Whether StatusTxDone is looked at (for a packet written under UntilTxDone).
    virtual bool HandlesTxDone() const { return true; }
    // How a reply with StatusUartFrame is filed: as one UART frame, as records, or not at all.
    virtual UartFlagReply UartFlagReplies() const { return UartFlagReply::Frame; }
    // Kind and direction of one 16-byte record.
    virtual RecordKindDirection KindOfRecord(const uint8_t* record) const {
        return ReplyRecordKind(record);
    }

    // A policy that sends from a frame queue of its own returns true (g_TxPending then means
    // "an answer is in progress" and g_TxPacket is not read): with g_TxPending set the pass
    // reads register 0x31; busy (or a failed read) sends nothing, idle asks NextQueuedFrame.
    // A frame written this way leaves g_TxPending as it is; the pass polls either way.
    virtual bool SendsFromQueue() const { return false; }
    // The next frame packet (57 3F n word frame, at most 268 bytes) and its length; false
    // when nothing is sent (the policy has ended its answer and cleared g_TxPending itself).
    virtual bool NextQueuedFrame(uint8_t* /*packet*/, uint32_t& /*length*/) { return false; }

    // The register bit that reads "transmitter busy" to a queue-sending policy.
    virtual uint8_t QueueBusyRegister() const { return 0x31; }
    virtual uint8_t QueueBusyBit() const { return 0x80; }
    // A queue-sending policy whose frames are no UART engine frames returns true and writes
    // (and files) its next frame itself in WriteQueued, called instead of NextQueuedFrame
    // when the transmitter is free: nullptr to go on, or the text of an exit.
    virtual bool WritesQueuedItself() const { return false; }
    virtual const char* WriteQueued() { return nullptr; }
    // Each 16-byte record of a reply, before it is filed (a responder's request test).
    virtual void OnRecordReceived(const uint8_t* /*record*/) {}

    // Text of the exit on StatusFault.
    virtual const char* FaultText() const { return kWorkerTextFault; }
    // The last step on every way out of the loop, before the stop packet.
    virtual void BeforeStop() {}

    // A received UART frame before it is appended; may rewrite it. nullptr or an exit text
    // (the record is appended before the exit either way).
    virtual const char* OnUartFrameReceived(WorkerRecord& /*record*/) { return nullptr; }
    // After each received 16-byte record was appended, in the reply's order: what the worker
    // answers by itself. nullptr or the text of an exit; once a record returned an exit text
    // the reply's remaining records are still appended, without this hook, and the worker ends.
    virtual const char* AfterRecordFiled(const uint8_t* /*record*/) { return nullptr; }
    // After the records of one reply were appended.
    virtual void AfterReceivedRecorded() {}

    // false: replies do not go to the monitor; after the fault test each reply goes to
    // TakeReply instead (the logic analyser's samples).
    virtual bool RecordsReplies() const { return true; }
    // The bytes of one reply as received (at least 1). nullptr or the text of an exit.
    virtual const char* TakeReply(const uint8_t* /*reply*/, uint32_t /*received*/) { return nullptr; }
};

// The loop. Returns 0 (the thread's result).
uint32_t RunBusWorker(WorkerPolicy& policy);
// One pass of it: nullptr, or the text of the exit it ran into (the caller ends the worker).
const char* RunWorkerPass(WorkerPolicy& policy);
// A policy with the defaults: UART frames wait for an idle engine, "write RD" poll text.
WorkerPolicy& DefaultWorkerPolicy();



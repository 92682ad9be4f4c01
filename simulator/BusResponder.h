#pragma once
// The ECU on J1850 and on CAN (ISO 15765, 11- or 29-bit ids): responders as policies of the
// one worker loop, on the answer queue and split rule of SimResponder.h.
//
// No bus init and no session: every reply's word counts 16-byte records, each tested as a
// request before it is filed. One answer frame goes out per pass once the transmitter is
// free (J1850: register 0x0A bit 4; CAN: register 0x2A bit 0).
//   J1850  request: received, length >= 5, header = the flavour's functional or physical
//          request header; answer records 00 len 00 00 hdr ack slice (the chip adds the
//          CRC and reports the frame back, which is what the monitor shows); the request's
//          Y bit (header byte 0 bit 2) picks the physical response header.
//   CAN    request: a received single frame (tag 0, PCI 1-7, DLC >= 2; the chip's filters
//          pass only the request ids); answer parts: single frames, or a first frame whose
//          remaining bytes go to the chip's long buffer (the chip sends the consecutive
//          frames and handles the tester's flow control). Message 1, then message 2.
#include <cstdint>

#include "pages/can/CanFrame.h"
#include "pages/j1850/J1850Frame.h"
#include "pages/shared/BusWorker.h"
#include "simulator/KLineResponder.h"

extern const char* const kSimTextWriteJtxb;  // "设备出现通信错误停止! write JTXB"

// CAN answer parts beside g_SimTxQueue's slots: the single or first frame of each part and
// whether the slot holds the bytes after a first frame (its length = bytes after the FF).
struct SimCanFrames {
    EcanMessageBuffer frame[kSimTxSlots];
    uint8_t longMessage[kSimTxSlots] = {};
};
extern SimCanFrames g_SimCanFrames;

// Record bytes 4-6 := the flavour's functional (physical false) or physical response header.
void BuildJ1850RespondHeader(J1850FrameRecord& record, const EcuSimParams& params, bool physical);
// Whether a received record asks this ECU (no answer in progress is the caller's test).
bool IsJ1850Request(const uint8_t* record, const EcuSimParams& params);
// The answer to a J1850 request record into queue (one 16-byte record a slot). true: an
// answer is in progress; false: nothing is sent.
bool RespondJ1850(const SimAnswerSource& source, const uint8_t* record, SimTxQueue& queue);

// Clears the first eight bytes (id words and data 0-1) and writes the response id.
void SetCanRespondId(EcanMessageBuffer& record, const EcuSimParams& params);
bool IsCanRequest(const uint8_t* record);
bool RespondCan(const SimAnswerSource& source, const uint8_t* record, SimTxQueue& queue,
                SimCanFrames& frames);
// Files a CAN frame: kind 3 for an error-flags record, else 0; length word 0.
void LogCanFrame(const EcanMessageBuffer& record, uint8_t direction, uint32_t timeMs);

enum class BusSim { J1850, Can };

class BusResponder : public WorkerPolicy {
public:
    // Takes the table, record and protocol bit as they are (fixed while it runs).
    explicit BusResponder(BusSim sim);

    void Enter() { PostSimStatus(kSimStatusWaitRequest); }

    bool SendsFromQueue() const override { return true; }
    uint8_t QueueBusyRegister() const override { return sim_ == BusSim::J1850 ? 0x0A : 0x2A; }
    uint8_t QueueBusyBit() const override { return sim_ == BusSim::J1850 ? 0x10 : 0x01; }
    bool WritesQueuedItself() const override { return true; }
    const char* WriteQueued() override;
    const char* PollWriteFailText() const override { return kWorkerTextWrite2; }
    UartFlagReply UartFlagReplies() const override { return UartFlagReply::Records; }
    RecordKindDirection KindOfRecord(const uint8_t* record) const override;
    void OnRecordReceived(const uint8_t* record) override;
    void BeforeStop() override { PostSimStatus(kSimStatusStopped); }

private:
    BusSim sim_;
    EcuSimParams params_;
    RespondIndex index_;
    SimAnswerSource source_;
};

// Thread bodies started by the page; the parameter is the hub. Both return 0.
uint32_t ThreadProcEcuSimJ1850(void* hub);
uint32_t ThreadProcEcuSimCan(void* hub);

#pragma once
// The ECU on the K-line: ISO 9141-2 and ISO 14230 responders as policies of the one worker
// loop (pages/shared/BusWorker.h).
//
// The chip's UART engine in ECU mode (mode byte C3 / C1) answers the tester's bus init itself
// and reports it as a frame whose word has init type 7; every tester frame then arrives as
// one UART frame (word bit 11 set: a bad frame, ignored). Session: 0 waiting for init, 1 in
// session, 2 waiting for StartCommunication (SID 0x81, ISO 14230 fast init only). A request
// is answered only while no answer is in progress. Answer frames, each with its sum:
//   ISO 9141-2   48 6B 10 ack data CS                 (header = respondHeader9141)
//   ISO 14230 0  80|(ack+n) T S ack data CS            split by bytesPerFrame
//             1  80|L T S ack msg CS, L >= 64: 80 T S L ack msg CS   (L = ack + message)
//             2  80 T S L ack msg CS
//   negative     hdr 7F SID 11 CS; 14230 modes 0/1: 83 T S 7F SID 11 CS, mode 2: 80 T S 03 ...
// A frame longer than the engine takes (262 bytes, or a length byte of 255) keeps its sum and
// loses data bytes. Timing (P1, P2, receive gap) is the chip's; the host adds no wait.
#include <atomic>
#include <cstdint>

#include "pages/shared/BusWorker.h"
#include "simulator/SimResponder.h"

extern std::atomic<uint32_t> g_KLineSessionState;  // 0 wait init, 1 session, 2 wait 0x81
extern std::atomic<uint8_t> g_FastInitMode;        // set by the ISO 14230 preparations

extern const char* const kSimTextFault9141;  // "KM5804故障保护动作，设备停止!"

enum class KLineSim { Iso9141, Iso14230 };

// What a responder answers with: the record, the table (read only while it runs), the
// protocol bit and the negative-response switch (read at each request).
struct SimAnswerSource {
    const EcuSimParams* params;
    const RespondIndex* index;
    uint32_t protocolBit;
    const std::atomic<uint8_t>* negative;
};

// Build the answer to a request's data (SID first) into queue. true: an answer is in
// progress (g_TxPending := 1), false: nothing is sent (no match, negatives off).
bool Respond9141(const SimAnswerSource& source, const uint8_t* data, uint32_t count,
                 SimTxQueue& queue);
bool Respond14230(const SimAnswerSource& source, const uint8_t* data, uint32_t count,
                  SimTxQueue& queue);

class KLineResponder : public WorkerPolicy {
public:
    using Clock = uint32_t (*)();
    // Takes the table, record and protocol bit as they are (the page keeps them while it
    // runs); clock gives milliseconds (timeGetTime unless a test injects one).
    KLineResponder(KLineSim sim, Clock clock);

    // The thread's entry step (status, activity time).
    void Enter();

    const char* BeforePending() override;  // the session time-out
    bool SendsFromQueue() const override { return true; }
    bool NextQueuedFrame(uint8_t* packet, uint32_t& length) override;
    bool PollAfterFrame() const override { return true; }
    const char* PollWriteFailText() const override { return kWorkerTextWrite2; }
    const char* FaultText() const override;
    const char* OnUartFrameReceived(WorkerRecord& record) override;
    void AfterReceivedRecorded() override;
    void BeforeStop() override;

private:
    void SessionStep(const WorkerRecord& record);
    bool IsRequest(const uint8_t* frame, uint32_t count, uint32_t& header) const;

    KLineSim sim_;
    Clock clock_;
    bool fastInit_;
    uint8_t modeByte_;
    EcuSimParams params_;
    RespondIndex index_;
    SimAnswerSource source_;
    uint32_t lastActivity_ = 0;
};

// Thread bodies started by the page; the parameter is the hub. Both return 0.
uint32_t ThreadProcEcuSim9141(void* hub);
uint32_t ThreadProcEcuSim14230(void* hub);

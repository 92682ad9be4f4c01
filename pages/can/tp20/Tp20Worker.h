#pragma once
// The TP2.0 worker: the CAN policy with two hand-overs and the answers the worker sends by
// itself.
//
// Hand-over by g_Tp20RequestMode (read after the request flag): 1, the channel set-up to
// 'T' 0x23 (CTXB5); 0, the buffer to 'W' 0x3E (at most 256 bytes), register 0x2B := CCF_DL
// (not checked) and the first frame to 'T' 0x22 (CTXB4). The frame written is filed as sent.
//
// Answers, per received CAN record (tags 2 and 3 are not frames of this bus), by its SID
// bits whatever its IDE says: SID 0x200 with data 1F C0 (a channel set-up for unit 0x1F) ->
// the channel set-up reply; SID 0x32E with data A0 or A3 (connection set-up or test) -> the
// connection set-up reply. Only data bytes within the DLC count. Each goes to 'T' 0x1F
// (CTXB1) at once and is not filed; a failed write ends the worker ("write FF txbuff").
#include <atomic>
#include <cstdint>

#include "pages/can/CanWorker.h"

// 0 multi-frame, 1 channel set-up: written by the page before g_MultiFrameRequest.
extern std::atomic<uint32_t> g_Tp20RequestMode;
constexpr uint32_t kTp20RequestMultiFrame = 0;
constexpr uint32_t kTp20RequestChannel = 1;

constexpr uint8_t kTp20AnswerBlock = 0x1F;        // CTXB1
constexpr uint8_t kTp20FirstFrameBlock = 0x22;    // CTXB4
constexpr uint8_t kTp20ChannelSetupBlock = 0x23;  // CTXB5

struct Tp20HandOver {
    uint8_t message[kCanLongMessageBytes] = {};
    uint32_t length = 0;
    uint8_t ccfDl = 0;
    EcanMessageBuffer channelSetup;
    EcanMessageBuffer firstFrame;
};
enum class Tp20Answer { None, ChannelSetup, ConnectionSetup };

class Tp20HandOverSource {
public:
    virtual ~Tp20HandOverSource() = default;
    // Called on the worker thread; the page guards the fields it copies.
    virtual Tp20HandOver TakeHandOver() const = 0;
    virtual EcanMessageBuffer AnswerFrame(Tp20Answer answer) const = 0;
};

// Which answer a received 16-byte record calls for.
Tp20Answer Tp20AnswerFor(const uint8_t* record);

class Tp20WorkerPolicy : public CanWorkerPolicy {
public:
    explicit Tp20WorkerPolicy(const Tp20HandOverSource* source) : source_(source) {}
    const char* AfterRecordFiled(const uint8_t* record) override;

protected:
    const char* HandOver() override;

private:
    const Tp20HandOverSource* source_;
};

// The TP2.0 page's worker; param is the page's Tp20HandOverSource.
uint32_t ThreadProcTP20(void* param);

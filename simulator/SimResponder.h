#pragma once
// What every ECU responder shares: the answer queue, the rule that splits a matched entry's
// answer into frames, the status texts and their way to the page.
//
// An answer is built in full when its request arrives (the queue emptied first, at most 64
// frames, extra ones dropped) and sent one frame per pass of the worker loop once the
// transmitter is free. g_TxPending means "an answer is in progress": set by the responder
// after queueing (also when it queued nothing), cleared by the pass that finds the queue
// drained. Start clears both; the responder thread owns them while it runs.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "simulator/RespondTable.h"

constexpr uint32_t kSimTxSlots = 64;
constexpr uint32_t kSimTxSlotBytes = 272;

struct SimTxQueue {
    uint8_t slot[kSimTxSlots][kSimTxSlotBytes];
    uint32_t length[kSimTxSlots];  // bytes of each slot that are written
    uint32_t count = 0;            // g_SimTxCount: slots filled for the current answer
    uint32_t index = 0;            // g_SimTxIndex: next slot to send

    void Clear() { count = index = 0; }
    // A slot for the next frame, or nullptr when 64 are queued.
    uint8_t* Next() { return count < kSimTxSlots ? slot[count] : nullptr; }
    void Commit(uint32_t bytes) { length[count++] = bytes; }
};
extern SimTxQueue g_SimTxQueue;

// One frame's share of an answer: the entry's ack opens it, then `length` message bytes.
struct AnswerSlice {
    const uint8_t* message;
    uint32_t length;
};

// Split answers (frames of at most bytesPerFrame data bytes, ack included): messageCount 0
// gives one ack-only frame (none when ackLength is 0); each message gives frames of
// n = bytesPerFrame - ackLength bytes and a last one of the rest, an empty message one
// ack-only frame. Nothing for the messages when ackLength > 3 or n < 1. At most capacity.
uint32_t SplitAnswer(const OBDRespondEntry& entry, AnswerSlice* out, uint32_t capacity);
// One frame per part: the ack alone (messageCount 0, ackLength > 0), or ack + each message.
uint32_t WholeAnswerParts(const OBDRespondEntry& entry, AnswerSlice* out, uint32_t capacity);

// Status texts of the page's status line that the responders write.
extern const char* const kSimStatusWaitInit;      // "等待初始化..."
extern const char* const kSimStatusWaitRequest;   // "等待请求指令..."
extern const char* const kSimStatusWait81;        // "等待0x81连接指令..."
extern const char* const kSimStatusResponding;    // "正在发送响应..."
extern const char* const kSimStatusTimeout;       // "时间溢出,等待重新初始化..."
extern const char* const kSimStatusStopped;       // "未启动"

// The page's status line: the listener runs on the UI thread (through platform::PostToUi),
// never waited for by the worker. Set and cleared on the UI thread.
using SimStatusListener = std::function<void(const std::string&)>;
void SetSimStatusListener(SimStatusListener listener);
void PostSimStatus(const char* text);

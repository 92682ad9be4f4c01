#pragma once
// The model behind the simulated board: the packet decoder, the register and block stores,
// the FIFO of answers that reads take, the packet log and the injected faults. Two front ends
// serve it: the simulated library (pipes with the library's semantics, Write and Read below)
// and the emulated USB device of testboard/usb/ (Accept, and the read side in steps).
//
// One mutex guards everything; one condition variable wakes readers that wait for an answer
// (a delayed read), callers of tb_wait_log_count, and set-up changes that wait for a
// responder call to finish. The responder itself always runs without the lock held.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "testboard/CanBus.h"
#include "testboard/J1850Bus.h"
#include "testboard/Capture.h"
#include "testboard/testboard.h"

namespace testboard {


// Largest transfer the board's endpoint buffer takes (4 header bytes + 264 payload bytes).
constexpr uint32_t kMaxPacket = 268;
constexpr uint8_t kDefaultChipId = 0x41;
constexpr uint8_t kDefaultVersion = 0x12;
constexpr uint8_t kBusyRegister = 0x31;
constexpr uint8_t kStatusFault = 0x08;
constexpr uint8_t kStatusTxDone = 0x80;
constexpr uint8_t kStatusUartFrame = 0x10;

// A canned exchange: a written packet that starts with `prefix` queues `reply`. Where `mask`
// has a byte, only its set bits of that packet byte are compared (a '?' digit clears four).
// With holdMs the reply waits that long before a poll may take it (a peer that answers later).
struct CannedRule {
    Bytes prefix;
    Bytes mask;  // empty: every bit counts
    Bytes reply;
    unsigned holdMs = 0;
};

// A reply queued every periodMs between a start packet (B1) and a stop packet (B2).
struct PeriodicRule {
    unsigned periodMs;
    Bytes reply;
    Bytes start;  // runs only after a start packet that begins with these bytes (empty: any)
};

// The chip's answer to a 5-baud initialisation: result byte (0 = INIT=OK) and key bytes.
struct Init5Answer {
    uint8_t result = 0;
    uint8_t keyword1 = 0;
    uint8_t keyword2 = 0;
};

struct LoggedPacket {
    uint32_t timeMs;
    Bytes bytes;
};

// The one-shot read faults; the first read that finds an answer waiting takes them all.
struct ReadFaults {
    bool fail = false;     // the read fails and its answer is lost
    unsigned delayMs = 0;  // the answer arrives this late
    bool cut = false;      // the answer is cut to cutTo bytes, the rest lost
    unsigned cutTo = 0;
    bool split = false;    // only splitAfter bytes arrive before the read gives up; the rest
    unsigned splitAfter = 0;  // stays for the next read
};

// Entries the in-memory logs keep by default: a test asks for the newest ones only, and a
// program polling for a working day must not grow without end.
constexpr unsigned kDefaultLogLimit = 100000;

// What every answered read waits unless a test says otherwise: a real board's USB round trip.
// Without it a free-running worker polls a million times a second, spins a processor and, on
// a loaded machine, pushes a test's own packets out of the bounded log before it reads them.
constexpr unsigned kDefaultReadLatencyMs = 1;

// The newest `limit` entries of a log whose indices keep counting from the last clear.
template <typename Entry>
class BoundedLog {
public:
    void Add(Entry entry, unsigned limit) {
        entries_.push_back(std::move(entry));
        Trim(limit);
    }
    void Trim(unsigned limit) {
        for (; entries_.size() > limit; ++dropped_) entries_.pop_front();
    }
    unsigned Count() const { return dropped_ + static_cast<unsigned>(entries_.size()); }
    const Entry* At(unsigned index) const {
        return index >= dropped_ && index < Count() ? &entries_[index - dropped_] : nullptr;
    }
    void Clear() {
        entries_.clear();
        dropped_ = 0;
    }

private:
    std::deque<Entry> entries_;
    unsigned dropped_ = 0;
};

class Board {
public:
    Board();

    // Everything the control API offers, each under the lock.
    void Reset();
    void SetBoardCount(unsigned count);
    void SetChip(uint8_t id, uint8_t version);
    void SetRegister(uint8_t reg, uint8_t value);
    uint8_t GetRegister(uint8_t reg);
    void SetBusyReads(unsigned n);
    void SetBusyBits(uint8_t reg, uint8_t bits, unsigned n);
    void QueueCanFrame(uint32_t id, bool extended, const uint8_t* data, unsigned dlc);
    unsigned BusFrameCount();
    unsigned BusFrame(unsigned index, uint8_t* out, unsigned capacity);
    void ClearBusFrames();
    void SetBusFramesAsRecords(bool on);
    void SetBlock(uint8_t block, const uint8_t* data, unsigned length);
    unsigned GetBlock(uint8_t block, uint8_t* out, unsigned capacity);
    void QueueReply(const uint8_t* bytes, unsigned length);
    void QueueReplyAfter(const uint8_t* bytes, unsigned length, unsigned delayMs);
    unsigned QueuedReplies();
    void SetIdleReply(const uint8_t* bytes, unsigned length);
    void SetFault(bool on);
    void FailWrite(unsigned nth);
    void FailNextRead();
    void DelayNextRead(unsigned delayMs);
    // Every answered read waits this long first, as a real board's USB round trip does.
    void SetReadLatency(unsigned latencyMs);
    void ShortNextReply(unsigned length);
    void SplitNextReply(unsigned length);
    void FailOpen(int direction);
    unsigned OpenCount();
    int LastOpenIndex();
    unsigned OpenPipes();
    void SetResponder(tb_responder responder, void* context);
    unsigned LogCount();
    unsigned LogPacket(unsigned index, uint8_t* out, unsigned capacity, uint32_t* timeMs);
    void LogClear();
    bool WaitLogCount(unsigned count, unsigned timeoutMs);
    void SetLogLimit(unsigned entries);
    // Every write and read call as it reaches the library, before anything is decided.
    void LogCall(bool read, uint32_t length, uint32_t timeoutMs);
    unsigned CallCount();
    bool CallAt(unsigned index, tb_call* out);
    void AddRule(CannedRule rule);
    void AddPeriodicRule(PeriodicRule rule);
    // UART send packets (0x60) come back as received frames while PINSEL is K1 or K2.
    void SetEcho(bool on);
    // Engine frames (57 3F) of init type 2 queue the 5-baud result; nullptr turns it off.
    void SetInit5(const Init5Answer* answer);
    // KW1281 blocks written as engine frames are answered [03, counter + 1, 09, 03].
    void SetKw1281Ack(bool on);
    // Engine frames whose packet length is not (word & 0x1FF) + 2.
    unsigned FrameLengthMismatches();
    // J1850: the next n frame packets get no StatusTxDone (and no echo); a scripted peer.
    void WithholdJ1850TxDone(unsigned n);
    void AddJ1850Peer(J1850Peer peer);
    // Appends one line per packet written to this file from now on (nullptr stops it).
    void SetLogFile(std::FILE* file);
    // The logic analyser's capture data (Capture.h).
    void SetCapture(std::vector<uint32_t> samples);
    void SetCapturePerReply(unsigned perReply);
    unsigned CaptureServed();

    // A packet the host wrote: logged, decoded, matched against the rules and shown to the
    // responder (on the caller's thread, without the lock). false when it is lost to an
    // injected write failure or does not fit the board's buffer (0 or more than 268 bytes).
    bool Accept(const uint8_t* data, uint32_t length);
    // The read side in steps, for a front end that completes reads itself: a read that finds
    // an answer waiting takes the faults once, then (once any delay has passed) the answer:
    // at most max bytes of it, the rest kept as the next answer or dropped.
    bool AnswerWaiting();
    ReadFaults TakeReadFaults();
    Bytes TakeAnswer(size_t max, bool keepRest);

    // The simulated library, with the semantics of its entry points.
    uint32_t DeviceCount();
    void* Open(uint32_t index, uint32_t direction);  // kInvalidHandle on failure
    bool Write(void* handle, const uint8_t* data, uint32_t length);
    // Fills `received` and returns true when an answer was taken. A split answer fails at the
    // read's time-out with the bytes that came in `received`.
    bool Read(void* handle, uint8_t* data, uint32_t maxLength, uint32_t* received,
              uint32_t timeoutMs);
    void Close(void* handle);

    uint32_t MillisecondsSinceLoad() const;

    static void* const kInvalidHandle;

private:
    struct Pipe {
        uint32_t index;
        uint32_t direction;
    };

    void ResetLocked();
    Bytes TakeAnswerLocked(size_t max, bool keepRest);
    bool IsPipe(void* handle, uint32_t direction) const;
    void Decode(const Bytes& packet);
    // What the UART engine answers to a frame it was handed (57 3F).
    void EngineFrame(const Bytes& packet);
    Bytes PollAnswer(bool framePacket);
    void DecodeStart(const Bytes& packet);
    void PutOnBus(const Bytes& record);
    void RunIsoTpEngine(const Bytes& firstFrame);
    void RunJ1939Engine(const Bytes& rtsFrame);
    void RunTp20Engine(const Bytes& firstFrame);
    // A transmit-buffer write after the start that sends, by the running PTYPE.
    void TransmitBufferWritten(uint8_t block);
    void AppendCanRecords(Bytes& reply);
    void QueueDueReplies(uint32_t now);
    Bytes J1850FrameAnswer(const Bytes& packet);
    // StatusTxDone, the echo of the sent frame and a scripted peer's answer.
    Bytes J1850SentReply(const Bytes& packet);
    void WaitForResponderIdle(std::unique_lock<std::mutex>& lock);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    const std::chrono::steady_clock::time_point loaded_;

    unsigned boards_;
    uint8_t chipId_;
    uint8_t version_;
    uint8_t registers_[256];
    struct BusyBits {
        uint8_t bits;
        unsigned reads;
    };
    std::map<uint8_t, BusyBits> busy_;  // register -> bits or'ed into its next reads
    std::map<uint8_t, Bytes> blocks_;
    std::deque<Bytes> queued_;   // replies the next polls take
    struct Held {
        std::chrono::steady_clock::time_point due;
        Bytes reply;
    };
    std::vector<Held> held_;     // replies that join queued_ once due, in due order
    void HoldLocked(Bytes reply, unsigned delayMs);
    std::deque<Bytes> answers_;  // what the next reads return
    Bytes idle_;
    bool fault_;
    std::vector<CannedRule> rules_;
    std::vector<PeriodicRule> periodic_;
    std::vector<uint32_t> periodicDue_;  // when each periodic reply is next queued
    std::vector<bool> periodicOn_;       // the last start was one the rule runs after
    bool started_ = false;               // between B1 and B2
    bool echo_ = false;
    bool init5On_;
    Init5Answer init5_;
    bool kw1281Ack_;
    unsigned lengthMismatches_;

    // CAN: started by B1 with engine 1, stopped by B2.
    bool canStarted_;
    uint8_t canMode_;               // 0 normal, 2 loopback, 3 listen-only
    std::deque<Bytes> canRecords_;  // records the next poll replies carry
    std::vector<Bytes> busFrames_;  // frames the engine stand-in sent
    bool busAsRecords_;
    unsigned j1850Withhold_;
    std::vector<J1850Peer> j1850Peers_;
    CaptureSource capture_;

    unsigned failWriteIn_;  // 0: none; n: the n-th write from now fails
    ReadFaults readFaults_;
    unsigned readLatencyMs_ = kDefaultReadLatencyMs;
    bool failOpen_[2];

    std::map<uintptr_t, Pipe> pipes_;
    uintptr_t nextHandle_;
    unsigned openCount_;
    int lastOpenIndex_;

    tb_responder responder_;
    void* responderContext_;
    unsigned respondersRunning_;
    uint64_t generation_;  // bumped by Reset so that waiting reads give up

    BoundedLog<LoggedPacket> log_;
    BoundedLog<tb_call> calls_;
    unsigned logLimit_ = kDefaultLogLimit;
    std::FILE* logFile_;
};

// The one board of this process; built on first use and never destroyed, so a worker thread
// still talking to it while the process exits finds it intact.
Board& TheBoard();

}  // namespace testboard

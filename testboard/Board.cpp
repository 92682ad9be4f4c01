#include "testboard/Board.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace testboard {

namespace {

// Responder calls running on this thread: set-up changes made from inside a responder must
// not wait for the responder to finish.
thread_local unsigned tl_responderDepth = 0;

constexpr uint8_t kCtxb1 = 0x1F;
constexpr uint8_t kCtxb4 = 0x22;
constexpr uint8_t kCtxb5 = 0x23;
constexpr uint8_t kPtypeJ1939 = 2;
constexpr uint8_t kPtypeTp20 = 3;
constexpr uint8_t kJ1850TransmitBlock = 0x06;
constexpr uint8_t kLongMessageBlock = 0x3E;
constexpr uint8_t kLengthRegister = 0x2B;
constexpr uint8_t kCanLoopback = 2;
constexpr uint8_t kCanListenOnly = 3;

uint8_t ByteAt(const Bytes& packet, size_t i) { return i < packet.size() ? packet[i] : 0; }

bool StartsWith(const Bytes& packet, const Bytes& prefix, const Bytes& mask) {
    if (prefix.empty() || prefix.size() > packet.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const uint8_t care = i < mask.size() ? mask[i] : 0xFF;
        if ((packet[i] ^ prefix[i]) & care) return false;
    }
    return true;
}

}  // namespace

void* const Board::kInvalidHandle = reinterpret_cast<void*>(~uintptr_t{0});

Board::Board() : loaded_(std::chrono::steady_clock::now()), nextHandle_(0x100), logFile_(nullptr) {
    responder_ = nullptr;
    responderContext_ = nullptr;
    respondersRunning_ = 0;
    generation_ = 0;
    ResetLocked();
}

Board& TheBoard() {
    static Board* board = new Board;
    return *board;
}

uint32_t Board::MillisecondsSinceLoad() const {
    auto elapsed = std::chrono::steady_clock::now() - loaded_;
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void Board::ResetLocked() {
    boards_ = 1;
    chipId_ = kDefaultChipId;
    version_ = kDefaultVersion;
    std::memset(registers_, 0, sizeof registers_);
    busy_.clear();
    canStarted_ = false;
    canMode_ = 0;
    canRecords_.clear();
    busFrames_.clear();
    busAsRecords_ = false;
    blocks_.clear();
    queued_.clear();
    answers_.clear();
    idle_ = Bytes{0, 0, 0, 0};
    fault_ = false;
    rules_.clear();
    periodic_.clear();
    periodicDue_.clear();
    periodicOn_.clear();
    started_ = false;
    echo_ = false;
    init5On_ = false;
    init5_ = Init5Answer();
    kw1281Ack_ = false;
    lengthMismatches_ = 0;
    held_.clear();
    j1850Withhold_ = 0;
    j1850Peers_.clear();
    capture_.Reset();
    failWriteIn_ = 0;
    readFaults_ = ReadFaults();
    readLatencyMs_ = kDefaultReadLatencyMs;
    failOpen_[0] = failOpen_[1] = false;
    pipes_.clear();
    openCount_ = 0;
    lastOpenIndex_ = -1;
    responder_ = nullptr;
    responderContext_ = nullptr;
    log_.Clear();
    calls_.Clear();
    logLimit_ = kDefaultLogLimit;
}

void Board::WaitForResponderIdle(std::unique_lock<std::mutex>& lock) {
    if (tl_responderDepth > 0) return;
    changed_.wait(lock, [this] { return respondersRunning_ == 0; });
}

void Board::Reset() {
    std::unique_lock<std::mutex> lock(mutex_);
    WaitForResponderIdle(lock);
    ResetLocked();
    ++generation_;
    changed_.notify_all();
}

void Board::SetBoardCount(unsigned count) {
    std::lock_guard<std::mutex> lock(mutex_);
    boards_ = count;
}

void Board::SetChip(uint8_t id, uint8_t version) {
    std::lock_guard<std::mutex> lock(mutex_);
    chipId_ = id;
    version_ = version;
}

void Board::SetRegister(uint8_t reg, uint8_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    registers_[reg] = value;
}

uint8_t Board::GetRegister(uint8_t reg) {
    std::lock_guard<std::mutex> lock(mutex_);
    return registers_[reg];
}

void Board::SetBusyReads(unsigned n) { SetBusyBits(kBusyRegister, 0x80, n); }

void Board::SetBusyBits(uint8_t reg, uint8_t bits, unsigned n) {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_[reg] = BusyBits{bits, n};
}

void Board::QueueCanFrame(uint32_t id, bool extended, const uint8_t* data, unsigned dlc) {
    std::lock_guard<std::mutex> lock(mutex_);
    canRecords_.push_back(CanRecord(id, extended, data, dlc));
}

unsigned Board::BusFrameCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<unsigned>(busFrames_.size());
}

unsigned Board::BusFrame(unsigned index, uint8_t* out, unsigned capacity) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= busFrames_.size()) return 0;
    const Bytes& frame = busFrames_[index];
    if (out) std::memcpy(out, frame.data(), std::min<size_t>(capacity, frame.size()));
    return static_cast<unsigned>(frame.size());
}

void Board::ClearBusFrames() {
    std::lock_guard<std::mutex> lock(mutex_);
    busFrames_.clear();
}

void Board::SetBusFramesAsRecords(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    busAsRecords_ = on;
}

void Board::SetBlock(uint8_t block, const uint8_t* data, unsigned length) {
    std::lock_guard<std::mutex> lock(mutex_);
    Bytes stored(length, 0);
    if (data && length) std::memcpy(stored.data(), data, length);
    blocks_[block] = std::move(stored);
}

unsigned Board::GetBlock(uint8_t block, uint8_t* out, unsigned capacity) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = blocks_.find(block);
    if (it == blocks_.end()) return 0;
    unsigned length = static_cast<unsigned>(it->second.size());
    if (out && length && capacity) std::memcpy(out, it->second.data(), std::min(length, capacity));
    return length;
}

void Board::QueueReply(const uint8_t* bytes, unsigned length) {
    std::lock_guard<std::mutex> lock(mutex_);
    queued_.emplace_back(bytes, bytes ? bytes + length : bytes);
}

unsigned Board::QueuedReplies() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<unsigned>(queued_.size());
}

void Board::SetIdleReply(const uint8_t* bytes, unsigned length) {
    std::lock_guard<std::mutex> lock(mutex_);
    idle_.assign(bytes, bytes ? bytes + length : bytes);
}

void Board::SetFault(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    fault_ = on;
}

void Board::FailWrite(unsigned nth) {
    std::lock_guard<std::mutex> lock(mutex_);
    failWriteIn_ = nth;
}

void Board::FailNextRead() {
    std::lock_guard<std::mutex> lock(mutex_);
    readFaults_.fail = true;
}

void Board::SetReadLatency(unsigned latencyMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    readLatencyMs_ = latencyMs;
}

void Board::DelayNextRead(unsigned delayMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    readFaults_.delayMs = delayMs;
}

void Board::ShortNextReply(unsigned length) {
    std::lock_guard<std::mutex> lock(mutex_);
    readFaults_.cut = true;
    readFaults_.cutTo = length;
}

void Board::SplitNextReply(unsigned length) {
    std::lock_guard<std::mutex> lock(mutex_);
    readFaults_.split = true;
    readFaults_.splitAfter = length;
}

void Board::FailOpen(int direction) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (direction == 0 || direction == 1) failOpen_[direction] = true;
}

unsigned Board::OpenCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return openCount_;
}

int Board::LastOpenIndex() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastOpenIndex_;
}

unsigned Board::OpenPipes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<unsigned>(pipes_.size());
}

void Board::SetResponder(tb_responder responder, void* context) {
    std::unique_lock<std::mutex> lock(mutex_);
    // Once this returns, the old responder is not running and will not be called again, so
    // the caller may destroy its context.
    WaitForResponderIdle(lock);
    responder_ = responder;
    responderContext_ = context;
}

unsigned Board::LogCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_.Count();
}

unsigned Board::LogPacket(unsigned index, uint8_t* out, unsigned capacity, uint32_t* timeMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    const LoggedPacket* kept = log_.At(index);
    if (!kept) return 0;
    const LoggedPacket& entry = *kept;
    unsigned length = static_cast<unsigned>(entry.bytes.size());
    if (out && length && capacity) std::memcpy(out, entry.bytes.data(), std::min(length, capacity));
    if (timeMs) *timeMs = entry.timeMs;
    return length;
}

void Board::LogClear() {
    std::lock_guard<std::mutex> lock(mutex_);
    log_.Clear();
    calls_.Clear();
}

bool Board::WaitLogCount(unsigned count, unsigned timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return log_.Count() >= count; });
}

void Board::SetLogLimit(unsigned entries) {
    std::lock_guard<std::mutex> lock(mutex_);
    logLimit_ = entries ? entries : kDefaultLogLimit;
    log_.Trim(logLimit_);
    calls_.Trim(logLimit_);
}

void Board::LogCall(bool read, uint32_t length, uint32_t timeoutMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.Add(tb_call{read ? 1 : 0, length, timeoutMs}, logLimit_);
}

unsigned Board::CallCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_.Count();
}

bool Board::CallAt(unsigned index, tb_call* out) {
    std::lock_guard<std::mutex> lock(mutex_);
    const tb_call* call = calls_.At(index);
    if (call && out) *out = *call;
    return call != nullptr;
}

void Board::QueueReplyAfter(const uint8_t* bytes, unsigned length, unsigned delayMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    HoldLocked(Bytes(bytes, bytes ? bytes + length : bytes), delayMs);
}

void Board::HoldLocked(Bytes reply, unsigned delayMs) {
    const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs);
    auto at = std::upper_bound(held_.begin(), held_.end(), due,
                               [](const auto& t, const Held& h) { return t < h.due; });
    held_.insert(at, Held{due, std::move(reply)});
}

void Board::AddRule(CannedRule rule) {
    std::lock_guard<std::mutex> lock(mutex_);
    rules_.push_back(std::move(rule));
}

void Board::AddPeriodicRule(PeriodicRule rule) {
    std::lock_guard<std::mutex> lock(mutex_);
    periodicOn_.push_back(rule.start.empty());
    periodic_.push_back(std::move(rule));
    periodicDue_.push_back(MillisecondsSinceLoad() + periodic_.back().periodMs);
}

void Board::SetEcho(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    echo_ = on;
}

void Board::SetInit5(const Init5Answer* answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    init5On_ = answer != nullptr;
    if (answer) init5_ = *answer;
}

void Board::SetKw1281Ack(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    kw1281Ack_ = on;
}

unsigned Board::FrameLengthMismatches() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lengthMismatches_;
}

void Board::SetCapture(std::vector<uint32_t> samples) {
    std::lock_guard<std::mutex> lock(mutex_);
    capture_.Set(std::move(samples));
}

void Board::SetCapturePerReply(unsigned perReply) {
    std::lock_guard<std::mutex> lock(mutex_);
    capture_.SetPerReply(perReply);
}

unsigned Board::CaptureServed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return capture_.Served();
}

void Board::WithholdJ1850TxDone(unsigned n) {
    std::lock_guard<std::mutex> lock(mutex_);
    j1850Withhold_ = n;
}

void Board::AddJ1850Peer(J1850Peer peer) {
    std::lock_guard<std::mutex> lock(mutex_);
    j1850Peers_.push_back(std::move(peer));
}

// A J1850 frame goes on the bus at once: the reply carries StatusTxDone, the chip's echo of
// the frame (with a peer's in-frame response) and the peer's answer. While withheld, the
// packet is answered like a poll and nothing is sent.
Bytes Board::J1850FrameAnswer(const Bytes& packet) {
    if (j1850Withhold_ > 0) {
        --j1850Withhold_;
        return PollAnswer(false);
    }
    return J1850SentReply(packet);
}

Bytes Board::J1850SentReply(const Bytes& packet) {
    const bool pwm = (registers_[0x09] & 0x80) != 0;
    const Bytes sent = J1850SentFrame(packet);
    const J1850Peer* peer = nullptr;
    for (const J1850Peer& p : j1850Peers_)
        if (p.match.size() <= sent.size() && std::equal(p.match.begin(), p.match.end(), sent.begin())) {
            peer = &p;
            break;
        }
    Bytes reply{0x00, kStatusTxDone, 0x01, 0x00};
    const Bytes echo = J1850EchoRecord(packet, pwm, peer ? peer->ifr : Bytes());
    reply.insert(reply.end(), echo.begin(), echo.end());
    if (peer && !peer->answer.empty()) {
        const Bytes answer = J1850ReceivedRecord(peer->answer, pwm);
        reply.insert(reply.end(), answer.begin(), answer.end());
        reply[2] = 2;
    }
    if (fault_) reply[1] |= kStatusFault;
    return reply;
}

void Board::SetLogFile(std::FILE* file) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (logFile_) std::fclose(logFile_);
    logFile_ = file;
}

uint32_t Board::DeviceCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return boards_;
}

void* Board::Open(uint32_t index, uint32_t direction) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (direction > 1 || failOpen_[direction] || index >= boards_) return kInvalidHandle;
    uintptr_t handle = nextHandle_++;
    pipes_[handle] = Pipe{index, direction};
    ++openCount_;
    lastOpenIndex_ = static_cast<int>(index);
    return reinterpret_cast<void*>(handle);
}

void Board::Close(void* handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    pipes_.erase(reinterpret_cast<uintptr_t>(handle));
}

bool Board::IsPipe(void* handle, uint32_t direction) const {
    auto it = pipes_.find(reinterpret_cast<uintptr_t>(handle));
    return it != pipes_.end() && it->second.direction == direction;
}

Bytes Board::PollAnswer(bool framePacket) {
    const auto now = std::chrono::steady_clock::now();
    size_t due = 0;
    while (due < held_.size() && held_[due].due <= now) queued_.push_back(std::move(held_[due++].reply));
    held_.erase(held_.begin(), held_.begin() + static_cast<long>(due));
    Bytes reply;
    if (!queued_.empty()) {
        reply = std::move(queued_.front());
        queued_.pop_front();
    } else if (!framePacket && capture_.Serving()) {
        reply = capture_.NextReply();
    } else if (framePacket) {
        reply = Bytes{0, 0, 0, 0};
    } else {
        reply = idle_;
    }
    if (framePacket) {
        // A frame packet always reports the transmit done, so the status byte must exist.
        if (reply.size() < 2) reply.resize(2, 0);
        reply[1] |= kStatusTxDone;
    }
    if (!canRecords_.empty()) AppendCanRecords(reply);
    if (fault_ && reply.size() >= 2) reply[1] |= kStatusFault;
    return reply;
}

void Board::AppendCanRecords(Bytes& reply) {
    if (reply.size() < 4) reply.resize(4, 0);
    if (canRecords_.empty() || (reply[1] & kStatusUartFrame)) return;
    unsigned count = reply[2] | (reply[3] << 8);
    count = std::min<unsigned>(count, static_cast<unsigned>((reply.size() - 4) / kCanRecordSize));
    reply.resize(4 + count * kCanRecordSize);
    while (count < kMaxRecordsPerReply && !canRecords_.empty()) {
        reply.insert(reply.end(), canRecords_.front().begin(), canRecords_.front().end());
        canRecords_.pop_front();
        ++count;
    }
    reply[2] = static_cast<uint8_t>(count);
    reply[3] = static_cast<uint8_t>(count >> 8);
}

void Board::DecodeStart(const Bytes& packet) {
    if (ByteAt(packet, 2) != 1) {  // another engine
        canStarted_ = false;
        return;
    }
    canStarted_ = true;
    canMode_ = ByteAt(packet, 1) & 7;
}

void Board::PutOnBus(const Bytes& record) {
    busFrames_.push_back(record);
    if (busAsRecords_) canRecords_.push_back(record);
}

void Board::RunIsoTpEngine(const Bytes& firstFrame) {
    if (firstFrame.size() < kCanRecordSize) return;
    PutOnBus(firstFrame);
    Bytes message;
    auto it = blocks_.find(kLongMessageBlock);
    if (it != blocks_.end()) message = it->second;
    const unsigned count = registers_[kLengthRegister];
    message.resize(std::max<size_t>(message.size(), count), 0);
    for (const Bytes& record :
         ConsecutiveFrameRecords(firstFrame, message.data(), count, registers_[0x29] & 7))
        PutOnBus(record);
}

void Board::RunJ1939Engine(const Bytes& rtsFrame) {
    if (rtsFrame.size() < kCanRecordSize) return;
    PutOnBus(rtsFrame);
    Bytes message = blocks_[kLongMessageBlock];
    message.resize(std::max<size_t>(message.size(), 256), 0);
    const unsigned total = rtsFrame[7] | rtsFrame[8] << 8;
    for (const Bytes& record : J1939DataPacketRecords(blocks_[kCtxb5], message.data(), total,
                                                      registers_[kLengthRegister]))
        PutOnBus(record);
}

void Board::RunTp20Engine(const Bytes& firstFrame) {
    if (firstFrame.size() < kCanRecordSize) return;
    PutOnBus(firstFrame);
    Bytes message = blocks_[kLongMessageBlock];
    const unsigned count = registers_[kLengthRegister];
    message.resize(std::max<size_t>(message.size(), count), 0);
    for (const Bytes& record : Tp20DataFrameRecords(firstFrame, message.data(), count))
        PutOnBus(record);
}

void Board::TransmitBufferWritten(uint8_t block) {
    const uint8_t ptype = registers_[0x29] & 7;
    const Bytes& frame = blocks_[block];
    if (block == kCtxb5 && ptype <= 1) {
        RunIsoTpEngine(frame);  // the first frame, then the consecutive frames
    } else if (block == kCtxb4 && ptype == kPtypeJ1939) {
        RunJ1939Engine(frame);  // RTS or BAM, then the TP.DT packets
    } else if (block == kCtxb4 && ptype == kPtypeTp20) {
        RunTp20Engine(frame);   // the first frame, then the data frames
    } else if ((block == kCtxb5 && ptype == kPtypeTp20) || block == kCtxb1) {
        if (frame.size() >= kCanRecordSize) PutOnBus(frame);  // a channel set-up, an answer
    }
}

void Board::QueueDueReplies(uint32_t now) {
    if (!started_) return;
    for (size_t i = 0; i < periodic_.size(); ++i) {
        // One reply per due time; a board polled late does not catch up in a burst.
        if (!periodicOn_[i] || static_cast<int32_t>(now - periodicDue_[i]) < 0) continue;
        queued_.push_back(periodic_[i].reply);
        periodicDue_[i] = now + periodic_[i].periodMs;
    }
}

void Board::Decode(const Bytes& packet) {
    const uint8_t target = ByteAt(packet, 1);
    const unsigned word = ByteAt(packet, 2) | (ByteAt(packet, 3) << 8);
    switch (packet[0]) {
    case 0x00: {  // version
        Bytes reply(64, 0);
        reply[4] = chipId_;
        reply[5] = version_;
        answers_.push_back(std::move(reply));
        break;
    }
    case 0x50: {  // 'P' register read
        uint8_t value = registers_[target];
        auto busy = busy_.find(target);
        if (busy != busy_.end() && busy->second.reads > 0) {
            value |= busy->second.bits;
            --busy->second.reads;
        }
        Bytes reply(64, 0);
        reply[0] = packet[0];
        reply[1] = target;
        reply[2] = value;
        answers_.push_back(std::move(reply));
        break;
    }
    case 0x51: {  // 'Q' block read: the stored bytes from reply byte 0, zeros past the end
        Bytes reply(word, 0);
        auto it = blocks_.find(target);
        if (it != blocks_.end())
            std::copy_n(it->second.begin(), std::min<size_t>(word, it->second.size()),
                        reply.begin());
        answers_.push_back(std::move(reply));
        break;
    }
    case 0x52:  // 'R' register write
        registers_[target] = ByteAt(packet, 2);
        break;
    case 0x54:    // 'T' block write
    case 0x57: {  // 'W' long block write
        size_t arrived = packet.size() > 4 ? packet.size() - 4 : 0;
        size_t length = std::min<size_t>(word, arrived);
        blocks_[target] = Bytes(packet.begin() + 4, packet.begin() + 4 + length);
        if (packet[0] == 0x54 && canStarted_) TransmitBufferWritten(target);
        // The J1850 transmit buffer after a start: the frame goes out, its echo (and a
        // peer's answer) ride in the next poll reply.
        if (packet[0] == 0x54 && target == kJ1850TransmitBlock && started_ &&
            packet.size() >= 4 + kJ1850RecordSize) {
            Bytes answer = J1850SentReply(packet);
            answer[1] &= static_cast<uint8_t>(~kStatusTxDone);
            queued_.push_back(std::move(answer));
        }
        break;
    }
    case 0xA0:  // poll, or frame packet when byte 1 bit 7 is set
        QueueDueReplies(MillisecondsSinceLoad());
        if (IsJ1850FramePacket(packet)) {
            answers_.push_back(J1850FrameAnswer(packet));
            break;
        }
        if ((target & 0x80) && canStarted_ && (target & 0x0F) == 0) {
            // Listen-only never gets a frame out; loopback hears its own frame.
            const bool sent = canMode_ != kCanListenOnly;
            if (sent && canMode_ == kCanLoopback && packet.size() >= 4 + kCanRecordSize)
                canRecords_.emplace_back(packet.begin() + 4, packet.begin() + 4 + kCanRecordSize);
            Bytes reply = PollAnswer(false);
            if (reply.size() < 2) reply.resize(2, 0);
            if (sent) reply[1] |= kStatusTxDone;
            answers_.push_back(std::move(reply));
            break;
        }
        answers_.push_back(PollAnswer((target & 0x80) != 0));
        break;
    case 0x60: {  // UART send: K1 and K2 hear their own bytes
        const uint8_t pins = registers_[0x2D] & 0x0F;
        if (echo_ && (pins == 0x0 || pins == 0x5)) {
            const size_t arrived = std::min<size_t>(word, packet.size() - std::min<size_t>(packet.size(), 4));
            Bytes frame = {0x00, 0x10, static_cast<uint8_t>(arrived), static_cast<uint8_t>(arrived >> 8)};
            frame.insert(frame.end(), packet.begin() + 4, packet.begin() + 4 + arrived);
            queued_.push_back(std::move(frame));
        }
        break;
    }
    case 0xB1: {  // start: the periodic replies begin one period from now
        DecodeStart(packet);
        started_ = true;
        const uint32_t now = MillisecondsSinceLoad();
        for (size_t i = 0; i < periodic_.size(); ++i) {
            const Bytes& start = periodic_[i].start;
            periodicDue_[i] = now + periodic_[i].periodMs;
            periodicOn_[i] = packet.size() >= start.size() && std::equal(start.begin(), start.end(), packet.begin());
        }
        break;
    }
    case 0xB2:
        canStarted_ = false;
        started_ = false;
        // A peer's frame still to come is never heard by a stopped engine; a reply already
        // in the chip's buffer stays for the next poll.
        held_.clear();
        break;
    default:  // 'U', 'V', wake and anything unknown: no reply
        break;
    }
}

void Board::EngineFrame(const Bytes& packet) {
    const unsigned n = ByteAt(packet, 2) | (ByteAt(packet, 3) << 8);
    const unsigned word = ByteAt(packet, 4) | (ByteAt(packet, 5) << 8);
    const unsigned count = word & 0x1FF;
    if (n != count + 2) ++lengthMismatches_;
    if (init5On_ && ((word >> 12) & 7) == 2) {
        // 5-baud result: word 0x2007, result, -, BRG as downloaded (block 0x2A), -, key bytes.
        const Bytes& brg = blocks_[0x2A];
        queued_.push_back(Bytes{0x00, 0x10, 0x07, 0x20, init5_.result, 0x00, ByteAt(brg, 0),
                                ByteAt(brg, 1), 0x00, init5_.keyword1, init5_.keyword2});
    }
    // A KW1281 block: its first byte counts the bytes after it, its last is 03.
    if (kw1281Ack_ && count >= 3 && packet.size() >= 6 + count && packet[6] == count - 1 &&
        packet[5 + count] == 0x03)
        queued_.push_back(Bytes{0x00, 0x10, 0x04, 0x00, 0x03,
                                static_cast<uint8_t>(packet[7] + 1), 0x09, 0x03});
}

bool Board::Write(void* handle, const uint8_t* data, uint32_t length) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!IsPipe(handle, 0)) return false;
    }
    return Accept(data, length);
}

bool Board::Accept(const uint8_t* data, uint32_t length) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!data || length == 0 || length > kMaxPacket) return false;
    if (failWriteIn_ > 0 && --failWriteIn_ == 0) return false;  // lost: neither logged nor decoded

    Bytes packet(data, data + length);
    uint32_t now = MillisecondsSinceLoad();
    if (logFile_) {
        std::fprintf(logFile_, "%u", now);
        for (uint8_t byte : packet) std::fprintf(logFile_, " %02X", byte);
        std::fputc('\n', logFile_);
        std::fflush(logFile_);
    }
    Decode(packet);
    if (packet.size() >= 6 && packet[0] == 0x57 && packet[1] == 0x3F) EngineFrame(packet);
    capture_.OnPacket(packet);
    for (const CannedRule& rule : rules_)
        if (StartsWith(packet, rule.prefix, rule.mask)) {
            if (rule.holdMs)
                HoldLocked(rule.reply, rule.holdMs);
            else
                queued_.push_back(rule.reply);
        }
    log_.Add(LoggedPacket{now, packet}, logLimit_);

    tb_responder responder = responder_;
    void* context = responderContext_;
    if (responder) ++respondersRunning_;
    changed_.notify_all();
    if (responder) {
        lock.unlock();
        ++tl_responderDepth;
        responder(context, packet.data(), static_cast<unsigned>(packet.size()));
        --tl_responderDepth;
        lock.lock();
        --respondersRunning_;
        changed_.notify_all();
    }
    return true;
}

bool Board::AnswerWaiting() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !answers_.empty();
}

ReadFaults Board::TakeReadFaults() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(readFaults_, ReadFaults());
}

Bytes Board::TakeAnswer(size_t max, bool keepRest) {
    std::lock_guard<std::mutex> lock(mutex_);
    return TakeAnswerLocked(max, keepRest);
}

Bytes Board::TakeAnswerLocked(size_t max, bool keepRest) {
    if (answers_.empty()) return Bytes();
    Bytes answer = std::move(answers_.front());
    answers_.pop_front();
    if (answer.size() > max) {
        if (keepRest) answers_.emplace_front(answer.begin() + static_cast<std::ptrdiff_t>(max), answer.end());
        answer.resize(max);
    }
    return answer;
}

bool Board::Read(void* handle, uint8_t* data, uint32_t maxLength, uint32_t* received,
                 uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (received) *received = 0;
    if (!IsPipe(handle, 1) || !data) return false;

    // Nothing waiting: a virtual time-out, nothing is on its way. The one-shot faults are kept
    // for the read that takes the next reply, so a drain of an empty pipe uses none of them.
    if (answers_.empty()) return false;
    const ReadFaults faults = std::exchange(readFaults_, ReadFaults());
    if (faults.fail) {
        // The reply is lost with the transfer, so later reads stay in step with their writes.
        answers_.pop_front();
        return false;
    }
    const uint64_t generation = generation_;
    auto reset = [&] { return generation_ != generation; };
    if (faults.split || timeoutMs < faults.delayMs) {
        // Too late for this read, whole or in part: the rest stays for the next read.
        if (changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), reset)) return false;
        if (faults.split) {
            const Bytes part = TakeAnswerLocked(std::min<size_t>(faults.splitAfter, maxLength), true);
            if (!part.empty()) std::memcpy(data, part.data(), part.size());
            if (received) *received = static_cast<uint32_t>(part.size());
        }
        return false;
    }
    if (faults.delayMs &&
        changed_.wait_for(lock, std::chrono::milliseconds(faults.delayMs), reset))
        return false;
    if (readLatencyMs_ &&
        changed_.wait_for(lock, std::chrono::milliseconds(readLatencyMs_), reset))
        return false;
    if (answers_.empty()) return false;

    // A longer answer is cut at maxLength and the rest dropped, as the real library does.
    const Bytes answer = TakeAnswerLocked(faults.cut ? std::min<size_t>(faults.cutTo, maxLength) : maxLength, false);
    if (!answer.empty()) std::memcpy(data, answer.data(), answer.size());
    if (received) *received = static_cast<uint32_t>(answer.size());
    return true;
}

}  // namespace testboard

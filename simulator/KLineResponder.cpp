#include "simulator/KLineResponder.h"

#include <algorithm>
#include <cstring>

#include "device/UsbOperation.h"
#include "pages/kline/UartImage.h"
#include "platform/Clock.h"

std::atomic<uint32_t> g_KLineSessionState{0};
std::atomic<uint8_t> g_FastInitMode{0};

const char* const kSimTextFault9141 = "KM5804故障保护动作，设备停止!";

namespace {

constexpr uint8_t kInitRearmRegister = 0x2C;
constexpr uint16_t kBadFrameBit = 0x0800;
constexpr uint32_t kMaxFrame = kMaxUartFrameBytes;  // 262
constexpr uint8_t kSidStartCommunication = 0x81;

// One answer frame in its queue slot: the word (count only), then the bytes and their sum.
class KFrame {
public:
    explicit KFrame(SimTxQueue& queue) : queue_(queue), slot_(queue.Next()) {}
    void Add(const uint8_t* bytes, uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) Add(bytes[i]);
    }
    void Add(uint8_t b) {
        if (slot_ && count_ < kMaxFrame - 1) slot_[2 + count_++] = b;
    }
    void Finish() {
        if (!slot_) return;  // 64 queued: the rest of the answer is dropped
        uint8_t sum = 0;
        for (uint32_t i = 0; i < count_; ++i) sum = static_cast<uint8_t>(sum + slot_[2 + i]);
        slot_[2 + count_++] = sum;
        const uint16_t word = MakeFrameLengthWord(static_cast<uint16_t>(count_), InitNone);
        slot_[0] = static_cast<uint8_t>(word);
        slot_[1] = static_cast<uint8_t>(word >> 8);
        queue_.Commit(count_ + 2);
    }

private:
    SimTxQueue& queue_;
    uint8_t* slot_;
    uint32_t count_ = 0;
};

int Match(const SimAnswerSource& s, const uint8_t* data, uint32_t count) {
    return s.index->Match(s.protocolBit, data, count);
}

bool NegativeWanted(const SimAnswerSource& s) {
    return s.negative->load(std::memory_order_acquire) != 0;
}

}  // namespace

bool Respond9141(const SimAnswerSource& s, const uint8_t* data, uint32_t count, SimTxQueue& q) {
    q.Clear();
    uint8_t header[3];
    RespondHeader9141Wire(*s.params, header);
    const int found = Match(s, data, count);
    if (found < 0) {
        if (!NegativeWanted(s)) return false;
        KFrame f(q);
        f.Add(header, 3);
        const uint8_t body[3] = {0x7F, data[0], 0x11};
        f.Add(body, 3);
        f.Finish();
        return true;
    }
    const OBDRespondEntry& e = s.index->Entry(found);
    AnswerSlice slices[kSimTxSlots];
    const bool split = s.params->lengthMode9141 != 0;
    const uint32_t n = split ? SplitAnswer(e, slices, kSimTxSlots)
                             : WholeAnswerParts(e, slices, kSimTxSlots);
    for (uint32_t i = 0; i < n; ++i) {
        KFrame f(q);  // a whole part past 262 bytes loses data bytes, never its sum
        f.Add(header, 3);
        f.Add(e.ack, std::min(e.ackLength, kMaxAckBytes));
        f.Add(slices[i].message, slices[i].length);
        f.Finish();
    }
    return true;
}

bool Respond14230(const SimAnswerSource& s, const uint8_t* data, uint32_t count, SimTxQueue& q) {
    q.Clear();
    const EcuSimParams& p = *s.params;
    const uint8_t tester = p.testerAddress14230;
    const uint8_t ecu = p.physicalAddress14230;
    const int found = Match(s, data, count);
    if (found < 0) {
        if (!NegativeWanted(s)) return false;
        KFrame f(q);
        if (p.headerMode14230 == 2) {
            const uint8_t head[4] = {0x80, tester, ecu, 0x03};
            f.Add(head, 4);
        } else {
            const uint8_t head[3] = {0x83, tester, ecu};
            f.Add(head, 3);
        }
        const uint8_t body[3] = {0x7F, data[0], 0x11};
        f.Add(body, 3);
        f.Finish();
        return true;
    }
    const OBDRespondEntry& e = s.index->Entry(found);
    const uint32_t ack = std::min(e.ackLength, kMaxAckBytes);
    AnswerSlice slices[kSimTxSlots];
    const uint32_t n = p.headerMode14230 == 0 ? SplitAnswer(e, slices, kSimTxSlots)
                                              : WholeAnswerParts(e, slices, kSimTxSlots);
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t total = ack + slices[i].length;
        const uint32_t length = std::min<uint32_t>(total, 255);
        KFrame f(q);
        if (p.headerMode14230 == 0 || (p.headerMode14230 == 1 && total < 64)) {
            const uint8_t head[3] = {static_cast<uint8_t>(0x80 | total), tester, ecu};
            f.Add(head, 3);
        } else {
            const uint8_t head[4] = {0x80, tester, ecu, static_cast<uint8_t>(length)};
            f.Add(head, 4);
        }
        // Data past the length byte's 255 is cut so that the sum stays last.
        uint8_t body[kMaxAckBytes + kMaxMessageBytes];
        std::memcpy(body, e.ack, ack);
        if (slices[i].length) std::memcpy(body + ack, slices[i].message, slices[i].length);
        f.Add(body, length);
        f.Finish();
    }
    return true;
}

KLineResponder::KLineResponder(KLineSim sim, Clock clock)
    : sim_(sim),
      clock_(clock ? clock : &timeGetTime),
      fastInit_(sim == KLineSim::Iso14230 && g_FastInitMode.load() != 0),
      modeByte_(sim == KLineSim::Iso9141 ? 0xC3 : 0xC1),
      params_(g_EcuSimParams),
      index_(g_RespondTable, g_RespondCount),
      source_{&params_, &index_, g_SimProtocolBit.load(), &g_NegativeRespondEnabled} {}

void KLineResponder::Enter() {
    lastActivity_ = clock_();
    PostSimStatus(kSimStatusWaitInit);
}

const char* KLineResponder::BeforePending() {
    if (g_KLineSessionState.load() != 0 &&
        static_cast<uint32_t>(clock_() - lastActivity_) > params_.sessionTimeoutMs) {
        PostSimStatus(kSimStatusTimeout);
        g_TxPending.store(0, std::memory_order_release);
        UsbWriteRegister(kInitRearmRegister, modeByte_);  // result not checked
        g_KLineSessionState.store(0);
    }
    return nullptr;
}

bool KLineResponder::NextQueuedFrame(uint8_t* packet, uint32_t& length) {
    SimTxQueue& q = g_SimTxQueue;
    if (q.index >= q.count) {
        PostSimStatus(kSimStatusWaitRequest);
        g_TxPending.store(0, std::memory_order_release);
        return false;
    }
    lastActivity_ = clock_();
    const uint8_t* slot = q.slot[q.index];
    const uint32_t wl = q.length[q.index];
    ++q.index;
    length = static_cast<uint32_t>(BuildUartFramePacket(
        packet, static_cast<uint16_t>(slot[0] | (slot[1] << 8)), slot + 2, wl - 2));
    return length != 0;
}

const char* KLineResponder::FaultText() const {
    return sim_ == KLineSim::Iso9141 ? kSimTextFault9141 : kWorkerTextFault;
}

const char* KLineResponder::OnUartFrameReceived(WorkerRecord& record) {
    SessionStep(record);
    return nullptr;
}

void KLineResponder::AfterReceivedRecorded() { lastActivity_ = clock_(); }

void KLineResponder::BeforeStop() { PostSimStatus(kSimStatusStopped); }

bool KLineResponder::IsRequest(const uint8_t* f, uint32_t count, uint32_t& header) const {
    if (sim_ == KLineSim::Iso9141) {
        uint8_t want[3];
        HeaderWireBytes(params_.requestHeader9141, want);
        header = 3;
        return std::memcmp(f, want, 3) == 0;
    }
    const uint8_t kind = f[0] & 0xC0;
    const bool toEcu = (kind == 0xC0 && f[1] == params_.functionalAddress14230) ||
                       (kind == 0x80 && f[1] == params_.physicalAddress14230);
    header = (f[0] & 0x3F) != 0 ? 3 : 4;
    return toEcu && f[2] == params_.testerAddress14230 && count > header + 1;
}

void KLineResponder::SessionStep(const WorkerRecord& record) {
    if (record.lengthWord & kBadFrameBit)
        return;
    const bool initReport = FrameLengthInit(record.lengthWord) == InitEcuActive;
    if (initReport) {
        // A (new) bus init: the session starts again and the frame is no request.
        if (fastInit_) {
            g_KLineSessionState.store(2);
            PostSimStatus(kSimStatusWait81);
        } else {
            g_KLineSessionState.store(1);
            PostSimStatus(kSimStatusWaitRequest);
        }
        return;
    }
    const uint32_t state = g_KLineSessionState.load();
    if (state == 0 || g_TxPending.load(std::memory_order_acquire) != 0 || record.count < 5)
        return;
    uint32_t header = 0;
    if (!IsRequest(record.data, record.count, header))
        return;
    const uint8_t* data = record.data + header;
    const uint32_t n = record.count - header - 1;
    if (state == 2) {
        if (data[0] != kSidStartCommunication)
            return;
        g_KLineSessionState.store(1);
        PostSimStatus(kSimStatusWaitRequest);
    }
    const bool answering = sim_ == KLineSim::Iso9141 ? Respond9141(source_, data, n, g_SimTxQueue)
                                                     : Respond14230(source_, data, n, g_SimTxQueue);
    g_TxPending.store(answering ? 1 : 0, std::memory_order_release);
    if (answering)
        PostSimStatus(kSimStatusResponding);
}

namespace {

uint32_t RunKLineSim(KLineSim sim) {
    KLineResponder policy(sim, nullptr);
    policy.Enter();
    return RunBusWorker(policy);
}

}  // namespace

uint32_t ThreadProcEcuSim9141(void* /*hub*/) { return RunKLineSim(KLineSim::Iso9141); }

uint32_t ThreadProcEcuSim14230(void* /*hub*/) { return RunKLineSim(KLineSim::Iso14230); }

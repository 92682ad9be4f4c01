#include "simulator/BusResponder.h"

#include <algorithm>
#include <cstring>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "pages/can/CanWorker.h"
#include "platform/Clock.h"

const char* const kSimTextWriteJtxb = "设备出现通信错误停止! write JTXB";

SimCanFrames g_SimCanFrames;

namespace {

constexpr uint8_t kJ1850TransmitBlock = 0x06;
constexpr uint8_t kCtxb0 = 0x1E;
constexpr uint8_t kCtxb5 = 0x23;
constexpr uint8_t kYBit = 0x04;
constexpr uint32_t kLongWriteMax = 252;
constexpr uint32_t kFirstFrameMaxLength = 258;

struct J1850Headers {
    uint32_t functionalRequest, functionalRespond, physicalRequest, physicalRespond;
};

J1850Headers HeadersOf(const EcuSimParams& p) {
    if (p.j1850Flavour == 0)
        return {p.vpwFunctionalRequestHeader, p.vpwFunctionalRespondHeader,
                p.vpwPhysicalRequestHeader, p.vpwPhysicalRespondHeader};
    return {p.pwmFunctionalRequestHeader, p.pwmFunctionalRespondHeader,
            p.pwmPhysicalRequestHeader, p.pwmPhysicalRespondHeader};
}

bool NegativeWanted(const SimAnswerSource& s) {
    return s.negative->load(std::memory_order_acquire) != 0;
}

// One J1850 answer record in the next slot: header, then bytes; the length counts the CRC.
void QueueJ1850(SimTxQueue& q, const J1850FrameRecord& head, const uint8_t* a, uint32_t an,
                const uint8_t* b, uint32_t bn) {
    uint8_t* slot = q.Next();
    if (!slot) return;
    J1850FrameRecord r = head;
    const uint32_t room = kJ1850RecordSize - 7;
    an = std::min(an, room);
    bn = std::min(bn, room - an);
    std::memcpy(r.bytes + 7, a, an);
    if (bn) std::memcpy(r.bytes + 7 + an, b, bn);
    r.SetLength(static_cast<uint8_t>(3 + an + bn + 1));
    std::memcpy(slot, r.bytes, kJ1850RecordSize);
    q.Commit(kJ1850RecordSize);
}

uint8_t CanDlc(const uint8_t* record) { return std::min<uint8_t>(record[4] & 0x0F, kCanMaxData); }

// A single frame to the response id: PCI = content length, then the content; padded to
// DLC 8 when the record says so, else DLC = content + 1.
void QueueSingleFrame(const EcuSimParams& p, SimTxQueue& q, SimCanFrames& f, const uint8_t* a,
                      uint32_t an, const uint8_t* b, uint32_t bn) {
    uint8_t* slot = q.Next();
    if (!slot) return;
    EcanMessageBuffer& r = f.frame[q.count];
    r = EcanMessageBuffer{};
    SetCanRespondId(r, p);
    uint8_t* d = EcanData(r);
    const uint32_t n = an + bn;
    d[0] = static_cast<uint8_t>(n);
    std::memcpy(d + 1, a, an);
    if (bn) std::memcpy(d + 1 + an, b, bn);
    if (p.canPadTo8) {
        std::fill(d + 1 + n, d + kCanMaxData, p.canPadValue);
        SetEcanDlc(r, kCanMaxData);
    } else {
        SetEcanDlc(r, static_cast<uint8_t>(n + 1));
    }
    f.longMessage[q.count] = 0;
    q.Commit(0);
}

// A first frame and, in its slot, the message bytes after it (then the padding, then 0).
void QueueLongMessage(const EcuSimParams& p, SimTxQueue& q, SimCanFrames& f, const uint8_t* ack,
                      uint32_t ackLength, const uint8_t* message, uint32_t length) {
    uint8_t* slot = q.Next();
    if (!slot) return;
    const uint32_t total = ackLength + length;
    const uint32_t sent = std::min(total, kFirstFrameMaxLength);
    EcanMessageBuffer& r = f.frame[q.count];
    r = EcanMessageBuffer{};
    SetCanRespondId(r, p);
    uint8_t* d = EcanData(r);
    d[0] = static_cast<uint8_t>(0x10 | (sent >> 8));
    d[1] = static_cast<uint8_t>(sent);
    std::memcpy(d + 2, ack, ackLength);
    const uint32_t inFirst = 6 - ackLength;
    std::memcpy(d + 2 + ackLength, message, inFirst);
    SetEcanDlc(r, kCanMaxData);
    std::memset(slot, 0, kSimTxSlotBytes);
    const uint32_t rest = total - 6;
    std::memcpy(slot, message + inFirst, rest);
    if (p.canPadTo8) {
        const uint32_t padded = std::min<uint32_t>(7 * (rest / 7 + 1) + 1, kSimTxSlotBytes);
        std::fill(slot + rest, slot + padded, p.canPadValue);
    }
    f.longMessage[q.count] = 1;
    q.Commit(sent - 6);
}

}  // namespace

void BuildJ1850RespondHeader(J1850FrameRecord& record, const EcuSimParams& params, bool physical) {
    const J1850Headers h = HeadersOf(params);
    HeaderWireBytes(physical ? h.physicalRespond : h.functionalRespond, record.bytes + 4);
}

bool IsJ1850Request(const uint8_t* r, const EcuSimParams& params) {
    if (!(r[0] & j1850::FlagReceived) || (r[1] & 0x0F) < 5)
        return false;
    const J1850Headers h = HeadersOf(params);
    uint8_t functional[3], physical[3];
    HeaderWireBytes(h.functionalRequest, functional);
    HeaderWireBytes(h.physicalRequest, physical);
    return std::memcmp(r + 4, functional, 3) == 0 || std::memcmp(r + 4, physical, 3) == 0;
}

bool RespondJ1850(const SimAnswerSource& s, const uint8_t* request, SimTxQueue& q) {
    q.Clear();
    const uint8_t* data = request + 7;
    // A record holds at most 12 frame bytes; a larger nibble would read past it.
    const uint32_t count = std::min<uint32_t>(request[1] & 0x0F, kJ1850MaxFrameLength) - 4u;
    J1850FrameRecord head;
    BuildJ1850RespondHeader(head, *s.params, (request[4] & kYBit) != 0);
    const int found = s.index->Match(s.protocolBit, data, count);
    if (found < 0) {
        if (!NegativeWanted(s)) return false;
        const uint8_t body[3] = {0x7F, data[0], 0x11};
        QueueJ1850(q, head, body, 3, nullptr, 0);
        return true;
    }
    const OBDRespondEntry& e = s.index->Entry(found);
    AnswerSlice slices[kSimTxSlots];
    const uint32_t n = SplitAnswer(e, slices, kSimTxSlots);
    for (uint32_t i = 0; i < n; ++i)
        QueueJ1850(q, head, e.ack, std::min(e.ackLength, kMaxAckBytes), slices[i].message,
                   slices[i].length);
    return true;
}

void SetCanRespondId(EcanMessageBuffer& record, const EcuSimParams& params) {
    std::memset(record.bytes, 0, 8);
    const bool standard = params.canStandardId != 0;
    SetEcanId(record, standard ? params.can11RespondId : params.can29RespondId, !standard);
    SetEcanExtended(record, !standard);
}

bool IsCanRequest(const uint8_t* r) {
    EcanMessageBuffer b;
    std::memcpy(b.bytes, r, kEcanBufferSize);
    return EcanTag(b) == 0 && r[6] < 0x10 && CanDlc(r) >= 2;
}

bool RespondCan(const SimAnswerSource& s, const uint8_t* request, SimTxQueue& q,
                SimCanFrames& f) {
    q.Clear();
    const uint8_t* d = request + 6;
    const uint32_t count = d[0] & 0x0F;
    if (count == 0) return false;  // PCI 0 carries no request
    const EcuSimParams& p = *s.params;
    const int found = count < CanDlc(request) ? s.index->Match(s.protocolBit, d + 1, count) : -1;
    if (found < 0) {
        if (!NegativeWanted(s)) return false;
        const uint8_t body[3] = {0x7F, d[1], 0x11};
        QueueSingleFrame(p, q, f, body, 3, nullptr, 0);
        return true;
    }
    const OBDRespondEntry& e = s.index->Entry(found);
    const uint32_t ack = std::min(e.ackLength, kMaxAckBytes);
    if (e.messageCount == 0) {
        if (ack > 0) QueueSingleFrame(p, q, f, e.ack, ack, nullptr, 0);
        return true;
    }
    if (ack > 3) return true;
    const uint8_t* messages[2] = {e.message1, e.message2};
    const uint32_t lengths[2] = {std::min(e.message1Length, kMaxMessageBytes),
                                 std::min(e.message2Length, kMaxMessageBytes)};
    for (uint32_t m = 0; m < e.messageCount && m < 2; ++m) {
        if (ack + lengths[m] <= 7)
            QueueSingleFrame(p, q, f, e.ack, ack, messages[m], lengths[m]);
        else
            QueueLongMessage(p, q, f, e.ack, ack, messages[m], lengths[m]);
    }
    return true;
}

void LogCanFrame(const EcanMessageBuffer& record, uint8_t direction, uint32_t timeMs) {
    const uint8_t kind = EcanTag(record) == 3 ? KindErrorFlags : KindCan;
    AppendMonitorRecord(direction, kind, 0, timeMs, record.bytes, kEcanBufferSize);
}

BusResponder::BusResponder(BusSim sim)
    : sim_(sim),
      params_(g_EcuSimParams),
      index_(g_RespondTable, g_RespondCount),
      source_{&params_, &index_, g_SimProtocolBit.load(), &g_NegativeRespondEnabled} {}

const char* BusResponder::WriteQueued() {
    SimTxQueue& q = g_SimTxQueue;
    if (q.index >= q.count) {
        PostSimStatus(kSimStatusWaitRequest);
        g_TxPending.store(0, std::memory_order_release);
        return nullptr;
    }
    const uint32_t i = q.index++;
    if (sim_ == BusSim::J1850)
        return UsbWriteBytes(kJ1850TransmitBlock, kJ1850RecordSize, q.slot[i]) ? nullptr
                                                                              : kSimTextWriteJtxb;
    const EcanMessageBuffer& frame = g_SimCanFrames.frame[i];
    if (g_SimCanFrames.longMessage[i]) {
        const uint32_t after = q.length[i];
        CanWriteLongMessage(q.slot[i], std::min(after + 6, kLongWriteMax));
        UsbWriteRegister(kCanLengthRegister, static_cast<uint8_t>(after));
        CanWriteTransmitBuffer(kCtxb5, frame);
    } else if (!CanWriteTransmitBuffer(kCtxb0, frame)) {
        return kSimTextWriteJtxb;
    }
    LogCanFrame(frame, 0, timeGetTime());
    return nullptr;
}

RecordKindDirection BusResponder::KindOfRecord(const uint8_t* record) const {
    if (sim_ == BusSim::J1850) return ReplyRecordKind(record);
    const bool errorFlags = GetFrameRecordTag(record) == FrameRecordTag::ErrorFlags;
    return {static_cast<uint8_t>(errorFlags ? KindErrorFlags : KindCan), 1};
}

void BusResponder::OnRecordReceived(const uint8_t* record) {
    if (g_TxPending.load(std::memory_order_acquire) != 0)
        return;
    bool answering = false;
    if (sim_ == BusSim::J1850) {
        if (!IsJ1850Request(record, params_)) return;
        answering = RespondJ1850(source_, record, g_SimTxQueue);
    } else {
        if (!IsCanRequest(record)) return;
        answering = RespondCan(source_, record, g_SimTxQueue, g_SimCanFrames);
    }
    g_TxPending.store(answering ? 1 : 0, std::memory_order_release);
    if (answering) PostSimStatus(kSimStatusResponding);
}

namespace {

uint32_t RunBusSim(BusSim sim) {
    BusResponder policy(sim);
    policy.Enter();
    return RunBusWorker(policy);
}

}  // namespace

uint32_t ThreadProcEcuSimJ1850(void* /*hub*/) { return RunBusSim(BusSim::J1850); }

uint32_t ThreadProcEcuSimCan(void* /*hub*/) { return RunBusSim(BusSim::Can); }

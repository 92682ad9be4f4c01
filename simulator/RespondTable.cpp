#include "simulator/RespondTable.h"

#include <algorithm>
#include <cstring>
#include <memory>

OBDRespondEntry g_RespondTable[kMaxRespondEntries];
uint32_t g_RespondCount = 0;
EcuSimParams g_EcuSimParams{};
std::atomic<uint32_t> g_SimProtocolBit{1};
std::atomic<uint8_t> g_NegativeRespondEnabled{1};

const char* const kSimProtocolNames[kSimProtocolCount] = {
    "ISO9141-2",
    "ISO14230 - 5Baud (KWP2000)",
    "ISO14230 - Fast Init (KWP2000)",
    "J1850VPW - 10.4kbps",
    "J1850PWM - 41.6kbps",
    "ISO15765 -11bit (250/500KBPS)",
    "ISO15765 -29bit (250/500KBPS)",
};

const char* const kTextSelectRowsToDelete = "请首先在列表中选择移除的一项或多项!";
const char* const kCaptionSelectRowsToDelete = "请选择删除项";

std::string DeleteQuestionText(size_t rows) {
    return "确定要册除选择的 " + std::to_string(rows) + " 项数据吗?";
}

namespace {

// Little-endian field writer and reader over a byte buffer.
class Out {
public:
    explicit Out(uint8_t* p) : p_(p) {}
    void U8(uint8_t v) { *p_++ = v; }
    void U16(uint16_t v) { U8(static_cast<uint8_t>(v)), U8(static_cast<uint8_t>(v >> 8)); }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
    }
    void Bytes(const void* b, size_t n) {
        std::memcpy(p_, b, n);
        p_ += n;
    }

private:
    uint8_t* p_;
};

class In {
public:
    explicit In(const uint8_t* p) : p_(p) {}
    uint8_t U8() { return *p_++; }
    uint16_t U16() {
        const uint16_t v = static_cast<uint16_t>(p_[0] | (p_[1] << 8));
        p_ += 2;
        return v;
    }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p_[i]) << (8 * i);
        p_ += 4;
        return v;
    }
    void Bytes(void* b, size_t n) {
        std::memcpy(b, p_, n);
        p_ += n;
    }

private:
    const uint8_t* p_;
};

void ReadParams(In& io, EcuSimParams& p) {
    auto u8 = [&io](auto& f) { f = io.U8(); };
    auto u16 = [&io](auto& f) { f = io.U16(); };
    auto u32 = [&io](auto& f) { f = io.U32(); };
    auto bytes = [&io](auto& f) { io.Bytes(f, sizeof f); };
    u32(p.sessionTimeoutMs);
    u8(p.lengthMode9141);
    bytes(p.reserved5);
    u32(p.requestHeader9141);
    u8(p.initAddress9141);
    bytes(p.respondHeader9141);
    bytes(p.keyWords9141);
    u8(p.initAddress14230);
    bytes(p.keyWords14230);
    u8(p.fastInitLowMs);
    u8(p.functionalAddress14230);
    u8(p.physicalAddress14230);
    u8(p.testerAddress14230);
    u8(p.headerMode14230);
    u8(p.rxByteGapMaxMs);
    u8(p.p1Ms);
    u8(p.p2Ms);
    u8(p.j1850Flavour);
    u16(p.kLineBrg);
    for (uint32_t* h : {&p.vpwFunctionalRequestHeader, &p.vpwFunctionalRespondHeader,
                        &p.vpwPhysicalRequestHeader, &p.vpwPhysicalRespondHeader,
                        &p.pwmFunctionalRequestHeader, &p.pwmFunctionalRespondHeader,
                        &p.pwmPhysicalRequestHeader, &p.pwmPhysicalRespondHeader})
        u32(*h);
    u8(p.vpwNodeAddress);
    u8(p.vpwFunctionalAddress);
    u8(p.pwmNodeAddress);
    u8(p.pwmFunctionalAddress);
    u8(p.canPadValue);
    bytes(p.reserved69);
    for (uint32_t* w : {&p.can11FunctionalRequestId, &p.can11PhysicalRequestId, &p.can11RespondId,
                        &p.can29FunctionalRequestId, &p.can29PhysicalRequestId, &p.can29RespondId,
                        &p.canKbps, &p.canPadTo8, &p.canStandardId, &p.flowControlDlc})
        u32(*w);
    bytes(p.flowControlData);
    bytes(p.reserved120);
}

void ReadEntry(In& io, OBDRespondEntry& e) {
    e.enabled = io.U32();
    e.protocolMask = io.U32();
    io.Bytes(e.request, sizeof e.request);
    for (uint32_t* w : {&e.requestLength, &e.messageCount, &e.message1Length, &e.message2Length,
                        &e.bytesPerFrame, &e.ackLength})
        *w = io.U32();
    io.Bytes(e.ack, sizeof e.ack);
    io.Bytes(e.message1, sizeof e.message1);
    io.Bytes(e.message2, sizeof e.message2);
    io.Bytes(e.note, sizeof e.note);
}

uint64_t HeadOf(const uint8_t* bytes, uint32_t length) {
    uint64_t head = 0;
    for (uint32_t i = 0; i < 8; ++i) head = (head << 8) | (i < length ? bytes[i] : 0);
    return head;
}

}  // namespace

void EncodeEcuSimParams(const EcuSimParams& p, uint8_t* out) {
    Out o(out);
    o.U32(p.sessionTimeoutMs);
    o.U8(p.lengthMode9141);
    o.Bytes(p.reserved5, 3);
    o.U32(p.requestHeader9141);
    o.U8(p.initAddress9141);
    o.Bytes(p.respondHeader9141, 3);
    o.Bytes(p.keyWords9141, 2);
    o.U8(p.initAddress14230);
    o.Bytes(p.keyWords14230, 2);
    for (uint8_t b : {p.fastInitLowMs, p.functionalAddress14230, p.physicalAddress14230,
                      p.testerAddress14230, p.headerMode14230, p.rxByteGapMaxMs, p.p1Ms, p.p2Ms,
                      p.j1850Flavour})
        o.U8(b);
    o.U16(p.kLineBrg);
    for (uint32_t h : {p.vpwFunctionalRequestHeader, p.vpwFunctionalRespondHeader,
                       p.vpwPhysicalRequestHeader, p.vpwPhysicalRespondHeader,
                       p.pwmFunctionalRequestHeader, p.pwmFunctionalRespondHeader,
                       p.pwmPhysicalRequestHeader, p.pwmPhysicalRespondHeader})
        o.U32(h);
    for (uint8_t b : {p.vpwNodeAddress, p.vpwFunctionalAddress, p.pwmNodeAddress,
                      p.pwmFunctionalAddress, p.canPadValue})
        o.U8(b);
    o.Bytes(p.reserved69, 3);
    for (uint32_t w : {p.can11FunctionalRequestId, p.can11PhysicalRequestId, p.can11RespondId,
                       p.can29FunctionalRequestId, p.can29PhysicalRequestId, p.can29RespondId,
                       p.canKbps, p.canPadTo8, p.canStandardId, p.flowControlDlc})
        o.U32(w);
    o.Bytes(p.flowControlData, 8);
    o.Bytes(p.reserved120, 8);
}

EcuSimParams DecodeEcuSimParams(const uint8_t* in) {
    EcuSimParams p{};
    In i(in);
    ReadParams(i, p);
    return p;
}

void EncodeRespondEntry(const OBDRespondEntry& e, uint8_t* out) {
    Out o(out);
    o.U32(e.enabled);
    o.U32(e.protocolMask);
    o.Bytes(e.request, sizeof e.request);
    for (uint32_t w : {e.requestLength, e.messageCount, e.message1Length, e.message2Length,
                       e.bytesPerFrame, e.ackLength})
        o.U32(w);
    o.Bytes(e.ack, sizeof e.ack);
    o.Bytes(e.message1, sizeof e.message1);
    o.Bytes(e.message2, sizeof e.message2);
    o.Bytes(e.note, sizeof e.note);
}

OBDRespondEntry DecodeRespondEntry(const uint8_t* in) {
    OBDRespondEntry e{};
    In i(in);
    ReadEntry(i, e);
    return e;
}

void HeaderWireBytes(uint32_t header, uint8_t out[3]) {
    out[0] = static_cast<uint8_t>(header >> 16);
    out[1] = static_cast<uint8_t>(header >> 8);
    out[2] = static_cast<uint8_t>(header);
}

void RespondHeader9141Wire(const EcuSimParams& p, uint8_t out[3]) {
    out[0] = p.respondHeader9141[0];
    out[1] = p.respondHeader9141[2];
    out[2] = p.respondHeader9141[1];
}

void LoadDefaultParams(EcuSimParams& p) {
    const uint32_t keepStandardId = p.canStandardId;
    uint8_t keep5[3], keep69[3], keep120[8];
    std::memcpy(keep5, p.reserved5, 3);
    std::memcpy(keep69, p.reserved69, 3);
    std::memcpy(keep120, p.reserved120, 8);
    p = EcuSimParams{};
    p.sessionTimeoutMs = 5000;
    p.lengthMode9141 = 1;
    p.requestHeader9141 = 0x00686AF1;
    p.initAddress9141 = 0x33;
    const uint8_t respond[3] = {0x48, 0x10, 0x6B};
    std::memcpy(p.respondHeader9141, respond, 3);
    p.keyWords9141[0] = p.keyWords9141[1] = 0x08;
    p.initAddress14230 = 0x33;
    p.keyWords14230[0] = 0xEF;
    p.keyWords14230[1] = 0x8F;
    p.fastInitLowMs = 25;
    p.functionalAddress14230 = 0x33;
    p.physicalAddress14230 = 0x10;
    p.testerAddress14230 = 0xF1;
    p.headerMode14230 = 0;
    p.rxByteGapMaxMs = 10;
    p.p1Ms = 0;
    p.p2Ms = 30;
    p.j1850Flavour = 0;
    p.kLineBrg = 239;
    p.vpwFunctionalRequestHeader = 0x00686AF1;
    p.vpwFunctionalRespondHeader = 0x00486B10;
    p.vpwPhysicalRequestHeader = 0x006C10F1;
    p.vpwPhysicalRespondHeader = 0x006CF110;
    p.pwmFunctionalRequestHeader = 0x00616AF1;
    p.pwmFunctionalRespondHeader = 0x00416B10;
    p.pwmPhysicalRequestHeader = 0x006410F1;
    p.pwmPhysicalRespondHeader = 0x0064F110;
    p.vpwNodeAddress = 0x10;
    p.vpwFunctionalAddress = 0x6A;
    p.pwmNodeAddress = 0x10;
    p.pwmFunctionalAddress = 0x6A;
    p.canPadValue = 0;
    p.can11FunctionalRequestId = 0x7DF;
    p.can11PhysicalRequestId = 0x7E0;
    p.can11RespondId = 0x7E8;
    p.can29FunctionalRequestId = 0x18DB33F1;
    p.can29PhysicalRequestId = 0x18DA10F1;
    p.can29RespondId = 0x18DAF110;
    p.canKbps = 500;
    p.canPadTo8 = 1;
    p.canStandardId = keepStandardId;
    p.flowControlDlc = 8;
    p.flowControlData[0] = 0x30;
    std::memcpy(p.reserved5, keep5, 3);
    std::memcpy(p.reserved69, keep69, 3);
    std::memcpy(p.reserved120, keep120, 8);
}

void InitRespondEntry(OBDRespondEntry& e) {
    e = OBDRespondEntry{};
    e.enabled = 1;
    e.protocolMask = 0x7F;
    e.bytesPerFrame = 7;
    std::strcpy(e.note, "Note");
}

uint64_t RespondSortKey(OBDRespondEntry& e) {
    if (e.requestLength < 8)
        std::memset(e.request + e.requestLength, 0, 8 - e.requestLength);
    uint64_t head = 0;
    for (int i = 0; i < 8; ++i) head = (head << 8) | e.request[i];
    return head + e.requestLength;
}

void SortRespondTable(OBDRespondEntry* entries, uint32_t count) {
    if (count < 2)
        return;
    // A bubble sort that swaps on key(j) > key(j+1) over n - 1 passes looks at every entry
    // and is stable: the same order as a stable sort by key, without n^2 moves of 808 bytes.
    std::vector<std::pair<uint64_t, uint32_t>> keys(count);
    for (uint32_t i = 0; i < count; ++i) keys[i] = {RespondSortKey(entries[i]), i};
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::unique_ptr<OBDRespondEntry[]> sorted(new OBDRespondEntry[count]);
    for (uint32_t i = 0; i < count; ++i) sorted[i] = entries[keys[i].second];
    std::copy(sorted.get(), sorted.get() + count, entries);
}

namespace {

bool Answers(const OBDRespondEntry& e, uint32_t protocolBit, const uint8_t* data,
             uint32_t length) {
    return e.enabled != 0 && (e.protocolMask & protocolBit) != 0 && e.requestLength == length &&
           length <= kRequestBytes && std::memcmp(e.request, data, length) == 0;
}

}  // namespace

int MatchRespondEntry(const OBDRespondEntry* entries, uint32_t count, uint32_t protocolBit,
                      const uint8_t* data, uint32_t length) {
    for (uint32_t i = 0; i < count; ++i)
        if (Answers(entries[i], protocolBit, data, length))
            return static_cast<int>(i);
    return -1;
}

void RespondIndex::Build(const OBDRespondEntry* entries, uint32_t count) {
    entries_ = entries;
    keys_.clear();
    keys_.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const OBDRespondEntry& e = entries[i];
        if (e.enabled == 0 || e.requestLength > kRequestBytes)
            continue;  // can never answer
        keys_.push_back(Key{HeadOf(e.request, e.requestLength), e.requestLength, i});
    }
    std::sort(keys_.begin(), keys_.end(), [](const Key& a, const Key& b) {
        if (a.head != b.head) return a.head < b.head;
        if (a.length != b.length) return a.length < b.length;
        return a.index < b.index;
    });
}

int RespondIndex::Match(uint32_t protocolBit, const uint8_t* data, uint32_t length) const {
    const Key probe{HeadOf(data, length), length, 0};
    auto it = std::lower_bound(keys_.begin(), keys_.end(), probe, [](const Key& a, const Key& b) {
        if (a.head != b.head) return a.head < b.head;
        return a.length < b.length;
    });
    for (; it != keys_.end() && it->head == probe.head && it->length == length; ++it)
        if (Answers(entries_[it->index], protocolBit, data, length))
            return static_cast<int>(it->index);
    return -1;
}

uint32_t DeleteRespondRows(OBDRespondEntry* entries, uint32_t count, std::vector<uint32_t> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it >= count)
            continue;
        entries[*it] = entries[count - 1];
        --count;
    }
    return count;
}

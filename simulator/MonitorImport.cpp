#include "simulator/MonitorImport.h"

#include <algorithm>
#include <cstring>

#include "device/EngineFrame.h"

const char* const kImportNoteCan =
    "注：CAN 调入只能是一个SF桢，或一个完整的多桢消息。选择序号时不可混合选择，如果选择多个CAN桢ID必须相同。FC控制桢无关。";
const char* const kImportNoteMessage1 =
    "数据只调入到Message1 ,调入如果不合规范，用户可以自行编辑修改。或复制到Message2后，再次调入一个到Message1";

namespace {

const char* const kTextEmpty = "监控窗口中无数据可调入!";
const char* const kTextFromZero = "最小序号是1，开始序号不可为0";
const char* const kTextOutOfRange = "序号超过监控窗口中已有的数据!";
const char* const kTextFromAfterTo = "开始序号不可以大于结束序号!";
const char* const kTextFirstSent = "第一帧数据不可以是输出数桢 ";
const char* const kTextFirstCan = "第一帧CAN数据必顺是SF桢或FF桢";
const char* const kTextInit = "不能导入含初始化信息的帧";
const char* const kTextNoData = "第一帧数据非数据桢";

constexpr uint32_t kJ1850MaxLength = 12;
constexpr uint32_t kJ1850Body = 7;  // flags, length, 2, tag, 3 header bytes

void Append(ImportState& s, const uint8_t* bytes, uint32_t n) {
    const uint32_t room = kMaxMessageBytes - s.message1Length;
    n = std::min(n, room);
    std::memcpy(s.message1 + s.message1Length, bytes, n);
    s.message1Length += n;
}

uint32_t Positive(int64_t n) { return n > 0 ? static_cast<uint32_t>(n) : 0; }

// The ACK from a frame that holds `held` bytes from `from` on: an ACK byte it does not hold is
// 00, never what an earlier record left in the slot.
void TakeAck(ImportState& s, const uint8_t* from, int64_t held) {
    const uint32_t want = std::min<uint32_t>(s.ackLength, sizeof s.ack);
    const uint32_t n = std::min(want, Positive(held));
    std::memcpy(s.ack, from, n);
    std::memset(s.ack + n, 0, want - n);
}

const char* FirstCan(ImportState& s, const uint8_t* data) {
    const uint8_t* d = data + 6;
    const uint32_t dlc = std::min<uint32_t>(data[4] & 0x0F, 8);
    const uint8_t type = d[0] >> 4;
    if ((type != 0 && type != 1) || dlc < 2) return kTextFirstCan;
    if (type == 1) {
        TakeAck(s, d + 2, int64_t{dlc} - 2);
        Append(s, d + 2 + s.ackLength, Positive(int64_t{dlc} - 2 - s.ackLength));
        s.canTotalLength = (d[0] & 0x0Fu) * 256 + d[1];
    } else {
        s.singleFrameLength = std::min<uint32_t>(d[0] & 0x0F, 7);
        TakeAck(s, d + 1, int64_t{dlc} - 1);
        const uint32_t inFrame = Positive(int64_t{dlc} - 1 - s.ackLength);
        Append(s, d + 1 + s.ackLength, std::min(Positive(int64_t{s.singleFrameLength} - s.ackLength), inFrame));
        s.canTotalLength = 0;
    }
    return nullptr;
}

uint32_t KLineLength(const MonitorRecord& r) { return std::min<uint32_t>(FrameLengthCount(r.lengthWord), kMonitorDataBytes); }
bool KLineInit(const MonitorRecord& r) { return FrameLengthInit(r.lengthWord) != InitNone; }
uint32_t J1850Length(const MonitorRecord& r) { return std::min<uint32_t>(r.data[1] & 0x0F, kJ1850MaxLength); }

}  // namespace

const char* ImportFromMonitor(ImportState& s, const MonitorRecord& r) {
    const uint32_t ack = s.ackLength;
    if (!s.firstRowTaken) {
        if (r.direction == 0) return kTextFirstSent;
        switch (r.kind) {
        case KindCan:
            if (const char* text = FirstCan(s, r.data)) return text;
            break;
        case KindUart: {
            if (KLineInit(r)) return kTextInit;
            const uint32_t length = KLineLength(r);
            if (length >= 1 && (r.data[0] & 0x3F) == 0) s.headerLength = 4;
            TakeAck(s, r.data + s.headerLength, int64_t{length} - s.headerLength);
            Append(s, r.data + s.headerLength + ack, Positive(int64_t{length} - s.headerLength - ack - 1));
            break;
        }
        case KindJ1850: {
            const uint32_t length = J1850Length(r);
            TakeAck(s, r.data + kJ1850Body, int64_t{length} - 4);  // the body: no header, no CRC
            Append(s, r.data + kJ1850Body + ack, Positive(int64_t{length} - ack - 4));
            break;
        }
        default: return kTextNoData;
        }
        s.firstRowTaken = 1;
        return nullptr;
    }
    if (r.direction == 0) return nullptr;
    switch (r.kind) {
    case KindCan: {
        const uint8_t* d = r.data + 6;
        const uint32_t dlc = std::min<uint32_t>(r.data[4] & 0x0F, 8);
        if ((d[0] >> 4) != 2) return nullptr;
        for (uint32_t i = 1; i < dlc && s.message1Length + ack < s.canTotalLength; ++i) Append(s, d + i, 1);
        return nullptr;
    }
    case KindUart: {
        if (KLineInit(r)) return kTextInit;
        const uint32_t length = KLineLength(r);
        if (length >= 1 && (r.data[0] & 0x3F) == 0) s.headerLength = 4;
        const uint32_t skip = s.headerLength + ack;
        if (length > skip) Append(s, r.data + skip, length - skip - 1);
        return nullptr;
    }
    case KindJ1850: {
        const uint32_t length = J1850Length(r);
        const uint32_t body = Positive(int64_t{length} - 4);  // after the header, without the CRC
        TakeAck(s, r.data + kJ1850Body, body);
        if (body > ack) Append(s, r.data + kJ1850Body + ack, body - ack);
        return nullptr;
    }
    default: return kTextNoData;
    }
}

const char* ImportMonitorRange(ImportState& s, uint32_t ackLength, uint64_t from, uint64_t to) {
    const uint32_t count = g_MonitorCount.load(std::memory_order_acquire);
    const uint32_t next = g_MonitorSeq.load(std::memory_order_acquire);
    auto held = [&](uint64_t n) { return n <= UINT32_MAX && static_cast<uint32_t>(next - static_cast<uint32_t>(n)) - 1 < count; };
    if (count < 1) return kTextEmpty;
    if (from < 1) return kTextFromZero;
    if (!held(from) || (to != 0 && !held(to))) return kTextOutOfRange;
    if (to != 0 && to < from) return kTextFromAfterTo;
    s = ImportState{};
    s.ackLength = std::min(ackLength, 3u);
    const uint32_t last = static_cast<uint32_t>(to == 0 ? from : to);
    for (uint32_t n = static_cast<uint32_t>(from);; ++n) {
        const MonitorRecord record = CopyMonitorRecord(MonitorIndexOfSequence(n));
        if (const char* text = ImportFromMonitor(s, record)) return text;
        if (n == last) break;
    }
    return nullptr;
}

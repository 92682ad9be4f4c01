#include "testboard/CanBus.h"

#include <algorithm>
#include <cstring>

#include "pages/can/Iso15765Frame.h"
#include "pages/can/j1939/J1939Frame.h"
#include "pages/can/tp20/Tp20Frame.h"

namespace testboard {

namespace {

void Put16(Bytes& out, unsigned at, unsigned value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

Bytes CanRecord(uint32_t id, bool extended, const uint8_t* data, unsigned dlc) {
    Bytes record(kCanRecordSize, 0);
    const unsigned sid = extended ? (id >> 18) & 0x7FF : id & 0x7FF;
    Put16(record, 0, sid << 2 | (extended ? 1u : 0u));
    if (extended) {
        Put16(record, 2, (id >> 6) & 0xFFF);
        Put16(record, 4, (id & 0x3F) << 10 | (dlc & 0xF));
    } else {
        Put16(record, 4, dlc & 0xF);
    }
    if (data) std::memcpy(record.data() + 6, data, std::min(dlc, 8u));
    return record;
}

Bytes CanRecordsReply(const std::vector<Bytes>& records) {
    Bytes reply{0, 0, static_cast<uint8_t>(records.size()), static_cast<uint8_t>(records.size() >> 8)};
    for (const Bytes& r : records) reply.insert(reply.end(), r.begin(), r.end());
    return reply;
}

namespace {

// Each payload as a record on the identifier of idRecord (tag 0, the payload's DLC).
std::vector<Bytes> RecordsOnId(const Bytes& idRecord, const std::vector<CanPayload>& frames) {
    std::vector<Bytes> records;
    if (idRecord.size() < kCanRecordSize) return records;
    for (const CanPayload& frame : frames) {
        Bytes record(idRecord.begin(), idRecord.begin() + kCanRecordSize);
        record[3] &= 0x0F;  // tag 0: a CAN frame
        record[4] = static_cast<uint8_t>((record[4] & 0xF0) | frame.dlc);
        std::fill(record.begin() + 6, record.end(), 0);
        std::memcpy(record.data() + 6, frame.data, frame.dlc);
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace

std::vector<Bytes> ConsecutiveFrameRecords(const Bytes& firstFrame, const uint8_t* message,
                                           unsigned count, uint8_t ptype) {
    if (firstFrame.size() < kCanRecordSize) return {};
    return RecordsOnId(firstFrame, BuildIso15765ConsecutiveFrames(message, count, ptype, firstFrame[6]));
}

std::vector<Bytes> J1939DataPacketRecords(const Bytes& dtTemplate, const uint8_t* message,
                                          unsigned total, unsigned packets) {
    return RecordsOnId(dtTemplate,
                       BuildJ1939DataPackets(message, std::min<size_t>(total, packets * kJ1939PacketData)));
}

std::vector<Bytes> Tp20DataFrameRecords(const Bytes& firstFrame, const uint8_t* message,
                                        unsigned count) {
    if (firstFrame.size() < kCanRecordSize) return {};
    return RecordsOnId(firstFrame, BuildTp20DataFrames(firstFrame[6], message, count));
}

}  // namespace testboard

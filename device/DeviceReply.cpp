#include "device/DeviceReply.h"

#include <algorithm>

ParsedReply ParseDeviceReply(const uint8_t* reply, int received, UartFlagReply flagged) {
    ParsedReply r;
    if (!reply || received < 2) return r;
    r.hasStatus = true;
    r.status = reply[1];
    if (received < 4) return r;
    r.hasWord = true;
    r.word = static_cast<uint16_t>(reply[2] | (reply[3] << 8));
    const uint32_t payload = static_cast<uint32_t>(received) - 4;
    const UartFlagReply use = (r.status & 0x10) ? flagged : UartFlagReply::Records;
    if (use == UartFlagReply::Frame) {
        r.uartFrame = true;
        r.frame = reply + 4;
        r.frameArrived = std::min(static_cast<uint32_t>(r.word & 0x1FF), payload);
        r.frameBytes = std::min(r.frameArrived, kMaxRecordFrameBytes);
    } else if (use == UartFlagReply::Records) {
        r.records = reply + 4;
        r.recordCount = std::min(static_cast<uint32_t>(r.word), payload / kFrameRecordSize);
    }
    return r;
}

FrameRecordTag GetFrameRecordTag(const uint8_t* record) {
    switch (record[3] >> 4) {
    case 2: return FrameRecordTag::J1850;
    case 3: return FrameRecordTag::ErrorFlags;
    default: return FrameRecordTag::Can;
    }
}

RecordKindDirection ReplyRecordKind(const uint8_t* record) {
    switch (GetFrameRecordTag(record)) {
    case FrameRecordTag::J1850: return {2, static_cast<uint8_t>(record[0] >> 7)};
    case FrameRecordTag::ErrorFlags: return {3, 1};
    case FrameRecordTag::Can: break;
    }
    return {0, 1};
}

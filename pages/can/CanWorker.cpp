#include "pages/can/CanWorker.h"

#include <algorithm>
#include <cstring>

#include "device/UsbOperation.h"
#include "monitor/MonitorRing.h"
#include "platform/Clock.h"

const char* const kCanTextWriteLongBuff = "设备出现通信错误停止! write wrlong buff";
const char* const kCanTextWriteFfTxBuff = "设备出现通信错误停止! write FF txbuff";

std::atomic<uint32_t> g_MultiFrameRequest{0};

namespace {

constexpr uint8_t kEngineBusyBit = 0x01;
constexpr uint8_t kCtxb5 = 0x23;

int WriteCmdPacket(uint8_t command, uint8_t target, const uint8_t* data, uint32_t length) {
    if (length > kMaxPacketPayload) return 0;
    auto lock = LockDevice();
    g_CmdPacket[0] = command;
    g_CmdPacket[1] = target;
    g_CmdPacket[2] = static_cast<uint8_t>(length);
    g_CmdPacket[3] = static_cast<uint8_t>(length >> 8);
    if (length) std::memcpy(g_CmdPacket + 4, data, length);
    return UsbWritePacket(g_CmdPacket, 4 + length);
}

}  // namespace

int CanWriteLongMessage(const uint8_t* data, uint32_t length) {
    return WriteCmdPacket(CmdWriteLongBlock, kCanLongMessageBlock, data,
                          std::min<uint32_t>(length, kCanLongMessageBytes));
}

int CanWriteTransmitBuffer(uint8_t block, const EcanMessageBuffer& frame) {
    return WriteCmdPacket(CmdWriteBlock, block, frame.bytes, kEcanBufferSize);
}

void FileSentCanFrame(const EcanMessageBuffer& frame) {
    AppendMonitorRecord(0, KindCan, kEcanBufferSize, timeGetTime(), frame.bytes, kEcanBufferSize);
}

RecordKindDirection CanWorkerPolicy::KindOfRecord(const uint8_t* record) const {
    const bool errorFlags = GetFrameRecordTag(record) == FrameRecordTag::ErrorFlags;
    return {static_cast<uint8_t>(errorFlags ? KindErrorFlags : KindCan), 1};
}

const char* CanWorkerPolicy::BeforePending() {
    if (!g_MultiFrameRequest.load(std::memory_order_acquire)) return nullptr;
    uint8_t status = 0;
    // A failed read has shown its own message; its busy bit means nothing, so wait a pass.
    if (!UsbReadRegister(kCanEngineBusyRegister, &status) || (status & kEngineBusyBit))
        return nullptr;
    if (const char* text = HandOver()) return text;
    g_MultiFrameRequest.store(0, std::memory_order_release);
    return nullptr;
}

uint8_t Iso15765LengthRegister(uint32_t totalLength, uint8_t ptype) {
    const uint32_t head = 6u + ptype;
    return static_cast<uint8_t>(totalLength > head ? totalLength - head : 0);
}

const char* Iso15765WorkerPolicy::HandOver() {
    if (!source_) return nullptr;
    const Iso15765HandOver h = source_->TakeHandOver();
    const uint32_t length = std::min<uint32_t>(static_cast<uint16_t>(h.totalLength + 8),
                                               kCanLongMessageBytes);
    if (!CanWriteLongMessage(h.message, length)) return kCanTextWriteLongBuff;
    UsbWriteRegister(kCanLengthRegister, Iso15765LengthRegister(h.totalLength, h.ptype));
    if (!CanWriteTransmitBuffer(kCtxb5, h.firstFrame)) return kCanTextWriteFfTxBuff;
    FileSentCanFrame(h.firstFrame);
    return nullptr;
}

uint32_t ThreadProc15765(void* param) {
    Iso15765WorkerPolicy policy(static_cast<const Iso15765HandOverSource*>(param));
    return RunBusWorker(policy);
}

#include "pages/can/tp20/Tp20Worker.h"

#include <algorithm>

#include "device/DeviceReply.h"
#include "device/UsbOperation.h"

std::atomic<uint32_t> g_Tp20RequestMode{kTp20RequestMultiFrame};

namespace {

constexpr uint16_t kChannelSetupSid = 0x200;
constexpr uint16_t kConnectionSid = 0x32E;

}  // namespace

Tp20Answer Tp20AnswerFor(const uint8_t* record) {
    const FrameRecordTag tag = GetFrameRecordTag(record);
    if (tag == FrameRecordTag::ErrorFlags || tag == FrameRecordTag::J1850) return Tp20Answer::None;
    EcanMessageBuffer frame;
    std::copy_n(record, kEcanBufferSize, frame.bytes);
    const uint16_t sid = static_cast<uint16_t>((EcanWord(frame, 0) >> 2) & 0x7FF);
    const uint8_t dlc = EcanDlc(frame);
    const uint8_t* d = EcanData(frame);
    if (sid == kChannelSetupSid && dlc >= 2 && d[0] == 0x1F && d[1] == 0xC0)
        return Tp20Answer::ChannelSetup;
    if (sid == kConnectionSid && dlc >= 1 && (d[0] == 0xA0 || d[0] == 0xA3))
        return Tp20Answer::ConnectionSetup;
    return Tp20Answer::None;
}

const char* Tp20WorkerPolicy::AfterRecordFiled(const uint8_t* record) {
    const Tp20Answer answer = Tp20AnswerFor(record);
    if (answer == Tp20Answer::None || !source_) return nullptr;
    return CanWriteTransmitBuffer(kTp20AnswerBlock, source_->AnswerFrame(answer))
               ? nullptr
               : kCanTextWriteFfTxBuff;
}

const char* Tp20WorkerPolicy::HandOver() {
    if (!source_) return nullptr;
    const Tp20HandOver h = source_->TakeHandOver();
    if (g_Tp20RequestMode.load(std::memory_order_acquire) == kTp20RequestChannel) {
        if (!CanWriteTransmitBuffer(kTp20ChannelSetupBlock, h.channelSetup))
            return kCanTextWriteFfTxBuff;
        FileSentCanFrame(h.channelSetup);
        return nullptr;
    }
    if (!CanWriteLongMessage(h.message, std::min<uint32_t>(h.length, kCanLongMessageBytes)))
        return kCanTextWriteLongBuff;
    UsbWriteRegister(kCanLengthRegister, h.ccfDl);
    if (!CanWriteTransmitBuffer(kTp20FirstFrameBlock, h.firstFrame)) return kCanTextWriteFfTxBuff;
    FileSentCanFrame(h.firstFrame);
    return nullptr;
}

uint32_t ThreadProcTP20(void* param) {
    Tp20WorkerPolicy policy(static_cast<const Tp20HandOverSource*>(param));
    return RunBusWorker(policy);
}

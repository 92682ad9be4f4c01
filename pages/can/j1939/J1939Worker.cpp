#include "pages/can/j1939/J1939Worker.h"

#include <algorithm>

#include "device/UsbOperation.h"

const char* J1939WorkerPolicy::HandOver() {
    if (!source_) return nullptr;
    const J1939HandOver h = source_->TakeHandOver();
    if (!CanWriteLongMessage(h.message, std::min<uint32_t>(h.length, kCanLongMessageBytes)))
        return kCanTextWriteLongBuff;
    UsbWriteRegister(kCanLengthRegister, EcanData(h.rtsFrame)[3]);
    if (!CanWriteTransmitBuffer(kJ1939RtsBlock, h.rtsFrame)) return kCanTextWriteFfTxBuff;
    FileSentCanFrame(h.rtsFrame);
    return nullptr;
}

uint32_t ThreadProcJ1939(void* param) {
    J1939WorkerPolicy policy(static_cast<const J1939HandOverSource*>(param));
    return RunBusWorker(policy);
}

#include "pages/kline/KLineWorkers.h"

#include "device/UsbOperation.h"

std::atomic<uint8_t> g_Kw1281BlockCounter{0};

namespace {

class SerialBusPolicy : public WorkerPolicy {
public:
    const char* OnUartFrameReceived(WorkerRecord& record) override {
        if (record.count >= 2)  // the counter byte must have arrived
            g_Kw1281BlockCounter.store(static_cast<uint8_t>(record.data[1] + 1));
        return nullptr;
    }
};

class Iso14230Policy : public WorkerPolicy {
public:
    void AfterReceivedRecorded() override {
        auto lock = LockDevice();
        g_RxPacket[2] = 0;
        g_RxPacket[3] = 0;
    }
};

}  // namespace

WorkerPolicy& SerialBusWorkerPolicy() {
    static SerialBusPolicy policy;
    return policy;
}

uint32_t ThreadProcSerialBus(void* /*hub*/) {
    SerialBusPolicy policy;
    return RunBusWorker(policy);
}

uint32_t ThreadProc14230(void* /*hub*/) {
    Iso14230Policy policy;
    return RunBusWorker(policy);
}

#include "pages/kline/lin/LinWorker.h"

#include <algorithm>
#include <cstring>

#include "pages/kline/UartImage.h"

std::atomic<uint32_t> g_RegPacketPending{0};
uint8_t g_LinSetPacket[kPacketBufferSize];

const char* LinWorkerPolicy::BeforePending() {
    if (!g_RegPacketPending.load(std::memory_order_acquire))
        return nullptr;
    const uint32_t n = static_cast<uint32_t>(g_LinSetPacket[2] | (g_LinSetPacket[3] << 8));
    if (n > kMaxPacketPayload)
        return kWorkerTextWrite1;  // would overrun the packet: refused like a failed write
    {
        auto lock = LockDevice();
        if (!UsbWritePacket(g_LinSetPacket, n + 4))
            return kWorkerTextWrite1;
    }
    g_RegPacketPending.store(0, std::memory_order_release);
    return nullptr;
}

const char* LinWorkerPolicy::OnUartFrameReceived(WorkerRecord& record) {
    if (!FrameLengthLinHeader(record.lengthWord) || record.count < 1)
        return nullptr;
    LinSlaveResponse row;
    size_t rowNumber = 0;
    if (!rows_.Find(record.data[0], row, rowNumber))
        return nullptr;
    uint8_t packet[kLinResponsePacketSize];
    BuildLinResponsePacket(packet, row.data);
    {
        // A failed write is not looked at: the record of the response is made either way.
        auto lock = LockDevice();
        UsbWritePacket(packet, sizeof packet);
    }
    std::memcpy(record.data + 1, row.data, kLinRowBytes);
    record.count = std::max<uint32_t>(record.count, 1 + kLinRowBytes);
    const uint16_t w = record.lengthWord;
    record.lengthWord = static_cast<uint16_t>((w & ~kFrameCountMask) | ((w + 8) & kFrameCountMask));
    record.direction = 0;
    return nullptr;
}

uint32_t ThreadProcLin(void* param) {
    LinWorkerPolicy policy(*static_cast<const LinSlaveRows*>(param));
    return RunBusWorker(policy);
}

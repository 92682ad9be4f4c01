#include "logic/LogicWorker.h"

#include <algorithm>

const char* const kLogicTextBufferFull = "缓冲区已满，采集停止！";

namespace {

constexpr uint32_t kReplyHeaderBytes = 4;

class LogicPolicy : public WorkerPolicy {
public:
    explicit LogicPolicy(WaveCapture& capture) : capture_(capture) {}
    const char* PollWriteFailText() const override { return kWorkerTextWrite2; }
    bool RecordsReplies() const override { return false; }
    const char* TakeReply(const uint8_t* reply, uint32_t received) override {
        return AppendCaptureReply(capture_, reply, received);
    }

private:
    WaveCapture& capture_;
};

}  // namespace

const char* AppendCaptureReply(WaveCapture& capture, const uint8_t* reply, uint32_t received) {
    if (received < kReplyHeaderBytes) return nullptr;
    const uint32_t word = reply[2] | (reply[3] << 8);
    const uint32_t n = std::min((word >> 2) & 0x7F, (received - kReplyHeaderBytes) / 4);
    const uint8_t* p = reply + kReplyHeaderBytes;
    for (uint32_t i = 0; i < n; ++i, p += 4) {
        const uint32_t sample = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        if (!capture.Append(sample)) return kLogicTextBufferFull;
    }
    return nullptr;
}

uint32_t ThreadProcLogic(void* capture) {
    LogicPolicy policy(*static_cast<WaveCapture*>(capture));
    return RunBusWorker(policy);
}

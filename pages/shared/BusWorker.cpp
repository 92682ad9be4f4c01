#include "pages/shared/BusWorker.h"

#include <algorithm>
#include <cstring>

#include "device/UsbOperation.h"
#include "device/EngineFrame.h"
#include "platform/Clock.h"
#include "platform/Message.h"

const char* const kWorkerTextWrite1 = "设备出现通信错误停止! write 1";
const char* const kWorkerTextWrite2 = "设备出现通信错误停止! write 2";
const char* const kWorkerTextWriteRd = "设备出现通信错误停止! write RD";
const char* const kWorkerTextRead1 = "设备出现通信错误停止! Read 1";
const char* const kWorkerTextFault = "VR3526故障保护动作，设备停止!";


namespace {

constexpr uint32_t kReplyTimeoutMs = 1500;
constexpr uint8_t kEngineStatusRegister = 0x31;
constexpr uint8_t kEngineBusy = 0x80;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

void Append(const WorkerRecord& r, uint32_t timeMs) {
    AppendMonitorRecord(r.direction, r.kind, r.lengthWord, timeMs, r.data, std::max(r.count, r.arrived), r.init);
}

// One pass of the loop with what it needs to remember between its steps.
class Pass {
public:
    explicit Pass(WorkerPolicy& policy) : policy_(policy) {}

    // nullptr when the pass ended normally, else the text of the exit.
    const char* Run() {
        if (const char* text = policy_.BeforePending())
            return text;
        const char* pollFailText = policy_.PollWriteFailText();
        if (policy_.SendsFromQueue())
            return RunQueued(pollFailText);
        bool pollNeeded = true;
        if (g_TxPending.load(std::memory_order_acquire)) {
            // The page does not touch g_TxPacket while the flag is set.
            const uint32_t n = U16(g_TxPacket + 2);
            if (n > kMaxPacketPayload)
                return kWorkerTextWrite1;  // would overrun the packet: refused like a failed write
            packetLength_ = n + 4;
            std::memcpy(packet_, g_TxPacket, packetLength_);
            const WorkerPolicy::PendingRule rule = policy_.RuleFor(packet_);
            if (rule == WorkerPolicy::PendingRule::UntilTxDone) {
                awaitingTxDone_ = true;
                pollNeeded = false;
            } else if (rule == WorkerPolicy::PendingRule::UartFrameWhenIdle && EngineBusy()) {
                pollFailText = policy_.BusyPollWriteFailText();
            } else {
                if (!WriteUartFrame())
                    return kWorkerTextWrite1;
                if (!policy_.PollAfterFrame())
                    return nullptr;  // the frame was this pass's exchange
            }
        }
        return Exchange(pollNeeded, pollFailText);
    }

private:
    const char* RunQueued(const char* pollFailText) {
        if (g_TxPending.load(std::memory_order_acquire)) {
            if (RegisterBusy(policy_.QueueBusyRegister(), policy_.QueueBusyBit()))
                pollFailText = policy_.BusyPollWriteFailText();
            else if (policy_.WritesQueuedItself()) {
                if (const char* text = policy_.WriteQueued())
                    return text;
            } else if (policy_.NextQueuedFrame(packet_, packetLength_) && !WriteUartFrame(false))
                return kWorkerTextWrite1;
        }
        return Exchange(true, pollFailText);
    }

    bool EngineBusy() { return RegisterBusy(kEngineStatusRegister, kEngineBusy); }

    static bool RegisterBusy(uint8_t reg, uint8_t bit) {
        uint8_t value = bit;  // a failed read (already reported) counts as busy
        UsbReadRegister(reg, &value);
        return (value & bit) != 0;
    }

    bool WriteUartFrame(bool endsPending = true) {
        {
            auto lock = LockDevice();
            if (!UsbWritePacket(packet_, packetLength_))
                return false;
        }
        WorkerRecord record;
        policy_.MakeSentFrameRecord(packet_, packetLength_ - 4, record);
        Append(record, timeGetTime());
        if (endsPending)
            g_TxPending.store(0, std::memory_order_release);
        return true;
    }

    // The pending packet or a poll, and the reply to it.
    const char* Exchange(bool pollNeeded, const char* pollFailText) {
        {
            auto lock = LockDevice();
            if (pollNeeded) {
                if (!UsbSendPoll())
                    return pollFailText;
            } else if (!UsbWritePacket(packet_, packetLength_)) {
                return kWorkerTextWrite1;
            }
            received_ = UsbReadPacket(kReplyTimeoutMs, kPacketBufferSize, g_RxPacket);
            if (received_ > 0)
                std::memcpy(reply_, g_RxPacket, static_cast<size_t>(received_));
        }
        if (received_ < 1)
            return kWorkerTextRead1;
        return HandleReply();
    }

    const char* HandleReply() {
        const ParsedReply parsed = ParseDeviceReply(reply_, received_, policy_.UartFlagReplies());
        if (parsed.hasStatus && (parsed.status & StatusFault))
            return policy_.FaultText();
        // Only the packet written in this pass can have been reported sent: a frame queued
        // meanwhile, or held back for a busy engine, stays pending.
        if (parsed.hasStatus && (parsed.status & StatusTxDone) && awaitingTxDone_ &&
            policy_.HandlesTxDone())
            RecordTxDone();
        if (!policy_.RecordsReplies())
            return policy_.TakeReply(reply_, static_cast<uint32_t>(received_));
        if (!parsed.hasWord || parsed.word == 0 || (!parsed.uartFrame && !parsed.records))
            return nullptr;  // nothing to file, or a reply the policy ignores
        const char* exitText = nullptr;
        if (parsed.uartFrame) {
            WorkerRecord record;
            record.direction = 1;
            record.kind = KindUart;
            record.lengthWord = parsed.word;
            record.count = parsed.frameBytes;
            record.arrived = parsed.frameArrived;
            std::memcpy(record.data, parsed.frame, parsed.frameBytes);
            exitText = policy_.OnUartFrameReceived(record);
            Append(record, timeGetTime());
        } else {
            const uint32_t timeMs = timeGetTime();
            for (uint32_t i = 0; i < parsed.recordCount; ++i) {
                const uint8_t* r = parsed.records + i * kFrameRecordSize;
                policy_.OnRecordReceived(r);
                const RecordKindDirection kd = policy_.KindOfRecord(r);
                AppendMonitorRecord(kd.direction, kd.kind, 0, timeMs, r, kFrameRecordSize);
                if (!exitText) exitText = policy_.AfterRecordFiled(r);
            }
        }
        policy_.AfterReceivedRecorded();
        return exitText;
    }

    void RecordTxDone() {
        const uint8_t kind = packet_[1] & 0x0F;
        if (kind != KindJ1850) {
            WorkerRecord record;
            record.direction = 0;
            record.kind = kind;
            record.lengthWord = U16(packet_ + 2);
            record.arrived = std::min<uint32_t>(record.lengthWord & kFrameCountMask, packetLength_ - 4);
            record.count = std::min(record.arrived, kMonitorDataBytes);
            std::memcpy(record.data, packet_ + 4, record.count);
            Append(record, timeGetTime());
        }
        g_TxPending.store(0, std::memory_order_release);
    }

    WorkerPolicy& policy_;
    uint8_t packet_[kPacketBufferSize] = {};
    uint32_t packetLength_ = 0;
    bool awaitingTxDone_ = false;
    uint8_t reply_[kPacketBufferSize] = {};
    int received_ = 0;
};

}  // namespace

WorkerPolicy::PendingRule WorkerPolicy::RuleFor(const uint8_t* packet) const {
    return packet[0] == CmdWriteLongBlock ? PendingRule::UartFrameWhenIdle
                                          : PendingRule::UntilTxDone;
}

void WorkerPolicy::MakeSentFrameRecord(const uint8_t* packet, uint32_t n,
                                       WorkerRecord& record) const {
    record.direction = 0;
    record.kind = KindUart;
    record.lengthWord = U16(packet + 4);
    record.arrived = n >= 2 ? n - 2 : 0;
    record.count = std::min(record.arrived, kMonitorDataBytes);
    std::memcpy(record.data, packet + 6, record.count);
    switch (FrameLengthInit(record.lengthWord)) {
    case InitFast:
        record.init.which = MonitorInitBytes::Fast;
        record.init.lowMs = g_FastInitLowTime.load();
        record.init.highMs = g_FastInitHighTime.load();
        break;
    case InitSlow5Baud:
        record.init.which = MonitorInitBytes::Slow;
        record.init.address = g_SlowInitAddress.load();
        break;
    default:
        break;
    }
}

const char* RunWorkerPass(WorkerPolicy& policy) {
    Pass pass(policy);
    return pass.Run();
}

WorkerPolicy& DefaultWorkerPolicy() {
    static WorkerPolicy policy;
    return policy;
}

uint32_t RunBusWorker(WorkerPolicy& policy) {
    while (g_WorkerRunning.load(std::memory_order_acquire)) {
        if (const char* text = RunWorkerPass(policy)) {
            g_WorkerRunning.store(0, std::memory_order_release);
            platform::ShowMessage(text, std::string(), platform::MessageIcon::Exclamation);
            break;
        }
    }
    policy.BeforeStop();
    UsbSendStop();
    return 0;
}


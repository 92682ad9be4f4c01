#include "simulator/SimResponder.h"

#include <memory>
#include <mutex>

#include "platform/Message.h"

SimTxQueue g_SimTxQueue;

const char* const kSimStatusWaitInit = "等待初始化...";
const char* const kSimStatusWaitRequest = "等待请求指令...";
const char* const kSimStatusWait81 = "等待0x81连接指令...";
const char* const kSimStatusResponding = "正在发送响应...";
const char* const kSimStatusTimeout = "时间溢出,等待重新初始化...";
const char* const kSimStatusStopped = "未启动";

namespace {

std::mutex g_ListenerMutex;
std::shared_ptr<SimStatusListener> g_Listener;

}  // namespace

uint32_t SplitAnswer(const OBDRespondEntry& e, AnswerSlice* out, uint32_t capacity) {
    uint32_t n = 0;
    auto add = [&](const uint8_t* message, uint32_t length) {
        if (n < capacity) out[n++] = AnswerSlice{message, length};
    };
    if (e.messageCount == 0) {
        if (e.ackLength > 0) add(nullptr, 0);
        return n;
    }
    if (e.ackLength > 3 || e.bytesPerFrame <= e.ackLength)
        return 0;
    const uint32_t per = e.bytesPerFrame - e.ackLength;
    const uint8_t* messages[2] = {e.message1, e.message2};
    const uint32_t lengths[2] = {std::min(e.message1Length, kMaxMessageBytes),
                                 std::min(e.message2Length, kMaxMessageBytes)};
    for (uint32_t m = 0; m < e.messageCount && m < 2; ++m) {
        if (lengths[m] == 0) add(messages[m], 0);
        for (uint32_t at = 0; at < lengths[m] && n < capacity; at += per)
            add(messages[m] + at, std::min(per, lengths[m] - at));
    }
    return n;
}

uint32_t WholeAnswerParts(const OBDRespondEntry& e, AnswerSlice* out, uint32_t capacity) {
    uint32_t n = 0;
    if (capacity == 0)
        return 0;
    if (e.messageCount == 0) {
        if (e.ackLength > 0) out[n++] = AnswerSlice{nullptr, 0};
        return n;
    }
    out[n++] = AnswerSlice{e.message1, std::min(e.message1Length, kMaxMessageBytes)};
    if (e.messageCount >= 2 && n < capacity)
        out[n++] = AnswerSlice{e.message2, std::min(e.message2Length, kMaxMessageBytes)};
    return n;
}

void SetSimStatusListener(SimStatusListener listener) {
    std::lock_guard<std::mutex> lock(g_ListenerMutex);
    g_Listener = listener ? std::make_shared<SimStatusListener>(std::move(listener)) : nullptr;
}

void PostSimStatus(const char* text) {
    std::string copy(text);
    platform::PostToUi([copy] {
        std::shared_ptr<SimStatusListener> listener;
        {
            std::lock_guard<std::mutex> lock(g_ListenerMutex);
            listener = g_Listener;
        }
        if (listener) (*listener)(copy);
    });
}

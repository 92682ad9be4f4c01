#include "platform/Message.h"

#include <atomic>
#include <cstdio>

namespace platform {
namespace {

class StderrSink : public MessageSink {
public:
    void Show(const Message& m) override {
        std::fprintf(stderr, "[%s] %s\n", m.caption.c_str(), m.text.c_str());
    }
};

StderrSink g_stderrSink;
std::atomic<MessageSink*> g_sink{nullptr};
std::mutex g_posterMutex;
UiPoster g_poster;

}  // namespace

void SetMessageSink(MessageSink* sink) { g_sink.store(sink, std::memory_order_release); }

MessageSink* GetMessageSink() { return g_sink.load(std::memory_order_acquire); }

void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    MessageSink* sink = g_sink.load(std::memory_order_acquire);
    (sink ? sink : &g_stderrSink)->Show(Message{text, caption, icon});
}

void SetUiPoster(UiPoster poster) {
    std::lock_guard<std::mutex> lock(g_posterMutex);
    g_poster = std::move(poster);
}

void PostToUi(std::function<void()> fn) {
    UiPoster poster;
    {
        std::lock_guard<std::mutex> lock(g_posterMutex);
        poster = g_poster;
    }
    if (poster)
        poster(std::move(fn));
    else
        fn();
}

RecordingMessageSink::RecordingMessageSink() : previous_(GetMessageSink()) { SetMessageSink(this); }

RecordingMessageSink::~RecordingMessageSink() { SetMessageSink(previous_); }

void RecordingMessageSink::Show(const Message& message) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(message);
    }
    changed_.notify_all();
}

std::vector<Message> RecordingMessageSink::Messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<std::string> RecordingMessageSink::Texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> texts;
    for (const Message& m : messages_) texts.push_back(m.text);
    return texts;
}

size_t RecordingMessageSink::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_.size();
}

void RecordingMessageSink::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
}

bool RecordingMessageSink::WaitForCount(size_t n, std::chrono::milliseconds deadline) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, deadline, [&] { return messages_.size() >= n; });
}

}  // namespace platform

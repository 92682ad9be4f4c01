#include "platform/Message.h"

#include <atomic>
#include <cstdio>
#include <set>

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

// Text and caption of every box that is up. Never destroyed: a box posted to the UI thread may
// be closed while the process exits.
struct OpenBoxes {
    std::mutex mutex;
    std::set<std::string> keys;
};
OpenBoxes& TheOpenBoxes() {
    static OpenBoxes* boxes = new OpenBoxes;
    return *boxes;
}

// The box of the ShowMessage call running on this thread (calls nest inside a modal box).
thread_local OpenBox* tl_showing = nullptr;

}  // namespace

OpenBox::OpenBox(OpenBox&& other) noexcept : key_(std::move(other.key_)), held_(other.held_) {
    other.held_ = false;
}

OpenBox& OpenBox::operator=(OpenBox&& other) noexcept {
    if (this != &other) {
        Release();
        key_ = std::move(other.key_);
        held_ = other.held_;
        other.held_ = false;
    }
    return *this;
}

OpenBox::~OpenBox() { Release(); }

void OpenBox::Release() {
    if (!held_) return;
    held_ = false;
    OpenBoxes& boxes = TheOpenBoxes();
    std::lock_guard<std::mutex> lock(boxes.mutex);
    boxes.keys.erase(key_);
}

OpenBox KeepBoxOpen() { return tl_showing ? std::move(*tl_showing) : OpenBox(); }

void SetMessageSink(MessageSink* sink) { g_sink.store(sink, std::memory_order_release); }

MessageSink* GetMessageSink() { return g_sink.load(std::memory_order_acquire); }

void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    std::string key = text;
    key.push_back('\0');
    key += caption;
    bool repeat = false;
    {
        OpenBoxes& boxes = TheOpenBoxes();
        std::lock_guard<std::mutex> lock(boxes.mutex);
        repeat = !boxes.keys.insert(key).second;  // the same box is up
    }
    MessageSink* sink = g_sink.load(std::memory_order_acquire);
    if (repeat) {
        (sink ? sink : &g_stderrSink)->Repeat(Message{text, caption, icon});
        return;
    }
    OpenBox box(std::move(key));
    struct Showing {
        OpenBox* outer;
        explicit Showing(OpenBox* box) : outer(tl_showing) { tl_showing = box; }
        ~Showing() { tl_showing = outer; }
    } showing(&box);
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

void RecordingMessageSink::Show(const Message& message) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(message);
        if (hold_) boxes_.push_back(KeepBoxOpen());
    }
    changed_.notify_all();
}

void RecordingMessageSink::HoldBoxes(bool hold) {
    std::lock_guard<std::mutex> lock(mutex_);
    hold_ = hold;
}

void RecordingMessageSink::CloseBoxes() {
    std::vector<OpenBox> answered;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answered.swap(boxes_);
    }
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

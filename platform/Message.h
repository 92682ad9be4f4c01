#pragma once
// The one way the program tells the user something in a box.
//
// ShowMessage may be called from any thread. The installed sink decides how it is shown:
// the GUI sink shows a modal box when called on the UI thread and posts the box to the UI
// thread (without waiting) when called from a worker, so a worker never blocks on a box and
// a Stop that joins the worker can never deadlock against one. Tests install a recording sink.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

enum class MessageIcon { None, Exclamation, Information, Question };

struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void Show(const Message& message) = 0;
};

// nullptr restores the default sink, which prints to stderr.
void SetMessageSink(MessageSink* sink);
MessageSink* GetMessageSink();

void ShowMessage(const std::string& text, const std::string& caption = std::string(),
                 MessageIcon icon = MessageIcon::Exclamation);

// Runs fn on the UI thread. The GUI installs the poster; without one fn runs at once on the
// caller's thread (core tests have no UI thread).
using UiPoster = std::function<void(std::function<void()>)>;
void SetUiPoster(UiPoster poster);
void PostToUi(std::function<void()> fn);

// Keeps every message; thread-safe. Installs itself for its lifetime.
class RecordingMessageSink : public MessageSink {
public:
    RecordingMessageSink();
    ~RecordingMessageSink() override;
    void Show(const Message& message) override;

    std::vector<Message> Messages() const;
    std::vector<std::string> Texts() const;
    size_t Count() const;
    void Clear();
    // Waits until at least n messages were recorded; false on deadline.
    bool WaitForCount(size_t n, std::chrono::milliseconds deadline) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Message> messages_;
    MessageSink* previous_;
};

}  // namespace platform

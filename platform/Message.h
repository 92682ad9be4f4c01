#pragma once
// The one way the program tells the user something in a box.
//
// ShowMessage may be called from any thread. The installed sink decides how it is shown:
// the GUI sink shows a modal box when called on the UI thread and posts the box to the UI
// thread (without waiting) when called from a worker, so a worker never blocks on a box and
// a Stop that joins the worker can never deadlock against one. Tests install a recording sink.
//
// Two boxes with the same text and caption are never up at once: while one is shown or
// waits to be shown, a repeat is not shown again but brings the box up to the user (Repeat). A worker that fails on every pass thus shows one
// box, not a stack of them that the user can never get out of.
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

void ShowMessage(const std::string& text, const std::string& caption = std::string(),
                 MessageIcon icon = MessageIcon::Exclamation);

// A box that is up. While it lives, ShowMessage drops the same text and caption; destroying
// it (or assigning an empty one) closes it.
class OpenBox {
public:
    OpenBox() = default;
    OpenBox(OpenBox&& other) noexcept;
    OpenBox& operator=(OpenBox&& other) noexcept;
    OpenBox(const OpenBox&) = delete;
    OpenBox& operator=(const OpenBox&) = delete;
    ~OpenBox();

private:
    friend void ShowMessage(const std::string&, const std::string&, MessageIcon);
    explicit OpenBox(std::string key) : key_(std::move(key)), held_(true) {}
    void Release();

    std::string key_;
    bool held_ = false;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Called by ShowMessage only, on the caller's thread. The box is closed when Show returns,
    // unless Show took it with KeepBoxOpen (a box posted to another thread, or left up).
    virtual void Show(const Message& message) = 0;
    // Called by ShowMessage instead of Show while the same box is up: the user should see it
    // again (it may lie under another window by now).
    virtual void Repeat(const Message&) {}
};

// Inside MessageSink::Show: the box being shown, to keep up past the call. Elsewhere (or a
// second time) an empty box.
OpenBox KeepBoxOpen();

// nullptr restores the default sink, which prints to stderr.
void SetMessageSink(MessageSink* sink);
MessageSink* GetMessageSink();

// Installs a sink for its own lifetime.
class ScopedMessageSink {
public:
    explicit ScopedMessageSink(MessageSink* sink) : previous_(GetMessageSink()) { SetMessageSink(sink); }
    ~ScopedMessageSink() { SetMessageSink(previous_); }
    ScopedMessageSink(const ScopedMessageSink&) = delete;
    ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

private:
    MessageSink* previous_;
};

// Runs fn on the UI thread. The GUI installs the poster; without one fn runs at once on the
// caller's thread (core tests have no UI thread).
using UiPoster = std::function<void(std::function<void()>)>;
void SetUiPoster(UiPoster poster);
void PostToUi(std::function<void()> fn);

// Keeps every message; thread-safe. Installs itself for its lifetime. By default each box is
// answered at once; while boxes are held they stay up, as the user has not answered them yet.
class RecordingMessageSink : public MessageSink {
public:
    void Show(const Message& message) override;

    void HoldBoxes(bool hold);
    // Answers every box that is up.
    void CloseBoxes();

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
    bool hold_ = false;
    std::vector<OpenBox> boxes_;
    ScopedMessageSink installed_{this};  // last: installed once the rest is built
};

}  // namespace platform

#pragma once
// The GUI's message sink and UI poster: boxes on the UI thread, posted from workers.
#include <wx/dialog.h>

#include <string>

#include "platform/Message.h"

namespace platform {

// The modal box: the message's icon only (wx would add one to a box that names none); a box
// without a caption carries the application title.
void ShowWxMessageBox(const Message& message);

// A box a worker posted. Modeless, so the windows behind it stay usable (a page's Stop above
// all), as they did while a worker waited on its own box; up until the user closes it.
class WxWorkerBox : public wxDialog {
public:
    WxWorkerBox(const Message& message, OpenBox box);
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    OpenBox box_;
};
void ShowWxWorkerBox(const Message& message, OpenBox box);

// On the UI thread it shows the modal box at once; from a worker it posts the box to the UI
// thread, where it counts as up from the post until it is closed.
class WxMessageSink : public MessageSink {
public:
    using ShowModal = void (*)(const Message&);
    using ShowPosted = void (*)(const Message&, OpenBox);
    explicit WxMessageSink(ShowModal showModal = ShowWxMessageBox,
                           ShowPosted showPosted = ShowWxWorkerBox)
        : showModal_(showModal), showPosted_(showPosted) {}
    void Show(const Message& message) override;

private:
    ShowModal showModal_;
    ShowPosted showPosted_;
};

// Routes PostToUi to the UI thread: run at once there, CallAfter from any other thread.
// Anything that shows a worker's news in a window needs it; the program and the GUI tests
// install it once the wxApp exists.
void InstallWxUiPoster();
// Installs the wx message sink and the poster above. Call once after the wxApp exists.
void InstallWxMessageSink();

}  // namespace platform

#pragma once
// The GUI's message sink and UI poster: boxes on the UI thread, posted from workers.
#include "platform/Message.h"

namespace platform {

// The modal box: the message's icon only (wx would add one to a box that names none); a box
// without a caption carries the application title.
void ShowWxMessageBox(const Message& message);

// On the UI thread it shows the box at once; from a worker it posts it to the UI thread, where
// it counts as up from the post until it has been shown and closed.
class WxMessageSink : public MessageSink {
public:
    using ShowBox = void (*)(const Message&);
    explicit WxMessageSink(ShowBox showBox = ShowWxMessageBox) : showBox_(showBox) {}
    void Show(const Message& message) override;

private:
    ShowBox showBox_;
};

// Installs the wx message sink and the CallAfter poster. Call once after the wxApp exists.
void InstallWxMessageSink();

}  // namespace platform

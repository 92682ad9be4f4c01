#pragma once
// The GUI's message sink and UI poster: boxes on the UI thread, posted from workers.
//
// Every box is the program's own dialog: the message's icon from the icon theme, the text and
// its buttons, at least as wide as its caption in a title bar, and above every window of the
// program and active when it opens (platform/ui/OnTop.h).
#include <wx/dialog.h>

#include <string>

#include "platform/Message.h"

namespace platform {

// A message box. buttons: wxOK, wxOK | wxCANCEL or wxYES_NO (with wxNO_DEFAULT: No is the
// default). A button ends it with its id; Esc and the close box with the last button's.
class WxBox : public wxDialog {
public:
    WxBox(wxWindow* parent, const Message& message, long buttons = wxOK);
    const std::string& Text() const { return text_; }
    const std::string& Caption() const { return caption_; }

protected:
    // A button or Esc: the modal loop ends with id; a modeless box goes.
    virtual void Answer(int id);

private:
    std::string text_;
    std::string caption_;
};

// The modal box: the message's icon only; a box without a caption carries the application
// title.
void ShowWxMessageBox(const Message& message);

// A question in a modal box: true when the user chose OK or Yes.
bool AskWx(wxWindow* parent, const std::string& text, const std::string& caption, long buttons,
           MessageIcon icon);

// A box a worker posted. Modeless, so the windows behind it stay usable (a page's Stop above
// all), as they did while a worker waited on its own box; up until the user closes it.
class WxWorkerBox : public WxBox {
public:
    WxWorkerBox(const Message& message, OpenBox box);

private:
    void Answer(int id) override;
    OpenBox box_;
};
void ShowWxWorkerBox(const Message& message, OpenBox box);

// The box with this text and caption that is up, raised above the program's windows again.
void PresentWxBox(const Message& message);

// On the UI thread it shows the modal box at once; from a worker it posts the box to the UI
// thread, where it counts as up from the post until it is closed. A repeat of a box that is
// up brings that box to the top again.
class WxMessageSink : public MessageSink {
public:
    using ShowModal = void (*)(const Message&);
    using ShowPosted = void (*)(const Message&, OpenBox);
    using Present = void (*)(const Message&);
    explicit WxMessageSink(ShowModal showModal = ShowWxMessageBox,
                           ShowPosted showPosted = ShowWxWorkerBox, Present present = PresentWxBox)
        : showModal_(showModal), showPosted_(showPosted), present_(present) {}
    void Show(const Message& message) override;
    void Repeat(const Message& message) override;

private:
    ShowModal showModal_;
    ShowPosted showPosted_;
    Present present_;
};

// Routes PostToUi to the UI thread: run at once there, CallAfter from any other thread.
// Anything that shows a worker's news in a window needs it; the program and the GUI tests
// install it once the wxApp exists.
void InstallWxUiPoster();
// Installs the wx message sink and the poster above, and the rule that puts every dialog and
// box above the program's windows. Call once after the wxApp exists.
void InstallWxMessageSink();

}  // namespace platform

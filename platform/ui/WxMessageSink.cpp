#include "platform/ui/WxMessageSink.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/thread.h>

#include "platform/Message.h"

namespace platform {

long WxMessageBoxStyle(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Exclamation: return wxOK | wxICON_EXCLAMATION;
    case MessageIcon::Information: return wxOK | wxICON_INFORMATION;
    case MessageIcon::Question: return wxOK | wxICON_QUESTION;
    case MessageIcon::None: break;
    }
    return wxOK | wxICON_NONE;
}

namespace {

void ShowBox(const Message& m) {
    // Boxes without a caption of their own carry the application title, as the page messages do.
    wxString caption = m.caption.empty() ? wxString("VR3526 Developer Kits V1.00")
                                         : wxString::FromUTF8(m.caption);
    wxMessageBox(wxString::FromUTF8(m.text), caption, WxMessageBoxStyle(m.icon));
}

class WxMessageSink : public MessageSink {
public:
    void Show(const Message& m) override {
        if (wxThread::IsMain()) {
            ShowBox(m);
        } else if (wxTheApp) {
            wxTheApp->CallAfter([m] { ShowBox(m); });
        }
    }
};

WxMessageSink g_wxSink;

}  // namespace

void InstallWxMessageSink() {
    SetMessageSink(&g_wxSink);
    SetUiPoster([](std::function<void()> fn) {
        if (wxThread::IsMain())
            fn();
        else if (wxTheApp)
            wxTheApp->CallAfter(std::move(fn));
    });
}

}  // namespace platform

#include "platform/ui/WxMessageSink.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/thread.h>

#include "platform/Message.h"

namespace platform {
namespace {

long IconStyle(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Exclamation: return wxICON_EXCLAMATION;
    case MessageIcon::Information: return wxICON_INFORMATION;
    case MessageIcon::Question: return wxICON_QUESTION;
    case MessageIcon::None: break;
    }
    return 0;
}

void ShowBox(const Message& m) {
    wxString caption = m.caption.empty() ? wxString("VR3526Kits") : wxString::FromUTF8(m.caption);
    wxMessageBox(wxString::FromUTF8(m.text), caption, wxOK | IconStyle(m.icon));
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

#include "platform/ui/WxMessageSink.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/thread.h>

#include <memory>

namespace platform {

namespace {

long BoxStyle(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Exclamation: return wxOK | wxICON_EXCLAMATION;
    case MessageIcon::Information: return wxOK | wxICON_INFORMATION;
    case MessageIcon::Question: return wxOK | wxICON_QUESTION;
    case MessageIcon::None: break;
    }
    return wxOK | wxICON_NONE;
}

}  // namespace

void ShowWxMessageBox(const Message& m) {
    // Boxes without a caption of their own carry the application title, as the page messages do.
    wxString caption = m.caption.empty() ? wxString("VR3526 Developer Kits V1.00")
                                         : wxString::FromUTF8(m.caption);
    wxMessageBox(wxString::FromUTF8(m.text), caption, BoxStyle(m.icon));
}

void WxMessageSink::Show(const Message& m) {
    if (wxThread::IsMain()) {
        showBox_(m);  // modal: closed when it returns
        return;
    }
    if (!wxTheApp) return;
    // CallAfter copies its functor, hence the shared box.
    auto box = std::make_shared<OpenBox>(KeepBoxOpen());
    wxTheApp->CallAfter([m, box, showBox = showBox_] {
        showBox(m);
        *box = OpenBox();
    });
}

namespace {
WxMessageSink g_wxSink;
}

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

#include "platform/ui/WxMessageSink.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
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

const char* ArtOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Exclamation: return wxART_WARNING;
    case MessageIcon::Information: return wxART_INFORMATION;
    case MessageIcon::Question: return wxART_QUESTION;
    case MessageIcon::None: break;
    }
    return nullptr;
}

// Boxes without a caption of their own carry the application title, as the page messages do.
wxString CaptionOf(const Message& m) {
    return m.caption.empty() ? wxString("VR3526 Developer Kits V1.00") : wxString::FromUTF8(m.caption);
}

}  // namespace

void ShowWxMessageBox(const Message& m) {
    wxMessageBox(wxString::FromUTF8(m.text), CaptionOf(m), BoxStyle(m.icon));
}

WxWorkerBox::WxWorkerBox(const Message& m, OpenBox box)
    : wxDialog(wxTheApp->GetTopWindow(), wxID_ANY, CaptionOf(m)), text_(m.text), box_(std::move(box)) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    if (const char* art = ArtOf(m.icon))
        row->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX)),
                 0, wxALL, 10);
    row->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(m.text)), 0,
             wxALIGN_CENTER_VERTICAL | wxALL, 10);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(row);
    top->Add(CreateButtonSizer(wxOK), 0, wxALIGN_CENTER | wxALL, 10);
    SetSizerAndFit(top);
    // Closed, the box goes; it no longer counts as up once it is deleted.
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Destroy(); }, wxID_OK);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Destroy(); });
}

void ShowWxWorkerBox(const Message& m, OpenBox box) { (new WxWorkerBox(m, std::move(box)))->Show(); }

void WxMessageSink::Show(const Message& m) {
    if (wxThread::IsMain()) {
        showModal_(m);  // closed when it returns
        return;
    }
    if (!wxTheApp) return;
    // CallAfter copies its functor, hence the shared box.
    auto box = std::make_shared<OpenBox>(KeepBoxOpen());
    wxTheApp->CallAfter([m, box, showPosted = showPosted_] { showPosted(m, std::move(*box)); });
}

namespace {
WxMessageSink g_wxSink;
}

void InstallWxUiPoster() {
    SetUiPoster([](std::function<void()> fn) {
        if (wxThread::IsMain())
            fn();
        else if (wxTheApp)
            wxTheApp->CallAfter(std::move(fn));
    });
}

void InstallWxMessageSink() {
    SetMessageSink(&g_wxSink);
    InstallWxUiPoster();
}

}  // namespace platform

#include "platform/ui/WxMessageSink.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/thread.h>

#include <algorithm>
#include <memory>

#include "platform/ui/Accessible.h"
#include "platform/ui/Caption.h"
#include "platform/ui/OnTop.h"

namespace platform {

namespace {

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
std::string CaptionOf(const Message& m) { return m.caption.empty() ? "VR3526 Developer Kits V1.00" : m.caption; }

struct BoxButton {
    int id;
    const char* label;
};

std::vector<BoxButton> ButtonsOf(long buttons) {
    if (buttons & wxYES_NO) return {{wxID_YES, "&Yes"}, {wxID_NO, "&No"}};
    if (buttons & wxCANCEL) return {{wxID_OK, "OK"}, {wxID_CANCEL, "Cancel"}};
    return {{wxID_OK, "OK"}};
}

}  // namespace

WxBox::WxBox(wxWindow* parent, const Message& m, long buttons)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(CaptionOf(m))), text_(m.text), caption_(m.caption) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    if (const char* art = ArtOf(m.icon))
        row->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX)), 0,
                 wxALL, 10);
    row->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(m.text)), 0, wxALIGN_CENTER_VERTICAL | wxALL, 10);
    auto* buttonRow = new wxBoxSizer(wxHORIZONTAL);
    const std::vector<BoxButton> kinds = ButtonsOf(buttons);
    for (const BoxButton& b : kinds) {
        auto* button = new wxButton(this, b.id, b.label);
        buttonRow->Add(button, 0, wxLEFT | wxRIGHT, 5);
        button->Bind(wxEVT_BUTTON, [this, id = b.id](wxCommandEvent&) { Answer(id); });
        const bool noDefault = (buttons & wxNO_DEFAULT) && b.id == wxID_NO;
        if (noDefault || (!(buttons & wxNO_DEFAULT) && &b == &kinds.front())) {
            button->SetDefault();
            button->SetFocus();
        }
    }
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(row);
    top->Add(buttonRow, 0, wxALIGN_CENTER | wxALL, 10);
    top->SetMinSize(wxSize(CaptionWidth(this), -1));
    SetSizerAndFit(top);
    const int last = kinds.back().id;
    SetEscapeId(wxID_NONE);
    Bind(wxEVT_CHAR_HOOK, [this, last](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers())
            Answer(last);
        else
            event.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this, last](wxCloseEvent&) { Answer(last); });
    CentreOnParent();
    MakeAlert(this);
}

void WxBox::Answer(int id) {
    if (IsModal())
        EndModal(id);
    else
        Destroy();
}

void ShowWxMessageBox(const Message& m) {
    WxBox box(CurrentProgramWindow(), m);
    box.ShowModal();
}

bool AskWx(wxWindow* parent, const std::string& text, const std::string& caption, long buttons, MessageIcon icon) {
    WxBox box(parent, Message{text, caption, icon}, buttons);
    const int answer = box.ShowModal();
    return answer == wxID_OK || answer == wxID_YES;
}

// No owner for the toolkit: a modal dialog it opens over would take the box with it when it goes.
WxWorkerBox::WxWorkerBox(const Message& m, OpenBox box) : WxBox(nullptr, m), box_(std::move(box)) {
    MarkOnTop(this);
    if (wxWindow* over = CurrentProgramWindow()) CentreOver(this, over);
}

// Closed, the box goes; it no longer counts as up once it is deleted.
void WxWorkerBox::Answer(int) { Destroy(); }

void ShowWxWorkerBox(const Message& m, OpenBox box) { (new WxWorkerBox(m, std::move(box)))->Show(); }

void PresentWxBox(const Message& m) {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* box = dynamic_cast<WxBox*>(window);
        if (box && !box->IsBeingDeleted() && box->IsShown() && box->Text() == m.text && box->Caption() == m.caption)
            PresentOnTop(box);
    }
}

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

void WxMessageSink::Repeat(const Message& m) {
    if (wxThread::IsMain())
        present_(m);
    else if (wxTheApp)
        wxTheApp->CallAfter([m, present = present_] { present(m); });
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
    InstallOnTopDialogs();
}

}  // namespace platform

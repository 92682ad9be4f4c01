#include "pages/shared/ui/PageDialog.h"

#include <wx/button.h>
#include <wx/textctrl.h>

#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/DialogHubPage.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/ui/WxText.h"

PageDialog::PageDialog(CDialogMainA* hub, int id, const char* title)
    : wxDialog(nullptr, id, U8(title), wxDefaultPosition, wxDefaultSize, kPageWindowStyle),
      m_pMainDlg(hub),
      m_KeepAliveTimer(this, kPageKeepAliveTimer),
      m_CyclicTimer(this, kPageCyclicTimer) {
    Bind(wxEVT_TIMER, [this](wxTimerEvent& event) { OnTimer(event.GetId()); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        HandlePageClose(event, [this] { ClosePage(); }, [this] { OnBnClickedCancel(); });
    });
}

PageDialog::~PageDialog() {
    m_KeepAliveTimer.Stop();
    m_CyclicTimer.Stop();
}

void PageDialog::Open() {
    CreateControls();
    BindHandlers();
    UpdateControls();
    RefreshDeviceStatus();
    PlacePageWindow(this, m_pMainDlg);
}

void PageDialog::BindRunButtons(wxButton* start, wxButton* stop, std::vector<wxButton*> send, wxButton* exit) {
    m_Start = start;
    m_Stop = stop;
    m_Send = std::move(send);
    start->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedStart(); });
    stop->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedStop(); });
    exit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedCancel(); });
}

void PageDialog::RefreshDeviceStatus() {
    const PageDeviceStatus status = PageStatus();
    wxWindow* focus = FindFocus();
    SetTitle(U8(status.caption));
    if (m_Start) m_Start->Enable(status.startEnabled);
    if (m_Stop) m_Stop->Enable(status.stopEnabled);
    for (wxButton* button : m_Send) button->Enable(status.sendEnabled);
    ShowPageStatus();
    KeepFocusInWindow(this, focus, {m_Stop, m_Start});
}

void PageDialog::OnBnClickedStart() {
    if (StartedForPage(StartPage(), m_pMainDlg)) RefreshDeviceStatus();
}

void PageDialog::OnBnClickedStop() {
    StopPage();
    RefreshDeviceStatus();
}

void PageDialog::OnBnClickedCancel() {
    if (!PageMayClose(m_pMainDlg)) return;
    ClosePage();
    RefreshDeviceStatus();
    Hide();
}

void PageDialog::OnButton(int id, std::function<void()> handler) {
    m_Buttons.at(id)->Bind(wxEVT_BUTTON, [handler](wxCommandEvent&) { handler(); });
}

void PageDialog::OnText(int id, std::function<void()> handler) { OnEditText(Edit(id), std::move(handler)); }

void PageDialog::OnLeave(int id, std::function<void()> handler) { OnEditLeft(Edit(id), std::move(handler)); }

std::string PageDialog::Text(int id) const { return Edit(id)->GetValue().utf8_string(); }

void PageDialog::StartPageTimer(int id, uint32_t periodMs) { Timer(id).Start(static_cast<int>(periodMs)); }

void PageDialog::KillPageTimer(int id) { Timer(id).Stop(); }

bool PageDialog::PageTimerRunning(int id) const {
    return (id == kPageKeepAliveTimer ? m_KeepAliveTimer : m_CyclicTimer).IsRunning();
}

#pragma once
// The window base of every bus page: the hub it belongs to, its controls by id, the two page
// timers (1 keep-alive, 2 cyclic), the run buttons and the caption by the device status, and
// Start, Stop and Exit (with the window's close, which the hub may refuse).
//
// A window reaches its page's operations only through StartPage, StopPage, PageStatus and
// ClosePage, each implemented by the window on its own page object: a page's own Start, Stop
// or Close is never skipped by a call through a base of the page.
#include <wx/dialog.h>
#include <wx/timer.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "pages/shared/PageOps.h"
#include "pages/shared/PageSession.h"
#include "pages/shared/PageStatus.h"

class CDialogMainA;
class wxButton;
class wxTextCtrl;

// The run buttons' window ids, the same on every page.
enum PageRunButtonId : int {
    IDC_PAGE_EXIT = 2,
    IDC_PAGE_STOP = 1003,
    IDC_PAGE_START = 1014,
    IDC_PAGE_SEND = 1015,
};

class PageDialog : public wxDialog, protected PageTimers {
public:
    // hub is m_pMainDlg: it owns the monitor timer and the page buttons.
    PageDialog(CDialogMainA* hub, int id, const char* title);
    ~PageDialog() override;

    // Caption and run buttons by the device status, then the page's own controls.
    void RefreshDeviceStatus();
    void OnBnClickedStart();
    void OnBnClickedStop();
    // Exit: unless the hub refuses (a worker runs), the page closes and the window hides.
    void OnBnClickedCancel();
    bool PageTimerRunning(int id) const;

    CDialogMainA* m_pMainDlg;

protected:
    virtual PageStartResult StartPage() = 0;
    virtual void StopPage() = 0;
    virtual PageDeviceStatus PageStatus() = 0;
    // The page is closing (Exit, or the program forcing the close): its session ends.
    virtual void ClosePage() = 0;
    // After the caption and run buttons: what else the page shows by its state.
    virtual void ShowPageStatus() {}
    // A page timer's tick (ids 1 and 2).
    virtual void OnTimer(int /*id*/) {}

    // The window's own parts of Open, in this order: its controls; their handlers, limits
    // and the page fields they show; then the page's values in them (written without
    // events, so no handler runs for the window's own filling).
    virtual void CreateControls() = 0;
    virtual void BindHandlers() = 0;
    virtual void UpdateControls() = 0;
    // Builds the window once, shows the device status and centres it on the hub. Each page
    // window's constructor calls it.
    void Open();

    // Start, Stop and Exit (and the window's close) are bound here; the send buttons follow
    // Send's enable state and are bound by the window.
    void BindRunButtons(wxButton* start, wxButton* stop, std::vector<wxButton*> send, wxButton* exit);

    void OnButton(int id, std::function<void()> handler);
    void OnText(int id, std::function<void()> handler);
    void OnLeave(int id, std::function<void()> handler);
    wxTextCtrl* Edit(int id) const { return m_Edits.at(id); }
    std::string Text(int id) const;

    std::map<int, wxTextCtrl*> m_Edits;
    std::map<int, wxButton*> m_Buttons;

private:
    void StartPageTimer(int id, uint32_t periodMs) override;
    void KillPageTimer(int id) override;
    wxTimer& Timer(int id) { return id == kPageKeepAliveTimer ? m_KeepAliveTimer : m_CyclicTimer; }

    wxButton* m_Start = nullptr;
    wxButton* m_Stop = nullptr;
    std::vector<wxButton*> m_Send;
    wxTimer m_KeepAliveTimer;
    wxTimer m_CyclicTimer;
};

#pragma once
// The HubPage of a modeless page window: created on the first ShowPage, hidden (not
// destroyed) when the page closes, deleted with the hub; and the close every such window
// handles the same way.
#include <wx/event.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <functional>
#include <utility>

#include "monitor/ui/HubPage.h"

// A window about to be destroyed handles no more events: GTK moves the focus out of its
// controls while the window's base part is destroyed, after the page's own members are gone,
// and a control's leave handler would run on them.
inline void SilenceWindow(wxWindow* window) {
    for (wxWindow* child : window->GetChildren()) SilenceWindow(child);
    window->SetEvtHandlerEnabled(false);
}

// Dialog: a wxDialog with RefreshDeviceStatus(), made by `make` (by default from the hub
// alone; one dialog class may serve two pages, as J1850 VPW and PWM do).
template <class Dialog>
class DialogHubPage : public HubPage {
public:
    using Factory = std::function<Dialog*(CDialogMainA* hub)>;
    DialogHubPage() : m_Make([](CDialogMainA* hub) { return new Dialog(hub); }) {}
    explicit DialogHubPage(Factory make) : m_Make(std::move(make)) {}
    ~DialogHubPage() override {
        if (!m_Dialog) return;
        SilenceWindow(m_Dialog.get());
        delete m_Dialog.get();
    }
    bool WindowExists() const override { return m_Dialog.get() != nullptr; }
    void ShowPage(CDialogMainA* hub) override {
        if (!m_Dialog) m_Dialog = m_Make(hub);
        m_Dialog->Show();
        m_Dialog->Iconize(false);
        m_Dialog->Raise();
        m_Dialog->SetFocus();
    }
    void RefreshDeviceStatus() override {
        if (m_Dialog) m_Dialog->RefreshDeviceStatus();
    }

private:
    Factory m_Make;
    wxWeakRef<Dialog> m_Dialog;
};

// A close the program forces (it is ending) ends the page's session and lets the window go;
// any other close is the page's Exit, which may refuse.
inline void HandlePageClose(wxCloseEvent& event, const std::function<void()>& endSession,
                            const std::function<void()>& exit) {
    if (!event.CanVeto()) {
        endSession();
        event.Skip();
        return;
    }
    event.Veto();
    exit();
}

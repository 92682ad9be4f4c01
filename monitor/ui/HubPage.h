#pragma once
// What the hub and the main frame need of a protocol page. Pages are registered with the hub
// by the application at start-up; the hub creates a page's window the first time its button
// is pressed and afterwards only shows it again.
class CDialogMainA;

class HubPage {
public:
    virtual ~HubPage() = default;
    // True once the page's window was created (it may be hidden).
    virtual bool WindowExists() const = 0;
    // Creates the window on first use (with hub as m_pMainDlg) or raises the existing one.
    virtual void ShowPage(CDialogMainA* hub) = 0;
    // Sets the caption and the Start / Stop / Send buttons by the connection state.
    virtual void RefreshDeviceStatus() = 0;
};

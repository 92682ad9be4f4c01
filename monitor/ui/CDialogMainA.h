#pragma once
// The hub: the monitor list with its scroll bar, one button per protocol page, and the
// 250 ms monitor timer that keeps the list following new records while a worker runs.
//
// UI thread only. Pages are registered by the application at start-up; a page's window is
// created the first time its button is pressed, afterwards only shown again. Only one page
// is open at a time: opening one disables every other page button until it closes.
#include <wx/panel.h>
#include <wx/font.h>
#include <wx/timer.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "monitor/HubLayout.h"
#include "monitor/ui/HubPage.h"

class wxButton;
class wxScrollBar;
class wxScrollEvent;
class wxSizeEvent;
class wxMouseEvent;
class CListMessage;

// Window ids of the hub's controls.
enum HubControlId : int {
    IDD_DIALOG_MAIN = 132,
    IDC_LIST_MESSAGE = 1001,
    IDC_SCROLLBAR_MONITOR = 1063,
    IDC_BUTTON_VPW = 1007,
    IDC_BUTTON_PWM = 1008,
    IDC_BUTTON_15765 = 1006,
    IDC_BUTTON_J1939 = 1009,
    IDC_BUTTON_TP20 = 1010,
    IDC_BUTTON_SCI = 1013,
    IDC_BUTTON_14230 = 1003,
    IDC_BUTTON_USER = 1004,
    IDC_BUTTON_KW1281 = 1005,
    IDC_BUTTON_J1708 = 1011,
    IDC_BUTTON_LIN = 1160,
    IDC_BUTTON_TEST_UART = 1014,
    IDC_BUTTON_OBD_SIMU = 1015,
    IDC_BUTTON_LOGIC = 1017,
};

constexpr int kHubButtonCount = 14;
// The order in which the buttons are disabled and enabled.
extern const std::array<int, kHubButtonCount> kHubButtonOrder;
// The order in which pages refresh their device status (connect, disconnect, worker end).
extern const std::array<int, 13> kHubRefreshOrder;

// Id of the monitor timer.
constexpr int kMonitorTimerId = 1;
constexpr int kMonitorTimerPeriodMs = 250;

class CDialogMainA : public wxPanel {
public:
    explicit CDialogMainA(wxWindow* parent);
    ~CDialogMainA() override;

    // The page behind a button; buttons without a page stay disabled. Replaces an earlier one.
    void RegisterPage(int buttonId, std::unique_ptr<HubPage> page);
    HubPage* GetPage(int buttonId) const;

    void DisableAllButtons();
    // Enables the buttons that have a page.
    void EnableAllButtons();

    // A page button: disable all, show (or create) the page, re-enable its own button.
    void OnPageButton(int buttonId);

    // Starts timer 1 at 250 ms on the hub (a page's Start calls it after starting its worker).
    void StartMonitorTimer();
    bool MonitorTimerRunning() const;
    // One tick of the monitor timer (also called by tests to drive it).
    void OnTimer(int timerId);

    // RefreshDeviceStatus of every page whose window exists, in kHubRefreshOrder.
    void RefreshPages();

    // The close body pages share: refused with the "请先停止" box while a worker runs (false);
    // else every page button is enabled again and true is returned, the page then hides.
    bool ConfirmPageClose();

    // Shows the ring afresh after it changed under the list (clear, load): scroll bar from
    // the ring's words and the list page rewritten.
    void RefreshMonitorList();

    // Scrolling by a bar event code step, and by the wheel (the list forwards its own).
    void OnVScroll(wxScrollEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void ScrollByRows(int32_t step);

    // The least client that keeps the hub whole: every button inside and apart, the list with
    // its header and a row, its scroll bar at the toolkit's least height.
    wxSize MinimumClientSize() const;

    // Height of one list row in pixels, as the list draws it with its font.
    int RowPixels() const { return m_RowPixels; }

    CListMessage* GetList() const { return m_List; }
    wxScrollBar* GetScrollBar() const { return m_ScrollBar; }
    wxButton* GetPageButton(int buttonId) const;
    // "宋体" 13 pixels (or the CJK sans beside it): the hub's buttons and list, and the pages'
    // message buffers.
    const wxFont& PageFont() const { return m_ButtonFont; }

    int m_nTimerId = 0;

private:
    void InitMonitorColumns();
    void OnSize(wxSizeEvent& event);
    void LayoutControls(int cx, int cy);
    void SetScrollInfo(uint32_t max, uint32_t page, uint32_t position);
    void OnTimerEvent(wxTimerEvent& event);

    CListMessage* m_List = nullptr;
    wxScrollBar* m_ScrollBar = nullptr;
    std::map<int, wxButton*> m_Buttons;
    std::map<int, std::unique_ptr<HubPage>> m_Pages;
    wxTimer m_Timer;
    wxFont m_ButtonFont;
    int m_RowPixels = kHubMinRowPixels;
    int32_t m_ScrollPosition = 0;
    int32_t m_ScrollPage = 0;
    int32_t m_ScrollMax = 0;
};

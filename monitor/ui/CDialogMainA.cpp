#include "monitor/ui/CDialogMainA.h"

#include <wx/button.h>
#include <wx/scrolbar.h>

#include <algorithm>

#include "device/UsbOperation.h"
#include "device/WorkerThread.h"
#include "monitor/Connection.h"
#include "monitor/HubLayout.h"
#include "monitor/MonitorRing.h"
#include "monitor/ui/CListMessage.h"
#include "monitor/ui/ScrollCode.h"

const std::array<int, kHubButtonCount> kHubButtonOrder = {
    IDC_BUTTON_VPW,  IDC_BUTTON_PWM,    IDC_BUTTON_15765, IDC_BUTTON_J1939,
    IDC_BUTTON_TP20, IDC_BUTTON_SCI,    IDC_BUTTON_14230, IDC_BUTTON_USER,
    IDC_BUTTON_KW1281, IDC_BUTTON_J1708, IDC_BUTTON_LIN, IDC_BUTTON_TEST_UART,
    IDC_BUTTON_OBD_SIMU, IDC_BUTTON_LOGIC,
};

const std::array<int, 13> kHubRefreshOrder = {
    IDC_BUTTON_VPW,      IDC_BUTTON_PWM, IDC_BUTTON_15765, IDC_BUTTON_14230, IDC_BUTTON_KW1281,
    IDC_BUTTON_OBD_SIMU, IDC_BUTTON_SCI, IDC_BUTTON_USER,  IDC_BUTTON_LIN,   IDC_BUTTON_J1708,
    IDC_BUTTON_TEST_UART, IDC_BUTTON_TP20, IDC_BUTTON_J1939,
};

namespace {

const char* ButtonCaption(int id) {
    switch (id) {
    case IDC_BUTTON_VPW: return "J1850-VPW";
    case IDC_BUTTON_PWM: return "J1850-PWM";
    case IDC_BUTTON_15765: return "ISO15765";
    case IDC_BUTTON_J1939: return "J1939";
    case IDC_BUTTON_TP20: return "VW TP2.0";
    case IDC_BUTTON_SCI: return "SCI";
    case IDC_BUTTON_14230: return "ISO14230(KWP2000)";
    case IDC_BUTTON_USER: return "9141(USER MOD)";
    case IDC_BUTTON_KW1281: return "KW1281";
    case IDC_BUTTON_J1708: return "J1708";
    case IDC_BUTTON_LIN: return "LIN";
    case IDC_BUTTON_TEST_UART: return "UART测试";
    case IDC_BUTTON_OBD_SIMU: return "OBD模拟";
    case IDC_BUTTON_LOGIC: return "逻辑分析";
    default: return "";
    }
}

}  // namespace

CDialogMainA::CDialogMainA(wxWindow* parent)
    : wxPanel(parent, IDD_DIALOG_MAIN, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL),
      m_Timer(this, kMonitorTimerId) {
    // "宋体" 13 pixels where the system has it, else the system's CJK-capable sans.
    m_ButtonFont = wxFont(wxFontInfo(wxSize(0, 13)).Family(wxFONTFAMILY_SWISS).FaceName("宋体"));
    if (!m_ButtonFont.IsOk()) m_ButtonFont = wxFont(wxFontInfo(wxSize(0, 13)).Family(wxFONTFAMILY_SWISS));

    m_List = new CListMessage(this, IDC_LIST_MESSAGE);
    m_ScrollBar = new wxScrollBar(this, IDC_SCROLLBAR_MONITOR, wxDefaultPosition, wxSize(20, -1),
                                  wxSB_VERTICAL);
    for (int id : kHubButtonOrder) {
        auto* button = new wxButton(this, id, wxString::FromUTF8(ButtonCaption(id)));
        button->SetFont(m_ButtonFont);
        button->Disable();  // until its page is registered
        button->Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) { OnPageButton(id); });
        m_Buttons[id] = button;
    }
    m_List->SetFont(m_ButtonFont);
    InitMonitorColumns();
    m_RowPixels = std::max(m_List->MeasureRowPixels(), kHubMinRowPixels);
    SetScrollInfo(0, g_MonitorRowsPerPage.load(), 0);

    Bind(wxEVT_SIZE, &CDialogMainA::OnSize, this);
    Bind(wxEVT_TIMER, &CDialogMainA::OnTimerEvent, this, kMonitorTimerId);
    BindScrollSteps(m_ScrollBar, [this](wxScrollEvent& event) { OnVScroll(event); });
    Bind(wxEVT_MOUSEWHEEL, &CDialogMainA::OnMouseWheel, this);
}

CDialogMainA::~CDialogMainA() {
    m_Timer.Stop();
    // A running worker reads its page (the LIN slave rows, the CAN frames): it ends, with its
    // stop packet, before any page goes, whoever destroys the hub.
    g_WorkerThread.Stop();
    // Pages own top-level windows that point back here: they go before the hub's children.
    m_Pages.clear();
}

void CDialogMainA::InitMonitorColumns() { m_List->InitColumns(); }

void CDialogMainA::RegisterPage(int buttonId, std::unique_ptr<HubPage> page) {
    auto button = m_Buttons.find(buttonId);
    if (button == m_Buttons.end() || !page) return;
    m_Pages[buttonId] = std::move(page);
    button->second->Enable();
}

HubPage* CDialogMainA::GetPage(int buttonId) const {
    auto it = m_Pages.find(buttonId);
    return it == m_Pages.end() ? nullptr : it->second.get();
}

wxButton* CDialogMainA::GetPageButton(int buttonId) const {
    auto it = m_Buttons.find(buttonId);
    return it == m_Buttons.end() ? nullptr : it->second;
}

void CDialogMainA::DisableAllButtons() {
    for (int id : kHubButtonOrder) m_Buttons[id]->Disable();
}

void CDialogMainA::EnableAllButtons() {
    for (int id : kHubButtonOrder) m_Buttons[id]->Enable(GetPage(id) != nullptr);
}

void CDialogMainA::OnPageButton(int buttonId) {
    HubPage* page = GetPage(buttonId);
    if (!page) return;
    // The logic analyser runs modally and leaves the buttons as they are.
    if (buttonId == IDC_BUTTON_LOGIC) {
        page->ShowPage(this);
        return;
    }
    DisableAllButtons();
    page->ShowPage(this);
    m_Buttons[buttonId]->Enable();
}

void CDialogMainA::StartMonitorTimer() {
    m_Timer.Start(kMonitorTimerPeriodMs);
    m_nTimerId = kMonitorTimerId;
}

bool CDialogMainA::MonitorTimerRunning() const { return m_Timer.IsRunning(); }

void CDialogMainA::OnTimerEvent(wxTimerEvent& event) { OnTimer(event.GetId()); }

void CDialogMainA::OnTimer(int timerId) {
    // The running flag before the sequence: records a worker appended before it ended are
    // then always seen by the tick that stops the timer.
    const bool running = g_WorkerRunning.load(std::memory_order_acquire) != 0;
    const uint32_t seq = g_MonitorSeq.load(std::memory_order_acquire);
    const HubTickDecision decision =
        DecideHubTick(timerId, seq, g_MonitorLastSeq.load(std::memory_order_acquire), running);
    if (decision.refreshList) {
        g_MonitorTop.store(g_MonitorCount.load());
        RefreshMonitorList();
        g_MonitorLastSeq.store(seq, std::memory_order_release);
    }
    if (decision.stopTimer) {
        m_Timer.Stop();
        m_nTimerId = 0;
        RefreshPages();
    }
}

void CDialogMainA::RefreshPages() {
    for (int id : kHubRefreshOrder) {
        HubPage* page = GetPage(id);
        if (page && page->WindowExists()) page->RefreshDeviceStatus();
    }
}

bool CDialogMainA::ConfirmPageClose() {
    if (RefusedWhileWorkerRuns()) return false;
    EnableAllButtons();
    return true;
}

void CDialogMainA::RefreshMonitorList() {
    m_List->RefreshPage();
    SetScrollInfo(g_MonitorCount.load(), g_MonitorRowsPerPage.load(), g_MonitorTop.load());
}

void CDialogMainA::SetScrollInfo(uint32_t max, uint32_t page, uint32_t position) {
    m_ScrollMax = static_cast<int32_t>(std::min<uint32_t>(max, INT32_MAX));
    m_ScrollPage = static_cast<int32_t>(page);
    m_ScrollPosition = static_cast<int32_t>(std::min<uint32_t>(position, INT32_MAX));
    // wx keeps the thumb within range - thumb, the same last position as the clamp.
    m_ScrollBar->SetScrollbar(m_ScrollPosition, std::max(m_ScrollPage, 1), m_ScrollMax,
                              std::max(m_ScrollPage, 1));
}

void CDialogMainA::ScrollByRows(int32_t step) {
    m_ScrollPosition = HubClampScroll(m_ScrollPosition, step, m_ScrollPage, m_ScrollMax);
    m_ScrollBar->SetThumbPosition(m_ScrollPosition);
    g_MonitorTop.store(static_cast<uint32_t>(m_ScrollPosition));
    m_List->RefreshPage();
}

void CDialogMainA::OnVScroll(wxScrollEvent& event) {
    // The native bar has already moved: the step is taken from the position it was last given.
    ScrollByRows(HubScrollStep(ScrollCodeOf(event.GetEventType()), m_ScrollPosition, m_ScrollPage,
                               event.GetPosition()));
}

void CDialogMainA::OnMouseWheel(wxMouseEvent& event) {
    // GTK reports sideways turns as wheel events too; only the vertical wheel moves rows.
    if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) {
        event.Skip();
        return;
    }
    ScrollByRows(HubWheelStep(event.GetWheelRotation()));
}

wxSize CDialogMainA::MinimumClientSize() const {
    const HubSize least = HubMinimumClient(m_RowPixels, m_ScrollBar->GetBestSize().y);
    return wxSize(least.cx, least.cy);
}

void CDialogMainA::OnSize(wxSizeEvent& event) {
    event.Skip();
    const wxSize size = GetClientSize();
    LayoutControls(size.x, size.y);
}

void CDialogMainA::LayoutControls(int cx, int cy) {
    const HubLayout layout = ComputeHubLayout(cx, cy, m_RowPixels);
    m_List->SetSize(layout.list.x, layout.list.y, layout.list.width, layout.list.height);
    g_MonitorRowsPerPage.store(layout.rowsPerPage);
    SetScrollInfo(g_MonitorCount.load(), layout.rowsPerPage, g_MonitorTop.load());
    m_List->RefreshPage();
    m_ScrollBar->SetSize(layout.scrollBar.x, layout.scrollBar.y, layout.scrollBar.width,
                         layout.scrollBar.height);
    for (const HubButtonPlace& place : layout.buttons)
        m_Buttons[place.id]->SetSize(place.rect.x, place.rect.y, place.rect.width, place.rect.height);
}

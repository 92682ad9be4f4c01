#include "logic/ui/CDialogLogic.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/scrolbar.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "logic/ui/CViewLogicWave.h"
#include "monitor/ui/ScrollCode.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/ui/WxMessageSink.h"
#include "platform/ui/WxText.h"

namespace {

// Where the view and the ruler go: the left column holds the controls.
constexpr int kViewLeft = 190;
constexpr int kViewTop = 15;
constexpr int kColumnX = 10;
constexpr int kColumnWidth = 170;

const wxString kSaveFilter = U8("波形文件(*.klg)|*.klg;*.KLG");
const wxString kLoadFilter = U8("波形文件(*.KLG)|*.klg;*.KLG");

}  // namespace

CDialogLogic::CDialogLogic(wxWindow* parent)
    : wxDialog(parent, IDD_DIALOG_LOGIC, wxString(), wxDefaultPosition, wxSize(1100, 640),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMAXIMIZE_BOX),
      m_Timer(this, kLogicTimerId) {
    // Shown at once, as the main window: wx would hold the first showing back until the window
    // manager told the decorations' size, then show it again, and the window manager would
    // place it anew (at the screen's corner), its scroll bar laid out with no room meanwhile.
    m_deferShow = false;
    CreateControls();
    ShowSelections();
    SetMinSize(wxSize(640, 540));
    SetEscapeId(IDC_LOGIC_CANCEL);

    auto onButton = [this](int id, void (CDialogLogic::*method)()) {
        m_Buttons.at(id)->Bind(wxEVT_BUTTON, [this, method](wxCommandEvent&) { (this->*method)(); });
    };
    onButton(IDC_LOGIC_START, &CDialogLogic::OnBnClickedStart);
    onButton(IDC_LOGIC_STOP, &CDialogLogic::OnBnClickedStop);
    onButton(IDC_LOGIC_SAVE, &CDialogLogic::OnBnClickedSaveFile);
    onButton(IDC_LOGIC_LOAD, &CDialogLogic::OnBnClickedLoadFile);
    onButton(IDC_LOGIC_CANCEL, &CDialogLogic::OnBnClickedCancel);
    m_Baud->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnCbnSelchangeComboBaud(); });
    m_TimeScale->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnCbnSelchangeComboTimeScale(); });
    for (const auto& [mode, radio] : m_Parity)
        radio->Bind(wxEVT_RADIOBUTTON, [this, mode = mode](wxCommandEvent&) { OnParityChosen(mode); });
    BindScrollSteps(m_ScrollBar, [this](wxScrollEvent& event) { OnVScroll(event); });
    m_ScrollBar->Bind(wxEVT_MOUSEWHEEL, [](wxMouseEvent&) {});  // the wheel moves nothing
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTimer(); }, kLogicTimerId);
    Bind(wxEVT_SIZE, &CDialogLogic::OnSize, this);
    Bind(wxEVT_PAINT, &CDialogLogic::OnPaintRuler, this);
    Bind(wxEVT_CLOSE_WINDOW, &CDialogLogic::OnClose, this);

    const wxSize client = GetClientSize();
    LayoutControls(client.x, client.y);
    RefreshDeviceStatus();
    CentreOverMainWindow(this, parent);
}

CDialogLogic::~CDialogLogic() {
    m_Timer.Stop();
    // The capture thread writes into this page's capture: it must end before the page does.
    m_Page.Stop();
}

void CDialogLogic::CreateControls() {
    m_View = new CViewLogicWave(this, m_Page.View());
    m_ScrollBar = new wxScrollBar(this, IDC_LOGIC_SCROLLBAR, wxDefaultPosition, wxSize(20, -1), wxSB_VERTICAL);

    new wxStaticText(this, wxID_ANY, U8("波特率:"), wxPoint(kColumnX, 15));
    wxArrayString bauds, scales;
    for (const char* label : kLogicBaudLabels) bauds.Add(U8(label));
    for (const char* label : kLogicTimeScaleLabels) scales.Add(U8(label));
    m_Baud = new wxChoice(this, IDC_LOGIC_BAUD, wxPoint(kColumnX, 35), wxSize(kColumnWidth, -1), bauds);
    new wxStaticText(this, wxID_ANY, U8("时间刻度:"), wxPoint(kColumnX, 72));
    m_TimeScale = new wxChoice(this, IDC_LOGIC_TIME_SCALE, wxPoint(kColumnX, 92), wxSize(kColumnWidth, -1), scales);

    new wxStaticBox(this, wxID_ANY, U8("校验"), wxPoint(kColumnX, 130), wxSize(kColumnWidth, 118));
    const int ids[] = {IDC_LOGIC_NO_PARITY, IDC_LOGIC_ODD, IDC_LOGIC_EVEN, IDC_LOGIC_LIN};
    for (uint32_t mode = ParityNone; mode <= ParityLin; ++mode)
        m_Parity[mode] = new wxRadioButton(this, ids[mode], U8(kLogicParityLabels[mode]),
                                           wxPoint(kColumnX + 12, 152 + 23 * static_cast<int>(mode)), wxDefaultSize,
                                           mode == ParityNone ? wxRB_GROUP : 0);

    m_Count = new wxStaticText(this, IDC_LOGIC_COUNT, "0", wxPoint(kColumnX, 258), wxSize(kColumnWidth, 40),
                               wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    wxFont countFont(wxFontInfo(wxSize(0, 24)).FaceName("Arial").Bold().Italic());
    if (!countFont.IsOk()) countFont = wxFont(wxFontInfo(wxSize(0, 24)).Family(wxFONTFAMILY_SWISS).Bold().Italic());
    m_Count->SetFont(countFont);
    m_Count->SetForegroundColour(*wxBLUE);
    m_Count->SetBackgroundColour(*wxWHITE);

    const struct {
        int id;
        const char* caption;
    } buttons[] = {{IDC_LOGIC_START, "开始"},      {IDC_LOGIC_STOP, "停止"},  {IDC_LOGIC_SAVE, "保存到文件"},
                   {IDC_LOGIC_LOAD, "从文件调入"}, {IDC_LOGIC_CANCEL, "取消"}};
    int y = 312;
    for (const auto& b : buttons) {
        m_Buttons[b.id] = new wxButton(this, b.id, U8(b.caption), wxPoint(kColumnX, y), wxSize(kColumnWidth, 32));
        y += 40;
    }
}

void CDialogLogic::ShowSelections() {
    m_Baud->SetSelection(static_cast<int>(m_Page.BaudRow()));
    m_TimeScale->SetSelection(static_cast<int>(m_Page.TimeScaleRow()));
    m_Parity.at(m_Page.ParityMode())->SetValue(true);
}

void CDialogLogic::RefreshDeviceStatus() {
    const LogicStatus status = m_Page.DeviceStatus();
    wxWindow* focus = FindFocus();
    SetTitle(U8(status.caption));
    m_Buttons.at(IDC_LOGIC_START)->Enable(status.startEnabled);
    m_Buttons.at(IDC_LOGIC_STOP)->Enable(status.stopEnabled);
    m_Buttons.at(IDC_LOGIC_SAVE)->Enable(status.saveEnabled);
    m_Buttons.at(IDC_LOGIC_LOAD)->Enable(status.loadEnabled);
    KeepFocusInWindow(this, focus, {m_Buttons.at(IDC_LOGIC_STOP), m_Buttons.at(IDC_LOGIC_START)});
}

void CDialogLogic::ResetScroll() {
    const wxSize client = m_View->GetClientSize();
    const LogicScroll scroll = m_Page.ResetScroll(client.x, client.y);
    m_ScrollBar->SetScrollbar(scroll.position, 1, scroll.max + 1, 1);
}

void CDialogLogic::OnBnClickedStart() {
    const LogicStartResult result = m_Page.Start();
    if (result == LogicStartResult::Ignored || result == LogicStartResult::NotConnected) return;
    m_View->Refresh();  // the capture was cleared
    m_Count->SetLabel(U8(m_Page.CountText()));
    if (result != LogicStartResult::Started) return;
    ResetScroll();
    m_Timer.Start(kLogicTimerPeriodMs);
    RefreshDeviceStatus();
}

void CDialogLogic::OnBnClickedStop() {
    m_Page.Stop();
    RefreshDeviceStatus();
}

void CDialogLogic::OnTimer() {
    const LogicTick tick = m_Page.OnTimer();
    if (tick.repaint) m_View->Refresh();
    m_Count->SetLabel(U8(tick.countText));
    if (!tick.ended) return;
    m_Timer.Stop();
    RefreshDeviceStatus();
    ResetScroll();
    m_View->Refresh();
}

void CDialogLogic::OnCbnSelchangeComboBaud() {
    m_Page.SelectBaud(static_cast<unsigned>(std::max(0, m_Baud->GetSelection())));
    m_View->Refresh();
}

void CDialogLogic::OnCbnSelchangeComboTimeScale() {
    m_Page.SelectTimeScale(static_cast<unsigned>(std::max(0, m_TimeScale->GetSelection())));
    ResetScroll();
    m_View->Refresh();
}

void CDialogLogic::OnParityChosen(uint32_t mode) {
    m_Page.SelectParity(mode);
    m_View->Refresh();
}

void CDialogLogic::OnVScroll(wxScrollEvent& event) {
    const LogicScroll scroll = m_Page.Scroll(ScrollCodeOf(event.GetEventType()), event.GetPosition());
    m_ScrollBar->SetThumbPosition(scroll.position);
    m_View->Refresh();
}

void CDialogLogic::OnBnClickedSaveFile() {
    wxFileDialog dialog(this, wxFileSelectorPromptStr, wxString(), wxString(), kSaveFilter, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return;
    SaveToPath(dialog.GetPath().utf8_string());
}

void CDialogLogic::SaveToPath(const std::string& chosen) {
    const std::string target = WithKlgExtension(chosen);
    // The file dialog asked about the name as chosen, not about one the extension leads to.
    if (target != chosen && wxFileExists(U8(target)) && !ConfirmReplace(target)) return;
    m_Page.SaveTo(target);
}

void CDialogLogic::SetReplaceConfirmer(std::function<bool(const std::string&)> confirmer) {
    m_ConfirmReplace = std::move(confirmer);
}

bool CDialogLogic::ConfirmReplace(const std::string& path) {
    if (m_ConfirmReplace) return m_ConfirmReplace(path);
    return platform::AskWx(this, path + " already exists.\nDo you want to replace it?", "Confirm Save As",
                           wxYES_NO | wxNO_DEFAULT, platform::MessageIcon::Exclamation);
}

void CDialogLogic::OnBnClickedLoadFile() {
    wxFileDialog dialog(this, wxFileSelectorPromptStr, wxString(), wxString(), kLoadFilter, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return;
    LoadFromPath(dialog.GetPath().utf8_string());
}

void CDialogLogic::LoadFromPath(const std::string& path) {
    if (m_Page.LoadFrom(path) != KlgResult::Ok) return;
    ShowSelections();
    m_Count->SetLabel(U8(m_Page.CountText()));
    ResetScroll();
    m_View->Refresh();
}

void CDialogLogic::OnBnClickedCancel() {
    if (!m_Page.ConfirmClose()) return;
    m_Timer.Stop();
    EndModal(wxID_CANCEL);
}

void CDialogLogic::OnClose(wxCloseEvent& event) {
    if (event.CanVeto()) {
        event.Veto();
        OnBnClickedCancel();
        return;
    }
    m_Page.Stop();  // the program is ending
    event.Skip();
}

void CDialogLogic::OnSize(wxSizeEvent& event) {
    event.Skip();
    const wxSize client = GetClientSize();
    LayoutControls(client.x, client.y);
}

void CDialogLogic::LayoutControls(int cx, int cy) {
    const int height = std::max(cy - 73, 1);
    m_View->SetSize(kViewLeft, kViewTop, std::max(cx - 220, 1), height);
    m_ScrollBar->SetSize(cx - 29, kViewTop, 20, height);
    RefreshRect(wxRect(0, kViewTop + height, cx, 60));
    ResetScroll();
    m_View->Refresh();
}

void CDialogLogic::OnPaintRuler(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxRect view = m_View->GetRect();
    const RulerMarks marks = BuildRuler(view.GetLeft(), view.GetBottom() + 1, view.GetRight() + 1);
    dc.SetPen(*wxBLACK_PEN);
    for (const RulerTick& tick : marks.ticks) dc.DrawLine(tick.x, tick.top, tick.x, tick.bottom);
    dc.SetTextForeground(GetForegroundColour());
    for (const RulerLabel& label : marks.labels) dc.DrawText(U8(label.text), label.x, label.y);
}

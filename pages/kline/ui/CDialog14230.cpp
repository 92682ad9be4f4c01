#include "pages/kline/ui/CDialog14230.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <iterator>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/DialogHubPage.h"
#include "pages/kline/ui/UartPageLayout.h"
#include "platform/Message.h"
#include "platform/ui/WxText.h"

namespace {

const UartByteFieldControl kByteFields[] = {
    {IDC_14230_UTXP1T, uart::UTXP1T, UartFieldKind::Ms0To255},
    {IDC_14230_UFREET, uart::UFREET, UartFieldKind::Ms0To255},
    {IDC_14230_URXP1MAX, uart::URXP1MAX, UartFieldKind::Ms1To255},
    {IDC_14230_FAST_LOW, uart::fastInitLowMs, UartFieldKind::Ms1To255},
    {IDC_14230_FAST_HIGH, uart::fastInitHighMs, UartFieldKind::Ms1To255},
    {IDC_14230_W1MAX, uart::W1MAX, UartFieldKind::Units20Ms1To255},
    {IDC_14230_W2MAX, uart::W2MAX, UartFieldKind::Ms1To255},
    {IDC_14230_W4SEND, uart::W4SEND, UartFieldKind::Ms1To255},
    {IDC_14230_W4MAX, uart::W4MAX, UartFieldKind::Ms1To255},
};

}  // namespace

CDialog14230::CDialog14230(CDialogMainA* hub)
    : wxDialog(hub, IDD_DIALOG_14230, wxString::FromUTF8("ISO14230(KWP2000)"),
               wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxMINIMIZE_BOX),
      m_pMainDlg(hub),
      m_Page(*this),
      m_KeepAliveTimer(this, kIso14230KeepAliveTimer),
      m_CyclicTimer(this, kIso14230CyclicTimer) {
    CreateControls();
    LoadDefaults();
    UpdateControls();
    ShowHeader(m_Page.UpdateHeaderFields());
    BindHandlers();
    RefreshDeviceStatus();
    CentreOnParent();
}

CDialog14230::~CDialog14230() {
    m_KeepAliveTimer.Stop();
    m_CyclicTimer.Stop();
}

wxTextCtrl* CDialog14230::Edit(int id) const { return m_Edits.at(id); }

std::string CDialog14230::Text(int id) const { return Edit(id)->GetValue().utf8_string(); }

void CDialog14230::BindHandlers() {
    auto onButton = [this](int id, void (CDialog14230::*method)()) {
        m_Buttons.at(id)->Bind(wxEVT_BUTTON, [this, method](wxCommandEvent&) { (this->*method)(); });
    };
    onButton(IDC_14230_START, &CDialog14230::OnBnClickedStart);
    onButton(IDC_14230_STOP, &CDialog14230::OnBnClickedStop);
    onButton(IDC_14230_SEND, &CDialog14230::OnBnClickedSendFrame);
    onButton(IDC_14230_SEND_INIT, &CDialog14230::OnBnClickedSendInitFrame);
    onButton(IDC_14230_EXIT, &CDialog14230::OnBnClickedCancel);
    // "设置为默认值" does nothing on the pages of this family.
    Bind(wxEVT_CLOSE_WINDOW, &CDialog14230::OnClose, this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent& event) { OnTimer(event.GetId()); });

    auto onText = [this](int id, std::function<void()> handler) { OnEditText(Edit(id), std::move(handler)); };
    auto onLeave = [this](int id, std::function<void()> handler) { OnEditLeft(Edit(id), std::move(handler)); };

    BindByteFields(m_Edits, kByteFields, std::size(kByteFields),
                   [this](size_t offset, UartFieldKind kind, const std::string& text) {
                       return m_Page.ByteFieldChanged(offset, kind, text);
                   },
                   kIso14230MessageCaption);
    onText(IDC_14230_TRIGGER_ADDRESS, [this] {
        m_Page.HexFieldChanged(uart::slowInitAddress, Text(IDC_14230_TRIGGER_ADDRESS));
    });
    onText(IDC_14230_BITADJ, [this] { m_Page.HexFieldChanged(uart::BITADJ, Text(IDC_14230_BITADJ)); });

    BindSerialSettings(m_Serial, SerialPage());
    m_AutoBaud->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        SetAutoBaud(m_Page.Image(), m_AutoBaud->GetValue());
    });
    m_PinK1->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) {
        ApplyPinSelection(m_Page.Image(), UartPin::K1, false);
    });
    m_PinK2->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) {
        ApplyPinSelection(m_Page.Image(), UartPin::K2, false);
    });

    m_InitType->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { m_Page.SetInitType(m_InitType->GetSelection()); });
    m_Format->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
        ShowHeader(m_Page.SetFrameFormat(m_Format->GetSelection()));
    });
    m_LengthByte->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        ShowHeader(m_Page.SetUseLengthByte(m_LengthByte->GetValue()));
    });
    onText(IDC_14230_FMT, [this] { Edit(IDC_14230_CS)->ChangeValue(U8(m_Page.FmtChanged(Text(IDC_14230_FMT)))); });
    onLeave(IDC_14230_FMT, [this] { OnFmtLeft(); });
    onText(IDC_14230_TARGET, [this] {
        const std::string cs = m_Page.TargetChanged(Text(IDC_14230_TARGET));
        if (!cs.empty()) Edit(IDC_14230_CS)->ChangeValue(U8(cs));
    });
    onText(IDC_14230_SOURCE, [this] {
        const std::string cs = m_Page.SourceChanged(Text(IDC_14230_SOURCE));
        if (!cs.empty()) Edit(IDC_14230_CS)->ChangeValue(U8(cs));
    });
    onText(IDC_14230_DATA, [this] {
        const Iso14230DataResult result = m_Page.DataChanged(Text(IDC_14230_DATA));
        ShowHeader(result.header);
        ApplyEdit(Edit(IDC_14230_DATA), result.edit);
    });
    onLeave(IDC_14230_DATA, [this] { OnDataLeft(); });

    m_Cyclic->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { m_Page.SetCyclicSend(m_Cyclic->GetValue()); });
    onText(IDC_14230_CYCLE_PERIOD, [this] {
        ApplyEdit(Edit(IDC_14230_CYCLE_PERIOD), m_Page.CyclePeriodChanged(Text(IDC_14230_CYCLE_PERIOD)));
    });
    m_KeepAlive->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { m_Page.SetKeepAliveEnabled(m_KeepAlive->GetValue()); });
    onText(IDC_14230_KEEPALIVE_INTERVAL, [this] { m_Page.KeepAliveIntervalChanged(Text(IDC_14230_KEEPALIVE_INTERVAL)); });
    onLeave(IDC_14230_KEEPALIVE_INTERVAL, [this] {
        ApplyEdit(Edit(IDC_14230_KEEPALIVE_INTERVAL),
                  m_Page.KeepAliveIntervalLeft(Text(IDC_14230_KEEPALIVE_INTERVAL)));
    });
    onText(IDC_14230_KEEPALIVE_DATA, [this] {
        const UartEditResult result = m_Page.KeepAliveDataChanged(Text(IDC_14230_KEEPALIVE_DATA));
        Edit(IDC_14230_KEEPALIVE_CS)->ChangeValue(U8(m_Page.KeepAliveChecksumText()));
        ApplyEdit(Edit(IDC_14230_KEEPALIVE_DATA), result);
    });
}

void CDialog14230::LoadDefaults() { m_Page.LoadDefaults(); }

void CDialog14230::UpdateControls() {
    const UartRegisterImage& image = m_Page.Image();
    const Iso14230PageState& s = m_Page.State();
    auto show = [this](int id, const wxString& text) { Edit(id)->ChangeValue(text); };
    auto dec = [](unsigned value) { return wxString::Format("%u", value); };

    m_PinK1->SetValue((image[uart::PINSEL] & 0x0F) == 0x0);
    m_PinK2->SetValue((image[uart::PINSEL] & 0x0F) == 0x5);
    ShowSerialSettings(m_Serial, SerialPage(), kUartBaudRowDefault);
    m_AutoBaud->SetValue((image[uart::CONB] & uart::ConbAbaud) != 0);
    ShowByteFields(m_Edits, kByteFields, std::size(kByteFields), image);
    show(IDC_14230_TRIGGER_ADDRESS, U8(HexByteText(image[uart::slowInitAddress])));
    show(IDC_14230_BITADJ, U8(HexByteText(image[uart::BITADJ])));

    m_InitType->SetSelection(s.initType);
    m_Format->SetSelection(s.frame.frameFormat);
    show(IDC_14230_DATA, U8(m_Page.DataText()));
    m_Cyclic->SetValue(s.cyclicSend);
    show(IDC_14230_CYCLE_PERIOD, dec(s.cyclePeriodMs));
    m_KeepAlive->SetValue(s.keepAliveEnabled);
    show(IDC_14230_KEEPALIVE_INTERVAL, dec(s.keepAliveIntervalMs));
    show(IDC_14230_KEEPALIVE_DATA, U8(m_Page.KeepAliveDataText()));
    show(IDC_14230_KEEPALIVE_CS, U8(m_Page.KeepAliveChecksumText()));
}

void CDialog14230::ShowHeader(const Iso14230HeaderView& view) {
    Edit(IDC_14230_TARGET)->Enable(view.addressEnabled);
    Edit(IDC_14230_SOURCE)->Enable(view.addressEnabled);
    Edit(IDC_14230_TARGET)->ChangeValue(U8(view.targetText));
    Edit(IDC_14230_SOURCE)->ChangeValue(U8(view.sourceText));
    Edit(IDC_14230_FMT)->Enable(view.fmtEditable);
    Edit(IDC_14230_FMT)->ChangeValue(U8(view.fmtText));
    m_LengthByte->Enable(view.lengthCheckEnabled);
    m_LengthByte->SetValue(view.lengthCheckShown);
    Edit(IDC_14230_DLC)->ChangeValue(U8(view.dlcText));
    Edit(IDC_14230_CS)->ChangeValue(U8(view.checksumText));
}

void CDialog14230::ShowKeepAliveCheck() { m_KeepAlive->Enable(m_Page.State().keepAliveCheckEnabled); }

void CDialog14230::ApplyEdit(wxTextCtrl* edit, const UartEditResult& result) {
    ApplyEditResult(edit, result, kIso14230MessageCaption, platform::MessageIcon::Exclamation);
}

void CDialog14230::OnFmtLeft() {
    const UartEditResult result = m_Page.FmtLeft();
    if (!result.rewrite) return;
    Edit(IDC_14230_CS)->ChangeValue(U8(HexByteText(m_Page.State().frame.checksum)));
    ApplyEdit(Edit(IDC_14230_FMT), result);
}

void CDialog14230::OnDataLeft() { Edit(IDC_14230_DATA)->ChangeValue(U8(m_Page.DataText())); }

SerialSettingsPage CDialog14230::SerialPage() {
    return SerialSettingsPage{[this]() -> UartRegisterImage& { return m_Page.Image(); },
                              [this](size_t row) { return m_Page.SelectBaud(row); },
                              [this](const std::string& text) { return m_Page.BrgChanged(text); },
                              kIso14230MessageCaption};
}

void CDialog14230::RefreshDeviceStatus() {
    ShowDeviceStatus(this, m_Page.RefreshDeviceStatus(), m_Buttons.at(IDC_14230_START),
                     m_Buttons.at(IDC_14230_STOP),
                     {m_Buttons.at(IDC_14230_SEND), m_Buttons.at(IDC_14230_SEND_INIT)});
    ShowKeepAliveCheck();
}

void CDialog14230::OnBnClickedStart() {
    if (StartedForPage(m_Page.Start(m_pMainDlg), m_pMainDlg)) RefreshDeviceStatus();
}

void CDialog14230::OnBnClickedStop() {
    m_Page.Stop();
    RefreshDeviceStatus();
}

void CDialog14230::OnBnClickedSendFrame() { m_Page.Send(); }

void CDialog14230::OnBnClickedSendInitFrame() {
    m_Page.SendWithInit();
    ShowKeepAliveCheck();
}

void CDialog14230::OnBnClickedCancel() {
    if (!PageMayClose(m_pMainDlg)) return;
    m_Page.Close();
    ShowKeepAliveCheck();
    Hide();
}

void CDialog14230::OnClose(wxCloseEvent& event) {
    HandlePageClose(event, [this] { m_Page.Close(); }, [this] { OnBnClickedCancel(); });
}

void CDialog14230::OnTimer(int id) {
    m_Page.OnTimer(id);
    if (!PageTimerRunning(kIso14230KeepAliveTimer) && !PageTimerRunning(kIso14230CyclicTimer))
        ShowKeepAliveCheck();
}

void CDialog14230::StartPageTimer(int id, uint32_t periodMs) {
    wxTimer& timer = id == kIso14230KeepAliveTimer ? m_KeepAliveTimer : m_CyclicTimer;
    timer.Start(static_cast<int>(periodMs));
}

void CDialog14230::KillPageTimer(int id) {
    (id == kIso14230KeepAliveTimer ? m_KeepAliveTimer : m_CyclicTimer).Stop();
}

bool CDialog14230::PageTimerRunning(int id) const {
    return (id == kIso14230KeepAliveTimer ? m_KeepAliveTimer : m_CyclicTimer).IsRunning();
}

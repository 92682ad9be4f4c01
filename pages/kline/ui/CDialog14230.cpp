#include "pages/kline/ui/CDialog14230.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "monitor/HexText.h"
#include "platform/ui/WxText.h"

CDialog14230::CDialog14230(CDialogMainA* hub)
    : UartImagePageDialog(hub, IDD_DIALOG_14230, "ISO14230(KWP2000)"), m_Page(*this) {
    Open();
}

void CDialog14230::BindHandlers() {
    BindImageFields({{IDC_14230_UTXP1T, uart::UTXP1T, UartFieldKind::Ms0To255},
                     {IDC_14230_UFREET, uart::UFREET, UartFieldKind::Ms0To255},
                     {IDC_14230_URXP1MAX, uart::URXP1MAX, UartFieldKind::Ms1To255},
                     {IDC_14230_FAST_LOW, uart::fastInitLowMs, UartFieldKind::Ms1To255},
                     {IDC_14230_FAST_HIGH, uart::fastInitHighMs, UartFieldKind::Ms1To255}},
                    {{IDC_14230_BITADJ, uart::BITADJ, 2}});
    BindFiveBaud(2);
    BindSerialSettings(m_Serial, SerialPage());
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
    OnText(IDC_14230_FMT, [this] { Edit(IDC_14230_CS)->ChangeValue(U8(m_Page.FmtChanged(Text(IDC_14230_FMT)))); });
    OnLeave(IDC_14230_FMT, [this] { OnFmtLeft(); });
    OnText(IDC_14230_TARGET, [this] {
        const std::string cs = m_Page.TargetChanged(Text(IDC_14230_TARGET));
        if (!cs.empty()) Edit(IDC_14230_CS)->ChangeValue(U8(cs));
    });
    OnText(IDC_14230_SOURCE, [this] {
        const std::string cs = m_Page.SourceChanged(Text(IDC_14230_SOURCE));
        if (!cs.empty()) Edit(IDC_14230_CS)->ChangeValue(U8(cs));
    });
    OnText(IDC_14230_DATA, [this] {
        const Iso14230DataResult result = m_Page.DataChanged(Text(IDC_14230_DATA));
        ShowHeader(result.header);
        ApplyEdit(Edit(IDC_14230_DATA), result.edit);
    });
    OnLeave(IDC_14230_DATA, [this] { OnDataLeft(); });

    BindTimerControls(true);
    BindHexDataEdit(
        IDC_14230_KEEPALIVE_DATA, [this](const std::string& text) { return m_Page.KeepAliveDataChanged(text); },
        [this] { return m_Page.KeepAliveDataText(); },
        [this] { Edit(IDC_14230_KEEPALIVE_CS)->ChangeValue(U8(m_Page.KeepAliveChecksumText())); });
}

void CDialog14230::UpdateControls() {
    const UartRegisterImage& image = m_Page.Image();
    const Iso14230PageState& s = m_Page.State();
    auto show = [this](int id, const wxString& text) { Edit(id)->ChangeValue(text); };

    m_PinK1->SetValue((image[uart::PINSEL] & 0x0F) == 0x0);
    m_PinK2->SetValue((image[uart::PINSEL] & 0x0F) == 0x5);
    ShowSerialSettings(m_Serial, SerialPage(), m_Page.BaudRow());
    ShowImageFields();
    ShowImageControls();

    m_InitType->SetSelection(m_Page.InitType());
    m_Format->SetSelection(s.frame.frameFormat);
    show(IDC_14230_DATA, U8(m_Page.DataText()));
    ShowTimerControls();
    show(IDC_14230_KEEPALIVE_DATA, U8(m_Page.KeepAliveDataText()));
    show(IDC_14230_KEEPALIVE_CS, U8(m_Page.KeepAliveChecksumText()));
    ShowHeader(m_Page.UpdateHeaderFields());
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

void CDialog14230::ShowPageStatus() { m_Timers.keepAlive->Enable(m_Page.Session().KeepAliveCheckEnabled()); }

void CDialog14230::OnFmtLeft() {
    const PageEditResult result = m_Page.FmtLeft();
    if (!result.rewrite) return;
    Edit(IDC_14230_CS)->ChangeValue(U8(HexByteText(m_Page.State().frame.checksum)));
    ApplyEdit(Edit(IDC_14230_FMT), result);
}

void CDialog14230::OnDataLeft() { Edit(IDC_14230_DATA)->ChangeValue(U8(m_Page.DataText())); }

void CDialog14230::OnBnClickedSendFrame() { m_Page.Send(); }

void CDialog14230::OnBnClickedSendInitFrame() {
    m_Page.SendWithInit();
    ShowPageStatus();
}

void CDialog14230::OnTimer(int id) {
    m_Page.OnTimer(id);
    if (!PageTimerRunning(kIso14230KeepAliveTimer) && !PageTimerRunning(kIso14230CyclicTimer))
        ShowPageStatus();
}

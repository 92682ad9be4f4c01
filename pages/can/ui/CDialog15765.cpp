#include "pages/can/ui/CDialog15765.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "monitor/HexText.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/DialogHubPage.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/Message.h"
#include "platform/ui/WxText.h"

namespace {

// The two flow-control rows' controls: ID, N_AE, PCI, data, DLC.
const int kFcId[2] = {IDC_15765_FC0_ID, IDC_15765_FC1_ID};
const int kFcNae[2] = {IDC_15765_FC0_NAE, IDC_15765_FC1_NAE};
const int kFcPci[2] = {IDC_15765_FC0_PCI, IDC_15765_FC1_PCI};
const int kFcData[2] = {IDC_15765_FC0_DATA, IDC_15765_FC1_DATA};
const int kFcDlc[2] = {IDC_15765_FC0_DLC, IDC_15765_FC1_DLC};

}  // namespace

CDialog15765::CDialog15765(CDialogMainA* hub)
    : CanPageDialog(hub, IDD_DIALOG_15765, "CAN - ISO15765"), m_Page(*this) {
    Open();
}

void CDialog15765::BindHandlers() {
    CanHeadBinding head;
    head.head = [this]() -> CanRegisterImage& { return m_Page.EditHead(); };
    head.selectBaud = [this](size_t row) { return m_Page.SelectBaud(row); };
    head.setProtocolBit = [this](uint8_t mask, bool on) { m_Page.SetProtocolBit(mask, on); };
    head.setPtype = [this](unsigned selection) {
        m_Page.SetPtype(selection);
        UpdateIsoTpPanel();
    };
    head.apply = [this](wxTextCtrl* edit, const PageEditResult& r) { ApplyEdit(edit, r); };
    BindCanHead(m_Head, head);
    BindCanFilterGrid(m_Filters, head);

    BindCanRunButtons();
    OnButton(IDC_15765_KEEPALIVE, [this] { OnBnClickedKeepAlive(); });
    OnButton(IDC_15765_PRESET_ALL, [this] { LoadDefaults(0); });
    OnButton(IDC_15765_PRESET_OBD11, [this] { LoadDefaults(1); });
    OnButton(IDC_15765_PRESET_OBD29, [this] { LoadDefaults(2); });

    auto onCheck = [this](int id, auto handler) {
        m_Checks.at(id)->Bind(wxEVT_CHECKBOX, [this, id, handler](wxCommandEvent&) { handler(m_Checks.at(id)->GetValue()); });
    };
    auto onChoice = [this](int id, auto handler) {
        m_Choices.at(id)->Bind(wxEVT_CHOICE, [this, id, handler](wxCommandEvent&) {
            handler(static_cast<unsigned>(std::max(0, m_Choices.at(id)->GetSelection())));
        });
    };

    // Flow-control channels and timers.
    onCheck(IDC_15765_LENM, [this](bool on) { m_Page.SetTxfcBit(0, 0x80, on); });
    onCheck(IDC_15765_BSM, [this](bool on) { m_Page.SetTxfcBit(1, 0x40, on); });
    onCheck(IDC_15765_STM, [this](bool on) { m_Page.SetTxfcBit(1, 0x80, on); });
    onChoice(IDC_15765_TXFC_FILTER, [this](unsigned s) { m_Page.SetChannelFilter(0, s); });
    onChoice(IDC_15765_RXFC0_FILTER, [this](unsigned s) { m_Page.SetChannelFilter(1, s); });
    onChoice(IDC_15765_RXFC1_FILTER, [this](unsigned s) { m_Page.SetChannelFilter(2, s); });
    OnEditText(Edit(IDC_15765_TXFC_BSIZE), [this] {
        ApplyEdit(Edit(IDC_15765_TXFC_BSIZE), m_Page.TxfcBsizeChanged(Text(IDC_15765_TXFC_BSIZE)));
    });
    OnEditText(Edit(IDC_15765_RXFC0_BSIZE), [this] {
        ApplyEdit(Edit(IDC_15765_RXFC0_BSIZE), m_Page.RxfcBsizeChanged(0, Text(IDC_15765_RXFC0_BSIZE)));
    });
    OnEditText(Edit(IDC_15765_RXFC1_BSIZE), [this] {
        ApplyEdit(Edit(IDC_15765_RXFC1_BSIZE), m_Page.RxfcBsizeChanged(1, Text(IDC_15765_RXFC1_BSIZE)));
    });
    OnEditText(Edit(IDC_15765_TXFC_NAE_TX), [this] {
        Edit(IDC_15765_FF_NAE)->ChangeValue(U8(m_Page.TxfcNaeTxChanged(Text(IDC_15765_TXFC_NAE_TX))));
    });
    OnEditText(Edit(IDC_15765_TXFC_NAE_RX), [this] { m_Page.TxfcNaeRxChanged(Text(IDC_15765_TXFC_NAE_RX)); });
    OnEditText(Edit(IDC_15765_RXFC0_NAE_TX), [this] { m_Page.RxfcNaeTxChanged(0, Text(IDC_15765_RXFC0_NAE_TX)); });
    OnEditText(Edit(IDC_15765_RXFC1_NAE_TX), [this] { m_Page.RxfcNaeTxChanged(1, Text(IDC_15765_RXFC1_NAE_TX)); });
    const int timers[] = {IDC_15765_N_BS, IDC_15765_N_ST, IDC_15765_N_BR};
    for (unsigned i = 0; i < 3; ++i)
        OnEditText(Edit(timers[i]), [this, i, timers] { ApplyEdit(Edit(timers[i]), m_Page.TimerChanged(i, Text(timers[i]))); });

    // Flow-control frames.
    m_Fc11->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) {
        m_Page.SetFcExtendedId(false);
        UpdateIsoTpPanel();
    });
    m_Fc29->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) {
        m_Page.SetFcExtendedId(true);
        UpdateIsoTpPanel();
    });
    for (unsigned k = 0; k < 2; ++k) {
        OnEditText(Edit(kFcId[k]), [this, k] { m_Page.FcIdChanged(k, Text(kFcId[k])); });
        OnEditText(Edit(kFcNae[k]), [this, k] { m_Page.FcNaeChanged(k, Text(kFcNae[k])); });
        OnEditText(Edit(kFcPci[k]), [this, k] { m_Page.FcPciChanged(k, Text(kFcPci[k])); });
        OnEditText(Edit(kFcData[k]), [this, k] {
            ApplyEdit(Edit(kFcData[k]), m_Page.FcDataChanged(k, Text(kFcData[k])));
            Edit(kFcDlc[k])->ChangeValue(U8(m_Page.FcDlcText(k)));
        });
        OnEditLeft(Edit(kFcData[k]), [this, k] { Edit(kFcData[k])->ChangeValue(U8(m_Page.FcDataText(k))); });
    }

    // Single frame.
    onChoice(IDC_15765_SINGLE_TYPE, [this](unsigned s) {
        ShowLimitedText(Edit(IDC_15765_SINGLE_ID), CanIdTextLimit(s != 0), SetSingleFrameType(m_Page.SingleFrame(), s));
    });
    onChoice(IDC_15765_SINGLE_FORMAT, [this](unsigned s) { SetSingleFrameFormat(m_Page.SingleFrame(), s); });
    OnEditText(Edit(IDC_15765_SINGLE_ID), [this] { SingleFrameIdChanged(m_Page.SingleFrame(), Text(IDC_15765_SINGLE_ID)); });
    OnEditText(Edit(IDC_15765_SINGLE_DATA), [this] {
        ApplyEdit(Edit(IDC_15765_SINGLE_DATA), SingleFrameDataChanged(m_Page.SingleFrame(), Text(IDC_15765_SINGLE_DATA)),
                  kSingleDataLimit);
        Edit(IDC_15765_SINGLE_DLC)->ChangeValue(wxString::Format("%d", EcanDlc(m_Page.SingleFrame())));
    });
    OnEditLeft(Edit(IDC_15765_SINGLE_DATA), [this] {
        ShowLimitedText(Edit(IDC_15765_SINGLE_DATA), kSingleDataLimit, CanFrameDataText(m_Page.SingleFrame()));
    });

    // First frame and message.
    OnEditText(Edit(IDC_15765_FF_ID), [this] { m_Page.FfIdChanged(Text(IDC_15765_FF_ID)); });
    OnEditText(Edit(IDC_15765_FF_DATA), [this] { ApplyEdit(Edit(IDC_15765_FF_DATA), m_Page.FfDataChanged(Text(IDC_15765_FF_DATA))); });
    OnEditLeft(Edit(IDC_15765_FF_DATA), [this] { Edit(IDC_15765_FF_DATA)->ChangeValue(U8(m_Page.Panel().ffDataText)); });
    auto showLengthBytes = [this] {
        const Iso15765PanelView v = m_Page.Panel();
        Edit(IDC_15765_FF_PCI)->ChangeValue(U8(v.ffPciText));
        Edit(IDC_15765_FF_LENGTH_BYTE)->ChangeValue(U8(v.ffLengthByteText));
    };
    OnEditText(Edit(IDC_15765_LENGTH), [this, showLengthBytes] {
        ApplyEdit(Edit(IDC_15765_LENGTH), m_Page.LengthChanged(Text(IDC_15765_LENGTH)));
        showLengthBytes();
    });
    OnEditLeft(Edit(IDC_15765_LENGTH), [this, showLengthBytes] {
        ApplyEdit(Edit(IDC_15765_LENGTH), m_Page.LengthLeft(Text(IDC_15765_LENGTH)));
        showLengthBytes();
    });
    OnEditText(Edit(IDC_15765_BUFFER), [this, showLengthBytes] {
        const Iso15765BufferResult r = m_Page.BufferChanged(Text(IDC_15765_BUFFER));
        Edit(IDC_15765_LENGTH)->ChangeValue(U8(r.lengthText));
        showLengthBytes();
        ApplyEdit(Edit(IDC_15765_BUFFER), r.edit);
    });
    OnEditLeft(Edit(IDC_15765_BUFFER), [this] { ApplyEdit(Edit(IDC_15765_BUFFER), m_Page.BufferLeft()); });

    // Keep-alive fields: the tick reads them from the page.
    OnEditText(Edit(IDC_15765_KEEPALIVE_PERIOD), [this] { m_Page.SetKeepAlivePeriodText(Text(IDC_15765_KEEPALIVE_PERIOD)); });
    OnEditText(Edit(IDC_15765_KEEPALIVE_ID), [this] { m_Page.SetKeepAliveIdText(Text(IDC_15765_KEEPALIVE_ID)); });
    OnEditText(Edit(IDC_15765_KEEPALIVE_DATA), [this] { m_Page.SetKeepAliveDataText(Text(IDC_15765_KEEPALIVE_DATA)); });
}

void CDialog15765::LoadDefaults(unsigned mode) {
    m_Page.LoadDefaults(mode);
    UpdateControls();
}

void CDialog15765::UpdateControls() {
    const CanRegisterImage& head = m_Page.Head();
    const Iso15765Tail& tail = m_Page.Tail();
    const Iso15765PageState& s = m_Page.State();
    auto show = [this](int id, const std::string& text) { Edit(id)->ChangeValue(U8(text)); };
    auto dec = [](unsigned v) { return std::to_string(v); };

    ShowCanHead(m_Head, head, s.baudRow);
    ShowCanFilterGrid(m_Filters, head);
    m_Checks.at(IDC_15765_LENM)->SetValue(tail.txfc[0] & 0x80);
    m_Checks.at(IDC_15765_BSM)->SetValue(tail.txfc[1] & 0x40);
    m_Checks.at(IDC_15765_STM)->SetValue(tail.txfc[1] & 0x80);
    m_Choices.at(IDC_15765_TXFC_FILTER)->SetSelection(tail.txfc[0] & 0x07);
    m_Choices.at(IDC_15765_RXFC0_FILTER)->SetSelection(tail.rxfc0[0] & 0x07);
    m_Choices.at(IDC_15765_RXFC1_FILTER)->SetSelection(tail.rxfc1[0] & 0x07);
    show(IDC_15765_TXFC_BSIZE, dec(tail.txfc[1] & 0x3F));
    show(IDC_15765_RXFC0_BSIZE, dec(tail.rxfc0[1]));
    show(IDC_15765_RXFC1_BSIZE, dec(tail.rxfc1[1]));
    show(IDC_15765_TXFC_NAE_TX, HexByteText(tail.txfc[2]));
    show(IDC_15765_TXFC_NAE_RX, HexByteText(tail.txfc[3]));
    show(IDC_15765_RXFC0_NAE_TX, HexByteText(tail.rxfc0[2]));
    show(IDC_15765_RXFC1_NAE_TX, HexByteText(tail.rxfc1[2]));
    show(IDC_15765_N_BS, dec(tail.nBs));
    show(IDC_15765_N_ST, dec(tail.nSt));
    show(IDC_15765_N_BR, dec(tail.nBr));
    show(IDC_15765_N_CR, "-");

    const bool ext = EcanIsExtended(s.singleFrame);
    m_Choices.at(IDC_15765_SINGLE_TYPE)->SetSelection(ext ? 1 : 0);
    m_Choices.at(IDC_15765_SINGLE_FORMAT)->SetSelection(EcanIsRemote(s.singleFrame) ? 1 : 0);
    ShowLimitedText(Edit(IDC_15765_SINGLE_ID), CanIdTextLimit(ext), EcanIdText(s.singleFrame));
    show(IDC_15765_SINGLE_DLC, dec(EcanDlc(s.singleFrame)));
    ShowLimitedText(Edit(IDC_15765_SINGLE_DATA), kSingleDataLimit, CanFrameDataText(s.singleFrame));

    ShowLimitedText(Edit(IDC_15765_KEEPALIVE_ID), s.keepAliveIdLimit, s.keepAliveIdText);
    show(IDC_15765_KEEPALIVE_PERIOD, s.keepAlivePeriodText);
    show(IDC_15765_KEEPALIVE_DATA, s.keepAliveDataText);
    UpdateIsoTpPanel();
}

void CDialog15765::UpdateIsoTpPanel() {
    m_Page.RefreshIsoTpPanel();
    const Iso15765PanelView v = m_Page.Panel();
    auto show = [this](int id, const std::string& text) { Edit(id)->ChangeValue(U8(text)); };
    m_Fc11->SetValue(!v.fcExtendedId);
    m_Fc29->SetValue(v.fcExtendedId);
    for (unsigned k = 0; k < 2; ++k) {
        ShowLimitedText(Edit(kFcId[k]), v.idLimit, v.fcIdText[k]);
        show(kFcDlc[k], v.fcDlcText[k]);
        show(kFcData[k], v.fcDataText[k]);
        Edit(kFcNae[k])->Enable(v.fcNaeEnabled);
        show(kFcNae[k], v.fcNaeText[k]);
        show(kFcPci[k], v.fcPciText[k]);
    }
    ShowLimitedText(Edit(IDC_15765_FF_ID), v.idLimit, v.ffIdText);
    show(IDC_15765_FF_DLC, "8");
    show(IDC_15765_FF_NAE, v.ffNaeText);
    show(IDC_15765_FF_PCI, v.ffPciText);
    show(IDC_15765_FF_LENGTH_BYTE, v.ffLengthByteText);
    show(IDC_15765_LENGTH, v.lengthText);
    show(IDC_15765_FF_DATA, v.ffDataText);
    show(IDC_15765_BUFFER, v.bufferText);
}

void CDialog15765::ApplyEdit(wxTextCtrl* edit, const PageEditResult& result, unsigned limit) {
    // The field messages are plain boxes with the default caption.
    ApplyEditResult(edit, result, std::string(), platform::MessageIcon::None, limit);
}

void CDialog15765::ShowPageStatus() {
    wxButton* keepAlive = m_Buttons.at(IDC_15765_KEEPALIVE);
    keepAlive->Enable(m_Page.KeepAliveButtonEnabled());
    keepAlive->SetLabel(U8(m_Page.State().keepAliveOn ? kIso15765KeepAliveStop : kIso15765KeepAliveStart));
}

void CDialog15765::OnBnClickedKeepAlive() {
    m_Buttons.at(IDC_15765_KEEPALIVE)->SetLabel(U8(m_Page.ToggleKeepAlive()));
}

void CDialog15765::OnTimer(int id) {
    m_Page.OnTimer(id);
    if (!PageTimerRunning(kIso15765KeepAliveTimer)) RefreshDeviceStatus();
}


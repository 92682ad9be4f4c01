#include "pages/can/tp20/ui/CDialogTP20.h"

#include <wx/radiobut.h>

#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/DialogHubPage.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/Message.h"
#include "platform/ui/WxText.h"

namespace {

// The editable frames: identifier, DLC display, data.
struct FrameEdits {
    Tp20Buffer which;
    int id, dlc, data;
};
const FrameEdits kFrames[] = {
    {Tp20Buffer::Single, IDC_TP20_SINGLE_ID, IDC_TP20_SINGLE_DLC, IDC_TP20_SINGLE_DATA},
    {Tp20Buffer::ChannelSetup, IDC_TP20_CHANNEL_ID, IDC_TP20_CHANNEL_DLC, IDC_TP20_CHANNEL_DATA},
    {Tp20Buffer::ConnectionSetup, IDC_TP20_CONNECTION_ID, IDC_TP20_CONNECTION_DLC, IDC_TP20_CONNECTION_DATA},
    {Tp20Buffer::Ack, IDC_TP20_ACK_ID, IDC_TP20_ACK_DLC, IDC_TP20_ACK_DATA},
    {Tp20Buffer::FirstFrame, IDC_TP20_FF_ID, IDC_TP20_FF_DLC, IDC_TP20_FF_DATA},
};
struct DecimalEdit {
    Tp20Decimal which;
    int id;
};
const DecimalEdit kDecimals[] = {
    {Tp20Decimal::Bsiz, IDC_TP20_BSIZ}, {Tp20Decimal::T1, IDC_TP20_T1},
    {Tp20Decimal::T3, IDC_TP20_T3},     {Tp20Decimal::TE, IDC_TP20_TE},
    {Tp20Decimal::CcfDl, IDC_TP20_CCF_DL}, {Tp20Decimal::Period, IDC_TP20_KEEPALIVE_PERIOD},
};
struct ControlBit {
    int id;
    uint8_t mask;
};
const ControlBit kControlBits[] = {
    {IDC_TP20_ACK, kTp20AckBit}, {IDC_TP20_IDM, kTp20IdmBit},
    {IDC_TP20_BSM, kTp20BsmBit}, {IDC_TP20_STM, kTp20StmBit},
};

}  // namespace

CDialogTP20::CDialogTP20(CDialogMainA* hub)
    : CanPageDialog(hub, IDD_DIALOG_TP20, "VW TP2.0 （诊断）") {
    Open();
}

void CDialogTP20::BindHandlers() {
    BindOneProtocolHead(m_Page, m_Head, m_Filters, false);
    BindCanRunButtons({IDC_TP20_CONNECT});

    const CanPageControls& c = m_C;
    c.OnButton(IDC_TP20_CONNECT, [this] { OnBnClickedStartConnection(); });
    c.OnButton(IDC_TP20_PRESET_TESTER, [this] { LoadDefaults(kTp20PresetTester); });
    c.OnButton(IDC_TP20_PRESET_ECU, [this] { LoadDefaults(kTp20PresetEcu); });

    for (const FrameEdits& f : kFrames) {
        c.OnText(f.id, [this, f] { m_Page.IdChanged(f.which, m_C.Text(f.id)); });
        c.OnLeave(f.id, [this, f] { m_C.Show(f.id, EcanIdText(m_Page.Frame(f.which))); });
        c.OnText(f.data, [this, f] {
            m_C.Apply(f.data, m_Page.DataChanged(f.which, m_C.Text(f.data)));
            m_C.Show(f.dlc, std::to_string(EcanDlc(m_Page.Frame(f.which))));
        });
        c.OnLeave(f.data, [this, f] { m_C.Show(f.data, m_Page.DataText(f.which)); });
    }
    c.OnText(IDC_TP20_BUFFER, [this] {
        m_C.Apply(IDC_TP20_BUFFER, m_Page.BufferChanged(m_C.Text(IDC_TP20_BUFFER)));
        m_C.Show(IDC_TP20_BUFFER_LENGTH, std::to_string(m_Page.BufferLength()));
    });
    c.OnLeave(IDC_TP20_BUFFER, [this] { m_C.Show(IDC_TP20_BUFFER, m_Page.BufferText()); });
    for (const DecimalEdit& d : kDecimals)
        c.OnText(d.id, [this, d] { m_C.Apply(d.id, m_Page.DecimalChanged(d.which, m_C.Text(d.id))); });
    for (const ControlBit& b : kControlBits)
        c.OnCheck(b.id, [this, b](bool on) { m_Page.SetControlBit(b.mask, on); });
    c.OnChoice(IDC_TP20_CHSFLTN, [this](unsigned s) { m_Page.SetChsfltn(s); });
    c.OnChoice(IDC_TP20_CTSFLTN, [this](unsigned s) { m_Page.SetCtsfltn(s); });
    c.OnCheck(IDC_TP20_KEEPALIVE_ENABLE, [this](bool on) { m_Page.SetKeepAliveEnabled(on); });
}

void CDialogTP20::LoadDefaults(unsigned preset) {
    m_Page.LoadDefaults(preset);
    UpdateControls();
}

void CDialogTP20::UpdateControls() {
    const CanRegisterImage& head = m_Page.Head();
    const Tp20Tail& tail = m_Page.Tail();
    const CanPageControls& c = m_C;
    ShowCanHead(m_Head, head, m_Page.BaudRow());
    ShowCanFilterGrid(m_Filters, head);
    // Shown only: nothing changes them on this page.
    for (wxWindow* w : std::initializer_list<wxWindow*>{
             m_Head.baud, m_Head.sjw, m_Head.seg2ph, m_Head.seg1ph, m_Head.prseg, m_Head.brp, m_Head.en,
             m_Head.nstb, m_Head.twoWire, m_Head.singleWire, m_Head.modes[0], m_Head.modes[1],
             m_Head.modes[2], m_Head.ptype, c.choices.at(IDC_TP20_SINGLE_TYPE),
             c.choices.at(IDC_TP20_SINGLE_FORMAT)})
        w->Disable();
    c.choices.at(IDC_TP20_SINGLE_TYPE)->SetSelection(0);
    c.choices.at(IDC_TP20_SINGLE_FORMAT)->SetSelection(0);

    for (const FrameEdits& f : kFrames) {
        const EcanMessageBuffer frame = m_Page.Frame(f.which);
        c.Show(f.id, EcanIdText(frame));
        c.Show(f.dlc, std::to_string(EcanDlc(frame)));
        c.Show(f.data, CanFrameDataText(frame));
    }
    const EcanMessageBuffer keepAlive = m_Page.Frame(Tp20Buffer::KeepAlive);
    c.Show(IDC_TP20_KEEPALIVE_ID, EcanIdText(keepAlive) + "  " + CanFrameDataText(keepAlive));
    for (const DecimalEdit& d : kDecimals) c.Show(d.id, std::to_string(m_Page.DecimalValue(d.which)));
    for (const ControlBit& b : kControlBits) c.checks.at(b.id)->SetValue(tail.control[1] & b.mask);
    c.choices.at(IDC_TP20_CHSFLTN)->SetSelection(tail.control[0] & 0x07);
    c.choices.at(IDC_TP20_CTSFLTN)->SetSelection((tail.control[0] >> 4) & 0x07);
    c.checks.at(IDC_TP20_KEEPALIVE_ENABLE)->SetValue(m_Page.KeepAliveEnabled());
    c.Show(IDC_TP20_BUFFER, m_Page.BufferText());
    c.Show(IDC_TP20_BUFFER_LENGTH, std::to_string(m_Page.BufferLength()));
}


#include "pages/can/j1939/ui/CDialogJ1939.h"

#include <wx/radiobut.h>

#include "monitor/HexText.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/DialogHubPage.h"
#include "pages/can/j1939/J1939Frame.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/Message.h"
#include "platform/ui/WxText.h"

namespace {

struct AddressEdit {
    int id;
    J1939Address which;
};
const AddressEdit kAddressEdits[] = {
    {IDC_J1939_TP_DA, J1939Address::TpDa},     {IDC_J1939_TP_SA, J1939Address::TpSa},
    {IDC_J1939_CTS0_DA, J1939Address::Cts0Da}, {IDC_J1939_CTS0_SA, J1939Address::Cts0Sa},
    {IDC_J1939_CTS1_DA, J1939Address::Cts1Da}, {IDC_J1939_CTS1_SA, J1939Address::Cts1Sa},
};
struct PriorityChoice {
    int id;
    J1939Frame which;
};
const PriorityChoice kPriorities[] = {
    {IDC_J1939_RTS_PRIORITY, J1939Frame::Rts}, {IDC_J1939_DT_PRIORITY, J1939Frame::Dt},
    {IDC_J1939_CTS0_PRIORITY, J1939Frame::Cts0}, {IDC_J1939_CTS1_PRIORITY, J1939Frame::Cts1},
};
const int kTimers[] = {IDC_J1939_T2, IDC_J1939_T3, IDC_J1939_TR, IDC_J1939_TS};

uint32_t Id29(const EcanMessageBuffer& frame) { return EcanIdAs(frame, true); }

}  // namespace

CDialogJ1939::CDialogJ1939(CDialogMainA* hub)
    : CanPageDialog(hub, IDD_DIALOG_J1939, "CAN-J1939") {
    Open();
}

void CDialogJ1939::BindHandlers() {
    BindOneProtocolHead(m_Page, m_Head, m_Filters);
    BindCanRunButtons();

    const CanPageControls& c = m_C;
    c.OnButton(IDC_J1939_DEFAULTS, [] {});  // does nothing, as on the original board software

    // Single frame.
    c.OnText(IDC_J1939_SINGLE_ID, [this] {
        m_Page.SingleIdChanged(m_C.Text(IDC_J1939_SINGLE_ID));
        ShowPduInfo();
    });
    c.OnLeave(IDC_J1939_SINGLE_ID, [this] { m_C.Show(IDC_J1939_SINGLE_ID, m_Page.SingleIdText()); });
    c.OnText(IDC_J1939_SINGLE_DATA, [this] {
        m_C.Apply(IDC_J1939_SINGLE_DATA, m_Page.SingleDataChanged(m_C.Text(IDC_J1939_SINGLE_DATA)));
        m_C.Show(IDC_J1939_SINGLE_DLC, std::to_string(EcanDlc(m_Page.SingleFrame())));
    });
    c.OnLeave(IDC_J1939_SINGLE_DATA, [this] { ShowSingleData(); });
    c.OnCheck(IDC_J1939_FIXED_LENGTH, [this](bool on) {
        m_Page.SetFixedLength(on);
        if (on) ShowSingleData();
    });
    c.OnText(IDC_J1939_FILL, [this] { m_Page.FillValueChanged(m_C.Text(IDC_J1939_FILL)); });

    // Transport frames.
    for (const PriorityChoice& p : kPriorities)
        c.OnChoice(p.id, [this, p](unsigned s) {
            m_Page.SetPriority(p.which, s);
            ShowFrameIds();
        });
    for (const AddressEdit& a : kAddressEdits)
        c.OnText(a.id, [this, a] {
            m_Page.AddressChanged(a.which, m_C.Text(a.id));
            ShowFrameIds();
        });
    c.OnText(IDC_J1939_TOTAL, [this] {
        const J1939CountResult r = m_Page.TotalChanged(m_C.Text(IDC_J1939_TOTAL));
        m_C.Show(IDC_J1939_PACKETS, r.countText);
        ShowRtsData();
        m_C.Apply(IDC_J1939_TOTAL, r.edit);
    });
    c.OnText(IDC_J1939_PGN, [this] {
        m_Page.PgnChanged(m_C.Text(IDC_J1939_PGN));
        ShowRtsData();
    });
    c.OnCheck(IDC_J1939_BAM, [this](bool on) {
        m_Page.SetBam(on);
        m_C.Show(IDC_J1939_TP_DA, on ? "FF" : "00");
        m_C.Edit(IDC_J1939_TP_DA)->Enable(!on);
        ShowFrameIds();
        ShowRtsData();
    });

    // Message buffer.
    c.OnText(IDC_J1939_BUFFER, [this] {
        const J1939CountResult r = m_Page.BufferChanged(m_C.Text(IDC_J1939_BUFFER));
        m_C.Show(IDC_J1939_BUFFER_LENGTH, r.countText);
        m_C.Apply(IDC_J1939_BUFFER, r.edit);
    });
    c.OnLeave(IDC_J1939_BUFFER, [this] {
        m_C.Show(IDC_J1939_BUFFER, m_Page.BufferText());
        m_C.Edit(IDC_J1939_BUFFER)->ShowPosition(m_C.Edit(IDC_J1939_BUFFER)->GetLastPosition());
    });

    // Control block and timers.
    c.OnText(IDC_J1939_BSIZE, [this] { m_C.Apply(IDC_J1939_BSIZE, m_Page.BsizeChanged(m_C.Text(IDC_J1939_BSIZE))); });
    for (unsigned i = 0; i < 4; ++i)
        c.OnText(kTimers[i], [this, i] { m_C.Apply(kTimers[i], m_Page.TimerChanged(i, m_C.Text(kTimers[i]))); });
    c.OnCheck(IDC_J1939_BSM, [this](bool on) { m_Page.SetBsm(on); });
    c.OnChoice(IDC_J1939_R0FLTN, [this](unsigned s) { m_Page.SetNibble(J1939Nibble::R0fltn, s); });
    c.OnChoice(IDC_J1939_R1FLTN, [this](unsigned s) { m_Page.SetNibble(J1939Nibble::R1fltn, s); });
    c.OnChoice(IDC_J1939_TXFLTN, [this](unsigned s) { m_Page.SetNibble(J1939Nibble::Txfltn, s); });
}

void CDialogJ1939::UpdateControls() {
    const CanRegisterImage& head = m_Page.Head();
    const J1939Tail& tail = m_Page.Tail();
    ShowCanHead(m_Head, head, m_Page.BaudRow());
    ShowCanFilterGrid(m_Filters, head);
    // The page always runs 250 kbit/s, normal mode, two-wire, J1939.
    for (wxWindow* w : std::initializer_list<wxWindow*>{m_Head.baud, m_Head.sjw, m_Head.seg2ph, m_Head.seg1ph,
                                                        m_Head.prseg, m_Head.brp, m_Head.en, m_Head.nstb,
                                                        m_Head.singleWire, m_Head.modes[1], m_Head.modes[2],
                                                        m_Head.ptype})
        w->Disable();

    const CanPageControls& c = m_C;
    c.Show(IDC_J1939_BSIZE, std::to_string(tail.control[1]));
    const uint8_t* timers[] = {&tail.timeT2, &tail.timeT3, &tail.timeTr, &tail.timeTs};
    for (unsigned i = 0; i < 4; ++i) c.Show(kTimers[i], std::to_string(*timers[i]));
    c.checks.at(IDC_J1939_BSM)->SetValue(tail.control[2] & kJ1939BsmBit);
    const bool bam = tail.control[2] & kJ1939BamBit;
    c.checks.at(IDC_J1939_BAM)->SetValue(bam);
    c.Edit(IDC_J1939_TP_DA)->Enable(!bam);
    c.choices.at(IDC_J1939_R0FLTN)->SetSelection(tail.control[0] & 0x07);
    c.choices.at(IDC_J1939_R1FLTN)->SetSelection((tail.control[0] >> 4) & 0x07);
    c.choices.at(IDC_J1939_TXFLTN)->SetSelection(tail.control[2] & 0x07);

    c.checks.at(IDC_J1939_FIXED_LENGTH)->SetValue(m_Page.FixedLength());
    c.Show(IDC_J1939_FILL, HexByteText(m_Page.FillValue()));
    c.Show(IDC_J1939_SINGLE_ID, m_Page.SingleIdText());
    ShowSingleData();

    for (const PriorityChoice& p : kPriorities)
        c.choices.at(p.id)->SetSelection(DecodeJ1939Id(Id29(m_Page.FrameOf(p.which))).priority);
    const J1939Id tp = DecodeJ1939Id(Id29(m_Page.FrameOf(J1939Frame::Rts)));
    const J1939Id cts0 = DecodeJ1939Id(Id29(m_Page.FrameOf(J1939Frame::Cts0)));
    const J1939Id cts1 = DecodeJ1939Id(Id29(m_Page.FrameOf(J1939Frame::Cts1)));
    c.Show(IDC_J1939_TP_DA, HexByteText(tp.ps));
    c.Show(IDC_J1939_TP_SA, HexByteText(tp.sa));
    c.Show(IDC_J1939_CTS0_DA, HexByteText(cts0.ps));
    c.Show(IDC_J1939_CTS0_SA, HexByteText(cts0.sa));
    c.Show(IDC_J1939_CTS1_DA, HexByteText(cts1.ps));
    c.Show(IDC_J1939_CTS1_SA, HexByteText(cts1.sa));
    const EcanMessageBuffer rts = m_Page.FrameOf(J1939Frame::Rts);
    const uint32_t total = m_Page.RtsTotal();
    c.Show(IDC_J1939_TOTAL, std::to_string(total));
    c.Show(IDC_J1939_PACKETS, std::to_string(J1939PacketCount(total)));
    const uint8_t* d = EcanData(rts);
    char pgn[8];
    std::snprintf(pgn, sizeof pgn, "%.6X", static_cast<unsigned>(d[5] | d[6] << 8 | d[7] << 16));
    c.Show(IDC_J1939_PGN, pgn);
    c.Show(IDC_J1939_BUFFER, m_Page.BufferText());
    c.Show(IDC_J1939_BUFFER_LENGTH, std::to_string(m_Page.BufferLength()));
    ShowFrameIds();
    ShowPduInfo();
    ShowRtsData();
}

void CDialogJ1939::ShowSingleData() {
    m_C.Show(IDC_J1939_SINGLE_DATA, CanFrameDataText(m_Page.SingleFrame()));
    m_C.Show(IDC_J1939_SINGLE_DLC, std::to_string(EcanDlc(m_Page.SingleFrame())));
}

void CDialogJ1939::ShowFrameIds() {
    const EcanMessageBuffer dt = m_Page.FrameOf(J1939Frame::Dt);
    m_C.Show(IDC_J1939_RTS_ID, EcanIdText(m_Page.FrameOf(J1939Frame::Rts)));
    m_C.Show(IDC_J1939_DT_ID, EcanIdText(dt));
    m_C.Show(IDC_J1939_CTS0_ID, EcanIdText(m_Page.FrameOf(J1939Frame::Cts0)));
    m_C.Show(IDC_J1939_CTS1_ID, EcanIdText(m_Page.FrameOf(J1939Frame::Cts1)));
    const struct { int id; J1939Frame frame; } dlcs[] = {{IDC_J1939_RTS_DLC, J1939Frame::Rts}, {IDC_J1939_DT_DLC, J1939Frame::Dt},
                                                         {IDC_J1939_CTS0_DLC, J1939Frame::Cts0}, {IDC_J1939_CTS1_DLC, J1939Frame::Cts1}};
    for (const auto& d : dlcs) m_C.Show(d.id, std::to_string(EcanDlc(m_Page.FrameOf(d.frame))));
    const J1939Id id = DecodeJ1939Id(Id29(dt));
    m_C.Show(IDC_J1939_DT_DA, HexByteText(id.ps));
    m_C.Show(IDC_J1939_DT_SA, HexByteText(id.sa));
}

void CDialogJ1939::ShowPduInfo() {
    const J1939PduInfo info = m_Page.PduInfo();
    m_C.ShowLabel(IDC_J1939_PDU_FORMAT, info.format);
    m_C.ShowLabel(IDC_J1939_PDU_PRIORITY, info.priority);
    m_C.ShowLabel(IDC_J1939_PDU_DP, info.dp);
    m_C.ShowLabel(IDC_J1939_PDU_PF, info.pf);
    m_C.ShowLabel(IDC_J1939_PDU_GE, info.ge);
    m_C.ShowLabel(IDC_J1939_PDU_DA, info.da);
    m_C.ShowLabel(IDC_J1939_PDU_SA, info.sa);
    m_C.ShowLabel(IDC_J1939_PDU_PGN, info.pgn);
}

void CDialogJ1939::ShowRtsData() { m_C.Show(IDC_J1939_RTS_DATA, m_Page.RtsDataText()); }


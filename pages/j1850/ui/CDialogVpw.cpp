#include "pages/j1850/ui/CDialogVpw.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/DialogHubPage.h"
#include "pages/j1850/ui/CListSectorLock.h"
#include "pages/shared/ui/PageWindow.h"
#include "platform/Message.h"
#include "platform/ui/WxText.h"

const int kVpwYzzIdselIds[8] = {1063, 1064, 1066, 1069, 1070, 1071, 1072, 1073};

CDialogVpw::CDialogVpw(CDialogMainA* hub, bool pwm)
    : PageDialog(hub, IDD_DIALOG_VPW, "J1850 VPW  10.4KBPS"), m_bPwm(pwm), m_Page(pwm, *this) {
    Open();
}

void CDialogVpw::BindHandlers() {
    auto onButton = [this](int id, void (CDialogVpw::*method)()) {
        m_Buttons.at(id)->Bind(wxEVT_BUTTON, [this, method](wxCommandEvent&) { (this->*method)(); });
    };
    BindRunButtons(m_Buttons.at(IDC_VPW_START), m_Buttons.at(IDC_VPW_STOP), {m_Buttons.at(IDC_VPW_SEND)},
                   m_Buttons.at(IDC_VPW_EXIT));
    onButton(IDC_VPW_SEND, &CDialogVpw::OnBnClickedSendFrame);
    onButton(IDC_VPW_KEEPALIVE, &CDialogVpw::OnBnClickedKeepAlive);
    onButton(IDC_VPW_FILTER_ADD, &CDialogVpw::OnFilterAdd);
    onButton(IDC_VPW_FILTER_REMOVE, &CDialogVpw::OnFilterRemove);
    onButton(IDC_VPW_IFR_ADD, &CDialogVpw::OnIfrAdd);
    onButton(IDC_VPW_IFR_REMOVE, &CDialogVpw::OnIfrRemove);
    m_Buttons.at(IDC_VPW_PRESET_ALL)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_Page.Preset(J1850ReceiveAll);
        UpdateControls();
    });
    m_Buttons.at(IDC_VPW_PRESET_OBD2)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_Page.Preset(J1850SaeObd2);
        UpdateControls();
    });


    // Frame fields.
    m_Grid->SetOnByteChanged([this](uint8_t byte) { OnHeaderByteChanged(byte); });
    m_OneByte->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ShowHeader(m_Page.SetOneByteFormat(true)); });
    m_Consolidated->Bind(wxEVT_RADIOBUTTON,
                         [this](wxCommandEvent&) { ShowHeader(m_Page.SetOneByteFormat(false)); });
    // The header edit is not written back while the user types in it (the byte would move the
    // caret and fill the 2-character limit after one key); leaving it shows the byte kept.
    OnEditText(Edit(IDC_VPW_HEADER), [this] { ShowHeader(m_Page.HeaderByteChanged(Text(IDC_VPW_HEADER)), false); });
    OnEditLeft(Edit(IDC_VPW_HEADER), [this] { ShowHeader(m_Page.HeaderView()); });
    OnEditText(Edit(IDC_VPW_TARGET), [this] { m_Page.TargetChanged(Text(IDC_VPW_TARGET)); });
    OnEditText(Edit(IDC_VPW_SOURCE), [this] { m_Page.SourceChanged(Text(IDC_VPW_SOURCE)); });
    OnEditText(Edit(IDC_VPW_DATA), [this] {
        const PageEditResult result = m_Page.DataChanged(Text(IDC_VPW_DATA));
        Edit(IDC_VPW_DLC)->ChangeValue(U8(m_Page.HeaderView().dlc));
        ApplyEdit(Edit(IDC_VPW_DATA), result);
    });
    OnEditLeft(Edit(IDC_VPW_DATA), [this] { Edit(IDC_VPW_DATA)->ChangeValue(U8(m_Page.DataText())); });

    // Image fields.
    for (size_t y = 0; y < 8; ++y)
        for (size_t f = 0; f < 4; ++f)
            m_YzzCombos[y][f]->Bind(wxEVT_CHOICE, [this, y, f](wxCommandEvent&) {
                m_Page.YzzChanged(y, static_cast<J1850IfrField>(f), m_YzzCombos[y][f]->GetSelection());
            });
    m_Ifr3Crc->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        m_Page.Ifr3CrcChanged(m_Ifr3Crc->GetValue());
        ShowIfr3();
    });
    for (int buffer = 0; buffer < 2; ++buffer) {
        const int id = buffer ? IDC_VPW_IFR3_B1 : IDC_VPW_IFR3_B0;
        const int lengthId = buffer ? IDC_VPW_IFR3_B1_LENGTH : IDC_VPW_IFR3_B0_LENGTH;
        OnEditText(Edit(id), [this, buffer, id, lengthId] {
            const PageEditResult result = m_Page.Ifr3Changed(buffer, Text(id));
            Edit(lengthId)->ChangeValue(U8(m_Page.Ifr3LengthText(buffer)));
            ApplyEdit(Edit(id), result);
        });
        OnEditLeft(Edit(id), [this, buffer, id] { Edit(id)->ChangeValue(U8(m_Page.Ifr3Text(buffer))); });
    }
    OnEditText(Edit(IDC_VPW_IDBUFF), [this] { ApplyEdit(Edit(IDC_VPW_IDBUFF), m_Page.IdBuffChanged(Text(IDC_VPW_IDBUFF))); });
    OnEditLeft(Edit(IDC_VPW_IDBUFF), [this] { Edit(IDC_VPW_IDBUFF)->ChangeValue(U8(m_Page.IdBuffText())); });

    // Filter kind and the three lists: a selection in one list clears the other two.
    for (size_t k = 0; k < 3; ++k) {
        m_FilterKinds[k]->Bind(wxEVT_RADIOBUTTON, [this, k](wxCommandEvent&) {
            m_Page.SetFilterKind(static_cast<J1850FilterKind>(k));
        });
        m_FilterLists[k]->Bind(wxEVT_LISTBOX, [this, k](wxCommandEvent&) {
            for (size_t other = 0; other < 3; ++other)
                if (other != k) m_FilterLists[other]->DeselectAll();
        });
    }
}

void CDialogVpw::ShowHeader(const J1850HeaderView& view, bool withHeaderEdit) {
    m_Grid->SetCells(view.grid);
    m_Grid->Enable(!view.oneByteFormat);
    // ChangeValue: the page already applied what these show.
    if (withHeaderEdit) Edit(IDC_VPW_HEADER)->ChangeValue(U8(view.header));
    Edit(IDC_VPW_TARGET)->ChangeValue(U8(view.target));
    Edit(IDC_VPW_SOURCE)->ChangeValue(U8(view.source));
    Edit(IDC_VPW_TARGET)->Enable(view.addressesEnabled);
    Edit(IDC_VPW_SOURCE)->Enable(view.addressesEnabled);
    Edit(IDC_VPW_DLC)->ChangeValue(U8(view.dlc));
    Edit(IDC_VPW_DATA)->ChangeValue(U8(view.data));
}

void CDialogVpw::ShowLists() {
    for (size_t k = 0; k < 3; ++k) {
        wxArrayString lines;
        for (const std::string& line : m_Page.FilterList(static_cast<J1850FilterKind>(k))) lines.Add(U8(line));
        m_FilterLists[k]->Set(lines);
    }
    wxArrayString lines;
    for (const std::string& line : m_Page.IfrList()) lines.Add(U8(line));
    m_IfrList->Set(lines);
}

void CDialogVpw::ShowIfr3() {
    Edit(IDC_VPW_IFR3_B0)->ChangeValue(U8(m_Page.Ifr3Text(0)));
    Edit(IDC_VPW_IFR3_B1)->ChangeValue(U8(m_Page.Ifr3Text(1)));
    Edit(IDC_VPW_IFR3_B0_LENGTH)->ChangeValue(U8(m_Page.Ifr3LengthText(0)));
    Edit(IDC_VPW_IFR3_B1_LENGTH)->ChangeValue(U8(m_Page.Ifr3LengthText(1)));
}

void CDialogVpw::UpdateControls() {
    const J1850RegisterImage& image = m_Page.Image();
    const bool oneByte = (image.JCON0 & j1850::Jcon0OneByteHeader) != 0;
    m_OneByte->SetValue(oneByte);
    m_Consolidated->SetValue(!oneByte);
    ShowHeader(m_Page.HeaderView());
    ShowLists();
    Edit(IDC_VPW_IDBUFF)->ChangeValue(U8(m_Page.IdBuffText()));
    m_Ifr3Crc->SetValue((image.JCON0 & j1850::Jcon0Ifr3Crc) != 0);
    ShowIfr3();
    for (size_t y = 0; y < 8; ++y)
        for (size_t f = 0; f < 4; ++f)
            m_YzzCombos[y][f]->SetSelection(m_Page.YzzSelection(y, static_cast<J1850IfrField>(f)));
    m_FilterKinds[static_cast<size_t>(m_Page.FilterKind())]->SetValue(true);
}

void CDialogVpw::ApplyEdit(wxTextCtrl* edit, const PageEditResult& result) {
    ApplyEditResult(edit, result, std::string(), platform::MessageIcon::Exclamation);
}

void CDialogVpw::OnHeaderByteChanged(uint8_t byte) { ShowHeader(m_Page.OnHeaderByteChanged(byte)); }

void CDialogVpw::OnFilterAdd() {
    if (m_Page.AddFilterAddress(Text(IDC_VPW_FILTER_ADDRESS))) ShowLists();
}

void CDialogVpw::OnFilterRemove() {
    std::array<std::vector<int>, 3> selections;
    for (size_t k = 0; k < 3; ++k) {
        wxArrayInt rows;
        m_FilterLists[k]->GetSelections(rows);
        selections[k].assign(rows.begin(), rows.end());
    }
    if (m_Page.RemoveFilterAddresses(selections)) ShowLists();
}

void CDialogVpw::OnIfrAdd() {
    if (m_Page.AddIfrEntry(Text(IDC_VPW_IFR_ID), m_IfrCombos[0]->GetSelection(),
                           m_IfrCombos[1]->GetSelection(), m_IfrCombos[2]->GetSelection(),
                           m_IfrCombos[3]->GetSelection()))
        ShowLists();
}

void CDialogVpw::OnIfrRemove() {
    wxArrayInt rows;
    m_IfrList->GetSelections(rows);
    if (m_Page.RemoveIfrEntries(std::vector<int>(rows.begin(), rows.end()))) ShowLists();
}

PageDeviceStatus CDialogVpw::PageStatus() {
    const J1850PageStatus status = m_Page.RefreshDeviceStatus();
    m_KeepAliveButton = status.keepAlive;
    return status.device;
}

void CDialogVpw::ShowPageStatus() {
    m_Buttons.at(IDC_VPW_KEEPALIVE)->Enable(m_KeepAliveButton.enabled);
    m_Buttons.at(IDC_VPW_KEEPALIVE)->SetLabel(U8(m_KeepAliveButton.caption));
}

void CDialogVpw::OnBnClickedKeepAlive() {
    m_Page.ToggleKeepAlive(Text(IDC_VPW_KEEPALIVE_PERIOD));
    RefreshDeviceStatus();
}

void CDialogVpw::OnBnClickedReadRegisters() {
    if (!m_Page.ReadBackRegisters())
        platform::ShowMessage(kJ1850TextReadBackFailed, std::string(), platform::MessageIcon::None);
    m_Page.UpdateControls();
    UpdateControls();
}

void CDialogVpw::OnTimer(int id) {
    m_Page.OnTimer(id, Text(IDC_VPW_KEEPALIVE_DATA));
    if (!PageTimerRunning(kJ1850KeepAliveTimer)) RefreshDeviceStatus();
}


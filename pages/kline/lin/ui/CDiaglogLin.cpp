#include "pages/kline/lin/ui/CDiaglogLin.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <iterator>

#include "device/UsbOperation.h"
#include "monitor/ui/CDialogMainA.h"
#include "monitor/ui/DialogHubPage.h"
#include "pages/kline/lin/ui/CDialogEditIDTable.h"
#include "platform/Message.h"
#include "platform/ui/WxText.h"

namespace {

const UartByteFieldControl kByteFields[] = {
    {IDC_LIN_UTXP1T, uart::UTXP1T, UartFieldKind::Ms0To255},
    {IDC_LIN_UFREET, uart::UFREET, UartFieldKind::Ms0To255},
    {IDC_LIN_URXP1MAX, uart::URXP1MAX, UartFieldKind::Ms1To255},
};

}  // namespace

CDiaglogLin::CDiaglogLin(CDialogMainA* hub)
    : UartPageDialog(hub, IDD_DIALOG_LIN, "LIN 1.x LIN2.x"), m_IdEditor(m_Page.IdTable()) {
    Open();
}

void CDiaglogLin::BindHandlers() {
    auto onButton = [this](int id, auto handler) {
        m_Buttons.at(id)->Bind(wxEVT_BUTTON, [handler](wxCommandEvent&) { handler(); });
    };
    BindFamilyButtons();
    onButton(IDC_LIN_SET_ID_TABLE, [this] { OnBnClickedSetIdTable(); });
    const int setButtons[] = {IDC_LIN_SET_LACKB0, IDC_LIN_SET_LACKB1, IDC_LIN_SET_LACKB2, IDC_LIN_SET_LACKB3};
    for (size_t n = 0; n < kLinLackbCount; ++n)
        onButton(setButtons[n], [this, n] { OnBnClickedSetLackb(n); });

    auto onText = [this](int id, std::function<void()> handler) { OnEditText(Edit(id), std::move(handler)); };
    auto onLeave = [this](int id, std::function<void()> handler) { OnEditLeft(Edit(id), std::move(handler)); };
    BindByteFields(m_Edits, kByteFields, std::size(kByteFields),
                   [this](size_t offset, UartFieldKind kind, const std::string& text) {
                       return m_Page.ByteFieldChanged(offset, kind, text);
                   });
    for (size_t n = 0; n < kLinLackbCount; ++n) {
        const int id = kLinLackbEdits[n];
        onText(id, [this, id, n] { ShowFieldEdit(Edit(id), m_Page.LackbChanged(n, Text(id))); });
        onLeave(id, [this, id, n] { Edit(id)->ChangeValue(U8(m_Page.LackbText(n))); });
    }
    for (size_t r = 0; r < kLinSlaveRows; ++r) {
        const int idEdit = kLinSlaveIdEdits[r], dataEdit = kLinSlaveDataEdits[r];
        onText(idEdit, [this, idEdit, r] { ShowFieldEdit(Edit(idEdit), m_Page.SlaveIdChanged(r, Text(idEdit))); });
        onText(dataEdit, [this, dataEdit, r] {
            ShowFieldEdit(Edit(dataEdit), m_Page.SlaveDataChanged(r, Text(dataEdit)));
        });
        onLeave(dataEdit, [this, dataEdit, r] { Edit(dataEdit)->ChangeValue(U8(m_Page.SlaveDataText(r))); });
    }
    onText(IDC_LIN_MASTER_ID, [this] {
        const PageEditResult result = m_Page.MasterIdChanged(Text(IDC_LIN_MASTER_ID));
        ShowMaster(m_Page.View());
        Edit(IDC_LIN_DATA)->ChangeValue(U8(m_Page.MasterDataText()));
        ShowFieldEdit(Edit(IDC_LIN_MASTER_ID), result);
    });
    onText(IDC_LIN_DATA, [this] {
        const PageEditResult result = m_Page.MasterDataChanged(Text(IDC_LIN_DATA));
        ShowMaster(m_Page.View());
        ShowFieldEdit(Edit(IDC_LIN_DATA), result);
    });
    onLeave(IDC_LIN_DATA, [this] {
        Edit(IDC_LIN_DATA)->ChangeValue(U8(m_Page.MasterDataLeft()));
        ShowMaster(m_Page.View());
    });

    m_Lab->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        const std::string message = m_Page.SetAutoBaud(m_Lab->GetValue());
        if (!message.empty()) platform::ShowMessage(message, std::string(), platform::MessageIcon::Exclamation);
    });
    m_PinK1->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ApplyPinSelection(m_Page.Image(), UartPin::K1, false); });
    m_PinK2->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ApplyPinSelection(m_Page.Image(), UartPin::K2, false); });
    BindSerialSettings(m_Serial, SerialPage());

    m_List->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& event) { OnNMDblclkListIdTable(event.GetIndex()); });
    // The click itself: the page re-selects rows after the editor's changes, and a click on the
    // row already selected must move the editor too.
    OnListRowClick(m_List, [this](long row) { OnNMClickListIdTable(row); });
}

void CDiaglogLin::UpdateControls() {
    auto show = [this](int id, const std::string& text) { Edit(id)->ChangeValue(U8(text)); };
    m_PinK1->SetValue(true);
    m_PinK2->SetValue(false);
    ShowSerialSettings(m_Serial, SerialPage(), kUartBaudRow9600);
    ShowByteFields(m_Edits, kByteFields, std::size(kByteFields), m_Page.Image());
    for (size_t n = 0; n < kLinLackbCount; ++n) show(kLinLackbEdits[n], m_Page.LackbText(n));
    for (size_t r = 0; r < kLinSlaveRows; ++r) {
        show(kLinSlaveIdEdits[r], std::to_string(m_Page.SlaveRows().Row(r).ID));
        show(kLinSlaveDataEdits[r], m_Page.SlaveDataText(r));
    }
    show(IDC_LIN_MASTER_ID, std::to_string(m_Page.Master().ID));
    show(IDC_LIN_DATA, m_Page.MasterDataText());
    ShowMaster(m_Page.View());
    m_Lab->SetValue(false);
}

void CDiaglogLin::ShowMaster(const LinMasterView& view) {
    Edit(IDC_LIN_DLC)->ChangeValue(U8(view.dlcText));
    Edit(IDC_LIN_CS)->ChangeValue(U8(view.checksumText));
    Edit(IDC_LIN_ID_LEN)->ChangeValue(U8(view.idLenText));
    Edit(IDC_LIN_DATA)->Enable(view.dataEnabled);
}

void CDiaglogLin::FillIdList() {
    m_List->DeleteAllItems();
    const uint8_t* table = m_Page.IdTable();
    for (uint8_t id = 0; id < kLinIdCount; ++id) {
        const uint8_t b = table[id];
        const long row = m_List->InsertItem(id, LinIdListText(id));
        const unsigned fields[] = {unsigned(b >> 7), unsigned((b >> 6) & 1), unsigned((b >> 4) & 3),
                                   unsigned((b >> 3) & 1), unsigned((b >> 2) & 1), unsigned(b & 3)};
        for (int col = 0; col < 6; ++col) m_List->SetItem(row, col + 1, wxString::Format("%u", fields[col]));
    }
}

void CDiaglogLin::OnIdTableChanged(bool selectCurrent) {
    FillIdList();
    if (selectCurrent) {
        const long row = m_IdEditor.CurrentId();
        m_List->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                             wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        m_List->EnsureVisible(row);
    }
    ShowMaster(m_Page.ComputeChecksum());
}

void CDiaglogLin::ClosePage() {
    if (m_EditIdTable) m_EditIdTable->OnBnClickedCancel();
}

void CDiaglogLin::OpenEditor() {
    if (!m_EditIdTable) {
        m_EditIdTable = new CDialogEditIDTable(this, m_IdEditor);
    } else {
        m_EditIdTable->UpdateControls();
    }
    m_EditIdTable->Show();
    m_EditIdTable->Raise();
    m_EditIdTable->SetFocus();
}

void CDiaglogLin::OnNMDblclkListIdTable(long row) {
    if (row < 0 || row >= static_cast<long>(kLinIdCount)) return;
    m_IdEditor.SetCurrentId(static_cast<uint8_t>(row));
    if (g_WorkerRunning.load()) {
        platform::ShowMessage(kLinTextEditorWhileRunning, std::string(), platform::MessageIcon::Exclamation);
        return;
    }
    OpenEditor();
}

void CDiaglogLin::OnNMClickListIdTable(long row) {
    if (row < 0 || row >= static_cast<long>(kLinIdCount)) return;
    if (!m_EditIdTable || !m_EditIdTable->IsShown()) return;
    m_IdEditor.SetCurrentId(static_cast<uint8_t>(row));
    m_EditIdTable->UpdateControls();
}

void CDiaglogLin::OnBnClickedSetIdTable() {
    m_IdEditor.SetCurrentId(0);
    OpenEditor();
}

SerialSettingsPage CDiaglogLin::SerialPage() {
    return SerialSettingsPage{[this]() -> UartRegisterImage& { return m_Page.Image(); },
                              [this](size_t row) { return m_Page.SelectBaud(row); },
                              [this](const std::string& text) { return m_Page.BrgChanged(text); },
                              std::string()};
}

void CDiaglogLin::OnBnClickedSendFrame() { m_Page.Send(); }

void CDiaglogLin::OnBnClickedSetLackb(size_t buffer) { m_Page.SetLackb(buffer); }


#pragma once
// The LIN page window ("LIN 1.x LIN2.x"). Thin: reads its controls, calls LinPage and shows
// the result. Created by the hub on first use and only hidden when it closes; owns the
// ID-table editor, created on its first opening and hidden with the page.
#include <wx/dialog.h>

#include <array>
#include <map>
#include <string>

#include "pages/kline/lin/LinPage.h"
#include "pages/kline/ui/UartPageDialog.h"

class CDialogEditIDTable;
class CDialogMainA;
class wxButton;
class wxCheckBox;
class wxListCtrl;
class wxListEvent;
class wxRadioButton;
class wxTextCtrl;

enum DiaglogLinId : int {
    IDD_DIALOG_LIN = 147,
    IDC_LIN_EXIT = 2,
    IDC_LIN_STOP = 1003,
    IDC_LIN_LACKB0 = 1011,
    IDC_LIN_LACKB1 = 1012,
    IDC_LIN_LACKB2 = 1013,
    IDC_LIN_START = 1014,
    IDC_LIN_SEND = 1015,
    IDC_LIN_UTXP1T = 1016,
    IDC_LIN_UFREET = 1017,
    IDC_LIN_URXP1MAX = 1018,
    IDC_LIN_LACKB3 = 1019,
    IDC_LIN_SET_ID_TABLE = 1024,
    IDC_LIN_DLC = 1059,
    IDC_LIN_DATA = 1060,
    IDC_LIN_MASTER_ID = 1061,
    IDC_LIN_CS = 1062,
    IDC_LIN_ID_LEN = 1063,
    IDC_LIN_LAB = 1112,
    IDC_LIN_SET_LACKB0 = 1211,
    IDC_LIN_SET_LACKB1 = 1212,
    IDC_LIN_SET_LACKB2 = 1213,
    IDC_LIN_SET_LACKB3 = 1214,
    IDC_LIN_ID_LIST = 1215,
};
// Slave rows 0-7: ID edits and data edits.
extern const std::array<int, kLinSlaveRows> kLinSlaveIdEdits;
extern const std::array<int, kLinSlaveRows> kLinSlaveDataEdits;
extern const std::array<int, kLinLackbCount> kLinLackbEdits;

class CDiaglogLin : public UartPageDialog {
public:
    explicit CDiaglogLin(CDialogMainA* hub);

    void OnBnClickedSendFrame() override;
    void OnBnClickedSetLackb(size_t buffer);
    void OnBnClickedSetIdTable();
    // A double-click on a row (row -1: no row hit), and a single click.
    void OnNMDblclkListIdTable(long row);
    void OnNMClickListIdTable(long row);
    // The editor changed the table: the list is rebuilt (the current ID's row selected when
    // selectCurrent), the checksum and the data edit follow.
    void OnIdTableChanged(bool selectCurrent);

    void FillIdList();
    const LinPage& Page() const { return m_Page; }
    CDialogEditIDTable* Editor() const { return m_EditIdTable; }

private:
    void CreateControls() override;
    void BindHandlers() override;
    void UpdateControls() override;
    PageStartResult StartPage() override { return m_Page.Start(); }
    void StopPage() override { m_Page.Stop(); }
    PageDeviceStatus PageStatus() override { return m_Page.RefreshDeviceStatus(); }
    // The editor goes with its page, as its own 退出 would take it.
    void ClosePage() override;
    SerialSettingsPage SerialPage();
    void ShowMaster(const LinMasterView& view);
    void OpenEditor();

    LinPage m_Page;
    LinIdTableEditor m_IdEditor;
    CDialogEditIDTable* m_EditIdTable = nullptr;

    SerialSettingsControls m_Serial;
    wxListCtrl* m_List = nullptr;
    wxCheckBox* m_Lab = nullptr;
    wxRadioButton* m_PinK1 = nullptr;
    wxRadioButton* m_PinK2 = nullptr;
};

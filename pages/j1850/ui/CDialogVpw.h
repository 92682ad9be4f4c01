#pragma once
// The J1850 page window (VPW or PWM by m_bPwm). Thin: reads its controls, calls J1850Page and
// shows the result. Created by the hub on first use and only hidden when it closes.
#include <wx/dialog.h>
#include <wx/timer.h>

#include <map>
#include <string>

#include "pages/j1850/J1850Page.h"
#include "pages/shared/ui/PageDialog.h"

class CDialogMainA;
class CListSectorLock;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxListBox;
class wxRadioButton;
class wxTextCtrl;

// Window ids of the page's controls.
enum DialogVpwId : int {
    IDD_DIALOG_VPW = 133,
    IDC_VPW_EXIT = 2,
    IDC_VPW_STOP = 1003,
    IDC_VPW_ONE_BYTE = 1008,
    IDC_VPW_CONSOLIDATED = 1009,
    IDC_VPW_KEEPALIVE_DATA = 1011,
    IDC_VPW_KEEPALIVE_PERIOD = 1012,
    IDC_VPW_PRESET_OBD2 = 1013,
    IDC_VPW_START = 1014,
    IDC_VPW_SEND = 1015,
    IDC_VPW_LIST_PHYSICAL = 1016,
    IDC_VPW_LIST_FUNCTIONAL = 1017,
    IDC_VPW_LIST_HEAD_ID = 1018,
    IDC_VPW_FILTER_ADDRESS = 1019,
    IDC_VPW_FILTER_ADD = 1020,
    IDC_VPW_FILTER_REMOVE = 1021,
    IDC_VPW_IFR_LIST = 1022,
    IDC_VPW_IFR_ID = 1023,
    IDC_VPW_IFR_ADD = 1024,
    IDC_VPW_IFR_REMOVE = 1025,
    IDC_VPW_IFR_IFRT = 1026,
    IDC_VPW_PRESET_ALL = 1027,
    IDC_VPW_IFR_NB = 1028,
    IDC_VPW_YZZ_IFRT0 = 1029,  // IFRT of YZZ y: 1029 + 2y, NB: 1030 + 2y
    IDC_VPW_IDBUFF = 1045,
    IDC_VPW_IFR3_B0 = 1046,
    IDC_VPW_IFR3_B1 = 1047,
    IDC_VPW_IFR_IDSEL = 1049,
    IDC_VPW_IFR_IFR3SEL = 1050,
    IDC_VPW_IFR3_CRC = 1051,
    IDC_VPW_GRID = 1054,
    IDC_VPW_HEADER = 1055,
    IDC_VPW_TARGET = 1056,
    IDC_VPW_SOURCE = 1058,
    IDC_VPW_DLC = 1059,
    IDC_VPW_DATA = 1060,
    IDC_VPW_PHYSICAL = 1065,
    IDC_VPW_FUNCTIONAL = 1067,
    IDC_VPW_HEAD_ID = 1068,
    IDC_VPW_YZZ_IFR3SEL0 = 1074,  // IFR3SEL of YZZ y: 1074 + y
    IDC_VPW_IFR3_B0_LENGTH = 1082,
    IDC_VPW_IFR3_B1_LENGTH = 1083,
    IDC_VPW_KEEPALIVE = 1271,
};
// IDSEL combos of YZZ 000 ... 111.
extern const int kVpwYzzIdselIds[8];

// The one window of the J1850 family (VPW and PWM), on the window base every page shares.
class CDialogVpw : public PageDialog {
public:
    // hub is m_pMainDlg: it owns the monitor timer and the page buttons.
    CDialogVpw(CDialogMainA* hub, bool pwm);

    void UpdateControls() override;
    void OnBnClickedSendFrame() { m_Page.Send(); }
    void OnBnClickedKeepAlive();
    // Command 1062: no control or menu of the page sends it.
    void OnBnClickedReadRegisters();
    void OnHeaderByteChanged(uint8_t byte);
    void OnTimer(int id) override;

    const J1850Page& Page() const { return m_Page; }
    bool KeepAliveTimerRunning() const { return PageTimerRunning(kJ1850KeepAliveTimer); }
    CListSectorLock* Grid() const { return m_Grid; }

    const bool m_bPwm;

private:
    void CreateControls() override;
    void BindHandlers() override;
    PageStartResult StartPage() override { return m_Page.Start(m_pMainDlg); }
    void StopPage() override { m_Page.Stop(); }
    // The run buttons' state; the keep-alive button's is kept for ShowPageStatus.
    PageDeviceStatus PageStatus() override;
    void ClosePage() override { m_Page.Close(); }
    void ShowPageStatus() override;
    void ShowHeader(const J1850HeaderView& view, bool withHeaderEdit = true);
    void ShowLists();
    void ShowIfr3();
    void ApplyEdit(wxTextCtrl* edit, const PageEditResult& result);
    void OnFilterAdd();
    void OnFilterRemove();
    void OnIfrAdd();
    void OnIfrRemove();

    J1850Page m_Page;
    J1850KeepAliveView m_KeepAliveButton;

    CListSectorLock* m_Grid = nullptr;
    wxRadioButton* m_OneByte = nullptr;
    wxRadioButton* m_Consolidated = nullptr;
    wxRadioButton* m_FilterKinds[3] = {};
    wxListBox* m_FilterLists[3] = {};
    wxListBox* m_IfrList = nullptr;
    wxChoice* m_IfrCombos[4] = {};  // IFRT, IDSEL, IFR3SEL, NB
    wxChoice* m_YzzCombos[8][4] = {};  // per YZZ: IFRT, NB, IDSEL, IFR3SEL
    wxCheckBox* m_Ifr3Crc = nullptr;
};

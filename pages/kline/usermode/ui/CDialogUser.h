#pragma once
// The ISO 9141-2 user-mode page window. Thin: reads its controls, calls UserModePage and shows
// the result.
#include "pages/kline/usermode/UserModePage.h"
#include "pages/kline/ui/UartPageDialog.h"

class wxCheckBox;
class wxChoice;
class wxRadioButton;

// Window ids of the page's controls (dialog template 145).
enum DialogUserId : int {
    IDD_DIALOG_USER = 145,
    IDC_USER_KEEPALIVE_ENABLE = 1010,
    IDC_USER_KEEPALIVE_DATA = 1011,
    IDC_USER_KEEPALIVE_INTERVAL = 1012,
    IDC_USER_CHECK_TX = 1013,
    IDC_USER_UTXP1T = 1016,
    IDC_USER_UFREET = 1017,
    IDC_USER_URXP1MAX = 1018,
    IDC_USER_FAST_LOW = 1019,
    IDC_USER_FAST_HIGH = 1020,
    IDC_USER_CYCLIC = 1021,
    IDC_USER_ENL = 1023,
    IDC_USER_CYCLE_PERIOD = 1025,
    IDC_USER_LENGTH_CONTROL = 1026,
    IDC_USER_UFLAND = 1027,
    IDC_USER_UTXVT0 = 1028,
    IDC_USER_URXVT1 = 1029,
    IDC_USER_INIT_TYPE = 1031,
    IDC_USER_LENP = 1035,
    IDC_USER_LRR = 1036,
    IDC_USER_OFFSET = 1037,
    IDC_USER_CHECK_RX = 1038,
    IDC_USER_INVERT = 1039,
    IDC_USER_CHECK_LAST = 1040,
    IDC_USER_CHKSUM = 1041,
    IDC_USER_CHKMOD = 1042,
    IDC_USER_RLEN = 1044,
    IDC_USER_NKW2 = 1045,
    IDC_USER_ENKW2 = 1046,
    IDC_USER_USERKW = 1047,
    IDC_USER_BITADJ = 1057,
    IDC_USER_DLC = 1059,
    IDC_USER_DATA = 1060,
    IDC_USER_CS = 1062,
    IDC_USER_KEEPALIVE_CS = 1063,
};

class CDialogUser : public UartImagePageDialog {
public:
    CDialogUser(CDialogMainA* hub);

    void OnBnClickedSendFrame() override;
    void OnBnClickedSendInitFrame() override;
    void OnTimer(int id) override;

    const UserModePage& Page() const { return m_Page; }

private:
    UartPageBase& Base() override { return m_Page; }
    void CreateControls() override;
    void BindHandlers() override;
    void UpdateControls() override;
    void ShowChecksums();

    UserModePage m_Page;
    wxChoice* m_InitType = nullptr;
    wxCheckBox* m_Enl = nullptr;
    wxChoice* m_Rlen = nullptr;
    wxChoice* m_Nkw2 = nullptr;
    wxChoice* m_Enkw2 = nullptr;
    std::vector<wxRadioButton*> m_Pins;  // K1, K2, K / L
};

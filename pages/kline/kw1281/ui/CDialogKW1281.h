#pragma once
// The KW1281 page window. Thin: reads its controls, calls Kw1281Page and shows the result.
#include "pages/kline/kw1281/Kw1281Page.h"
#include "pages/kline/ui/UartPageDialog.h"

class wxCheckBox;
class wxChoice;
class wxRadioButton;

// Window ids of the page's controls.
enum DialogKW1281Id : int {
    IDD_DIALOG_KW1281 = 139,
    IDC_KW1281_KEEPALIVE_ENABLE = 1010,
    IDC_KW1281_KEEPALIVE_DATA = 1011,
    IDC_KW1281_KEEPALIVE_INTERVAL = 1012,
    IDC_KW1281_UTXP1T = 1016,
    IDC_KW1281_UFREET = 1017,
    IDC_KW1281_URXP1MAX = 1018,
    IDC_KW1281_ENL = 1019,
    IDC_KW1281_UTXVT0 = 1020,
    IDC_KW1281_CYCLIC = 1021,
    IDC_KW1281_URXVT1 = 1023,
    IDC_KW1281_CYCLE_PERIOD = 1025,
    IDC_KW1281_INIT_TYPE = 1031,
    IDC_KW1281_BITADJ = 1057,
    IDC_KW1281_DLC = 1059,
    IDC_KW1281_DATA = 1060,
    IDC_KW1281_LENGTH_BYTE = 1061,
};

class CDialogKW1281 : public UartImagePageDialog {
public:
    CDialogKW1281(CDialogMainA* hub);

    void OnBnClickedSendFrame() override;
    void OnBnClickedSendInitFrame() override;
    void OnTimer(int id) override;

    const Kw1281Page& Page() const { return m_Page; }

private:
    UartPageBase& Base() override { return m_Page; }
    void ShowPageStatus() override;
    void CreateControls() override;
    void BindHandlers() override;
    void UpdateControls() override;
    void ShowData();

    Kw1281Page m_Page;
    wxChoice* m_InitType = nullptr;
    wxCheckBox* m_Enl = nullptr;
    std::vector<wxRadioButton*> m_Pins;  // K1, K2, K / L
};

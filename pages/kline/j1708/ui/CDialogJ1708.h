#pragma once
// The SAE J1708 page window. Thin: reads its controls, calls J1708Page and shows the result.
#include "pages/kline/j1708/J1708Page.h"
#include "pages/kline/ui/UartPageDialog.h"

class wxCheckBox;
class wxChoice;
class wxRadioButton;

// Window ids of the page's controls (dialog template 151).
enum DialogJ1708Id : int {
    IDD_DIALOG_J1708 = 151,
    IDC_J1708_UTXP1T = 1016,
    IDC_J1708_UFREET = 1017,
    IDC_J1708_URXP1MAX = 1018,
    IDC_J1708_PERIOD = 1035,
    IDC_J1708_ENCS = 1036,
    IDC_J1708_CSM = 1037,
    IDC_J1708_DLC = 1059,
    IDC_J1708_DATA = 1060,
    IDC_J1708_CS = 1062,
    IDC_J1708_PIN_J1708 = 1098,
    IDC_J1708_MID = 1218,
};

class CDialogJ1708 : public UartImagePageDialog {
public:
    CDialogJ1708(CDialogMainA* hub);

    void OnBnClickedSendFrame() override;

    const J1708Page& Page() const { return m_Page; }

private:
    UartPageBase& Base() override { return m_Page; }
    void CreateControls() override;
    void BindHandlers() override;
    void UpdateControls() override;
    void ShowChecksum();

    J1708Page m_Page;
    wxCheckBox* m_Encs = nullptr;
    wxChoice* m_Csm = nullptr;
    wxChoice* m_Period = nullptr;
    std::vector<wxRadioButton*> m_Pins;  // K1, K2, J1708
};

#pragma once
// The SCI page window. Thin: reads its controls, calls SciPage and shows the result.
#include "pages/kline/sci/SciPage.h"
#include "pages/kline/ui/UartPageDialog.h"

class wxRadioButton;

// Window ids of the page's controls.
enum DialogSCIId : int {
    IDD_DIALOG_SCI = 143,
    IDC_SCI_CHECK_TX = 1010,
    IDC_SCI_UTXP1T = 1016,
    IDC_SCI_UFREET = 1017,
    IDC_SCI_URXP1MAX = 1018,
    IDC_SCI_CHECK_RX = 1019,
    IDC_SCI_UTXVT0 = 1020,
    IDC_SCI_LENGTH_CONTROL = 1022,
    IDC_SCI_URXVT1 = 1023,
    IDC_SCI_UFLAND = 1027,
    IDC_SCI_INVERT = 1028,
    IDC_SCI_CHECK_LAST = 1029,
    IDC_SCI_LENP = 1031,
    IDC_SCI_LRR = 1032,
    IDC_SCI_OFFSET = 1035,
    IDC_SCI_CHKSUM = 1036,
    IDC_SCI_CHKMOD = 1037,
    IDC_SCI_DLC = 1059,
    IDC_SCI_DATA = 1060,
    IDC_SCI_PIN_TX1_RX2 = 1099,
    IDC_SCI_PIN_TX2_RX1 = 1100,
    IDC_SCI_HALF_DUPLEX = 1204,
    IDC_SCI_DUPLEX = 1205,
};

class CDialogSCI : public UartImagePageDialog {
public:
    CDialogSCI(CDialogMainA* hub);

    void OnBnClickedSendFrame() override;

    const SciPage& Page() const { return m_Page; }

private:
    UartPageBase& Base() override { return m_Page; }
    void CreateControls() override;
    void BindHandlers() override;
    void UpdateControls() override;

    SciPage m_Page;
    std::vector<wxRadioButton*> m_Pins;   // TX1 RX2, TX2 RX1
    wxRadioButton* m_HalfDuplex = nullptr;
    wxRadioButton* m_Duplex = nullptr;
};

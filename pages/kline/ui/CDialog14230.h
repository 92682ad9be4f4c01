#pragma once
// The ISO 14230 (KWP2000) page window. Thin: reads its controls, calls Iso14230Page and shows
// the result. Created by the hub on first use and only hidden when it closes.
#include "pages/kline/Iso14230Page.h"
#include "pages/kline/ui/UartPageDialog.h"

class wxCheckBox;
class wxChoice;
class wxRadioButton;
class wxTextCtrl;

// Window ids of the page's controls.
enum Dialog14230Id : int {
    IDD_DIALOG_14230 = 137,
    IDC_14230_EXIT = 2,
    IDC_14230_STOP = 1003,
    IDC_14230_KEEPALIVE_ENABLE = 1010,
    IDC_14230_KEEPALIVE_DATA = 1011,
    IDC_14230_KEEPALIVE_INTERVAL = 1012,
    IDC_14230_START = 1014,
    IDC_14230_SEND = 1015,
    IDC_14230_UTXP1T = 1016,
    IDC_14230_UFREET = 1017,
    IDC_14230_URXP1MAX = 1018,
    IDC_14230_FAST_LOW = 1019,
    IDC_14230_FAST_HIGH = 1020,
    IDC_14230_CYCLIC = 1021,
    IDC_14230_SEND_INIT = 1022,
    IDC_14230_LENGTH_BYTE = 1023,
    IDC_14230_DEFAULTS = 1024,
    IDC_14230_CYCLE_PERIOD = 1025,
    IDC_14230_INIT_TYPE = 1031,
    IDC_14230_FORMAT = 1032,
    IDC_14230_TARGET = 1056,
    IDC_14230_BITADJ = 1057,
    IDC_14230_SOURCE = 1058,
    IDC_14230_DLC = 1059,
    IDC_14230_DATA = 1060,
    IDC_14230_FMT = 1061,
    IDC_14230_CS = 1062,
    IDC_14230_KEEPALIVE_CS = 1063,
};

class CDialog14230 : public UartImagePageDialog {
public:
    // hub is m_pMainDlg: it owns the monitor timer and the page buttons.
    CDialog14230(CDialogMainA* hub);

    void OnBnClickedSendFrame() override;
    void OnBnClickedSendInitFrame() override;
    void OnTimer(int id) override;

    const Iso14230Page& Page() const { return m_Page; }

private:
    UartPageBase& Base() override { return m_Page; }
    void ShowPageStatus() override;
    void CreateControls() override;
    void BindHandlers() override;
    void UpdateControls() override;
    void ShowHeader(const Iso14230HeaderView& view);
    void OnDataLeft();
    void OnFmtLeft();

    Iso14230Page m_Page;

    wxChoice* m_InitType = nullptr;
    wxChoice* m_Format = nullptr;
    wxCheckBox* m_LengthByte = nullptr;
    wxRadioButton* m_PinK1 = nullptr;
    wxRadioButton* m_PinK2 = nullptr;
};

#pragma once
// The UART test page window. Thin: reads its controls, calls UartTestPage and shows the
// result. Created by the hub on first use and only hidden when it closes.
#include <wx/dialog.h>
#include <wx/font.h>

#include <map>
#include <string>

#include "pages/kline/ui/UartPageDialog.h"
#include "pages/kline/uarttest/UartTestPage.h"

class CDialogMainA;
class wxButton;
class wxCheckBox;
class wxRadioButton;
class wxStaticText;
class wxTextCtrl;

// Window ids of the page's controls.
enum DiaglogTestUartId : int {
    IDD_DIALOG_TEST_UART = 153,
    IDC_TESTUART_EXIT = 2,
    IDC_TESTUART_STOP = 1003,
    IDC_TESTUART_START = 1014,
    IDC_TESTUART_SEND = 1015,
    IDC_TESTUART_DLC = 1059,
    IDC_TESTUART_DATA = 1060,
    IDC_TESTUART_INTF = 1065,
    IDC_TESTUART_PIN_SCI12 = 1108,
    IDC_TESTUART_PIN_SCI21 = 1109,
    IDC_TESTUART_WCE = 1120,
    IDC_TESTUART_WUE = 1121,
    IDC_TESTUART_WJE = 1122,
    IDC_TESTUART_SLEEP = 1123,
    IDC_TESTUART_WAKE = 1124,
    IDC_TESTUART_RD_INTF = 1125,
    IDC_TESTUART_BATTERY = 1265,
};

class CDiaglogTestUart : public UartPageDialog {
public:
    // hub is m_pMainDlg: it owns the monitor timer and the page buttons.
    explicit CDiaglogTestUart(CDialogMainA* hub);

    void OnBnClickedSendFrame() override;
    void OnBnClickedSleep();
    void OnBnClickedWake();
    void OnBnClickedRdIntf();

    const UartTestPage& Page() const { return m_Page; }

private:
    void CreateControls() override;
    void BindHandlers() override;
    void UpdateControls() override;
    PageStartResult StartPage() override { return m_Page.Start(m_pMainDlg); }
    void StopPage() override { m_Page.Stop(); }
    PageDeviceStatus PageStatus() override { return m_Page.RefreshDeviceStatus(); }
    void ClosePage() override {}
    SerialSettingsPage SerialPage();
    void ShowCount();

    UartTestPage m_Page;
    wxFont m_BatteryFont;

    SerialSettingsControls m_Serial;
    wxTextCtrl* m_Data = nullptr;
    wxTextCtrl* m_Dlc = nullptr;
    wxTextCtrl* m_Intf = nullptr;
    std::map<int, wxRadioButton*> m_Pins;
    std::map<int, wxCheckBox*> m_SleepChecks;
};

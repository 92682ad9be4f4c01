#pragma once
// The VW TP2.0 page window. Thin: reads its controls, calls Tp20Page and shows the result.
// Created by the hub on first use and only hidden when it closes.
#include <wx/dialog.h>

#include "pages/can/tp20/Tp20Page.h"
#include "pages/can/ui/CanPageDialog.h"
#include "pages/can/ui/CanPageLayout.h"

class CDialogMainA;

enum DialogTP20Id : int {
    IDD_DIALOG_TP20 = 155,
    IDC_TP20_EXIT = 2,
    IDC_TP20_STOP = 1003,
    IDC_TP20_START = 1014,
    IDC_TP20_SEND = 1015,
    IDC_TP20_MULTI_FRAME = 1016,
    IDC_TP20_KEEPALIVE_ENABLE = 1020,
    IDC_TP20_SINGLE_ID = 1055,
    IDC_TP20_SINGLE_DLC = 1059,
    IDC_TP20_SINGLE_DATA = 1060,
    IDC_TP20_ACK_ID = 1102,
    IDC_TP20_SINGLE_TYPE = 1104,
    IDC_TP20_SINGLE_FORMAT = 1105,
    IDC_TP20_BUFFER = 1112,
    IDC_TP20_ACK_DLC = 1117,
    IDC_TP20_FF_ID = 1118,
    IDC_TP20_FF_DLC = 1119,
    IDC_TP20_FF_DATA = 1120,
    IDC_TP20_ACK_DATA = 1121,
    IDC_TP20_KEEPALIVE_PERIOD = 1167,
    IDC_TP20_CCF_DL = 1171,
    IDC_TP20_BUFFER_LENGTH = 1172,
    IDC_TP20_CONNECT = 1223,
    IDC_TP20_IDM = 1224,
    IDC_TP20_BSM = 1225,
    IDC_TP20_STM = 1226,
    IDC_TP20_CHSFLTN = 1227,
    IDC_TP20_CTSFLTN = 1228,
    IDC_TP20_BSIZ = 1229,
    IDC_TP20_T1 = 1230,
    IDC_TP20_T3 = 1231,
    IDC_TP20_TE = 1232,
    IDC_TP20_CHANNEL_ID = 1233,
    IDC_TP20_CHANNEL_DLC = 1234,
    IDC_TP20_CHANNEL_DATA = 1235,
    IDC_TP20_CONNECTION_ID = 1236,
    IDC_TP20_CONNECTION_DLC = 1237,
    IDC_TP20_CONNECTION_DATA = 1238,
    IDC_TP20_ACK = 1240,
    IDC_TP20_KEEPALIVE_ID = 1241,      // display of the keep-alive frame
    IDC_TP20_PRESET_TESTER = 1242,     // "设置为诊断"
    IDC_TP20_PRESET_ECU = 1243,        // "设置为ECU(0x1F)"
};

class CDialogTP20 : public CanPageDialog {
public:
    // hub is m_pMainDlg: it owns the monitor timer and the page buttons.
    explicit CDialogTP20(CDialogMainA* hub);

    void OnBnClickedSendFrame() override { m_Page.Send(); }
    void OnBnClickedStartMultiFrame() override { m_Page.StartMultiFrame(); }
    void OnBnClickedStartConnection() { m_Page.StartConnection(); }

    const Tp20Page& Page() const { return m_Page; }

private:
    void CreateControls() override;
    void BindHandlers() override;
    void LoadDefaults(unsigned preset);
    void UpdateControls() override;
    PageStartResult StartPage() override { return m_Page.Start(); }
    void StopPage() override { m_Page.Stop(); }
    PageDeviceStatus PageStatus() override { return m_Page.RefreshDeviceStatus(); }
    void ClosePage() override {}

    Tp20Page m_Page;
};

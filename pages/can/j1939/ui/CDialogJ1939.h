#pragma once
// The SAE J1939 page window. Thin: reads its controls, calls J1939Page and shows the result.
// Created by the hub on first use and only hidden when it closes.
#include <wx/dialog.h>

#include "pages/can/j1939/J1939Page.h"
#include "pages/can/ui/CanPageDialog.h"
#include "pages/can/ui/CanPageLayout.h"

class CDialogMainA;

enum DialogJ1939Id : int {
    IDD_DIALOG_J1939 = 157,
    IDC_J1939_EXIT = 2,
    IDC_J1939_STOP = 1003,
    IDC_J1939_START = 1014,
    IDC_J1939_SEND = 1015,
    IDC_J1939_MULTI_FRAME = 1016,
    IDC_J1939_BAM = 1017,
    IDC_J1939_FIXED_LENGTH = 1019,
    IDC_J1939_DEFAULTS = 1021,  // "设置为默认"
    IDC_J1939_R1FLTN = 1053,
    IDC_J1939_SINGLE_ID = 1055,
    IDC_J1939_TXFLTN = 1057,
    IDC_J1939_SINGLE_DLC = 1059,
    IDC_J1939_SINGLE_DATA = 1060,
    IDC_J1939_RTS_PRIORITY = 1061,
    IDC_J1939_DT_PRIORITY = 1063,
    IDC_J1939_CTS0_PRIORITY = 1064,
    IDC_J1939_CTS1_PRIORITY = 1066,
    IDC_J1939_BUFFER = 1112,
    IDC_J1939_PACKETS = 1121,
    IDC_J1939_TP_DA = 1122,
    IDC_J1939_TP_SA = 1123,
    IDC_J1939_DT_ID = 1124,
    IDC_J1939_DT_DA = 1125,
    IDC_J1939_DT_SA = 1126,
    IDC_J1939_CTS0_DA = 1127,
    IDC_J1939_CTS1_DA = 1128,
    IDC_J1939_CTS0_SA = 1129,
    IDC_J1939_CTS1_SA = 1130,
    IDC_J1939_FILL = 1131,
    IDC_J1939_RTS_DATA = 1132,
    IDC_J1939_PDU_FORMAT = 1240,
    IDC_J1939_PDU_PRIORITY = 1241,
    IDC_J1939_PDU_DP = 1242,
    IDC_J1939_PDU_PF = 1243,
    IDC_J1939_PDU_GE = 1244,
    IDC_J1939_PDU_DA = 1245,
    IDC_J1939_PDU_SA = 1246,
    IDC_J1939_PDU_PGN = 1247,
    IDC_J1939_BSM = 1248,
    IDC_J1939_BSIZE = 1249,
    IDC_J1939_R0FLTN = 1250,
    IDC_J1939_T2 = 1251,
    IDC_J1939_T3 = 1252,
    IDC_J1939_TR = 1253,
    IDC_J1939_TS = 1254,
    IDC_J1939_CTS0_ID = 1255,
    IDC_J1939_CTS1_ID = 1256,
    IDC_J1939_RTS_ID = 1259,
    IDC_J1939_TOTAL = 1261,
    IDC_J1939_PGN = 1262,
    IDC_J1939_BUFFER_LENGTH = 1264,
    // The DLC displays of the transport frames.
    IDC_J1939_RTS_DLC = 1266,
    IDC_J1939_DT_DLC = 1267,
    IDC_J1939_CTS0_DLC = 1268,
    IDC_J1939_CTS1_DLC = 1269,
};

class CDialogJ1939 : public CanPageDialog {
public:
    // hub is m_pMainDlg: it owns the monitor timer and the page buttons.
    explicit CDialogJ1939(CDialogMainA* hub);

    void OnBnClickedSendFrame() override { m_Page.Send(); }
    void OnBnClickedStartMultiFrame() override { m_Page.StartMultiFrame(); }

    const J1939Page& Page() const { return m_Page; }

private:
    void CreateControls() override;
    void BindHandlers() override;
    void UpdateControls() override;
    PageStartResult StartPage() override { return m_Page.Start(); }
    void StopPage() override { m_Page.Stop(); }
    PageDeviceStatus PageStatus() override { return m_Page.RefreshDeviceStatus(); }
    void ClosePage() override {}
    void ShowPduInfo();
    void ShowRtsData();
    void ShowFrameIds();
    void ShowSingleData();

    J1939Page m_Page;
};

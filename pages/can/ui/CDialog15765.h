#pragma once
// The ISO 15765 page window. Thin: reads its controls, calls Iso15765Page and shows the
// result. Created by the hub on first use and only hidden when it closes.
#include <wx/dialog.h>
#include <wx/timer.h>

#include <map>
#include <string>

#include "pages/can/Iso15765Page.h"
#include "pages/can/ui/CanPageDialog.h"
#include "pages/can/ui/CanPageLayout.h"

class CDialogMainA;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxRadioButton;
class wxTextCtrl;

enum Dialog15765Id : int {
    IDD_DIALOG_15765 = 135,
    IDC_15765_EXIT = 2,
    IDC_15765_STOP = 1003,
    IDC_15765_START = 1014,
    IDC_15765_SEND = 1015,
    IDC_15765_MULTI_FRAME = 1016,
    IDC_15765_LENM = 1017,
    IDC_15765_BSM = 1018,
    IDC_15765_STM = 1019,
    IDC_15765_PRESET_OBD11 = 1028,
    IDC_15765_TXFC_FILTER = 1036,
    IDC_15765_SINGLE_ID = 1055,
    IDC_15765_KEEPALIVE_ID = 1057,
    IDC_15765_SINGLE_DLC = 1059,
    IDC_15765_SINGLE_DATA = 1060,
    IDC_15765_KEEPALIVE_DATA = 1061,
    IDC_15765_RXFC0_FILTER = 1063,
    IDC_15765_RXFC1_FILTER = 1066,
    IDC_15765_FC0_ID = 1072,
    IDC_15765_FC0_DLC = 1075,
    IDC_15765_FC0_DATA = 1081,
    IDC_15765_FC1_ID = 1095,
    IDC_15765_FC1_DLC = 1097,
    IDC_15765_FC1_DATA = 1098,
    IDC_15765_PRESET_OBD29 = 1102,
    IDC_15765_PRESET_ALL = 1103,
    IDC_15765_SINGLE_TYPE = 1104,
    IDC_15765_SINGLE_FORMAT = 1105,
    IDC_15765_BUFFER = 1112,
    IDC_15765_FC_11BIT = 1116,
    IDC_15765_FC_29BIT = 1117,
    IDC_15765_FF_ID = 1118,
    IDC_15765_FF_DLC = 1119,
    IDC_15765_FF_DATA = 1120,
    IDC_15765_TXFC_BSIZE = 1154,
    IDC_15765_TXFC_NAE_TX = 1155,
    IDC_15765_TXFC_NAE_RX = 1156,
    IDC_15765_RXFC0_BSIZE = 1157,
    IDC_15765_RXFC0_NAE_TX = 1158,
    IDC_15765_RXFC1_BSIZE = 1159,
    IDC_15765_RXFC1_NAE_TX = 1160,
    IDC_15765_FC0_PCI = 1161,
    IDC_15765_FC1_PCI = 1162,
    IDC_15765_N_BS = 1163,
    IDC_15765_N_ST = 1164,
    IDC_15765_N_BR = 1165,
    IDC_15765_N_CR = 1166,
    IDC_15765_FC0_NAE = 1167,
    IDC_15765_FC1_NAE = 1168,
    IDC_15765_FF_PCI = 1169,
    IDC_15765_FF_NAE = 1170,
    IDC_15765_LENGTH = 1171,
    IDC_15765_FF_LENGTH_BYTE = 1172,
    IDC_15765_KEEPALIVE_PERIOD = 1173,
    IDC_15765_KEEPALIVE = 1271,
};

class CDialog15765 : public CanPageDialog {
public:
    // hub is m_pMainDlg: it owns the monitor timer and the page buttons.
    CDialog15765(CDialogMainA* hub);

    void OnBnClickedSendFrame() override { m_Page.Send(); }
    void OnBnClickedStartMultiFrame() override { m_Page.StartMultiFrame(); }
    void OnBnClickedKeepAlive();
    void OnTimer(int id) override;

    const Iso15765Page& Page() const { return m_Page; }

private:
    void CreateControls() override;
    void BindHandlers() override;
    void LoadDefaults(unsigned mode);
    void UpdateControls() override;
    void UpdateIsoTpPanel();
    // limit: the edit's length limit, which the text written back may pass.
    void ApplyEdit(wxTextCtrl* edit, const PageEditResult& result, unsigned limit = 0);
    PageStartResult StartPage() override { return m_Page.Start(); }
    void StopPage() override { m_Page.Stop(); }
    PageDeviceStatus PageStatus() override { return m_Page.RefreshDeviceStatus(); }
    void ClosePage() override { m_Page.Close(); }
    // The keep-alive button: its caption and whether it may be pressed.
    void ShowPageStatus() override;

    // "请求数据:" takes 23 characters: eight bytes as typed, "01 02 03 04 05 06 07 08".
    static constexpr unsigned kSingleDataLimit = 23;

    Iso15765Page m_Page;
    std::map<int, wxChoice*> m_Choices;
    std::map<int, wxCheckBox*> m_Checks;
    wxRadioButton* m_Fc11 = nullptr;
    wxRadioButton* m_Fc29 = nullptr;
};

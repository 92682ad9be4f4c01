#pragma once
// The ECU simulator page window "ECU - OBD Simulator" behind hub button 1015, and its response
// list. Thin: reads its controls, calls ObdSimuPage and shows the result. Created by the hub
// on first use (which reads the default table) and only hidden when it closes.
#include <wx/dialog.h>
#include <wx/listctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "monitor/ui/HubPage.h"
#include "simulator/ObdSimuPage.h"

class CDialogMainA;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxStaticText;

enum DialogObdSimuId : int {
    IDD_DIALOG_OBD_SIMU = 142,
    IDC_OBD_SAVE = 5,
    IDC_OBD_LOAD = 6,
    IDC_OBD_EXIT = 2,
    IDC_OBD_ADD = 1013,
    IDC_OBD_DELETE = 1014,
    IDC_OBD_LIST = 1016,
    IDC_OBD_START = 1200,
    IDC_OBD_PROTOCOL = 1201,
    IDC_OBD_STATUS = 1203,
    IDC_OBD_NEGATIVE = 1274,
    IDC_OBD_PARAMS = 1275,
    IDC_OBD_SUMMARY = 1276,
};

// The twelve-column response list; row n shows entry n.
class CListOBDRespond : public wxListCtrl {
public:
    CListOBDRespond(wxWindow* parent, int id);
    void Refill(const OBDRespondEntry* entries, uint32_t count);
    std::vector<uint32_t> SelectedRows() const;
};

class CDialogObdSimu : public wxDialog {
public:
    explicit CDialogObdSimu(CDialogMainA* hub);
    ~CDialogObdSimu() override;

    void RefreshDeviceStatus();
    void OnCbnSelchangeComboProtocol();
    void OnBnClickedCheckNegativeRespond();
    void OnBnClickedDeleteItems();
    void OnBnClickedSaveFile();
    void OnBnClickedLoadFile();
    void OnBnClickedStartStop();
    void OnBnClickedCancel();
    void OnBnClickedAddItem();
    void OnNMDblclkListRespond(long row);
    void OnBnClickedSetEcuPara();

    const ObdSimuPage& Page() const { return m_Page; }
    CListOBDRespond* List() const { return m_List; }

    // OK / Cancel questions and the file dialogs; tests answer them instead.
    std::function<bool(const std::string& text, const std::string& caption)> m_AskOkCancel;
    std::function<std::string(bool save)> m_ChooseFile;
    // Runs a child dialog modally (the page is disabled meanwhile); tests drive it instead.
    std::function<int(wxDialog& dialog)> m_RunModal;

    CDialogMainA* m_pMainDlg;

private:
    void CreateControls();
    void BindHandlers();
    void ShowProtocol();
    void OnClose(wxCloseEvent& event);

    ObdSimuPage m_Page;
    wxChoice* m_Protocol = nullptr;
    wxStaticText* m_Summary = nullptr;
    wxStaticText* m_Status = nullptr;
    wxCheckBox* m_Negative = nullptr;
    CListOBDRespond* m_List = nullptr;
    std::map<int, wxButton*> m_Buttons;
};

// The page behind hub button 1015.
std::unique_ptr<HubPage> MakeDialogObdSimuPage();

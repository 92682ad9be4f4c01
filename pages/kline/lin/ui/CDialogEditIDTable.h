#pragma once
// "ID TABLE Modify": the modeless editor of the LIN page's ID table. Created once with the
// page as parent, hidden by "退出" and shown again by the page. Thin: the rules live in
// LinIdTableEditor, which writes the page's table in place.
#include <wx/dialog.h>

#include <array>

#include "pages/kline/lin/LinPage.h"

class CDiaglogLin;
class wxChoice;
class wxRadioButton;
class wxStaticText;
class wxTextCtrl;

enum DialogEditIDTableId : int {
    IDD_DIALOG_EDIT_ID_TABLE = 149,
    IDC_IDTABLE_APPLY = 1,
    IDC_IDTABLE_EXIT = 2,
    IDC_IDTABLE_SINGLE = 1008,
    IDC_IDTABLE_RANGE = 1009,
    IDC_IDTABLE_FROM = 1011,
    IDC_IDTABLE_TO = 1012,
    IDC_IDTABLE_ALL_IDEN0 = 1013,
    IDC_IDTABLE_ALL_IDEN1 = 1014,
    IDC_IDTABLE_RECOMMENDED_LENC = 1015,
    IDC_IDTABLE_IDEN = 1026,
    IDC_IDTABLE_SRP = 1027,
    IDC_IDTABLE_LENC = 1028,
    IDC_IDTABLE_CSM = 1029,
    IDC_IDTABLE_AFE = 1030,
    IDC_IDTABLE_AFP = 1031,
    IDC_IDTABLE_CURRENT = 1217,
};

class CDialogEditIDTable : public wxDialog {
public:
    CDialogEditIDTable(CDiaglogLin* page, LinIdTableEditor& editor);

    // The edited byte from the table, the current ID and the combos, FROM and TO.
    void UpdateControls();
    void OnBnClickedOk();
    void OnBnClickedCancel();
    void OnBnClickedAllIden(bool on);
    void OnBnClickedRecommendedLenc();

private:
    void CreateControls();
    void BindHandlers();
    void SetMode(bool range);

    CDiaglogLin* m_Page;
    LinIdTableEditor& m_Editor;
    wxStaticText* m_Current = nullptr;
    std::array<wxChoice*, 6> m_Fields{};
    wxRadioButton* m_Single = nullptr;
    wxRadioButton* m_Range = nullptr;
    wxTextCtrl* m_From = nullptr;
    wxTextCtrl* m_To = nullptr;
};

#pragma once
// "Edit Repond Frame Data": one response entry, edited on a copy (RespondEditor has the rules).
// The caller reads `entry` and `replaceEntry` after wxID_OK.
#include <wx/dialog.h>

#include <functional>
#include <map>

#include "simulator/RespondEditor.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxStaticText;
class wxTextCtrl;

enum DialogEditEntryId : int {
    IDC_EDIT_ENABLE = 1026, IDC_EDIT_REQUEST = 1011, IDC_EDIT_REQUEST_LABEL = 1281,
    IDC_EDIT_NOTE = 1019, IDC_EDIT_ACK = 1014, IDC_EDIT_COUNT = 1028, IDC_EDIT_PER_FRAME = 1029,
    IDC_EDIT_MESSAGE1 = 1012, IDC_EDIT_MESSAGE2 = 1013, IDC_EDIT_LENGTH1 = 1023,
    IDC_EDIT_LENGTH2 = 1024, IDC_EDIT_ADD = 3, IDC_EDIT_CLEAR = 4, IDC_EDIT_IMPORT = 5,
};

class CDialogEitRepondFrame : public wxDialog {
public:
    // addAllowed false (a full table) disables "新增一项".
    CDialogEitRepondFrame(wxWindow* parent, const OBDRespondEntry& entry, bool editingExisting,
                          bool addAllowed);

    void UpdateControls();
    void FormatMessages();
    // Both messages and their lengths as the entry holds them, then FormatMessages.
    void ShowMessages();
    void OnBnClickedSave();
    void OnBnClickedAdd();
    void OnBnClickedClear();
    void OnBnClickedImport();

    OBDRespondEntry entry;
    uint8_t replaceEntry = 0;
    uint8_t editingExisting = 0;

    // Runs the import dialog; true with its state on OK. Tests replace it.
    std::function<bool(ImportState&)> m_RunImport;
    wxTextCtrl* Edit(int id) const { return m_Edits.at(id); }

private:
    void CreateControls(bool addAllowed);
    void OnHexText(int id);
    void OnLeave(int id);
    void CloseWith(EditorClose button);
    void ShowCount();

    std::map<int, wxTextCtrl*> m_Edits;
    wxChoice* m_Enable = nullptr;
    wxChoice* m_Count = nullptr;
    wxChoice* m_PerFrame = nullptr;
    wxStaticText* m_RequestLabel = nullptr;
    wxCheckBox* m_Protocols[kSimProtocolCount] = {};
};

#pragma once
// "Set ECU Simulation Parameter": every simulation parameter of every bus on a copy of the
// record. Thin: each control writes its field through EcuParamFields at once.
#include <wx/dialog.h>

#include <functional>
#include <map>
#include <string>

#include "simulator/EcuParamFields.h"

class wxChoice;
class wxStaticText;
class wxTextCtrl;

class CDialogSetEcuPara : public wxDialog {
public:
    CDialogSetEcuPara(wxWindow* parent, const EcuSimParams& params);

    const EcuSimParams& Params() const { return m_Params; }

    void UpdateControls();
    void OnBnClickedObd2Default();
    void OnBnClickedOk();
    void OnBnClickedCancel();

    // The Cancel question; tests answer it instead.
    std::function<bool(const std::string& text, const std::string& caption)> m_AskOkCancel;

private:
    void InitControls();
    void OnFieldText(int id);
    void OnFieldChoice(int id);

    EcuSimParams m_Params;
    std::map<int, wxTextCtrl*> m_Edits;
    std::map<int, unsigned> m_Limits;  // characters a user may type in each edit
    std::map<int, wxChoice*> m_Choices;
    wxStaticText* m_VpwAddresses = nullptr;
    wxStaticText* m_PwmAddresses = nullptr;
};

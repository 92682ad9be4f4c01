#pragma once
// The logic analyser page window, run modally from the hub. Thin: reads its controls, calls
// LogicPage and shows the result; the waveform view paints the page's WaveView.
#include <wx/dialog.h>
#include <wx/timer.h>

#include <functional>
#include <map>
#include <string>

#include "logic/LogicPage.h"

class CViewLogicWave;
class wxButton;
class wxChoice;
class wxRadioButton;
class wxScrollBar;
class wxScrollEvent;
class wxStaticText;

// Window ids of the page's controls.
enum DialogLogicId : int {
    IDD_DIALOG_LOGIC = 159,
    IDC_LOGIC_CANCEL = 2,
    IDC_LOGIC_STOP = 1003,
    IDC_LOGIC_SAVE = 1004,
    IDC_LOGIC_LOAD = 1005,
    IDC_LOGIC_NO_PARITY = 1008,
    IDC_LOGIC_ODD = 1009,
    IDC_LOGIC_EVEN = 1010,
    IDC_LOGIC_LIN = 1110,
    IDC_LOGIC_BAUD = 1026,
    IDC_LOGIC_TIME_SCALE = 1027,
    IDC_LOGIC_START = 1266,
    IDC_LOGIC_COUNT = 1270,
    IDC_LOGIC_SCROLLBAR = 1273,
};

class CDialogLogic : public wxDialog {
public:
    explicit CDialogLogic(wxWindow* parent);
    ~CDialogLogic() override;

    void RefreshDeviceStatus();
    void OnBnClickedStart();
    void OnBnClickedStop();
    void OnBnClickedSaveFile();
    void OnBnClickedLoadFile();
    void OnBnClickedCancel();
    void OnCbnSelchangeComboBaud();
    void OnCbnSelchangeComboTimeScale();
    void OnParityChosen(uint32_t mode);
    void OnTimer();

    // What Save and Load do with the name the file dialog gave.
    void SaveToPath(const std::string& chosen);
    void LoadFromPath(const std::string& path);
    // Asks before a save replaces a file that only the appended ".klg" leads to (tests
    // answer instead of a box).
    void SetReplaceConfirmer(std::function<bool(const std::string& path)> confirmer);

    LogicPage& Page() { return m_Page; }
    CViewLogicWave* GetView() const { return m_View; }
    wxScrollBar* GetScrollBar() const { return m_ScrollBar; }
    bool TimerRunning() const { return m_Timer.IsRunning(); }

private:
    void CreateControls();
    void ShowSelections();
    void ResetScroll();
    void LayoutControls(int cx, int cy);
    void OnSize(wxSizeEvent& event);
    void OnPaintRuler(wxPaintEvent& event);
    void OnVScroll(wxScrollEvent& event);
    void OnClose(wxCloseEvent& event);
    bool ConfirmReplace(const std::string& path);

    LogicPage m_Page;
    wxTimer m_Timer;
    CViewLogicWave* m_View = nullptr;
    wxScrollBar* m_ScrollBar = nullptr;
    wxChoice* m_Baud = nullptr;
    wxChoice* m_TimeScale = nullptr;
    wxStaticText* m_Count = nullptr;
    std::map<uint32_t, wxRadioButton*> m_Parity;
    std::map<int, wxButton*> m_Buttons;
    std::function<bool(const std::string&)> m_ConfirmReplace;
};

#pragma once
// The main window: menu, tool bar, status bar and the view with the hub. It owns the device
// connection and the record-file commands, and refuses to close while a worker runs.
#include <wx/frame.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/LockKeys.h"
#include "monitor/Connection.h"

class CChildView;
class CDialogMainA;
class wxUpdateUIEvent;

extern const char* const kMainFrameTitle;  // "VR3526 Developer Kits V1.00"

class CMainFrame : public wxFrame {
public:
    CMainFrame();
    ~CMainFrame() override;

    // The view (which loads the USB library), tool bar, status bar and menu. False when the
    // view cannot be created; the caller then destroys the frame.
    bool CreateFrame();

    CDialogMainA* GetHub() const;
    const LockKeyWatcher* GetLockKeyWatcher() const { return m_LockKeyWatcher.get(); }
    CChildView* GetView() const { return m_View; }

    // How Connect picks a device: by default the modal device-choice dialog. Returns the
    // index, or a negative value for Cancel.
    void SetDeviceChooser(std::function<int(uint32_t count)> chooser);
    // Asked before a save replaces a file the dialog did not ask about (its name gained the
    // extension afterwards): true to replace. By default a yes/no box.
    void SetReplaceConfirmer(std::function<bool(const std::string& path)> confirmer);

    void OnConnect();
    void OnDisconnect();
    void OnSaveToFile();
    void OnOpenFile();
    void OnClearItems();
    // The file commands after their dialogs: filterIndex 0 is .rec, 1 is .txt.
    void SaveToPath(const std::string& path, int filterIndex);
    void OpenPath(const std::string& path);

private:
    void BuildMenu();
    void BuildToolBar();
    void BuildStatusBar();
    // The caps, num and scroll lock panes, when the keyboard's state changed.
    void ShowLockKeys();
    // The frame's least size: the hub's least client with the view, the bars shown, the menu
    // and the window manager's decorations around it.
    wxSize LeastSize() const;
    void KeepHubWhole();
    int ChooseDevice(uint32_t count);
    bool ConfirmReplace(const std::string& path);
    void OnClose(wxCloseEvent& event);
    void OnUpdateConnect(wxUpdateUIEvent& event);
    void OnUpdateDisconnect(wxUpdateUIEvent& event);
    void OnUpdateFileCommands(wxUpdateUIEvent& event);

    CChildView* m_View = nullptr;
    Connection m_Connection;
    std::function<int(uint32_t)> m_ChooseDevice;
    std::function<bool(const std::string&)> m_ConfirmReplace;
    // The lock keys change in any window of the desktop: their panes follow the X server's
    // notifications.
    std::unique_ptr<LockKeyWatcher> m_LockKeyWatcher;
    LockKeyState m_LockKeys;
};

#pragma once
// The frame's client area. Its creation loads the USB library first; without it there is
// no view (and so no main window). It hosts the hub, filling it.
#include <wx/panel.h>

class CDialogMainA;

class CChildView : public wxPanel {
public:
    CChildView() = default;
    ~CChildView() override;

    // False (after the "mpusbapi.dll文件丢失！" box) when the USB library cannot be loaded.
    bool Create(wxWindow* parent, wxWindowID id);

    CDialogMainA* GetHub() const { return m_Hub; }

private:
    void OnSize(wxSizeEvent& event);

    CDialogMainA* m_Hub = nullptr;
    bool m_LibraryLoaded = false;
};

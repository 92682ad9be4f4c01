#pragma once
// The device choice: one entry per attached board; the selection is g_DeviceNumber.
#include <wx/dialog.h>

class wxChoice;

class CSelectDeive : public wxDialog {
public:
    // Queries the device count, lists "VR3526 USB Device i" for each and selects entry 0
    // (g_DeviceNumber := 0).
    explicit CSelectDeive(wxWindow* parent);

    wxChoice* GetDeviceChoice() const { return m_Choice; }
    void OnSelchangeDevice();

private:
    wxChoice* m_Choice;
};

#include "app/CSelectDeive.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "app/ResourceIds.h"
#include "device/UsbOperation.h"
#include "platform/ui/Caption.h"

CSelectDeive::CSelectDeive(wxWindow* parent)
    : wxDialog(parent, IDD_SELECT_DEVICE, "Please Select Device Number") {
    m_Choice = new wxChoice(this, IDC_COMBO_DEVICE, wxDefaultPosition, wxSize(200, -1));
    const uint32_t count = UsbGetDeviceCount();
    for (uint32_t i = 0; i < count; ++i) m_Choice->Append(wxString::Format("VR3526 USB Device %u", i));
    if (count > 0) m_Choice->SetSelection(0);
    g_DeviceNumber.store(0, std::memory_order_release);
    m_Choice->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnSelchangeDevice(); });

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* ok = new wxButton(this, wxID_OK, wxString::FromUTF8("确定"));
    ok->SetDefault();
    buttons->Add(ok, 0, wxRIGHT, 10);
    auto* cancel = new wxButton(this, wxID_CANCEL, wxString::FromUTF8("取消"));
    buttons->Add(cancel);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8("请选择打开设备号:")), 0, wxALL, 10);
    top->Add(m_Choice, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 10);
    // Wide enough for the whole caption in a title bar, with room for its buttons.
    top->SetMinSize(wxSize(platform::CaptionWidth(this), -1));
    SetSizerAndFit(top);
    // "确定" is the default button: Return confirms the chosen board, also on the list, which
    // would otherwise open its popup; Return on a focused "取消" cancels. Esc cancels.
    Bind(wxEVT_CHAR_HOOK, [this, cancel](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && !event.HasAnyModifiers()) {
            if (FindFocus() == cancel) {
                EndModal(wxID_CANCEL);
                return;
            }
            OnSelchangeDevice();
            EndModal(wxID_OK);
            return;
        }
        event.Skip();
    });
}

void CSelectDeive::OnSelchangeDevice() {
    const int selected = m_Choice->GetSelection();
    if (selected >= 0) g_DeviceNumber.store(static_cast<uint16_t>(selected), std::memory_order_release);
}

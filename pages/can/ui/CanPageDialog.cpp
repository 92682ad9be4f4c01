#include "pages/can/ui/CanPageDialog.h"

#include <vector>

#include "pages/shared/ui/CompactControls.h"

CanPageDialog::CanPageDialog(CDialogMainA* hub, int id, const char* title) : PageDialog(hub, id, title) {
    // The family's pages are the densest: with the theme's tall controls they would not fit a
    // laptop screen.
    UseCompactControls(this);
}

void CanPageDialog::BindCanRunButtons(std::initializer_list<int> moreSend) {
    std::vector<wxButton*> send = {m_Buttons.at(IDC_PAGE_SEND), m_Buttons.at(IDC_CAN_MULTI_FRAME)};
    for (int id : moreSend) send.push_back(m_Buttons.at(id));
    BindRunButtons(m_Buttons.at(IDC_PAGE_START), m_Buttons.at(IDC_PAGE_STOP), send, m_Buttons.at(IDC_PAGE_EXIT));
    OnButton(IDC_PAGE_SEND, [this] { OnBnClickedSendFrame(); });
    OnButton(IDC_CAN_MULTI_FRAME, [this] { OnBnClickedStartMultiFrame(); });
}

#pragma once
// The window base of the CAN family (ISO 15765, J1939, TP2.0): the head panel and filter grid,
// the controls by id, and the family's run buttons: Start, Stop, Send, the multi-frame request
// and Exit, on the window base every page shares.
#include <initializer_list>

#include "pages/can/ui/CanPageControls.h"
#include "pages/can/ui/CanPageLayout.h"
#include "pages/shared/ui/PageDialog.h"

class CDialogMainA;

enum CanPageButtonId : int {
    IDC_CAN_MULTI_FRAME = 1016,
};

class CanPageDialog : public PageDialog {
public:
    CanPageDialog(CDialogMainA* hub, int id, const char* title);

    // Send and the multi-frame request: the page's own frames.
    virtual void OnBnClickedSendFrame() = 0;
    virtual void OnBnClickedStartMultiFrame() = 0;

protected:
    // Binds the family's run buttons; moreSend follow Send's enable state (bound by the page).
    void BindCanRunButtons(std::initializer_list<int> moreSend = {});

    CanHeadControls m_Head;
    CanFilterGridControls m_Filters;
    CanPageControls m_C{m_Edits, m_Buttons};
};

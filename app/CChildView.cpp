#include "app/CChildView.h"

#include "device/UsbOperation.h"
#include "monitor/Connection.h"
#include "monitor/ui/CDialogMainA.h"
#include "platform/Message.h"

CChildView::~CChildView() {
    // The frame has closed the pipes by now; the library goes last.
    if (m_LibraryLoaded) UsbFreeLibrary();
}

bool CChildView::Create(wxWindow* parent, wxWindowID id) {
    if (!UsbLoadLibrary()) {
        platform::ShowMessage(kTextLibraryMissing, std::string(), platform::MessageIcon::None);
        return false;
    }
    m_LibraryLoaded = true;
    UsbGetDeviceCount();  // asked once at start-up; the answer is not needed yet
    if (!wxPanel::Create(parent, id, wxDefaultPosition, wxDefaultSize, wxBORDER_THEME))
        return false;
    m_Hub = new CDialogMainA(this);
    Bind(wxEVT_SIZE, &CChildView::OnSize, this);
    return true;
}

void CChildView::OnSize(wxSizeEvent& event) {
    const wxSize size = GetClientSize();
    m_Hub->SetSize(0, 0, size.x, size.y);
    event.Skip();
}

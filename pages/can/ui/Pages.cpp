#include "pages/can/ui/Pages.h"

#include <wx/weakref.h>

#include "pages/can/ui/CDialog15765.h"

namespace {

// Owns the page window: created on the first ShowPage, hidden (not destroyed) when the page
// closes, deleted with the hub.
template <class Dialog>
class CanHubPage : public HubPage {
public:
    ~CanHubPage() override {
        if (m_Dialog) delete m_Dialog.get();
    }
    bool WindowExists() const override { return m_Dialog.get() != nullptr; }
    void ShowPage(CDialogMainA* hub) override {
        if (!m_Dialog) m_Dialog = new Dialog(hub);
        m_Dialog->Show();
        m_Dialog->Iconize(false);
        m_Dialog->Raise();
        m_Dialog->SetFocus();
    }
    void RefreshDeviceStatus() override {
        if (m_Dialog) m_Dialog->RefreshDeviceStatus();
    }

private:
    wxWeakRef<Dialog> m_Dialog;
};

}  // namespace

std::unique_ptr<HubPage> MakeDialog15765Page() { return std::make_unique<CanHubPage<CDialog15765>>(); }

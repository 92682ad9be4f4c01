#include "pages/kline/ui/Pages.h"

#include <wx/weakref.h>

#include "pages/kline/ui/CDialog14230.h"

namespace {

// Owns the page window: created on the first ShowPage, hidden (not destroyed) when the page
// closes, deleted with the hub.
class Dialog14230Page : public HubPage {
public:
    ~Dialog14230Page() override {
        if (m_Dialog) delete m_Dialog.get();
    }
    bool WindowExists() const override { return m_Dialog.get() != nullptr; }
    void ShowPage(CDialogMainA* hub) override {
        if (!m_Dialog) m_Dialog = new CDialog14230(hub);
        m_Dialog->Show();
        m_Dialog->Iconize(false);
        m_Dialog->Raise();
        m_Dialog->SetFocus();
    }
    void RefreshDeviceStatus() override {
        if (m_Dialog) m_Dialog->RefreshDeviceStatus();
    }

private:
    wxWeakRef<CDialog14230> m_Dialog;
};

}  // namespace

std::unique_ptr<HubPage> MakeDialog14230Page() { return std::make_unique<Dialog14230Page>(); }

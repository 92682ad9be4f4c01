#include "pages/j1850/ui/Pages.h"

#include <wx/weakref.h>

#include "pages/j1850/ui/CDialogVpw.h"

namespace {

// Owns one of the two page windows: created on the first ShowPage, hidden (not destroyed)
// when the page closes, deleted with the hub.
class DialogVpwPage : public HubPage {
public:
    explicit DialogVpwPage(bool pwm) : m_bPwm(pwm) {}
    ~DialogVpwPage() override {
        if (m_Dialog) delete m_Dialog.get();
    }
    bool WindowExists() const override { return m_Dialog.get() != nullptr; }
    void ShowPage(CDialogMainA* hub) override {
        if (!m_Dialog) m_Dialog = new CDialogVpw(hub, m_bPwm);
        m_Dialog->Show();
        m_Dialog->Iconize(false);
        m_Dialog->Raise();
        m_Dialog->SetFocus();
    }
    void RefreshDeviceStatus() override {
        if (m_Dialog) m_Dialog->RefreshDeviceStatus();
    }

private:
    const bool m_bPwm;
    wxWeakRef<CDialogVpw> m_Dialog;
};

}  // namespace

std::unique_ptr<HubPage> MakeDialogVpwPage(bool pwm) { return std::make_unique<DialogVpwPage>(pwm); }

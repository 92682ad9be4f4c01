#include "logic/ui/Pages.h"

#include "logic/ui/CDialogLogic.h"
#include "monitor/ui/CDialogMainA.h"

namespace {

class DialogLogicPage : public HubPage {
public:
    bool WindowExists() const override { return m_Dialog != nullptr; }
    void ShowPage(CDialogMainA* hub) override {
        if (m_Dialog) {
            m_Dialog->Raise();
            return;
        }
        CDialogLogic dialog(hub);
        m_Dialog = &dialog;
        dialog.ShowModal();
        m_Dialog = nullptr;
    }
    void RefreshDeviceStatus() override {
        if (m_Dialog) m_Dialog->RefreshDeviceStatus();
    }

private:
    CDialogLogic* m_Dialog = nullptr;
};

}  // namespace

std::unique_ptr<HubPage> MakeDialogLogicPage() { return std::make_unique<DialogLogicPage>(); }

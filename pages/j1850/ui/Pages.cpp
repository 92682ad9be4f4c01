#include "pages/j1850/ui/Pages.h"

#include "monitor/ui/DialogHubPage.h"
#include "pages/j1850/ui/CDialogVpw.h"

std::unique_ptr<HubPage> MakeDialogVpwPage(bool pwm) {
    return std::make_unique<DialogHubPage<CDialogVpw>>(
        [pwm](CDialogMainA* hub) { return new CDialogVpw(hub, pwm); });
}

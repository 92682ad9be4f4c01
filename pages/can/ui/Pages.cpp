#include "pages/can/ui/Pages.h"

#include "monitor/ui/DialogHubPage.h"
#include "pages/can/j1939/ui/CDialogJ1939.h"
#include "pages/can/tp20/ui/CDialogTP20.h"
#include "pages/can/ui/CDialog15765.h"

std::unique_ptr<HubPage> MakeDialog15765Page() { return std::make_unique<DialogHubPage<CDialog15765>>(); }
std::unique_ptr<HubPage> MakeDialogJ1939Page() { return std::make_unique<DialogHubPage<CDialogJ1939>>(); }
std::unique_ptr<HubPage> MakeDialogTP20Page() { return std::make_unique<DialogHubPage<CDialogTP20>>(); }

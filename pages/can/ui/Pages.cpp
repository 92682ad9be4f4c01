#include "pages/can/ui/Pages.h"

#include "monitor/ui/DialogHubPage.h"
#include "pages/can/ui/CDialog15765.h"

std::unique_ptr<HubPage> MakeDialog15765Page() { return std::make_unique<DialogHubPage<CDialog15765>>(); }

#include "pages/kline/ui/Pages.h"

#include "monitor/ui/DialogHubPage.h"
#include "pages/kline/ui/CDialog14230.h"

std::unique_ptr<HubPage> MakeDialog14230Page() { return std::make_unique<DialogHubPage<CDialog14230>>(); }

#include "pages/kline/ui/Pages.h"

#include "monitor/ui/DialogHubPage.h"
#include "pages/kline/lin/ui/CDiaglogLin.h"
#include "pages/kline/ui/CDialog14230.h"
#include "pages/kline/uarttest/ui/CDiaglogTestUart.h"

std::unique_ptr<HubPage> MakeDialog14230Page() { return std::make_unique<DialogHubPage<CDialog14230>>(); }
std::unique_ptr<HubPage> MakeDiaglogLinPage() { return std::make_unique<DialogHubPage<CDiaglogLin>>(); }
std::unique_ptr<HubPage> MakeDiaglogTestUartPage() {
    return std::make_unique<DialogHubPage<CDiaglogTestUart>>();
}

#include "pages/kline/ui/Pages.h"

#include "monitor/ui/DialogHubPage.h"
#include "pages/kline/j1708/ui/CDialogJ1708.h"
#include "pages/kline/kw1281/ui/CDialogKW1281.h"
#include "pages/kline/lin/ui/CDiaglogLin.h"
#include "pages/kline/sci/ui/CDialogSCI.h"
#include "pages/kline/ui/CDialog14230.h"
#include "pages/kline/uarttest/ui/CDiaglogTestUart.h"
#include "pages/kline/usermode/ui/CDialogUser.h"

std::unique_ptr<HubPage> MakeDialog14230Page() { return std::make_unique<DialogHubPage<CDialog14230>>(); }
std::unique_ptr<HubPage> MakeDiaglogLinPage() { return std::make_unique<DialogHubPage<CDiaglogLin>>(); }
std::unique_ptr<HubPage> MakeDiaglogTestUartPage() {
    return std::make_unique<DialogHubPage<CDiaglogTestUart>>();
}
std::unique_ptr<HubPage> MakeDialogUserPage() { return std::make_unique<DialogHubPage<CDialogUser>>(); }
std::unique_ptr<HubPage> MakeDialogKW1281Page() { return std::make_unique<DialogHubPage<CDialogKW1281>>(); }
std::unique_ptr<HubPage> MakeDialogJ1708Page() { return std::make_unique<DialogHubPage<CDialogJ1708>>(); }
std::unique_ptr<HubPage> MakeDialogSCIPage() { return std::make_unique<DialogHubPage<CDialogSCI>>(); }

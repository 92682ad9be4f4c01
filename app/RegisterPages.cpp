#include "app/RegisterPages.h"

#include "logic/ui/Pages.h"
#include "monitor/ui/CDialogMainA.h"
#include "pages/can/ui/Pages.h"
#include "pages/j1850/ui/Pages.h"
#include "pages/kline/ui/Pages.h"
#include "simulator/ui/CDialogObdSimu.h"

void RegisterPages(CDialogMainA* hub) {
    // One line per page: hub->RegisterPage(<button id>, <page>).
    (void)hub;
    hub->RegisterPage(1003, MakeDialog14230Page());
    hub->RegisterPage(1006, MakeDialog15765Page());
    hub->RegisterPage(1009, MakeDialogJ1939Page());
    hub->RegisterPage(1010, MakeDialogTP20Page());
    hub->RegisterPage(1160, MakeDiaglogLinPage());
    hub->RegisterPage(1014, MakeDiaglogTestUartPage());
    hub->RegisterPage(1004, MakeDialogUserPage());
    hub->RegisterPage(1005, MakeDialogKW1281Page());
    hub->RegisterPage(1011, MakeDialogJ1708Page());
    hub->RegisterPage(1013, MakeDialogSCIPage());
    hub->RegisterPage(1015, MakeDialogObdSimuPage());
    hub->RegisterPage(1007, MakeDialogVpwPage(false));
    hub->RegisterPage(1008, MakeDialogVpwPage(true));
    hub->RegisterPage(1017, MakeDialogLogicPage());
}

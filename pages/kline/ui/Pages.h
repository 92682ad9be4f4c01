#pragma once
// The K-line family's pages as the hub sees them.
#include <memory>

#include "monitor/ui/HubPage.h"

// The ISO 14230 (KWP2000) page behind hub button 1003.
std::unique_ptr<HubPage> MakeDialog14230Page();
// The LIN page behind hub button 1160.
std::unique_ptr<HubPage> MakeDiaglogLinPage();
// The UART test page behind hub button 1014.
std::unique_ptr<HubPage> MakeDiaglogTestUartPage();
// The ISO 9141-2 user-mode page behind hub button 1004.
std::unique_ptr<HubPage> MakeDialogUserPage();
// The KW1281 page behind hub button 1005.
std::unique_ptr<HubPage> MakeDialogKW1281Page();
// The SAE J1708 page behind hub button 1011.
std::unique_ptr<HubPage> MakeDialogJ1708Page();
// The SCI page behind hub button 1013.
std::unique_ptr<HubPage> MakeDialogSCIPage();

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

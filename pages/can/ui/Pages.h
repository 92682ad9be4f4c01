#pragma once
// The CAN family's pages as the hub sees them.
#include <memory>

#include "monitor/ui/HubPage.h"

// The ISO 15765 page behind hub button 1006.
std::unique_ptr<HubPage> MakeDialog15765Page();
// The J1939 page behind hub button 1009.
std::unique_ptr<HubPage> MakeDialogJ1939Page();
// The TP2.0 page behind hub button 1010.
std::unique_ptr<HubPage> MakeDialogTP20Page();

#pragma once
// The CAN family's pages as the hub sees them.
#include <memory>

#include "monitor/ui/HubPage.h"

// The ISO 15765 page behind hub button 1006.
std::unique_ptr<HubPage> MakeDialog15765Page();

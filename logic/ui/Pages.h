#pragma once
#include <memory>

#include "monitor/ui/HubPage.h"

// The logic analyser behind the hub's "逻辑分析": a new modal window each time, which
// starts empty with the defaults.
std::unique_ptr<HubPage> MakeDialogLogicPage();

#pragma once
// The J1850 pages as the hub sees them.
#include <memory>

#include "monitor/ui/HubPage.h"

// The J1850 page behind hub button 1007 (VPW, pwm false) or 1008 (PWM, pwm true).
std::unique_ptr<HubPage> MakeDialogVpwPage(bool pwm);

#pragma once
#include <cstdint>

// Milliseconds of the monotonic clock as a 32-bit value; wraps after 49.7 days like the
// Windows multimedia timer it stands in for. The monitor shows differences only.
uint32_t timeGetTime();

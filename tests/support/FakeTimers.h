#pragma once
// A page's timers as a map of id to period, for page tests without a window.
#include <cstdint>
#include <map>

#include "pages/shared/PageStatus.h"

class FakeTimers : public PageTimers {
public:
    void StartPageTimer(int id, uint32_t periodMs) override { running[id] = periodMs; }
    void KillPageTimer(int id) override { running.erase(id); }
    std::map<int, uint32_t> running;
};

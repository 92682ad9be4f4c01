#pragma once
// Helpers of the GUI tests: the wx app is started once by the test main; events are pumped
// with a deadline, never by sleeping.
#include <chrono>
#include <functional>

// Dispatches events until done() holds or the deadline passes; returns done().
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds deadline = std::chrono::milliseconds(5000));
// Handles whatever is pending now, including deferred window deletions.
void PumpPending();

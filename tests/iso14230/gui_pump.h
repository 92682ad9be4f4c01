#pragma once
// Event pumping for the page's GUI tests: with a deadline, never by sleeping.
#include <chrono>
#include <functional>

// Dispatches events until done() holds or the deadline passes; returns done().
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds deadline = std::chrono::milliseconds(5000));
// Handles whatever is pending now.
void PumpPending();

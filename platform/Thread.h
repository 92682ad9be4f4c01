#pragma once
#include <functional>
#include <thread>

namespace platform {

// Starts a worker thread. With highestPriority the thread asks for the highest priority the
// OS grants an unprivileged process; a refusal is ignored (the worker runs at normal priority).
std::thread StartWorkerThread(std::function<void()> body, bool highestPriority);

}  // namespace platform

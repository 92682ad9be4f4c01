#include "device/WorkerThread.h"

#include "device/UsbOperation.h"
#include "platform/Thread.h"

WorkerControl g_WorkerThread;

WorkerControl::~WorkerControl() {
    if (thread_.joinable()) {
        g_WorkerRunning.store(0, std::memory_order_release);
        thread_.join();
    }
}

bool WorkerControl::Start(WorkerProc proc, void* hub, bool highestPriority) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (g_WorkerRunning.load(std::memory_order_acquire))
        return false;
    if (thread_.joinable())
        thread_.join();
    // Set before the thread exists: its first test must find it.
    g_WorkerRunning.store(1, std::memory_order_release);
    session_.fetch_add(1, std::memory_order_acq_rel);
    thread_ = platform::StartWorkerThread([proc, hub] { proc(hub); }, highestPriority);
    return true;
}

bool WorkerControl::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    g_WorkerRunning.store(0, std::memory_order_release);
    if (!thread_.joinable())
        return false;
    thread_.join();
    return true;
}

void WorkerControl::JoinEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!g_WorkerRunning.load(std::memory_order_acquire) && thread_.joinable())
        thread_.join();
}

bool WorkerControl::HasThread() {
    std::lock_guard<std::mutex> lock(mutex_);
    return thread_.joinable();
}

#pragma once
// The program's one worker thread: whichever page or responder runs, it is started, stopped
// and joined here, so that the hub and the main frame can end it without knowing the pages.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

using WorkerProc = uint32_t (*)(void* hub);

// Owns the one worker thread of the program. Called on the UI thread (tests: any one thread).
class WorkerControl {
public:
    WorkerControl() = default;
    WorkerControl(const WorkerControl&) = delete;
    WorkerControl& operator=(const WorkerControl&) = delete;
    ~WorkerControl();

    // false while a worker runs (g_WorkerRunning set). Otherwise joins a worker that ended by
    // itself, sets g_WorkerRunning, then starts proc(hub) on a new thread.
    bool Start(WorkerProc proc, void* hub, bool highestPriority);
    // Clears g_WorkerRunning and waits until the thread has ended (its stop packet sent).
    // true when a thread was joined. Never call it from the worker itself.
    bool Stop();
    // Joins a worker that ended by itself (flag clear), so its stop packet is out before a
    // new session talks to the chip. Does nothing while a worker runs.
    void JoinEnded();
    // A thread object that has not been joined yet (running, or ended by itself).
    bool HasThread();
    // Counts the workers started. One flag serves every page, so a page tells the worker its
    // timers were started for from one another page started after it by this number.
    uint32_t Session() const { return session_.load(std::memory_order_acquire); }

private:
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<uint32_t> session_{0};
};
extern WorkerControl g_WorkerThread;

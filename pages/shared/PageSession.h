#pragma once
// The keep-alive and cyclic page timers of one page, and the worker session they belong to.
//
// Timers end with the session: Stop, the worker's own end (seen by a tick) and closing the
// page kill both, so a hidden page never goes on feeding frames to another page's worker.
// A worker started after the one the page sent to is another session.
//
// Threads: UI thread only.
#include <cstdint>

#include "pages/shared/PageStatus.h"

// The page timers' ids, the same on every page: 1 keep-alive, 2 cyclic.
constexpr int kPageKeepAliveTimer = 1;
constexpr int kPageCyclicTimer = 2;

// The keep-alive and cyclic timers of one page and the session they belong to.
class PageSession {
public:
    explicit PageSession(PageTimers& timers) : timers_(timers) {}

    // A frame was queued: the timers started now belong to the running worker.
    void Begin();
    // The worker the page last sent to still runs.
    bool Live() const;
    void StartKeepAlive(uint32_t periodMs);
    void StartCyclic(uint32_t periodMs);
    // Kills the keep-alive timer; its active mark stays (the page restarts it).
    void PauseKeepAlive();
    // Kills both timers, clears the active mark, enables the keep-alive check again.
    void End();
    // Whether a tick may queue: ends the session when its worker is gone, false while a
    // frame is pending.
    bool TickMayQueue();

    bool KeepAliveActive() const { return keepAliveActive_; }
    bool KeepAliveCheckEnabled() const { return keepAliveCheckEnabled_; }
    // Send with initialisation locks the keep-alive check until the session ends.
    void LockKeepAliveCheck() { keepAliveCheckEnabled_ = false; }

private:
    PageTimers& timers_;
    uint32_t worker_ = 0;  // g_WorkerThread.Session() at the last queued frame
    bool keepAliveActive_ = false;
    bool keepAliveCheckEnabled_ = true;
};

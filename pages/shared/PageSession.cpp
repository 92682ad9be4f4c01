#include "pages/shared/PageSession.h"

#include "device/UsbOperation.h"
#include "pages/shared/BusWorker.h"

void PageSession::Begin() { worker_ = g_WorkerThread.Session(); }

bool PageSession::Live() const {
    return g_WorkerRunning.load(std::memory_order_acquire) != 0 &&
           g_WorkerThread.Session() == worker_;
}

void PageSession::StartKeepAlive(uint32_t periodMs) {
    timers_.StartPageTimer(kPageKeepAliveTimer, ClampPageTimerPeriod(periodMs));
    keepAliveActive_ = true;
}

void PageSession::StartCyclic(uint32_t periodMs) {
    timers_.StartPageTimer(kPageCyclicTimer, ClampPageTimerPeriod(periodMs));
}

void PageSession::PauseKeepAlive() { timers_.KillPageTimer(kPageKeepAliveTimer); }

void PageSession::End() {
    worker_ = 0;  // no worker has this number: a late tick finds the session over
    timers_.KillPageTimer(kPageKeepAliveTimer);
    timers_.KillPageTimer(kPageCyclicTimer);
    keepAliveActive_ = false;
    keepAliveCheckEnabled_ = true;
}

bool PageSession::TickMayQueue() {
    // A tick that outlived its worker must not queue a frame for the next one.
    if (!Live()) {
        End();
        return false;
    }
    return g_TxPending.load(std::memory_order_acquire) == 0;
}

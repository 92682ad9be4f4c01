#include "platform/Thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

std::thread StartWorkerThread(std::function<void()> body, bool highestPriority) {
    return std::thread([body = std::move(body), highestPriority] {
        if (highestPriority) {
            // No real-time class: a worker that polls without sleeping would starve the
            // machine at SCHED_FIFO. A lower nice value is allowed to fail.
            (void)setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), -10);
        }
        body();
    });
}

}  // namespace platform

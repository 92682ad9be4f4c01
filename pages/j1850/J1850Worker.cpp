#include "pages/j1850/J1850Worker.h"

uint32_t ThreadProcJ1850(void* /*hub*/) {
    J1850WorkerPolicy policy;
    return RunBusWorker(policy);
}

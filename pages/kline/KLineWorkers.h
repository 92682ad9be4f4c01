#pragma once
// The workers of the K-line pages that need nothing but the bus worker loop and a small
// policy of their own.
//
// Threads: the procs run on the worker thread; the counter is read by the KW1281 page.
#include <atomic>
#include <cstdint>

#include "pages/shared/BusWorker.h"

// The serial-bus worker (KW1281, SCI, user mode, J1708): keeps g_Kw1281BlockCounter.
uint32_t ThreadProcSerialBus(void* hub);
// Its policy, for driving single passes (benchmarks).
WorkerPolicy& SerialBusWorkerPolicy();
// The ISO 14230 worker: no block counter; zeroes the word of g_RxPacket after recording.
uint32_t ThreadProc14230(void* hub);

// The counter byte the next KW1281 block carries: data byte 1 of the last received UART
// frame + 1. Written by the serial-bus worker, read by the KW1281 page.
extern std::atomic<uint8_t> g_Kw1281BlockCounter;

#pragma once
// The capture thread: the bus worker loop with a policy that polls and appends the
// level changes each reply carries to the capture, and records nothing in the monitor.
//
// A reply is [x, status, u16 word, samples...]: status 0x08 is a fault (the other bits mean
// nothing here); the word counts bytes, n = (word >> 2) & 0x7F samples, never more than the
// reply holds ((received - 4) / 4, so at most 66 in 268 bytes); each sample a u32 LE chip
// timestamp in 1.6 µs ticks. A sample that finds 1,000,000 stored ends the capture; the rest
// of its reply is dropped.
//
// Exits as every worker's: "write 2" (the poll), "Read 1", the fault, and the full buffer;
// each clears g_WorkerRunning, posts its message and sends the stop packet.
#include <cstdint>

#include "logic/WaveCapture.h"
#include "pages/shared/BusWorker.h"

extern const char* const kLogicTextBufferFull;  // "缓冲区已满，采集停止！"

// One reply's samples into the capture: nullptr, or kLogicTextBufferFull.
const char* AppendCaptureReply(WaveCapture& capture, const uint8_t* reply, uint32_t received);

// The thread body; capture is the WaveCapture it fills.
uint32_t ThreadProcLogic(void* capture);

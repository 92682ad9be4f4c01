#pragma once
// Page tests without widgets or board: the timers a page starts, a worker that only holds the
// running flag, the frame a page queued for the worker, and hex runs to type.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "device/UsbOperation.h"
#include "monitor/HexText.h"
#include "pages/shared/BusWorker.h"
#include "pages/kline/UartPageBase.h"
#include "platform/Message.h"

using Bytes = std::vector<uint8_t>;
using Timers = std::map<int, uint32_t>;

class FakeTimers : public PageTimers {
public:
    void StartPageTimer(int id, uint32_t periodMs) override { running[id] = periodMs; }
    void KillPageTimer(int id) override { running.erase(id); }
    Timers running;
};

inline Bytes PendingPacket() { return Bytes(g_TxPacket, g_TxPacket + (g_TxPacket[2] | g_TxPacket[3] << 8) + 4); }

// "00 01 .. " for count bytes from first.
inline std::string ByteRun(size_t count, uint8_t first = 0) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += HexByteText(static_cast<uint8_t>(first + i)) + " ";
    return text;
}

// Stands in for a worker: it leaves the running flag set until stopped, like a live one.
inline uint32_t QuietWorker(void*) { return 0; }

// Feeds arbitrary bytes to the .sim decoder. A refused file must leave the output as it was; a
// taken one must hold entries that the list, the sort, the index and the answer builders can
// use without reading past an array: each is formatted, matched and answered on every bus.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "simulator/BusResponder.h"
#include "simulator/EcuSimFile.h"
#include "simulator/KLineResponder.h"
#include "simulator/ObdSimuPage.h"

namespace {

void CheckQueue() {
    if (g_SimTxQueue.count > kSimTxSlots) __builtin_trap();
    for (uint32_t i = 0; i < g_SimTxQueue.count; ++i)
        if (g_SimTxQueue.length[i] > kSimTxSlotBytes) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EcuSimFileContents out;
    out.protocolIndex = 99;
    if (DecodeEcuSimFile(data, size, out) != SimFileResult::Ok) {
        if (out.protocolIndex != 99 || !out.entries.empty()) __builtin_trap();
        return 0;
    }
    if (out.protocolIndex >= kSimProtocolCount || out.entries.size() > kMaxRespondEntries) __builtin_trap();
    const uint32_t count = static_cast<uint32_t>(out.entries.size());
    if (EncodeEcuSimFile(out.protocolIndex, out.params, out.entries.data(), count).size() !=
        kEcuSimFileHeaderBytes + count * kRespondEntryBytes)
        __builtin_trap();
    ProtocolSummary(out.params, out.protocolIndex);
    SortRespondTable(out.entries.data(), count);
    const RespondIndex index(out.entries.data(), count);
    const std::atomic<uint8_t> negative{1};
    for (uint32_t mode = 0; mode < 3; ++mode) {
        EcuSimParams params = out.params;
        params.headerMode14230 = static_cast<uint8_t>(mode);
        params.lengthMode9141 = static_cast<uint8_t>(mode & 1);
        const SimAnswerSource source{&params, &index, SimProtocolBit(out.protocolIndex), &negative};
        for (const OBDRespondEntry& e : out.entries) {
            for (int column = 0; column < kRespondListColumns; ++column) RespondListCell(e, column);
            if (e.requestLength == 0) continue;
            Respond9141(source, e.request, e.requestLength, g_SimTxQueue);
            Respond14230(source, e.request, e.requestLength, g_SimTxQueue);
            CheckQueue();
            // The request as a received J1850 record (any length nibble, the record exactly 16
            // bytes) and as a CAN single frame.
            std::unique_ptr<uint8_t[]> j1850(new uint8_t[kJ1850RecordSize]());
            j1850[0] = 0x80;
            j1850[1] = static_cast<uint8_t>(e.request[0] >> 4 | 0x05);
            const uint8_t header[3] = {0x68, 0x6A, 0xF1};
            std::memcpy(&j1850[4], header, 3);
            std::memcpy(&j1850[7], e.request, std::min<uint32_t>(e.requestLength, kJ1850RecordSize - 7));
            RespondJ1850(source, j1850.get(), g_SimTxQueue);
            CheckQueue();
            std::unique_ptr<uint8_t[]> can(new uint8_t[kEcanBufferSize]());
            can[4] = 8;
            can[6] = static_cast<uint8_t>(std::min<uint32_t>(e.requestLength, 15));
            std::memcpy(&can[7], e.request, std::min<uint32_t>(e.requestLength, kEcanBufferSize - 7));
            RespondCan(source, can.get(), g_SimTxQueue, g_SimCanFrames);
            CheckQueue();
        }
    }
    return 0;
}

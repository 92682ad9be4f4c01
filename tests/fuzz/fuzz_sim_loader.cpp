// Feeds arbitrary bytes to the .sim decoder. A refused file must leave the output as it was; a
// taken one must hold entries that the list, the sort, the index and the answer builders can
// use without reading past an array: each is formatted, matched and answered on every bus.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "simulator/EcuSimFile.h"
#include "simulator/KLineResponder.h"
#include "simulator/ObdSimuPage.h"

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
            for (uint32_t i = 0; i < g_SimTxQueue.count; ++i)
                if (g_SimTxQueue.length[i] > kSimTxSlotBytes) __builtin_trap();
        }
    }
    return 0;
}

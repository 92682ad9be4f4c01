// Feeds arbitrary bytes to the .rec loader: either as they are, or (first byte even) as the
// header and record bytes of a file given the right magic and a length that fits a small
// count, so that files carrying records are reached too. A refused file must leave the ring words and the
// records exactly as they were; a taken one must leave a ring the list and the detail view
// can show without reading out of bounds.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "monitor/MonitorRing.h"
#include "monitor/RecordFile.h"
#include "monitor/RecordFormat.h"

namespace {

// A loader can only write records it was given bytes for; inputs stay far below this many.
constexpr uint32_t kCheckedRecords = 4096;

struct Snapshot {
    uint32_t words[6];
    std::vector<MonitorRecord> records;
};

void Take(Snapshot& s) {
    const uint32_t w[6] = {g_MonitorOldest, g_MonitorWrite, g_MonitorCount,
                           g_MonitorRowsPerPage, g_MonitorTop, g_MonitorSeq};
    std::memcpy(s.words, w, sizeof w);
    s.records.assign(g_MonitorRecords, g_MonitorRecords + kCheckedRecords);
}

bool Same(const Snapshot& s) {
    Snapshot now;
    Take(now);
    return std::memcmp(s.words, now.words, sizeof s.words) == 0 &&
           std::memcmp(s.records.data(), now.records.data(), kCheckedRecords * sizeof(MonitorRecord)) == 0;
}

bool Setup() {
    ResetMonitorRing();
    g_MonitorRowsPerPage = 32;
    uint8_t bytes[kMonitorDataBytes];
    for (uint32_t i = 0; i < 300; ++i) {
        for (uint32_t b = 0; b < sizeof bytes; ++b) bytes[b] = static_cast<uint8_t>(i * 31 + b);
        AppendMonitorRecord(static_cast<uint8_t>(i & 1), static_cast<uint8_t>(i % 5),
                            static_cast<uint16_t>(i * 0x1357), i, bytes, i % 2 ? 16 : sizeof bytes);
    }
    return true;
}

// Magic set, count cut to at most 7, the other words as given; records cycle the body bytes.
std::vector<uint8_t> ShapedFile(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(kMonitorFileHeaderBytes, 0);
    std::memcpy(file.data(), data, std::min(size, file.size()));
    const uint32_t magic = kMonitorFileMagic;
    const uint32_t count = file[12] % 8;
    for (int i = 0; i < 4; ++i) {
        file[i] = static_cast<uint8_t>(magic >> (8 * i));
        file[12 + i] = static_cast<uint8_t>(count >> (8 * i));
    }
    const uint8_t* body = size > kMonitorFileHeaderBytes ? data + kMonitorFileHeaderBytes : nullptr;
    const size_t bodySize = body ? size - kMonitorFileHeaderBytes : 0;
    for (size_t i = 0; i < count * kMonitorFileRecordBytes; ++i)
        file.push_back(bodySize ? body[i % bodySize] : static_cast<uint8_t>(i));
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = Setup();
    (void)ready;
    Snapshot before;
    Take(before);

    std::vector<uint8_t> shaped;
    if (size > 0 && (data[0] & 1) == 0) {
        shaped = ShapedFile(data + 1, size - 1);
        data = shaped.data();
        size = shaped.size();
    } else if (size > 0) {
        ++data;
        --size;
    }
    const RecordFileResult result = LoadMonitorRecFromMemory(data, size);
    if (result != RecordFileResult::Ok) {
        if (result != RecordFileResult::FormatError || !Same(before)) std::abort();
        return 0;
    }
    if (g_MonitorCount > kMonitorCapacity || g_MonitorTop != 0 || g_MonitorRowsPerPage > kMonitorMaxRowsPerPage ||
        g_MonitorOldest >= kMonitorCapacity || g_MonitorWrite >= kMonitorCapacity)
        std::abort();

    // Whatever the file held must format without reading past a record.
    MonitorPage page;
    BuildMonitorPage(page);
    const uint32_t count = g_MonitorCount;
    for (uint32_t i = 0; i < count; ++i) {
        const MonitorRecord r = CopyMonitorRecord(i);
        (void)FormatExportLine(r);
        (void)DecodeRecordDetail(r);
    }
    return 0;
}

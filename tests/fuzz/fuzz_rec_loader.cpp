// Feeds arbitrary bytes to the .rec loader: either as they are (first byte odd), or as the
// header and record bytes of a file given the right magic and a count of at most 7, so that
// files carrying records are reached too. A refused file must leave the ring words and every
// record it could have reached as they were; a taken one must leave words a ring can hold and a
// ring the list, the export and the detail view can show without reading out of bounds.
//
// Full rings take 27.6 MB of records, far past what a fuzzer can try at speed: the seeds carry
// their headers alone, which meet every check of the words before the length check refuses
// them; the record file tests load them whole.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "monitor/MonitorRing.h"
#include "monitor/RecordFile.h"
#include "monitor/RecordFormat.h"

namespace {

// The words and the first `records` records, which is all a load of this input could write.
std::vector<uint8_t> Snapshot(size_t records) {
    const uint32_t words[6] = {g_MonitorOldest, g_MonitorWrite, g_MonitorCount,
                               g_MonitorRowsPerPage, g_MonitorTop, g_MonitorSeq};
    std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(words), reinterpret_cast<const uint8_t*>(words + 6));
    const auto* first = reinterpret_cast<const uint8_t*>(g_MonitorRecords);
    bytes.insert(bytes.end(), first, first + records * sizeof(MonitorRecord));
    return bytes;
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

void PutWord(std::vector<uint8_t>& file, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Magic set, count cut to at most 7, the other words as given; records cycle the body bytes.
std::vector<uint8_t> SmallFile(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(kMonitorFileHeaderBytes, 0);
    std::memcpy(file.data(), data, std::min(size, file.size()));
    PutWord(file, 0, kMonitorFileMagic);
    const uint32_t count = file[12] % 8;
    PutWord(file, 12, count);
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

    std::vector<uint8_t> small;
    if (size > 0 && (data[0] & 1) == 0) {
        small = SmallFile(data + 1, size - 1);
        data = small.data();
        size = small.size();
    } else if (size > 0) {
        ++data;
        --size;
    }
    const size_t reachable =
        size > kMonitorFileHeaderBytes ? (size - kMonitorFileHeaderBytes) / kMonitorFileRecordBytes : 0;
    const size_t touchable = std::min<size_t>(reachable, kMonitorCapacity);
    const std::vector<uint8_t> before = Snapshot(touchable);

    const RecordFileResult result = LoadMonitorRecFromMemory(data, size);
    if (result != RecordFileResult::Ok) {
        if (result != RecordFileResult::FormatError || Snapshot(touchable) != before) std::abort();
        return 0;
    }
    const uint32_t count = g_MonitorCount, oldest = g_MonitorOldest, write = g_MonitorWrite;
    if (count > kMonitorCapacity || g_MonitorTop != 0 || g_MonitorRowsPerPage > kMonitorMaxRowsPerPage ||
        oldest >= kMonitorCapacity || write >= kMonitorCapacity)
        std::abort();
    const bool full = count == kMonitorCapacity;
    if (full ? oldest != write : (oldest != 0 || write != count || g_MonitorSeq != count + 1)) std::abort();

    // Whatever the file held must format without reading past a record.
    MonitorPage page;
    BuildMonitorPage(page);
    for (uint32_t i = 0; i < count; ++i) {
        const MonitorRecord r = CopyMonitorRecord(oldest + i);
        (void)FormatExportLine(r);
        (void)DecodeRecordDetail(r);
    }
    for (const MonitorRow& row : page.rows)
        if (MonitorIndexFromSequenceText(row.cells[ColumnSequence]) >= kMonitorCapacity) std::abort();
    return 0;
}

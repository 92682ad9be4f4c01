#include "monitor/RecordFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "device/EngineFrame.h"
#include "monitor/MonitorRing.h"
#include "monitor/RecordFormat.h"
#include "platform/FileSaver.h"
#include "platform/RegularFile.h"

namespace {

// Records are copied out of the ring and written this many at a time.
constexpr uint32_t kChunkRecords = 1024;

void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void EncodeRecord(const MonitorRecord& r, uint8_t* p) {
    PutU32(p + 0, r.sequence);
    PutU32(p + 4, r.timeMs);
    p[8] = r.direction;
    p[9] = r.kind;
    PutU16(p + 10, r.lengthWord);
    // A UART frame's slot may hold an earlier record's bytes past the frame: never saved.
    const uint32_t kept = r.kind == KindUart ? std::min<uint32_t>(FrameLengthCount(r.lengthWord), kMonitorDataBytes)
                                             : kMonitorDataBytes;
    std::memcpy(p + 12, r.data, kept);
    std::memset(p + 12 + kept, 0, kMonitorDataBytes - kept);
    p[272] = r.fastInitLowMs;
    p[273] = r.fastInitHighMs;
    p[274] = r.slowInitAddress;
    p[275] = r.reserved;
}

void DecodeRecord(const uint8_t* p, MonitorRecord& r) {
    r.sequence = GetU32(p + 0);
    r.timeMs = GetU32(p + 4);
    r.direction = p[8];
    r.kind = p[9];
    r.lengthWord = GetU16(p + 10);
    std::memcpy(r.data, p + 12, kMonitorDataBytes);
    r.fastInitLowMs = p[272];
    r.fastInitHighMs = p[273];
    r.slowInitAddress = p[274];
    r.reserved = p[275];
}

struct RingWords {
    uint32_t oldest, write, count, rows, top, seq;
};

RingWords ReadRingWords() {
    return {g_MonitorOldest.load(), g_MonitorWrite.load(), g_MonitorCount.load(),
            g_MonitorRowsPerPage.load(), g_MonitorTop.load(), g_MonitorSeq.load()};
}

}  // namespace

const char* RecordFileMessage(RecordFileResult result) {
    switch (result) {
        case RecordFileResult::Ok: return "";
        case RecordFileResult::NothingToSave: return "无监控数据需要保存!";
        case RecordFileResult::RecSaveError: return "Save data record file error!";
        case RecordFileResult::TxtSaveError: return "Save Txt  file error!";
        case RecordFileResult::OpenError: return "打开文件出错！";
        case RecordFileResult::FormatError: return "文件格式错误！";
    }
    return "";
}

std::string WithRecordFileExtension(const std::string& path, RecordFileType type) {
    const char* lower = type == RecordFileType::Rec ? ".rec" : ".txt";
    const char* upper = type == RecordFileType::Rec ? ".REC" : ".TXT";
    if (path.find(lower) != std::string::npos || path.find(upper) != std::string::npos) return path;
    return path + lower;
}

RecordFileResult SaveMonitorRec(const std::string& path) {
    const RingWords w = ReadRingWords();
    const uint32_t count = std::min(w.count, kMonitorCapacity);
    if (count == 0) return RecordFileResult::NothingToSave;

    platform::FileSaver file(path);
    uint8_t header[kMonitorFileHeaderBytes];
    PutU32(header, kMonitorFileMagic);
    const uint32_t words[6] = {w.oldest, w.write, w.count, w.rows, w.top, w.seq};
    for (int i = 0; i < 6; ++i) PutU32(header + 4 + 4 * i, words[i]);
    file.Write(header, sizeof header);

    std::vector<MonitorRecord> records(std::min(count, kChunkRecords));
    std::vector<uint8_t> bytes(records.size() * kMonitorFileRecordBytes);
    for (uint32_t done = 0; done < count && file.ok();) {
        const uint32_t n = std::min(count - done, kChunkRecords);
        CopyMonitorRecords(done, n, records.data());
        for (uint32_t i = 0; i < n; ++i) EncodeRecord(records[i], &bytes[i * kMonitorFileRecordBytes]);
        file.Write(bytes.data(), n * kMonitorFileRecordBytes);
        done += n;
    }
    return file.Commit() ? RecordFileResult::Ok : RecordFileResult::RecSaveError;
}

RecordFileResult SaveMonitorTxt(const std::string& path) {
    const uint32_t count = std::min(g_MonitorCount.load(), kMonitorCapacity);
    if (count == 0) return RecordFileResult::NothingToSave;

    platform::FileSaver file(path);
    std::vector<MonitorRecord> records(std::min(count, kChunkRecords));
    std::string text;
    for (uint32_t done = 0; done < count && file.ok();) {
        const uint32_t n = std::min(count - done, kChunkRecords);
        CopyMonitorRecords(done, n, records.data());
        text.clear();
        for (uint32_t i = 0; i < n; ++i) {
            text += FormatExportLine(records[i]);
            text += "\r\n";
        }
        file.Write(text);
        done += n;
    }
    return file.Commit() ? RecordFileResult::Ok : RecordFileResult::TxtSaveError;
}

RecordFileResult LoadMonitorRecFromMemory(const uint8_t* bytes, size_t size) {
    if (size < kMonitorFileHeaderBytes || GetU32(bytes) != kMonitorFileMagic)
        return RecordFileResult::FormatError;
    RingWords w;
    w.oldest = GetU32(bytes + 4);
    w.write = GetU32(bytes + 8);
    w.count = GetU32(bytes + 12);
    w.rows = GetU32(bytes + 16);
    w.top = GetU32(bytes + 20);
    w.seq = GetU32(bytes + 24);
    if (w.count > kMonitorCapacity || w.oldest >= kMonitorCapacity || w.write >= kMonitorCapacity ||
        w.top >= kMonitorCapacity || w.rows > kMonitorMaxRowsPerPage)
        return RecordFileResult::FormatError;
    // Words that contradict each other would show slots the file never filled.
    const bool full = w.count == kMonitorCapacity;
    if (full ? w.oldest != w.write : (w.oldest != 0 || w.write != w.count || w.seq != w.count + 1))
        return RecordFileResult::FormatError;
    if ((size - kMonitorFileHeaderBytes) / kMonitorFileRecordBytes < w.count)
        return RecordFileResult::FormatError;

    // Everything is checked; from here on the ring takes the file.
    std::lock_guard<std::mutex> lock(MonitorRecordMutex());
    const uint8_t* p = bytes + kMonitorFileHeaderBytes;
    for (uint32_t i = 0; i < w.count; ++i, p += kMonitorFileRecordBytes) DecodeRecord(p, g_MonitorRecords[i]);
    g_MonitorOldest.store(w.oldest);
    g_MonitorWrite.store(w.write);
    g_MonitorCount.store(w.count);
    g_MonitorRowsPerPage.store(w.rows);
    g_MonitorTop.store(0);
    g_MonitorSeq.store(w.seq);
    g_MonitorLastSeq.store(w.seq);
    return RecordFileResult::Ok;
}

RecordFileResult LoadMonitorRec(const std::string& path) {
    FILE* f = platform::OpenRegularFile(path);
    if (!f) return RecordFileResult::OpenError;
    // No file that the ring can take is longer than this; reading more is pointless.
    const size_t limit = kMonitorFileHeaderBytes + size_t{kMonitorCapacity} * kMonitorFileRecordBytes;
    std::vector<uint8_t> bytes;
    uint8_t buf[1 << 16];
    bool readError = false;
    while (bytes.size() < limit) {
        const size_t want = std::min(sizeof buf, limit - bytes.size());
        const size_t got = std::fread(buf, 1, want, f);
        bytes.insert(bytes.end(), buf, buf + got);
        if (got < want) {
            readError = std::ferror(f) != 0;
            break;
        }
    }
    std::fclose(f);
    if (readError) return RecordFileResult::OpenError;
    return LoadMonitorRecFromMemory(bytes.data(), bytes.size());
}

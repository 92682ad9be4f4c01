#pragma once
// Saving, loading and exporting the monitor ring.
//
// .rec (binary, little-endian):
//   0   u32 magic 0xEAA00123
//   4   u32 oldest, write, count, rows per page, top, next sequence
//   28  count records of 276 bytes, ring index 0 upward (array order)
// .txt: one line per record in array order, each ending "\r\n" (FormatExportLine).
//
// Loads read and check the whole file before they change any ring word or record. Saves go
// through platform::FileSaver (a failed save leaves an existing file as it was, its mode and
// links kept). Run only while no worker runs.
#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint32_t kMonitorFileMagic = 0xEAA00123;
constexpr size_t kMonitorFileHeaderBytes = 28;
constexpr size_t kMonitorFileRecordBytes = 276;

enum class RecordFileResult {
    Ok,
    NothingToSave,  // "无监控数据需要保存!"
    RecSaveError,   // "Save data record file error!"
    TxtSaveError,   // "Save Txt  file error!"
    OpenError,      // "打开文件出错！"
    FormatError,    // "文件格式错误！"
};

// The message box text for a result (empty for Ok).
const char* RecordFileMessage(RecordFileResult result);

enum class RecordFileType { Rec, Txt };

// ".rec" is appended unless ".rec" or ".REC" occurs anywhere in the path ("data.REC.bak" stays,
// "data.Rec" becomes "data.Rec.rec"); the same with ".txt" / ".TXT".
std::string WithRecordFileExtension(const std::string& path, RecordFileType type);

// Write the ring to exactly this path (no extension added). NothingToSave when the ring holds
// no records (and nothing is written); RecSaveError / TxtSaveError when any step fails.
RecordFileResult SaveMonitorRec(const std::string& path);
RecordFileResult SaveMonitorTxt(const std::string& path);

// Takes a .rec file into the ring. Refused (FormatError, ring untouched) on a wrong magic, a
// file shorter than its count, count > 100000, oldest / write / top >= 100000, rows per page
// > 256, or words that no ring could hold: a ring not yet full has oldest 0, write = count and
// next sequence = count + 1; a full one has oldest = write. On success g_MonitorTop is 0 and
// g_MonitorLastSeq the loaded next sequence.
RecordFileResult LoadMonitorRec(const std::string& path);
RecordFileResult LoadMonitorRecFromMemory(const uint8_t* bytes, size_t size);

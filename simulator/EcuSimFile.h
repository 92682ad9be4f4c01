#pragma once
// The simulator's table file (.sim, and "Obd2DeFault.DAT" beside the program), little-endian:
//   0    u32 magic 0xEA901800
//   4    i32 entry count
//   8    u32 protocol index 0-6 (the page's selection when saved)
//   12   EcuSimParams, 128 bytes
//   140  count entries of 808 bytes, table order
// A loader checks the whole file before anything changes: magic, count 0-1000, size, index
// 0-6 and every entry's lengths (request <= 128, ack <= 7, messages <= 256, bytesPerFrame
// 1-8, messageCount 0-2); a note is cut at 127 characters. Saves go through
// platform::FileSaver (a failed save keeps the old file).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/RespondTable.h"

constexpr uint32_t kEcuSimFileMagic = 0xEA901800;
constexpr size_t kEcuSimFileHeaderBytes = 140;
extern const char* const kDefaultTableFileName;  // "Obd2DeFault.DAT"

enum class SimFileResult {
    Ok,
    OpenError,    // "打开文件出错！"
    FormatError,  // "文件格式错误！"
    SaveError,    // "Save file error!"
};
const char* SimFileMessage(SimFileResult result);
// The default table's own texts ("Obd2DeFault.DAT打开文件出错！", "...文件格式错误！").
const char* DefaultTableMessage(SimFileResult result);

struct EcuSimFileContents {
    uint32_t protocolIndex = 0;
    EcuSimParams params{};
    std::vector<OBDRespondEntry> entries;
};

// ".sim" is appended unless ".sim" or ".SIM" occurs anywhere in the name.
std::string WithSimExtension(const std::string& name);

std::vector<uint8_t> EncodeEcuSimFile(uint32_t protocolIndex, const EcuSimParams& params,
                                      const OBDRespondEntry* entries, uint32_t count);
SimFileResult DecodeEcuSimFile(const uint8_t* bytes, size_t size, EcuSimFileContents& out);

// To exactly this path (no extension added).
SimFileResult SaveEcuSimFile(const std::string& path, uint32_t protocolIndex,
                             const EcuSimParams& params, const OBDRespondEntry* entries,
                             uint32_t count);
SimFileResult LoadEcuSimFile(const std::string& path, EcuSimFileContents& out);

// The folder of the running program, with its trailing '/'.
std::string ProgramDirectory();

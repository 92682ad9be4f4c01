#pragma once
// .klg waveform files (all fields little-endian):
//
//   0   u32 magic 0xEE00EE01 (bytes 01 EE 00 EE)
//   4   u32 sample count n
//   8   u32 time-scale row (0-8)
//   12  u32 baud row (0-6)
//   16  u32 parity mode (0-3)
//   20  n u32 samples in capture order
//
// A load checks the whole header and that the file holds all n samples before it hands
// anything back; bytes after the samples are ignored. A save writes the file beside its
// target and renames it over the target, so a failed save leaves an existing file as it was.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t kKlgMagic = 0xEE00EE01;
constexpr size_t kKlgHeaderBytes = 20;
// The capture buffer's size: no file may hold more.
constexpr uint32_t kKlgMaxSamples = 1000000;

struct KlgSettings {
    uint32_t timeScaleRow = 0;
    uint32_t baudRow = 0;
    uint32_t parityMode = 0;
};

struct KlgContents {
    KlgSettings settings;
    std::vector<uint32_t> samples;
};

enum class KlgResult {
    Ok,
    SaveError,    // "Save file error!"
    OpenError,    // "打开文件出错！"
    FormatError,  // "文件格式错误！"
};
const char* KlgMessage(KlgResult result);

// ".klg" is appended unless ".klg" or ".KLG" occurs anywhere in the path ("wave.KLG" and
// "a.klg.bak" stay as typed, "wave.Klg" becomes "wave.Klg.klg").
std::string WithKlgExtension(const std::string& path);

std::vector<uint8_t> EncodeKlg(const KlgSettings& settings, const uint32_t* samples, uint32_t count);
// Writes exactly this path. SaveError when any step fails.
KlgResult SaveKlg(const std::string& path, const KlgSettings& settings, const uint32_t* samples,
                  uint32_t count);

// FormatError, out untouched: fewer than 20 bytes, a wrong magic, more than 1,000,000 samples
// or more than the bytes hold, a time-scale row above 8, a baud row above 6, a mode above 3.
KlgResult ParseKlg(const uint8_t* bytes, size_t size, KlgContents& out);
// The same from a file; OpenError when it cannot be opened or read.
KlgResult LoadKlg(const std::string& path, KlgContents& out);

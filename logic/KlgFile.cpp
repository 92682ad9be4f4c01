#include "logic/KlgFile.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "logic/LogicSettings.h"
#include "platform/FileSaver.h"
#include "platform/RegularFile.h"

namespace {

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct Header {
    uint32_t count;
    KlgSettings settings;
};

bool ParseHeader(const uint8_t* bytes, size_t size, Header& h) {
    if (size < kKlgHeaderBytes || GetU32(bytes) != kKlgMagic) return false;
    h.count = GetU32(bytes + 4);
    h.settings.timeScaleRow = GetU32(bytes + 8);
    h.settings.baudRow = GetU32(bytes + 12);
    h.settings.parityMode = GetU32(bytes + 16);
    return h.count <= kKlgMaxSamples && h.settings.timeScaleRow < kLogicTimeScaleLabels.size() &&
           h.settings.baudRow < kLogicBaudLabels.size() && h.settings.parityMode <= ParityLin;
}

void DecodeSamples(const uint8_t* p, uint32_t count, std::vector<uint32_t>& out) {
    out.resize(count);
    for (uint32_t i = 0; i < count; ++i, p += 4) out[i] = GetU32(p);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

const char* KlgMessage(KlgResult result) {
    switch (result) {
    case KlgResult::Ok: return "";
    case KlgResult::SaveError: return "Save file error!";
    case KlgResult::OpenError: return "打开文件出错！";
    case KlgResult::FormatError: return "文件格式错误！";
    }
    return "";
}

std::string WithKlgExtension(const std::string& path) {
    if (path.find(".klg") != std::string::npos || path.find(".KLG") != std::string::npos) return path;
    return path + ".klg";
}

std::vector<uint8_t> EncodeKlg(const KlgSettings& s, const uint32_t* samples, uint32_t count) {
    std::vector<uint8_t> bytes(kKlgHeaderBytes + size_t{count} * 4);
    PutU32(&bytes[0], kKlgMagic);
    PutU32(&bytes[4], count);
    PutU32(&bytes[8], s.timeScaleRow);
    PutU32(&bytes[12], s.baudRow);
    PutU32(&bytes[16], s.parityMode);
    uint8_t* p = bytes.data() + kKlgHeaderBytes;
    for (uint32_t i = 0; i < count; ++i, p += 4) PutU32(p, samples[i]);
    return bytes;
}

KlgResult ParseKlg(const uint8_t* bytes, size_t size, KlgContents& out) {
    Header h;
    if (!bytes || !ParseHeader(bytes, size, h) || (size - kKlgHeaderBytes) / 4 < h.count)
        return KlgResult::FormatError;
    out.settings = h.settings;
    DecodeSamples(bytes + kKlgHeaderBytes, h.count, out.samples);
    return KlgResult::Ok;
}

KlgResult LoadKlg(const std::string& path, KlgContents& out) {
    std::unique_ptr<std::FILE, FileCloser> file(platform::OpenRegularFile(path));
    if (!file) return KlgResult::OpenError;
    uint8_t header[kKlgHeaderBytes];
    const size_t got = std::fread(header, 1, sizeof header, file.get());
    if (std::ferror(file.get())) return KlgResult::OpenError;
    Header h;
    if (!ParseHeader(header, got, h)) return KlgResult::FormatError;
    std::vector<uint8_t> body(size_t{h.count} * 4);
    const size_t bodyGot = body.empty() ? 0 : std::fread(body.data(), 1, body.size(), file.get());
    if (std::ferror(file.get())) return KlgResult::OpenError;
    if (bodyGot < body.size()) return KlgResult::FormatError;
    out.settings = h.settings;
    DecodeSamples(body.data(), h.count, out.samples);
    return KlgResult::Ok;
}

KlgResult SaveKlg(const std::string& path, const KlgSettings& settings, const uint32_t* samples,
                  uint32_t count) {
    const std::vector<uint8_t> bytes = EncodeKlg(settings, samples, count);
    platform::FileSaver file(path);
    file.Write(bytes.data(), bytes.size());
    return file.Commit() ? KlgResult::Ok : KlgResult::SaveError;
}

#include "simulator/EcuSimFile.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <memory>

#include "platform/FileSaver.h"
#include "platform/RegularFile.h"

const char* const kDefaultTableFileName = "Obd2DeFault.DAT";

namespace {

uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool EntryFits(const OBDRespondEntry& e) {
    return e.requestLength <= kRequestBytes && e.ackLength <= kMaxAckBytes &&
           e.message1Length <= kMaxMessageBytes && e.message2Length <= kMaxMessageBytes &&
           e.bytesPerFrame >= 1 && e.bytesPerFrame <= 8 && e.messageCount <= 2;
}

}  // namespace

const char* SimFileMessage(SimFileResult result) {
    switch (result) {
    case SimFileResult::OpenError: return "打开文件出错！";
    case SimFileResult::FormatError: return "文件格式错误！";
    case SimFileResult::SaveError: return "Save file error!";
    case SimFileResult::Ok: break;
    }
    return "";
}

const char* DefaultTableMessage(SimFileResult result) {
    switch (result) {
    case SimFileResult::OpenError: return "Obd2DeFault.DAT打开文件出错！";
    case SimFileResult::FormatError: return "Obd2DeFault.DAT文件格式错误！";
    default: break;
    }
    return "";
}

std::string WithSimExtension(const std::string& name) {
    if (name.find(".sim") != std::string::npos || name.find(".SIM") != std::string::npos)
        return name;
    return name + ".sim";
}

std::vector<uint8_t> EncodeEcuSimFile(uint32_t protocolIndex, const EcuSimParams& params,
                                      const OBDRespondEntry* entries, uint32_t count) {
    std::vector<uint8_t> bytes(kEcuSimFileHeaderBytes + size_t{count} * kRespondEntryBytes);
    PutU32(&bytes[0], kEcuSimFileMagic);
    PutU32(&bytes[4], count);
    PutU32(&bytes[8], protocolIndex);
    EncodeEcuSimParams(params, &bytes[12]);
    for (uint32_t i = 0; i < count; ++i)
        EncodeRespondEntry(entries[i], &bytes[kEcuSimFileHeaderBytes + i * kRespondEntryBytes]);
    return bytes;
}

SimFileResult DecodeEcuSimFile(const uint8_t* bytes, size_t size, EcuSimFileContents& out) {
    if (size < kEcuSimFileHeaderBytes || U32(bytes) != kEcuSimFileMagic)
        return SimFileResult::FormatError;
    const int32_t count = static_cast<int32_t>(U32(bytes + 4));
    const uint32_t index = U32(bytes + 8);
    if (count < 0 || static_cast<uint32_t>(count) > kMaxRespondEntries ||
        size < kEcuSimFileHeaderBytes + size_t(count) * kRespondEntryBytes ||
        index >= kSimProtocolCount)
        return SimFileResult::FormatError;
    EcuSimFileContents contents;
    contents.protocolIndex = index;
    contents.params = DecodeEcuSimParams(bytes + 12);
    contents.entries.reserve(count);
    for (int32_t i = 0; i < count; ++i) {
        OBDRespondEntry e = DecodeRespondEntry(bytes + kEcuSimFileHeaderBytes + i * kRespondEntryBytes);
        if (!EntryFits(e))
            return SimFileResult::FormatError;
        e.note[kNoteBytes - 1] = '\0';
        contents.entries.push_back(e);
    }
    out = std::move(contents);
    return SimFileResult::Ok;
}

SimFileResult SaveEcuSimFile(const std::string& path, uint32_t protocolIndex,
                             const EcuSimParams& params, const OBDRespondEntry* entries,
                             uint32_t count) {
    const std::vector<uint8_t> bytes = EncodeEcuSimFile(protocolIndex, params, entries, count);
    platform::FileSaver file(path);
    file.Write(bytes.data(), bytes.size());
    return file.Commit() ? SimFileResult::Ok : SimFileResult::SaveError;
}

SimFileResult LoadEcuSimFile(const std::string& path, EcuSimFileContents& out) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(platform::OpenRegularFile(path), &std::fclose);
    if (!file)
        return SimFileResult::OpenError;
    // One byte more than the largest good file: anything longer is read no further.
    constexpr size_t kLargest = kEcuSimFileHeaderBytes + size_t{kMaxRespondEntries} * kRespondEntryBytes;
    std::vector<uint8_t> bytes(kLargest + 1);
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get()))
        return SimFileResult::OpenError;
    return DecodeEcuSimFile(bytes.data(), got, out);
}

std::string ProgramDirectory() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return "./";
    std::string full(path, static_cast<size_t>(n));
    return full.substr(0, full.rfind('/') + 1);
}

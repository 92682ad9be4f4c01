#pragma once
// File tests: a fresh folder per test with the messages shown, whole-file reads and writes, and
// a file size limit that makes writes fail as on a full disk.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Message.h"

inline std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// Writes beyond this many bytes fail (EFBIG) while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

// A fresh folder under /tmp, removed with everything in it when it goes.
struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/vr-files-XXXXXX";
        EXPECT_NE(mkdtemp(pattern), nullptr);
        path = pattern;
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string Path(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

class TempFolderTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return temp_.Path(name); }

    TempDir temp_;
    const std::filesystem::path& dir_ = temp_.path;
    platform::RecordingMessageSink messages_;
};

#include "platform/FileSaver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>

namespace platform {

namespace {

// As the kernel's own limit on links followed in one path.
constexpr int kMaxLinkHops = 40;

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path finally names; the path itself when it names no link (or nothing yet).
// Empty for a chain of links too long to be anything but a loop.
std::string FollowLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(4096, '\0');
        const ssize_t n = readlink(path.c_str(), &link[0], link.size());
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) return std::string();
        link.resize(static_cast<size_t>(n));
        path = link[0] == '/' ? link : DirectoryOf(path) + "/" + link;
    }
    return std::string();
}

// A fresh name beside the target. The process id, a counter and the clock keep two savers,
// in this process or another, from picking the same one; O_EXCL settles any clash.
std::string TempName(const std::string& target) {
    static std::atomic<uint64_t> counter{0};
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    uint64_t x = static_cast<uint64_t>(getpid()) * 0x9E3779B97F4A7C15ull ^
                 static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                 (counter.fetch_add(1) * 0xBF58476D1CE4E5B9ull);
    std::string name = target + ".";
    for (int i = 0; i < 6; ++i, x /= 62) name.push_back(digits[x % 62]);
    return name;
}

// Creates the temporary file; the kernel applies the umask (and any default ACL) to 0666.
int CreateTemp(const std::string& target, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TempName(target);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Gives the temporary file the old file's owner and mode. False when that cannot be done.
bool TakeOver(int fd, const struct stat& old) {
    struct stat now;
    if (fstat(fd, &now) != 0) return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return fchmod(fd, old.st_mode & 07777) == 0;
}

}  // namespace

FileSaver::FileSaver(const std::string& target) : destination_(FollowLinks(target)) {
    if (destination_.empty()) return;
    struct stat old;
    const bool exists = stat(destination_.c_str(), &old) == 0;
    // Devices and pipes are written as they are; renaming a file over them would replace them.
    if (!exists || S_ISREG(old.st_mode)) {
        const int fd = CreateTemp(destination_, temp_);
        if (fd >= 0 && (!exists || TakeOver(fd, old))) {
            file_ = fdopen(fd, "wb");
            if (file_) return;
        }
        if (fd >= 0) {
            close(fd);
            unlink(temp_.c_str());
        }
        temp_.clear();
    }
    inPlace_ = true;
    const int fd = open(destination_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return;
    file_ = fdopen(fd, "wb");
    if (!file_) close(fd);
}

FileSaver::~FileSaver() {
    if (file_) std::fclose(file_);
    if (!temp_.empty()) unlink(temp_.c_str());
}

void FileSaver::Write(const void* bytes, size_t n) {
    if (ok() && n && std::fwrite(bytes, 1, n, file_) != n) good_ = false;
}

bool FileSaver::Commit() {
    if (!file_) return false;
    bool good = good_ && std::fflush(file_) == 0;
    // A device written in place may not sync; that is no failure of the save.
    good = good && (fsync(fileno(file_)) == 0 || (inPlace_ && errno == EINVAL));
    good = (std::fclose(file_) == 0) && good;
    file_ = nullptr;
    if (!good) return false;
    if (inPlace_) return true;
    if (std::rename(temp_.c_str(), destination_.c_str()) != 0) return false;
    temp_.clear();
    // The rename itself is made durable; a folder that cannot be synced loses nothing written.
    const int dir = open(DirectoryOf(destination_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

}  // namespace platform

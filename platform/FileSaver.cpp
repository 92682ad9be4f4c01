#include "platform/FileSaver.h"

#include <fcntl.h>
#include <sys/resource.h>
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

// Whether the user may write the file: the permission, and at least one write bit (a file
// without any is read-only to every user, root included, as a read-only file is elsewhere).
bool MayWrite(const std::string& path, const struct stat& st) {
    return (st.st_mode & 0222) != 0 && faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// Makes sure `length` bytes fit before the first old byte is overwritten: within the file
// size limit, and reserved on the disk where the file system can say so in advance.
bool Reserve(int fd, size_t length) {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && length > limit.rlim_cur)
        return false;
    if (length == 0 || fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)) == 0) return true;
    return errno == EOPNOTSUPP || errno == ENOSYS;
}

}  // namespace

FileSaver::FileSaver(const std::string& target) : destination_(FollowLinks(target)) {
    if (destination_.empty()) return;
    struct stat old;
    const bool exists = stat(destination_.c_str(), &old) == 0;
    // A pipe, device or socket is no file to save into: opening a pipe without a reader would
    // block for good, and renaming a file over any of them would replace it.
    if (exists && !S_ISREG(old.st_mode)) return;
    if (exists && !MayWrite(destination_, old)) return;
    // Renaming over a file with more links would leave the other names with the old bytes.
    if (!exists || old.st_nlink <= 1) {
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
    // Not truncated here: the old contents stay until Commit knows the new length fits.
    // O_NONBLOCK: a pipe put in the file's place meanwhile must not block the open.
    fd_ = open(destination_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    struct stat now;
    if (fd_ >= 0 && (fstat(fd_, &now) != 0 || !S_ISREG(now.st_mode))) {
        close(fd_);
        fd_ = -1;
    }
}

FileSaver::~FileSaver() {
    if (file_) std::fclose(file_);
    if (fd_ >= 0) close(fd_);
    if (!temp_.empty()) unlink(temp_.c_str());
}

void FileSaver::Write(const void* bytes, size_t n) {
    if (!ok() || !n) return;
    if (fd_ >= 0)
        pending_.append(static_cast<const char*>(bytes), n);
    else if (std::fwrite(bytes, 1, n, file_) != n)
        good_ = false;
}

bool FileSaver::Commit() {
    if (fd_ >= 0) return CommitInPlace();
    if (!file_) return false;
    bool good = good_ && std::fflush(file_) == 0;
    good = good && fsync(fileno(file_)) == 0;
    good = (std::fclose(file_) == 0) && good;
    file_ = nullptr;
    if (!good) return false;
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

bool FileSaver::CommitInPlace() {
    const int fd = fd_;
    fd_ = -1;
    bool good = good_;
    good = good && Reserve(fd, pending_.size());
    for (size_t done = 0; good && done < pending_.size();) {
        const ssize_t n = write(fd, pending_.data() + done, pending_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) good = false;
        else done += static_cast<size_t>(n);
    }
    good = good && ftruncate(fd, static_cast<off_t>(pending_.size())) == 0;
    good = good && fsync(fd) == 0;
    good = close(fd) == 0 && good;
    std::string().swap(pending_);
    return good;
}

}  // namespace platform

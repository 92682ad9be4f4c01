#include "platform/FileSaver.h"
#include "platform/RegularFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace fs = std::filesystem;
using platform::FileSaver;

namespace {

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& path, const std::string& text, mode_t mode) {
    std::ofstream(path, std::ios::binary) << text;
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
}

mode_t ModeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

bool Save(const fs::path& target, const std::string& text) {
    FileSaver saver(target.string());
    saver.Write(text);
    return saver.Commit();
}

class FileSaving : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vr-file-saver-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        umask_ = umask(022);
    }
    void TearDown() override {
        umask(umask_);
        chmod(dir_.c_str(), 0700);
        chmod((dir_ / "locked").c_str(), 0700);
        fs::remove_all(dir_);
    }
    // Every name in the folder, so a leftover temporary file shows.
    std::set<std::string> Names(const fs::path& dir) const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
        return names;
    }

    fs::path dir_;
    mode_t umask_ = 022;
};

// A new file gets 0666 minus the umask; a file saved over keeps its mode, whatever the umask.
TEST_F(FileSaving, ModeComesFromTheOldFileOrTheUmask) {
    const struct { mode_t umask; bool exists; mode_t old; mode_t expected; } cases[] = {
        {077, false, 0, 0600}, {022, false, 0, 0644}, {002, false, 0, 0664}, {0, false, 0, 0666},
        {022, true, 0600, 0600}, {077, true, 0664, 0664}, {0, true, 0640, 0640}, {022, true, 0755, 0755},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << "umask " << c.umask << " old " << c.old);
        const fs::path target = dir_ / "log.txt";
        fs::remove(target);
        if (c.exists) Put(target, "old contents", c.old);
        umask(c.umask);
        ASSERT_TRUE(Save(target, "new"));
        EXPECT_EQ(Read(target), "new");
        EXPECT_EQ(ModeOf(target), c.expected);
        EXPECT_EQ(Names(dir_), std::set<std::string>{"log.txt"});
    }
}

// The file a link names is replaced and the link stays, wherever the link points.
TEST_F(FileSaving, LinksAreFollowed) {
    fs::create_directories(dir_ / "a");
    fs::create_directories(dir_ / "b");
    const struct { const char* name; const char* link; const char* via; const char* file; bool exists; } cases[] = {
        {"absolute", nullptr, "a/abs.rec", "b/abs-data.rec", true},
        {"relative into another folder", "../b/rel-data.rec", "a/rel.rec", "b/rel-data.rec", true},
        {"dangling", "../b/new-data.rec", "a/new.rec", "b/new-data.rec", false},
        {"chain of two", "chain-2.rec", "a/chain-1.rec", "b/abs-data.rec", true},
    };
    fs::create_symlink("abs.rec", dir_ / "a/chain-2.rec");  // the chain's second link, to the first row's
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path via = dir_ / c.via, file = dir_ / c.file;
        if (c.exists) Put(file, "old", 0640);
        fs::create_symlink(c.link ? fs::path(c.link) : file, via);

        FileSaver saver(via.string());
        EXPECT_EQ(fs::weakly_canonical(saver.destination()), fs::weakly_canonical(file));
        saver.Write(std::string(c.name));
        ASSERT_TRUE(saver.Commit());
        EXPECT_TRUE(fs::is_symlink(via));
        EXPECT_EQ(Read(file), c.name);
        EXPECT_EQ(ModeOf(file), c.exists ? 0640u : 0644u);
    }
    EXPECT_EQ(Names(dir_ / "b"), (std::set<std::string>{"abs-data.rec", "rel-data.rec", "new-data.rec"}));

    fs::create_symlink("loop-2", dir_ / "loop-1");
    fs::create_symlink("loop-1", dir_ / "loop-2");
    EXPECT_FALSE(Save(dir_ / "loop-1", "x"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "loop-1"));
}

// A name with no room for the temporary suffix: the target is written in place.
TEST_F(FileSaving, WritesInPlaceWhenTheTemporaryNameIsTooLong) {
    const fs::path longName = dir_ / (std::string(250, 'n') + ".rec");
    Put(longName, "old contents", 0604);
    FileSaver saver(longName.string());
    EXPECT_TRUE(saver.inPlace());
    saver.Write("new", 3);
    ASSERT_TRUE(saver.Commit());
    EXPECT_EQ(Read(longName), "new");
    EXPECT_EQ(ModeOf(longName), 0604u);
    EXPECT_EQ(Names(dir_).size(), 1u);

    // A write failing in place (a file size limit stands in for a full disk) is reported.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{4096, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved8k = Save(longName, std::string(8192, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved8k);
    EXPECT_EQ(Read(longName), "new");
}

// A file without a write bit is read-only to every user, root included: refused, untouched.
TEST_F(FileSaving, RefusesAReadOnlyFile) {
    const fs::path target = dir_ / "kept.sim";
    Put(target, "old", 0444);
    EXPECT_FALSE(Save(target, "new"));
    EXPECT_EQ(Read(target), "old");
    EXPECT_EQ(ModeOf(target), 0444u);
    EXPECT_EQ(Names(dir_), std::set<std::string>{"kept.sim"});
}

// On a small file system that is full, a save in place that does not fit fails before it
// touches the old file; one that fits is written, and a second hard link sees the new bytes.
TEST_F(FileSaving, InPlaceSaveOnAFullDiskKeepsTheOldFile) {
    const fs::path disk = dir_ / "disk";
    fs::create_directories(disk);
    if (mount("vr-saver", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount {
        fs::path at;
        ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
    } unmount{disk};

    const std::string old(16 * 1024, 'o');
    const fs::path longName = disk / (std::string(250, 'n') + ".rec"), linked = disk / "data.rec";
    Put(longName, old, 0644);
    Put(linked, old, 0644);
    fs::create_hard_link(linked, disk / "other.rec");
    {
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::string block(4096, 'f');
        for (int i = 0; i < 64 && filler.write(block.data(), block.size()); ++i) filler.flush();
    }
    for (const fs::path& target : {longName, linked}) {
        SCOPED_TRACE(target.filename().string().substr(0, 12));
        EXPECT_FALSE(Save(target, std::string(40 * 1024, 'n')));
        EXPECT_EQ(Read(target), old);
    }
    fs::remove(disk / "filler");
    FileSaver saver(linked.string());
    EXPECT_TRUE(saver.inPlace());
    saver.Write("saved through one name");
    ASSERT_TRUE(saver.Commit());
    EXPECT_EQ(Read(disk / "other.rec"), "saved through one name");
    EXPECT_EQ(fs::hard_link_count(linked), 2u);
}

// A folder that refuses new files, holding a file this user may write. Root ignores a folder's
// permissions, so as root the saves run in a child that has dropped to an unprivileged user.
TEST_F(FileSaving, WritesInPlaceInAFolderThatRefusesNewFiles) {
    const fs::path locked = dir_ / "locked", target = locked / "data.rec";
    fs::create_directories(locked);
    Put(target, "old", 0644);
    const bool root = geteuid() == 0;
    const uid_t user = root ? 65534 : geteuid();
    const gid_t group = root ? 65534 : getegid();
    ASSERT_EQ(chown(target.c_str(), user, group), 0);
    ASSERT_EQ(chown(locked.c_str(), user, group), 0);
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0711), 0);

    // Bit 0: the file saved over; bit 1: a new file saved (neither a temporary nor the file can
    // be created); bit 2: the child could not drop its privileges.
    auto saves = [&] { return (Save(target, "saved in place") ? 1 : 0) | (Save(locked / "new.rec", "x") ? 2 : 0); };
    int outcome = 0;
    if (!root) {
        outcome = saves();
    } else {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(setgid(group) == 0 && setuid(user) == 0 ? saves() : 4);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        outcome = WEXITSTATUS(status);
    }
    EXPECT_EQ(outcome, 1);
    EXPECT_EQ(Read(target), "saved in place");
    EXPECT_EQ(ModeOf(target), 0644u);
    EXPECT_EQ(Names(locked), std::set<std::string>{"data.rec"});
}

// Loading a FIFO must not wait for a writer: it is refused at once, as a regular file is not.
TEST_F(FileSaving, OpensOnlyRegularFilesWithoutBlocking) {
    const fs::path fifo = dir_ / "wave.klg", plain = dir_ / "plain.rec";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    Put(plain, "bytes", 0644);
    alarm(5);  // a blocking open ends the test instead of hanging it
    std::FILE* fromFifo = platform::OpenRegularFile(fifo.string());
    alarm(0);
    EXPECT_EQ(fromFifo, nullptr);
    EXPECT_EQ(platform::OpenRegularFile(dir_.string()), nullptr);
    std::FILE* file = platform::OpenRegularFile(plain.string());
    ASSERT_NE(file, nullptr);
    char buf[8] = {};
    EXPECT_EQ(std::fread(buf, 1, sizeof buf, file), 5u);
    std::fclose(file);
}

// A target that exists but is no regular file is refused at once, whatever it is and however
// it is reached, and is left as it was: a pipe without a reader would block the save for good.
TEST_F(FileSaving, RefusesAPipeADeviceAndASocketAtOnce) {
    const fs::path fifo = dir_ / "monitor.rec", socketPath = dir_ / "s.txt", link = dir_ / "link.sim";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink(fifo, link);
    for (const fs::path& target : {fifo, socketPath, link, fs::path("/dev/null")}) {
        SCOPED_TRACE(target.string());
        alarm(5);  // a blocking open ends the test instead of hanging it
        FileSaver saver(target.string());
        EXPECT_FALSE(saver.ok());
        saver.Write("bytes");
        EXPECT_FALSE(saver.Commit());
        alarm(0);
    }
    close(sock);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_socket(socketPath));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Names(dir_), (std::set<std::string>{"monitor.rec", "s.txt", "link.sim"}));
}

}  // namespace

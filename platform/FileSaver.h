#pragma once
// Writes a file the user saves over so that a failed save leaves the old file as it was and a
// good one changes nothing but the contents.
//
// The bytes go to a temporary file beside the target, renamed over it by Commit. The new file
// keeps the old one's mode (and owner, where the process may set it); a new file gets 0666
// minus the umask. A target that is a symbolic link is followed: the file it names is
// replaced, the link stays. A target the user may not write (no write permission, or no
// write bit at all, as a read-only file is to every user) is refused and left alone, and so is
// an existing target that is not a regular file (a pipe, a device, a socket), at once.
//
// In place: when no temporary file can be made beside the target (a folder that refuses new
// files, a name too long for the suffix), the old owner cannot be kept, or the file has a
// second hard link (a rename would cut it off), the bytes are gathered in memory and the
// target is only touched at Commit, once its new length is reserved on the disk and within
// the file size limit; a save that cannot reserve it fails with the old file whole. A file
// system that cannot reserve in advance is written all the same.
//
// Every write, the flush, the sync and the close are checked; Commit's result is the save's.
// An uncommitted saver removes its temporary file. Not thread-safe; one saver per save.
#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {

class FileSaver {
public:
    explicit FileSaver(const std::string& target);
    ~FileSaver();
    FileSaver(const FileSaver&) = delete;
    FileSaver& operator=(const FileSaver&) = delete;

    // False once opening or any write has failed; later writes are skipped.
    bool ok() const { return (file_ != nullptr || fd_ >= 0) && good_; }
    void Write(const void* bytes, size_t n);
    void Write(const std::string& text) { Write(text.data(), text.size()); }
    // Flushes, syncs, closes and (unless written in place) renames over the target. True when
    // the whole file reached the target.
    bool Commit();

    // Where the bytes end up: the target with its links followed.
    const std::string& destination() const { return destination_; }
    // True when the target is being written in place rather than through a temporary file.
    bool inPlace() const { return inPlace_; }

private:
    bool CommitInPlace();

    std::string destination_;
    std::string temp_;  // empty when writing in place or after commit
    FILE* file_ = nullptr;  // the temporary file
    int fd_ = -1;           // the target, written in place at Commit
    std::string pending_;   // what an in-place save will write
    bool good_ = true;
    bool inPlace_ = false;
};

}  // namespace platform

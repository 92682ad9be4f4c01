#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::FILE* OpenRegularFile(const std::string& path) {
    // O_NONBLOCK keeps open() from waiting for a FIFO's writer; it is dropped once the file
    // is known to be regular, where it means nothing anyway.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    std::FILE* file = nullptr;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && fcntl(fd, F_SETFL, 0) == 0)
        file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}

}  // namespace platform

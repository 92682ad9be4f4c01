#pragma once
// Opens a file the user chose to load. Only a regular file is opened: a FIFO or a device would
// block the window in open() or read() until some other program writes to it.
#include <cstdio>
#include <string>

namespace platform {

// The file opened for reading ("rb"), or nullptr when it cannot be opened or is no regular
// file. Never blocks on what the path names.
std::FILE* OpenRegularFile(const std::string& path);

}  // namespace platform

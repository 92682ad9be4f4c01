// The simulated library's face: the seven entry points the program looks up by name, and the
// set-up taken from the environment at load time.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "testboard/Board.h"
#include "testboard/testboard.h"

using testboard::Board;
using testboard::TheBoard;

namespace {

constexpr const char* kSelector = "vid_04d8&pid_000c";
constexpr const char* kEndpoint = "\\MCHP_EP1";
constexpr uint32_t kLibraryVersion = 0x01000000;

bool IsOurSelector(const char* selector) {
    return selector && strcasecmp(selector, kSelector) == 0;
}

}  // namespace

extern "C" {

uint32_t _MPUSBGetDLLVersion(void) { return kLibraryVersion; }

uint32_t _MPUSBGetDeviceCount(const char* selector) {
    return IsOurSelector(selector) ? TheBoard().DeviceCount() : 0;
}

void* _MPUSBOpen(uint32_t index, const char* selector, const char* endpoint, uint32_t direction,
                 uint32_t /*reserved*/) {
    if (!IsOurSelector(selector) || !endpoint || std::strcmp(endpoint, kEndpoint) != 0)
        return Board::kInvalidHandle;
    return TheBoard().Open(index, direction);
}

uint32_t _MPUSBWrite(void* handle, const void* data, uint32_t length, uint32_t* sent,
                     uint32_t timeoutMs) {
    TheBoard().LogCall(false, length, timeoutMs);
    bool ok = TheBoard().Write(handle, static_cast<const uint8_t*>(data), length);
    if (sent) *sent = ok ? length : 0;
    return ok ? 1 : 0;
}

uint32_t _MPUSBRead(void* handle, void* data, uint32_t maxLength, uint32_t* received,
                    uint32_t timeoutMs) {
    TheBoard().LogCall(true, maxLength, timeoutMs);
    return TheBoard().Read(handle, static_cast<uint8_t*>(data), maxLength, received, timeoutMs) ? 1
                                                                                               : 0;
}

uint32_t _MPUSBReadInt(void* handle, void* data, uint32_t maxLength, uint32_t* received,
                       uint32_t timeoutMs) {
    return _MPUSBRead(handle, data, maxLength, received, timeoutMs);
}

uint32_t _MPUSBClose(void* handle) {
    TheBoard().Close(handle);
    return 1;
}

}  // extern "C"

namespace {

const char* EnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// The program under test knows nothing of the board; these two variables prepare it.
__attribute__((constructor)) void LoadFromEnvironment() {
    if (const char* log = EnvironmentPath("VR3526_TESTBOARD_LOG"); log && !tb_set_log_file(log))
        std::fprintf(stderr, "testboard: cannot open the log file %s\n", log);
    if (const char* setup = EnvironmentPath("VR3526_TESTBOARD"); setup && !tb_load_setup(setup))
        std::fprintf(stderr, "testboard: cannot read the set-up file %s\n", setup);
}

}  // namespace

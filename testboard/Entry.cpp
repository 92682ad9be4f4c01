// The library's exported face: the seven entry points the program looks up by name, the
// control API of testboard.h, and the set-up taken from the environment at load time.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <strings.h>

#include "testboard/Board.h"
#include "testboard/SetupFile.h"

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
                     uint32_t /*timeoutMs*/) {
    bool ok = TheBoard().Write(handle, static_cast<const uint8_t*>(data), length);
    if (sent) *sent = ok ? length : 0;
    return ok ? 1 : 0;
}

uint32_t _MPUSBRead(void* handle, void* data, uint32_t maxLength, uint32_t* received,
                    uint32_t timeoutMs) {
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

void tb_reset(void) { TheBoard().Reset(); }
void tb_set_board_count(unsigned count) { TheBoard().SetBoardCount(count); }
void tb_set_chip(uint8_t chip_id, uint8_t version) { TheBoard().SetChip(chip_id, version); }
void tb_set_register(uint8_t reg, uint8_t value) { TheBoard().SetRegister(reg, value); }
uint8_t tb_get_register(uint8_t reg) { return TheBoard().GetRegister(reg); }
void tb_set_busy_reads(unsigned n) { TheBoard().SetBusyReads(n); }
void tb_set_block(uint8_t block, const uint8_t* data, unsigned length) {
    TheBoard().SetBlock(block, data, length);
}
unsigned tb_get_block(uint8_t block, uint8_t* out, unsigned capacity) {
    return TheBoard().GetBlock(block, out, capacity);
}
void tb_queue_reply(const uint8_t* bytes, unsigned length) { TheBoard().QueueReply(bytes, length); }
unsigned tb_queued_replies(void) { return TheBoard().QueuedReplies(); }
void tb_set_idle_reply(const uint8_t* bytes, unsigned length) {
    TheBoard().SetIdleReply(bytes, length);
}
void tb_set_fault(int on) { TheBoard().SetFault(on != 0); }
void tb_fail_write(unsigned nth) { TheBoard().FailWrite(nth); }
void tb_fail_next_read(void) { TheBoard().FailNextRead(); }
void tb_delay_next_read(unsigned delay_ms) { TheBoard().DelayNextRead(delay_ms); }
void tb_set_read_latency(unsigned latency_ms) { TheBoard().SetReadLatency(latency_ms); }
void tb_short_next_reply(unsigned length) { TheBoard().ShortNextReply(length); }
void tb_fail_open(int direction) { TheBoard().FailOpen(direction); }
unsigned tb_open_count(void) { return TheBoard().OpenCount(); }
int tb_last_open_index(void) { return TheBoard().LastOpenIndex(); }
unsigned tb_open_pipes(void) { return TheBoard().OpenPipes(); }
void tb_set_responder(tb_responder responder, void* context) {
    TheBoard().SetResponder(responder, context);
}
unsigned tb_log_count(void) { return TheBoard().LogCount(); }
unsigned tb_log_packet(unsigned index, uint8_t* out, unsigned capacity, uint32_t* time_ms) {
    return TheBoard().LogPacket(index, out, capacity, time_ms);
}
void tb_log_clear(void) { TheBoard().LogClear(); }
int tb_wait_log_count(unsigned count, unsigned timeout_ms) {
    return TheBoard().WaitLogCount(count, timeout_ms) ? 1 : 0;
}

int tb_load_setup(const char* path) {
    if (!path) return 0;
    std::ifstream in(path);
    if (!in) return 0;
    std::ostringstream text;
    text << in.rdbuf();
    testboard::Setup setup = testboard::ParseSetup(text.str());
    for (const std::string& note : setup.notes)
        std::fprintf(stderr, "testboard: %s: %s\n", path, note.c_str());
    testboard::ApplySetup(TheBoard(), setup);
    return 1;
}

int tb_set_log_file(const char* path) {
    if (!path) {
        TheBoard().SetLogFile(nullptr);
        return 1;
    }
    std::FILE* file = std::fopen(path, "a");
    if (!file) return 0;
    TheBoard().SetLogFile(file);
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
    tb_set_read_latency(1);
    if (const char* log = EnvironmentPath("VR3526_TESTBOARD_LOG"); log && !tb_set_log_file(log))
        std::fprintf(stderr, "testboard: cannot open the log file %s\n", log);
    if (const char* setup = EnvironmentPath("VR3526_TESTBOARD"); setup && !tb_load_setup(setup))
        std::fprintf(stderr, "testboard: cannot read the set-up file %s\n", setup);
}

}  // namespace

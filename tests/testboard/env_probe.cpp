// Prints what a program sees of the board into argv[1], then writes one register packet, so
// the set-up and the log taken from the environment at load time can be checked.
#include <cstdio>

#include "mpusbapi/mpusbapi.h"

int main(int argc, char** argv) {
    std::FILE* out = argc == 2 ? std::fopen(argv[1], "w") : nullptr;
    const char* selector = "vid_04d8&pid_000c";
    void* w = _MPUSBOpen(0, selector, "\\MCHP_EP1", 0, 0);
    void* r = _MPUSBOpen(0, selector, "\\MCHP_EP1", 1, 0);
    const uint8_t version = 0x00, reg[] = {0x52, 0x0D, 0x00, 0x00};
    uint8_t reply[64] = {};
    uint32_t n = 0;
    if (!out || !_MPUSBWrite(w, &version, 1, &n, 500) || !_MPUSBRead(r, reply, sizeof reply, &n, 100) ||
        n < 6 || !_MPUSBWrite(w, reg, sizeof reg, &n, 500))
        return 1;
    std::fprintf(out, "count %u id %02X version %02X\n", _MPUSBGetDeviceCount(selector), reply[4], reply[5]);
    return std::fclose(out) == 0 ? 0 : 1;
}

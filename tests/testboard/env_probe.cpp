// Reports what a program sees of the board (device count and version reply) into the file
// named by argv[1], then writes one register packet, so the load-time log can be checked.
#include <cstdio>

#include "tests/testboard/UsbEntryPoints.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) return 2;
    const char* selector = "vid_04d8&pid_000c";
    uint32_t count = _MPUSBGetDeviceCount(selector);
    void* w = _MPUSBOpen(0, selector, "\\MCHP_EP1", 0, 0);
    void* r = _MPUSBOpen(0, selector, "\\MCHP_EP1", 1, 0);
    const uint8_t version = 0x00;
    const uint8_t reg[] = {0x52, 0x0D, 0x00, 0x00};
    uint8_t reply[64] = {};
    uint32_t n = 0;
    if (!_MPUSBWrite(w, &version, 1, &n, 500) || !_MPUSBRead(r, reply, sizeof reply, &n, 100) ||
        n < 6 || !_MPUSBWrite(w, reg, sizeof reg, &n, 500)) {
        std::fprintf(out, "exchange failed\n");
        return 1;
    }
    std::fprintf(out, "count %u id %02X version %02X\n", count, reply[4], reply[5]);
    _MPUSBClose(w);
    _MPUSBClose(r);
    return std::fclose(out) == 0 ? 0 : 1;
}

/* A USB library that answers nothing, with entry points left out on purpose. */
#include <stdint.h>

uint32_t _MPUSBGetDLLVersion(void) { return 0x01000000u; }
uint32_t _MPUSBGetDeviceCount(const char* selector) { (void)selector; return 3; }
#ifndef OMIT_OPEN
void* _MPUSBOpen(uint32_t index, const char* selector, const char* endpoint, uint32_t dir,
                 uint32_t reserved) {
    (void)index; (void)selector; (void)endpoint; (void)dir; (void)reserved;
    return (void*)~(uintptr_t)0;
}
#endif
uint32_t _MPUSBWrite(void* h, const void* d, uint32_t n, uint32_t* sent, uint32_t t) {
    (void)h; (void)d; (void)n; (void)sent; (void)t;
    return 0;
}
uint32_t _MPUSBRead(void* h, void* d, uint32_t n, uint32_t* got, uint32_t t) {
    (void)h; (void)d; (void)n; (void)got; (void)t;
    return 0;
}
#ifndef OMIT_READINT
uint32_t _MPUSBReadInt(void* h, void* d, uint32_t n, uint32_t* got, uint32_t t) {
    (void)h; (void)d; (void)n; (void)got; (void)t;
    return 0;
}
#endif
uint32_t _MPUSBClose(void* h) { (void)h; return 1; }

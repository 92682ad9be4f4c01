/* A USB library that answers nothing, with entry points left out on purpose. */
#include <stdint.h>

uint32_t _MPUSBGetDLLVersion(void) { return 0x01000000u; }
uint32_t _MPUSBGetDeviceCount(const char* s) { return 3; }
#ifndef OMIT_OPEN
void* _MPUSBOpen(uint32_t i, const char* s, const char* e, uint32_t d, uint32_t r) { return (void*)~(uintptr_t)0; }
#endif
uint32_t _MPUSBWrite(void* h, const void* d, uint32_t n, uint32_t* s, uint32_t t) { return 0; }
uint32_t _MPUSBRead(void* h, void* d, uint32_t n, uint32_t* g, uint32_t t) { return 0; }
#ifndef OMIT_READINT
uint32_t _MPUSBReadInt(void* h, void* d, uint32_t n, uint32_t* g, uint32_t t) { return 0; }
#endif
uint32_t _MPUSBClose(void* h) { return 1; }

#pragma once
// The simulated board's USB entry points, called directly as the program calls them through
// dlsym.
#include <cstdint>

extern "C" {
uint32_t _MPUSBGetDLLVersion(void);
uint32_t _MPUSBGetDeviceCount(const char* selector);
void* _MPUSBOpen(uint32_t index, const char* selector, const char* endpoint, uint32_t direction,
                 uint32_t reserved);
uint32_t _MPUSBWrite(void* handle, const void* data, uint32_t length, uint32_t* sent,
                     uint32_t timeoutMs);
uint32_t _MPUSBRead(void* handle, void* data, uint32_t maxLength, uint32_t* received,
                    uint32_t timeoutMs);
uint32_t _MPUSBReadInt(void* handle, void* data, uint32_t maxLength, uint32_t* received,
                       uint32_t timeoutMs);
uint32_t _MPUSBClose(void* handle);
}

#pragma once
// libmpusbapi.so loaded by its path with its entry points by name, as the program loads it;
// unloading it ends libusb.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "mpusbapi/mpusbapi.h"

class MpusbLibrary {
public:
    MpusbLibrary() : handle_(dlopen(VR_MPUSBAPI_PATH, RTLD_NOW | RTLD_LOCAL)) {
        EXPECT_NE(handle_, nullptr) << dlerror();
        count = Get<decltype(count)>("_MPUSBGetDeviceCount");
        open = Get<decltype(open)>("_MPUSBOpen");
        write = Get<decltype(write)>("_MPUSBWrite");
        read = Get<decltype(read)>("_MPUSBRead");
        readInt = Get<decltype(readInt)>("_MPUSBReadInt");
        close = Get<decltype(close)>("_MPUSBClose");
    }
    ~MpusbLibrary() {
        if (handle_) dlclose(handle_);
    }
    MpusbLibrary(const MpusbLibrary&) = delete;
    MpusbLibrary& operator=(const MpusbLibrary&) = delete;

    bool Loaded() const { return count && open && write && read && readInt && close; }
    bool Write(void* pipe, const std::vector<uint8_t>& packet) {
        uint32_t sent = 0;
        return write(pipe, packet.data(), static_cast<uint32_t>(packet.size()), &sent, 500) && sent == packet.size();
    }
    // The bytes a read handed out (also those of a failed one), and whether it succeeded.
    std::pair<bool, std::vector<uint8_t>> Read(void* pipe, uint32_t maxLength, uint32_t timeoutMs = 1500,
                                               bool interrupt = false) {
        std::vector<uint8_t> buffer(maxLength + 1, 0xEE);
        uint32_t received = 0xFFFFFFFF;
        const bool ok = (interrupt ? readInt : read)(pipe, buffer.data(), maxLength, &received, timeoutMs) != 0;
        EXPECT_TRUE(received <= maxLength && buffer[maxLength] == 0xEE) << received;
        buffer.resize(received <= maxLength ? received : 0);
        return {ok, buffer};
    }

    decltype(&_MPUSBGetDeviceCount) count = nullptr;
    decltype(&_MPUSBOpen) open = nullptr;
    decltype(&_MPUSBWrite) write = nullptr;
    decltype(&_MPUSBRead) read = nullptr;
    decltype(&_MPUSBReadInt) readInt = nullptr;
    decltype(&_MPUSBClose) close = nullptr;

private:
    template <class F>
    F Get(const char* name) {
        return handle_ ? reinterpret_cast<F>(dlsym(handle_, name)) : nullptr;
    }
    void* handle_;
};

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "device/UsbOperation.h"

namespace {

TEST(DeviceLoader, EveryEntryPointIsRequiredAndARefusedLibraryIsUnloaded) {
    const struct { const char* path; int result; const char* printed; } cases[] = {
        {FAKE_NO_READINT, 0, "GetProcAddress Error\r\n"},
        {FAKE_NO_OPEN, 0, "GetProcAddress Error\r\n"},
        {"/nonexistent/libmpusbapi.so", 0, "Error loading mpusbapi.dll\r\n"},
        {FAKE_COMPLETE, 1, ""},  // after the refusals: nothing of them is left behind
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(UsbLoadLibraryFrom(c.path), c.result) << c.path;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.path;
        EXPECT_EQ(UsbLibraryLoaded(), c.result == 1) << c.path;
        EXPECT_EQ(UsbGetDeviceCount(), c.result ? 3u : 0u) << "a refused library is never called";
        void* still = dlopen(c.path, RTLD_NOW | RTLD_NOLOAD);
        EXPECT_EQ(still != nullptr, c.result == 1) << c.path;
        if (still) dlclose(still);
    }
    EXPECT_EQ(UsbOpenPipes(), 0) << "this library opens nothing";
    EXPECT_FALSE(UsbWritePipeOpen());
    UsbFreeLibrary();

    // Nothing loaded: every call fails instead of jumping through a null pointer.
    const uint8_t packet[4] = {0x52, 0x0D, 0x00, 0x00};
    uint8_t buffer[8];
    EXPECT_EQ(UsbGetDeviceCount() + UsbOpenPipes() + UsbWritePacket(packet, 4), 0u);
    EXPECT_EQ(UsbReadPacket(10, sizeof buffer, buffer), -1);
    UsbClosePipes();
}

}  // namespace

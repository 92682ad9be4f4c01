#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "device/UsbOperation.h"

namespace {

// The loader's diagnostics go to standard output; capture them.
std::string LoadCapturingStdout(const char* path, int* result) {
    testing::internal::CaptureStdout();
    *result = UsbLoadLibraryFrom(path);
    return testing::internal::GetCapturedStdout();
}

class LoaderTest : public testing::Test {
protected:
    void TearDown() override { UsbFreeLibrary(); }
};

TEST_F(LoaderTest, CompleteLibraryLoadsAndCounts) {
    int result = 0;
    std::string out = LoadCapturingStdout(FAKE_COMPLETE, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(out, "");
    EXPECT_TRUE(UsbLibraryLoaded());
    EXPECT_EQ(UsbGetDeviceCount(), 3u);
}

TEST_F(LoaderTest, EveryEntryPointIsRequired) {
    for (const char* path : {FAKE_NO_READINT, FAKE_NO_OPEN}) {
        int result = 1;
        std::string out = LoadCapturingStdout(path, &result);
        EXPECT_EQ(result, 0) << path;
        EXPECT_EQ(out, "GetProcAddress Error\r\n") << path;
        EXPECT_FALSE(UsbLibraryLoaded()) << path;
        EXPECT_EQ(UsbGetDeviceCount(), 0u) << "a refused library must not be called";
    }
}

TEST_F(LoaderTest, MissingLibrary) {
    int result = 1;
    std::string out = LoadCapturingStdout("/nonexistent/libmpusbapi.so", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(out, "Error loading mpusbapi.dll\r\n");
    EXPECT_FALSE(UsbLibraryLoaded());
}

TEST_F(LoaderTest, RefusedLibraryLeavesTheWayOpenForAGoodOne) {
    int result = 0;
    LoadCapturingStdout(FAKE_NO_READINT, &result);
    ASSERT_EQ(result, 0);
    LoadCapturingStdout(FAKE_COMPLETE, &result);
    EXPECT_EQ(result, 1);
}

TEST_F(LoaderTest, NothingLoadedMeansEveryCallFails) {
    EXPECT_EQ(UsbGetDeviceCount(), 0u);
    EXPECT_EQ(UsbOpenPipes(), 0);
    const uint8_t packet[4] = {0x52, 0x0D, 0x00, 0x00};
    EXPECT_EQ(UsbWritePacket(packet, 4), 0);
    uint8_t buffer[8];
    EXPECT_EQ(UsbReadPacket(10, sizeof buffer, buffer), -1);
    UsbClosePipes();  // harmless
    EXPECT_FALSE(UsbWritePipeOpen());
}

TEST_F(LoaderTest, OpenFailureLeavesBothPipesClosed) {
    int result = 0;
    LoadCapturingStdout(FAKE_COMPLETE, &result);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(UsbOpenPipes(), 0);
    EXPECT_FALSE(UsbWritePipeOpen());
}

}  // namespace

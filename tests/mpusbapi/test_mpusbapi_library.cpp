// libmpusbapi.so as the program sees it: loaded at run time, entry points by name, on a
// machine with no board (tests/usbboard/ has emulated ones): what needs a board fails cleanly.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <set>
#include <string>
#include <thread>

#include "tests/support/MpusbLibrary.h"

namespace {

constexpr const char* kSelector = "vid_04d8&pid_000c";
constexpr const char* kEndpoint = "\\MCHP_EP1";

TEST(MpusbLibraryFile, ExportsExactlyTheSevenEntryPoints) {
    std::set<std::string> names;
    std::FILE* nm = popen((std::string("nm -D --defined-only ") + VR_MPUSBAPI_PATH).c_str(), "r");
    ASSERT_NE(nm, nullptr);
    char name[256];
    while (std::fscanf(nm, "%*s %*c %255s", name) == 1) names.insert(name);
    EXPECT_EQ(pclose(nm), 0);
    EXPECT_EQ(names, (std::set<std::string>{"_MPUSBGetDLLVersion", "_MPUSBGetDeviceCount", "_MPUSBOpen",
                                            "_MPUSBWrite", "_MPUSBRead", "_MPUSBReadInt", "_MPUSBClose"}));
}

class NoBoard : public ::testing::Test, public MpusbLibrary {
protected:
    void SetUp() override { ASSERT_TRUE(Loaded()); }
};

TEST_F(NoBoard, HandlesItDidNotGiveOutAreRefusedNotFollowed) {
    int local = 0;
    uint8_t packet[268] = {0xA0};
    for (void* handle : {(void*)nullptr, MPUSB_INVALID_HANDLE, (void*)&local, (void*)0x1234}) {
        uint32_t moved[3] = {1, 1, 1};
        EXPECT_EQ(write(handle, packet, sizeof packet, &moved[0], 500) +
                      read(handle, packet, sizeof packet, &moved[1], 100) + readInt(handle, packet, 64, &moved[2], 100),
                  0u) << handle;
        EXPECT_TRUE(moved[0] == 0 && moved[1] == 0 && moved[2] == 0) << handle;
        // Optional out-counts and empty buffers are not dereferenced.
        EXPECT_EQ(write(handle, packet, 4, nullptr, 500) + read(handle, nullptr, 64, nullptr, 100), 0u);
        EXPECT_EQ(close(handle) + close(handle), 0u) << handle;
    }
    EXPECT_TRUE(packet[0] == 0xA0 && local == 0);
}

TEST_F(NoBoard, UiThreadAndWorkerCallConcurrently) {
    // A fresh process: the first calls race to create the USB context.
    std::atomic<int> wrong{0};
    auto caller = [this, &wrong](uint32_t direction) {
        uint8_t buffer[268] = {};
        for (int i = 0; i < 200; ++i) {
            void* handle = open(0, kSelector, kEndpoint, direction, 0);
            uint32_t moved = 1;
            wrong += count(kSelector) != 0 || handle != MPUSB_INVALID_HANDLE ||
                     read(handle, buffer, sizeof buffer, &moved, 1) != 0 || moved != 0 || close(handle) != 0;
        }
    };
    std::thread worker(caller, 1u);
    caller(0u);
    worker.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace

// libmpusbapi.so as the program sees it: loaded at run time, entry points by name. This
// machine has no board, so everything that needs one must fail cleanly.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include "mpusbapi/mpusbapi.h"

namespace {

constexpr const char* kSelector = "vid_04d8&pid_000c";
constexpr const char* kEndpoint = "\\MCHP_EP1";

// Defined global symbols of the dynamic symbol table of an ELF file of this machine's class.
std::set<std::string> ExportedSymbols(const char* path) {
    std::ifstream file(path, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto at = [&](uint64_t offset, auto& out) {
        const bool inside = offset + sizeof out <= image.size();
        if (inside) std::memcpy(&out, image.data() + offset, sizeof out);
        return inside;
    };
    std::set<std::string> names;
    ElfW(Ehdr) header{};
    if (!at(0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) return names;
    for (size_t i = 0; i < header.e_shnum; ++i) {
        ElfW(Shdr) symbols{}, strings{};
        if (!at(header.e_shoff + i * sizeof symbols, symbols) || symbols.sh_type != SHT_DYNSYM ||
            !at(header.e_shoff + symbols.sh_link * sizeof strings, strings))
            continue;
        for (uint64_t k = 0; k < symbols.sh_size / sizeof(ElfW(Sym)); ++k) {
            ElfW(Sym) sym{};
            if (at(symbols.sh_offset + k * sizeof sym, sym) && sym.st_shndx != SHN_UNDEF &&
                ELF64_ST_BIND(sym.st_info) != STB_LOCAL && sym.st_name < strings.sh_size &&
                strings.sh_offset + strings.sh_size <= image.size())
                names.insert(image.c_str() + strings.sh_offset + sym.st_name);
        }
    }
    return names;
}

TEST(MpusbLibraryFile, ExportsExactlyTheSevenEntryPoints) {
    const std::set<std::string> expected = {"_MPUSBGetDLLVersion", "_MPUSBGetDeviceCount", "_MPUSBOpen",
                                            "_MPUSBWrite", "_MPUSBRead", "_MPUSBReadInt", "_MPUSBClose"};
    EXPECT_EQ(ExportedSymbols(VR_MPUSBAPI_PATH), expected);
}

class MpusbLibrary : public ::testing::Test {
protected:
    void SetUp() override { Load(); }
    void TearDown() override {
        if (library_) dlclose(library_);
    }
    void Load() {
        library_ = dlopen(VR_MPUSBAPI_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        ASSERT_TRUE(Get("_MPUSBGetDeviceCount", count) && Get("_MPUSBOpen", open) &&
                    Get("_MPUSBWrite", write) && Get("_MPUSBRead", read) &&
                    Get("_MPUSBReadInt", readInt) && Get("_MPUSBClose", close));
    }
    template <class F>
    bool Get(const char* name, F& out) {
        out = reinterpret_cast<F>(dlsym(library_, name));
        return out != nullptr;
    }

    void* library_ = nullptr;
    decltype(&_MPUSBGetDeviceCount) count = nullptr;
    decltype(&_MPUSBOpen) open = nullptr;
    decltype(&_MPUSBWrite) write = nullptr;
    decltype(&_MPUSBRead) read = nullptr, readInt = nullptr;
    decltype(&_MPUSBClose) close = nullptr;
};

TEST_F(MpusbLibrary, WithNoBoardNothingCountsAndNothingOpens) {
    const char* selectors[] = {kSelector, "VID_04D8&PID_000C", "vid_04d8", "", nullptr};
    for (const char* selector : selectors) EXPECT_EQ(count(selector), 0u) << (selector ? selector : "(null)");
    // Every open fails without a board; the NULLs among the arguments must not be followed.
    const struct { uint32_t index; const char* selector; const char* endpoint; uint32_t direction; } cases[] = {
        {0, kSelector, kEndpoint, 0}, {0, kSelector, kEndpoint, 1}, {0xFFFFFFFFu, kSelector, kEndpoint, 1},
        {0, nullptr, kEndpoint, 0},   {0, kSelector, nullptr, 0},   {0, kSelector, "\\MCHP_EP0", 1},
        {0, kSelector, kEndpoint, 2}, {0, "not a selector", kEndpoint, 1}};
    for (const auto& c : cases) {
        void* handle = open(c.index, c.selector, c.endpoint, c.direction, 0);
        EXPECT_EQ(handle, MPUSB_INVALID_HANDLE) << c.index << " " << c.direction;
        EXPECT_EQ(close(handle), 0u) << "the program closes both pipes after a failed open";
    }
}

TEST_F(MpusbLibrary, HandlesItDidNotGiveOutAreRefusedNotFollowed) {
    int local = 0;
    uint8_t packet[268] = {0xA0};
    void* const handles[] = {nullptr, MPUSB_INVALID_HANDLE, &local, reinterpret_cast<void*>(0x1234)};
    for (void* handle : handles) {
        uint32_t moved[3] = {1, 1, 1};
        EXPECT_EQ(write(handle, packet, sizeof packet, &moved[0], 500), 0u);
        EXPECT_EQ(read(handle, packet, sizeof packet, &moved[1], 100), 0u);
        EXPECT_EQ(readInt(handle, packet, 64, &moved[2], 100), 0u);
        EXPECT_TRUE(moved[0] == 0 && moved[1] == 0 && moved[2] == 0) << handle;
        // Optional out-counts and empty buffers are not dereferenced.
        EXPECT_EQ(write(handle, packet, 4, nullptr, 500) + read(handle, nullptr, 64, nullptr, 100), 0u);
        EXPECT_EQ(close(handle) + close(handle), 0u) << handle;
    }
    EXPECT_TRUE(packet[0] == 0xA0 && local == 0);
}

TEST_F(MpusbLibrary, SurvivesUnloadAndReload) {
    // The program frees the library when its window goes and may load it again.
    EXPECT_EQ(count(kSelector), 0u);
    ASSERT_EQ(dlclose(library_), 0);
    Load();
    EXPECT_EQ(count(kSelector), 0u);
    EXPECT_EQ(open(0, kSelector, kEndpoint, 0, 0), MPUSB_INVALID_HANDLE);
}

TEST_F(MpusbLibrary, UiThreadAndWorkerCallConcurrently) {
    // Each test runs in a fresh process, so the first calls here race to create the USB
    // context; every call must still fail cleanly.
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

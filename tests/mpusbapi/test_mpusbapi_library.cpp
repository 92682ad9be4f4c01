// libmpusbapi.so as the program sees it: loaded at run time, entry points by name. This
// machine has no board, so everything that needs one must fail cleanly.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "mpusbapi/mpusbapi.h"

namespace {

constexpr const char* kBoardSelector = "vid_04d8&pid_000c";
constexpr const char* kBoardEndpoint = "\\MCHP_EP1";

struct EntryPoints {
    decltype(&_MPUSBGetDLLVersion) version = nullptr;
    decltype(&_MPUSBGetDeviceCount) count = nullptr;
    decltype(&_MPUSBOpen) open = nullptr;
    decltype(&_MPUSBWrite) write = nullptr;
    decltype(&_MPUSBRead) read = nullptr;
    decltype(&_MPUSBReadInt) readInt = nullptr;
    decltype(&_MPUSBClose) close = nullptr;
};

// Names of the defined global symbols in the dynamic symbol table of an ELF file of this
// machine's class; empty when the file cannot be read as one.
std::set<std::string> ExportedSymbols(const char* path) {
    std::ifstream file(path, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    ElfW(Ehdr) header{};
    if (image.size() < sizeof header) return names;
    std::memcpy(&header, image.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_shentsize != sizeof(ElfW(Shdr)) ||
        header.e_shoff + uint64_t{header.e_shnum} * sizeof(ElfW(Shdr)) > image.size())
        return names;
    auto section = [&](size_t i) {
        ElfW(Shdr) s{};
        std::memcpy(&s, image.data() + header.e_shoff + i * sizeof s, sizeof s);
        return s;
    };
    for (size_t i = 0; i < header.e_shnum; ++i) {
        const ElfW(Shdr) symbols = section(i);
        if (symbols.sh_type != SHT_DYNSYM || symbols.sh_link >= header.e_shnum) continue;
        const ElfW(Shdr) strings = section(symbols.sh_link);
        if (symbols.sh_offset + symbols.sh_size > image.size() ||
            strings.sh_offset + strings.sh_size > image.size())
            return names;
        for (size_t k = 0; k < symbols.sh_size / sizeof(ElfW(Sym)); ++k) {
            ElfW(Sym) sym{};
            std::memcpy(&sym, image.data() + symbols.sh_offset + k * sizeof sym, sizeof sym);
            const unsigned binding = ELF64_ST_BIND(sym.st_info);
            if (sym.st_shndx == SHN_UNDEF || binding == STB_LOCAL || sym.st_name >= strings.sh_size)
                continue;
            names.insert(image.c_str() + strings.sh_offset + sym.st_name);
        }
    }
    return names;
}

template <class F>
void Fetch(void* library, const char* name, F& out) {
    out = reinterpret_cast<F>(dlsym(library, name));
}

class MpusbLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = dlopen(VR_MPUSBAPI_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        Fetch(library_, "_MPUSBGetDLLVersion", api_.version);
        Fetch(library_, "_MPUSBGetDeviceCount", api_.count);
        Fetch(library_, "_MPUSBOpen", api_.open);
        Fetch(library_, "_MPUSBWrite", api_.write);
        Fetch(library_, "_MPUSBRead", api_.read);
        Fetch(library_, "_MPUSBReadInt", api_.readInt);
        Fetch(library_, "_MPUSBClose", api_.close);
        ASSERT_TRUE(api_.version && api_.count && api_.open && api_.write && api_.read &&
                    api_.readInt && api_.close);
    }
    void TearDown() override {
        if (library_ != nullptr) dlclose(library_);
    }

    void* library_ = nullptr;
    EntryPoints api_;
};

TEST(MpusbLibraryFile, ExportsExactlyTheSevenEntryPoints) {
    const std::set<std::string> expected = {"_MPUSBGetDLLVersion", "_MPUSBGetDeviceCount",
                                            "_MPUSBOpen",          "_MPUSBWrite",
                                            "_MPUSBRead",          "_MPUSBReadInt",
                                            "_MPUSBClose"};
    EXPECT_EQ(ExportedSymbols(VR_MPUSBAPI_PATH), expected);
}

TEST_F(MpusbLibrary, MalformedSelectorsCountNoDevices) {
    const char* selectors[] = {nullptr, "", "vid_04d8", "vid_04d8&pid_", "garbage",
                               "vid_04d8&pid_000c&mi_00", "pid_000c&vid_04d8"};
    for (const char* selector : selectors) {
        SCOPED_TRACE(selector ? selector : "(null)");
        EXPECT_EQ(api_.count(selector), 0u);
    }
}

TEST_F(MpusbLibrary, WithNoBoardAttachedNothingOpens) {
    EXPECT_EQ(api_.count(kBoardSelector), 0u);
    EXPECT_EQ(api_.count("VID_04D8&PID_000C"), 0u);
    EXPECT_EQ(api_.open(0, kBoardSelector, kBoardEndpoint, 0, 0), MPUSB_INVALID_HANDLE);
    EXPECT_EQ(api_.open(0, kBoardSelector, kBoardEndpoint, 1, 0), MPUSB_INVALID_HANDLE);
}

TEST_F(MpusbLibrary, OpenRefusesEveryBadArgument) {
    // Index "count" is past the last device whether or not boards are attached.
    const uint32_t past = api_.count(kBoardSelector);
    const struct {
        const char* what;
        uint32_t index;
        const char* selector;
        const char* endpoint;
        uint32_t direction;
    } cases[] = {
        {"index past the last device", past, kBoardSelector, kBoardEndpoint, 0},
        {"huge index", 0xFFFFFFFFu, kBoardSelector, kBoardEndpoint, 1},
        {"null selector", 0, nullptr, kBoardEndpoint, 0},
        {"pid missing", 0, "vid_04d8", kBoardEndpoint, 0},
        {"garbage selector", 0, "not a selector", kBoardEndpoint, 1},
        {"null endpoint", 0, kBoardSelector, nullptr, 0},
        {"endpoint 0", 0, kBoardSelector, "\\MCHP_EP0", 0},
        {"endpoint without number", 0, kBoardSelector, "\\MCHP_EP", 1},
        {"foreign endpoint name", 0, kBoardSelector, "EP1", 1},
        {"direction 2", 0, kBoardSelector, kBoardEndpoint, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        void* handle = api_.open(c.index, c.selector, c.endpoint, c.direction, 0);
        EXPECT_EQ(handle, MPUSB_INVALID_HANDLE);
        // The program closes both pipes after a failed open, invalid ones included.
        EXPECT_EQ(api_.close(handle), 0u);
    }
}

TEST_F(MpusbLibrary, CloseOfHandlesItDidNotGiveOutIsHarmless) {
    int local = 0;
    void* handles[] = {nullptr, MPUSB_INVALID_HANDLE, &local, reinterpret_cast<void*>(1),
                       reinterpret_cast<void*>(0x1234)};
    for (void* handle : handles) {
        EXPECT_EQ(api_.close(handle), 0u);
        EXPECT_EQ(api_.close(handle), 0u);  // and again
    }
    EXPECT_EQ(local, 0);
}

TEST_F(MpusbLibrary, TransfersOnUnknownHandlesFailAndReportNothingMoved) {
    int local = 0;
    void* handles[] = {nullptr, MPUSB_INVALID_HANDLE, &local};
    uint8_t packet[268] = {0xA0};
    for (void* handle : handles) {
        uint32_t moved = 0xDEADBEEF;
        EXPECT_EQ(api_.write(handle, packet, sizeof packet, &moved, 500), 0u);
        EXPECT_EQ(moved, 0u);
        moved = 0xDEADBEEF;
        EXPECT_EQ(api_.read(handle, packet, sizeof packet, &moved, 100), 0u);
        EXPECT_EQ(moved, 0u);
        moved = 0xDEADBEEF;
        EXPECT_EQ(api_.readInt(handle, packet, 64, &moved, 100), 0u);
        EXPECT_EQ(moved, 0u);
        // Optional out-counts and empty buffers are not dereferenced.
        EXPECT_EQ(api_.write(handle, packet, 4, nullptr, 500), 0u);
        EXPECT_EQ(api_.read(handle, nullptr, 64, nullptr, 100), 0u);
        EXPECT_EQ(api_.read(handle, packet, 0, nullptr, 100), 0u);
    }
    EXPECT_EQ(packet[0], 0xA0);
    EXPECT_EQ(local, 0);
}

TEST_F(MpusbLibrary, SurvivesUnloadAndReload) {
    // The program frees the library when its window goes and may load it again.
    EXPECT_EQ(api_.count(kBoardSelector), 0u);
    ASSERT_EQ(dlclose(library_), 0);
    library_ = dlopen(VR_MPUSBAPI_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    Fetch(library_, "_MPUSBGetDeviceCount", api_.count);
    Fetch(library_, "_MPUSBOpen", api_.open);
    ASSERT_TRUE(api_.count && api_.open);
    EXPECT_EQ(api_.count(kBoardSelector), 0u);
    EXPECT_EQ(api_.open(0, kBoardSelector, kBoardEndpoint, 0, 0), MPUSB_INVALID_HANDLE);
}

TEST_F(MpusbLibrary, UiThreadAndWorkerCallConcurrently) {
    // Each test runs in a fresh process, so the first calls here race to create the USB
    // context; every call must still fail cleanly.
    std::atomic<int> wrong{0};
    auto caller = [this, &wrong](uint32_t direction) {
        uint8_t buffer[268] = {};
        for (int i = 0; i < 200; ++i) {
            if (api_.count(kBoardSelector) != 0) ++wrong;
            void* handle = api_.open(0, kBoardSelector, kBoardEndpoint, direction, 0);
            if (handle != MPUSB_INVALID_HANDLE) ++wrong;
            uint32_t moved = 1;
            if (api_.read(handle, buffer, sizeof buffer, &moved, 1) != 0 || moved != 0) ++wrong;
            if (api_.close(handle) != 0) ++wrong;
        }
    };
    std::thread worker(caller, 1u);
    caller(0u);
    worker.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace

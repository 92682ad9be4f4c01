// Name parsing, read sizing, result mapping and the handle registry of libmpusbapi.so.
#include <gtest/gtest.h>

#include <libusb.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "mpusbapi/HandleRegistry.h"
#include "mpusbapi/Names.h"
#include "mpusbapi/Transfer.h"

namespace {

TEST(MpusbNames, SelectorIsExactlyVidAndPidInFourHexDigitsEach) {
    const struct { const char* text; bool valid; uint16_t vendor, product; } cases[] = {
        {"vid_04d8&pid_000c", true, 0x04D8, 0x000C},
        {"Vid_04D8&pId_000C", true, 0x04D8, 0x000C},
        {"vid_ffff&pid_abcd", true, 0xFFFF, 0xABCD},
        {"vid_04d8", false, 0, 0},
        {"vid_04d8&pid_000", false, 0, 0},
        {"vid_04d8&pid_000c0", false, 0, 0},
        {"vid_04d8&pid_000c ", false, 0, 0},
        {"vid_04g8&pid_000c", false, 0, 0},
        {"vid_0x4d&pid_000c", false, 0, 0},
        {"pid_000c&vid_04d8", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const auto& c : cases) {
        const auto id = mpusb::ParseSelector(c.text);
        ASSERT_EQ(id.has_value(), c.valid) << c.text;
        if (id) {
            EXPECT_TRUE(id->vendor == c.vendor && id->product == c.product) << c.text;
        }
    }
    EXPECT_FALSE(mpusb::ParseSelector(nullptr));
}

TEST(MpusbNames, EndpointNameGivesNumbersOneToFifteenAndDirectionTheAddress) {
    const struct { const char* text; int number; } cases[] = {  // -1: refused
        {"\\MCHP_EP1", 1},   {"\\mchp_ep9", 9},    {"\\MCHP_EP10", 10},  {"\\MCHP_EP15", 15},
        {"\\MCHP_EP0", -1},  {"\\MCHP_EP16", -1},  {"\\MCHP_EP001", -1}, {"\\MCHP_EP", -1},
        {"MCHP_EP1", -1},    {"\\MCHP_EP1 ", -1},  {"\\MCHP_EP+1", -1},  {"\\MCHP_EP-1", -1},
        {"\\\\MCHP_EP1", -1}, {"", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mpusb::ParseEndpointName(c.text).value_or(0xFF), c.number < 0 ? 0xFF : c.number) << c.text;
    EXPECT_FALSE(mpusb::ParseEndpointName(nullptr));

    // The board's one name "\MCHP_EP1" gives its pair OUT 0x01 / IN 0x81.
    EXPECT_EQ(mpusb::EndpointAddress(1, 0), std::optional<uint8_t>(0x01));
    EXPECT_EQ(mpusb::EndpointAddress(15, 1), std::optional<uint8_t>(0x8F));
    for (uint32_t direction : {2u, 0xFFFFFFFFu}) EXPECT_FALSE(mpusb::EndpointAddress(1, direction));
    EXPECT_FALSE(mpusb::EndpointAddress(0, 0));
    EXPECT_FALSE(mpusb::EndpointAddress(16, 1));
}

TEST(MpusbTransfer, ReadsAskForWholePacketsAndNeverForever) {
    for (uint16_t packet : {8, 64, 512, 1024}) {
        for (uint32_t length : {1u, 63u, 64u, 65u, 268u, 511u, 512u, 513u}) {
            const uint32_t size = mpusb::ReadBufferSize(length, packet);
            EXPECT_TRUE(size >= length && size % packet == 0 && size - length < packet)
                << length << " in packets of " << packet << ": " << size;
        }
    }
    EXPECT_EQ(mpusb::ReadBufferSize(0, 64), 0u);
    EXPECT_EQ(mpusb::ReadBufferSize(100, 0), 100u);  // broken descriptor: no rounding
    // Huge requests neither overflow the rounding nor allocate gigabytes.
    for (uint32_t length : {mpusb::kMaxReadBytes + 1, 0xFFFFFFFFu}) {
        EXPECT_EQ(mpusb::ReadBufferSize(length, 64), mpusb::kMaxReadBytes);
        EXPECT_LE(mpusb::ReadBufferSize(length, 0), mpusb::kMaxReadBytes);
    }
    EXPECT_NE(mpusb::EffectiveTimeout(0), 0u);
    EXPECT_EQ(mpusb::EffectiveTimeout(1500), 1500u);
}

TEST(MpusbTransfer, OnlyCompleteWritesAndReadsThatBroughtDataSucceed) {
    const struct { int result, transferred; uint32_t length; bool write, ok; } cases[] = {
        {LIBUSB_SUCCESS, 0, 64, false, true},  // a zero-length reply arrived
        {LIBUSB_ERROR_TIMEOUT, 0, 64, false, false},
        {LIBUSB_ERROR_TIMEOUT, 64, 64, false, true},  // full last packet, no short one after it
        {LIBUSB_ERROR_OVERFLOW, 64, 64, false, false},
        {LIBUSB_ERROR_IO, 12, 64, false, false},
        {LIBUSB_SUCCESS, 268, 268, true, true},
        {LIBUSB_SUCCESS, 64, 268, true, false},  // a short write is not success
        {LIBUSB_ERROR_TIMEOUT, 268, 268, true, false},
        {LIBUSB_ERROR_NO_DEVICE, 0, 4, true, false},
    };
    for (const auto& c : cases) {
        const bool ok = c.write ? mpusb::WriteSucceeded(c.result, c.transferred, c.length)
                                : mpusb::ReadSucceeded(c.result, c.transferred);
        EXPECT_EQ(ok, c.ok) << (c.write ? "write " : "read ") << libusb_error_name(c.result) << " / "
                            << c.transferred;
    }
}

void* const kInvalid = reinterpret_cast<void*>(~uintptr_t{0});

TEST(MpusbHandleRegistry, HandlesAreNeverReusedSoStaleAndForeignOnesFindNothing) {
    // Start just below the wrap: the counter must step over all-ones and zero.
    mpusb::HandleRegistry<int> registry(~uintptr_t{0} - 2);
    std::set<void*> seen;
    int local = 0;
    std::vector<void*> dead = {nullptr, kInvalid, &local};
    for (int i = 0; i < 6; ++i) {
        void* h = registry.Add(std::make_shared<int>(i));
        EXPECT_TRUE(h != nullptr && h != kInvalid && seen.insert(h).second) << h;
        EXPECT_EQ(*registry.Find(h), i);
        if (i % 2 != 0) continue;
        EXPECT_EQ(*registry.Remove(h), i);
        dead.push_back(h);
    }
    // Closed twice, used after close, or never given out.
    for (void* h : dead) EXPECT_TRUE(!registry.Find(h) && !registry.Remove(h)) << h;
    EXPECT_EQ(registry.Size(), 3u);
    EXPECT_EQ(registry.RemoveAll().size(), 3u) << "unloading takes every pipe";
    EXPECT_EQ(registry.Size(), 0u);
}

TEST(MpusbHandleRegistry, PipeFoundBeforeCloseOutlivesTheClose) {
    // A transfer in flight holds its pipe; closing in another thread must not free it.
    mpusb::HandleRegistry<int> registry;
    void* h = registry.Add(std::make_shared<int>(7));
    std::shared_ptr<int> inFlight = registry.Find(h);
    ASSERT_NE(registry.Remove(h), nullptr);
    EXPECT_EQ(inFlight.use_count(), 1);
    EXPECT_EQ(*inFlight, 7);
}

}  // namespace

// Name parsing, read sizing, result mapping and the handle registry of libmpusbapi.so.
#include <gtest/gtest.h>

#include <libusb.h>

#include <set>

#include "mpusbapi/HandleRegistry.h"
#include "mpusbapi/Names.h"
#include "mpusbapi/Transfer.h"

namespace {

TEST(MpusbNames, SelectorIsExactlyVidAndPidInFourHexDigitsEach) {
    const struct { const char* text; uint32_t id; } cases[] = {  // vendor << 16 | product; 0: refused
        {"vid_04d8&pid_000c", 0x04D8000C}, {"Vid_04D8&pId_000C", 0x04D8000C}, {"vid_ffff&pid_abcd", 0xFFFFABCD},
        {"vid_04d8", 0}, {"vid_04d8&pid_000", 0}, {"vid_04d8&pid_000c ", 0}, {"vid_04g8&pid_000c", 0},
        {"vid_0x4d&pid_000c", 0}, {"pid_000c&vid_04d8", 0}, {"", 0},
    };
    for (const auto& c : cases) {
        const auto id = mpusb::ParseSelector(c.text);
        EXPECT_EQ(id ? uint32_t(id->vendor) << 16 | id->product : 0u, c.id) << c.text;
    }
    EXPECT_FALSE(mpusb::ParseSelector(nullptr));
}

TEST(MpusbNames, EndpointNameGivesNumbersOneToFifteenAndDirectionTheAddress) {
    const struct { const char* text; int number; } cases[] = {  // -1: refused
        {"\\MCHP_EP1", 1},   {"\\mchp_ep9", 9},    {"\\MCHP_EP10", 10},  {"\\MCHP_EP15", 15},
        {"\\MCHP_EP0", -1},  {"\\MCHP_EP16", -1},  {"\\MCHP_EP001", -1}, {"\\MCHP_EP", -1},
        {"MCHP_EP1", -1},    {"\\MCHP_EP1 ", -1},  {"\\MCHP_EP+1", -1},  {"\\\\MCHP_EP1", -1}, {"", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mpusb::ParseEndpointName(c.text).value_or(0xFF), c.number < 0 ? 0xFF : c.number) << c.text;
    EXPECT_FALSE(mpusb::ParseEndpointName(nullptr));
    EXPECT_EQ(mpusb::EndpointAddress(1, 0), std::optional<uint8_t>(0x01));
    EXPECT_EQ(mpusb::EndpointAddress(15, 1), std::optional<uint8_t>(0x8F));
    EXPECT_FALSE(mpusb::EndpointAddress(1, 2) || mpusb::EndpointAddress(1, 0xFFFFFFFFu));
    EXPECT_FALSE(mpusb::EndpointAddress(0, 0) || mpusb::EndpointAddress(16, 1));
}

TEST(MpusbTransfer, ReadsAskForWholePacketsAndNeverForever) {
    for (uint16_t packet : {8, 64, 512})
        for (uint32_t length : {1u, 63u, 64u, 65u, 268u, 513u}) {
            const uint32_t size = mpusb::ReadBufferSize(length, packet);
            EXPECT_TRUE(size >= length && size % packet == 0 && size - length < packet) << length << " / " << packet;
        }
    EXPECT_EQ(mpusb::ReadBufferSize(100, 0), 100u);  // broken descriptor: no rounding
    for (uint32_t length : {mpusb::kMaxReadBytes + 1, 0xFFFFFFFFu})  // no overflow, no gigabytes
        EXPECT_TRUE(mpusb::ReadBufferSize(length, 64) == mpusb::kMaxReadBytes &&
                    mpusb::ReadBufferSize(length, 0) <= mpusb::kMaxReadBytes);
    EXPECT_NE(mpusb::EffectiveTimeout(0), 0u);
}

TEST(MpusbTransfer, OnlyCompleteWritesAndReadsThatBroughtDataSucceed) {
    const struct { int result, transferred; uint32_t length; bool write, ok; } cases[] = {
        // A zero-length reply arrived; a time-out after part of a reply is no reply.
        {LIBUSB_SUCCESS, 0, 64, false, true},  {LIBUSB_ERROR_TIMEOUT, 0, 64, false, false},
        {LIBUSB_ERROR_TIMEOUT, 64, 64, false, false}, {LIBUSB_ERROR_OVERFLOW, 64, 64, false, false},
        // A short write is not success.
        {LIBUSB_SUCCESS, 268, 268, true, true}, {LIBUSB_SUCCESS, 64, 268, true, false},
        {LIBUSB_ERROR_TIMEOUT, 268, 268, true, false},
    };
    for (const auto& c : cases) {
        const bool ok = c.write ? mpusb::WriteSucceeded(c.result, c.transferred, c.length)
                                : mpusb::ReadSucceeded(c.result, c.transferred);
        EXPECT_EQ(ok, c.ok) << libusb_error_name(c.result) << " / " << c.transferred;
    }
    // Only a buffer filled beyond what the caller asked for can hide more of the reply.
    const struct { int transferred; uint32_t buffer, max; bool more; } rests[] = {
        {64, 64, 60, true}, {64, 64, 64, false}, {60, 64, 40, false}, {0, 64, 60, false}, {320, 320, 268, true}};
    for (const auto& r : rests)
        EXPECT_EQ(mpusb::RestMayFollow(r.transferred, r.buffer, r.max), r.more) << r.transferred << " of " << r.buffer;
}

TEST(MpusbHandleRegistry, HandlesAreNeverReusedAndAPipeFoundOutlivesItsClose) {
    // Start just below the wrap: the counter must step over all-ones and zero.
    mpusb::HandleRegistry<int> registry(~uintptr_t{0} - 2);
    std::set<void*> seen;
    int local = 0;
    std::vector<void*> dead = {nullptr, reinterpret_cast<void*>(~uintptr_t{0}), &local};
    for (int i = 0; i < 6; ++i) {
        void* h = registry.Add(std::make_shared<int>(i));
        EXPECT_TRUE(h != nullptr && h != dead[1] && seen.insert(h).second) << h;
        if (i % 2 == 0) {
            const std::shared_ptr<int> inFlight = registry.Find(h);  // a transfer holds its pipe
            EXPECT_EQ(registry.Remove(h), inFlight);
            EXPECT_EQ(*inFlight, i);
            dead.push_back(h);
        }
    }
    // Closed twice, used after close, or never given out.
    for (void* h : dead) EXPECT_TRUE(!registry.Find(h) && !registry.Remove(h)) << h;
    EXPECT_EQ(registry.RemoveAll().size(), 3u) << "unloading takes every pipe";
    EXPECT_EQ(registry.Size(), 0u);
}

}  // namespace

// Name parsing, read sizing, result mapping and the handle registry of libmpusbapi.so.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include <libusb.h>

#include "mpusbapi/HandleRegistry.h"
#include "mpusbapi/Names.h"
#include "mpusbapi/Transfer.h"

namespace {

using mpusb::ParseEndpointName;
using mpusb::ParseSelector;

struct SelectorCase {
    const char* text;
    bool valid;
    uint16_t vendor;
    uint16_t product;
};

TEST(MpusbSelector, ParsesOnlyTheExactVidPidForm) {
    const SelectorCase cases[] = {
        {"vid_04d8&pid_000c", true, 0x04D8, 0x000C},
        {"VID_04D8&PID_000C", true, 0x04D8, 0x000C},
        {"Vid_04D8&pId_000c", true, 0x04D8, 0x000C},
        {"vid_ffff&pid_0000", true, 0xFFFF, 0x0000},
        {"vid_1234&pid_abcd", true, 0x1234, 0xABCD},
        {"vid_04d8", false, 0, 0},             // pid missing
        {"vid_04d8&", false, 0, 0},
        {"vid_04d8&pid_", false, 0, 0},
        {"vid_04d8&pid_000", false, 0, 0},     // three digits
        {"vid_4d8&pid_000c", false, 0, 0},
        {"vid_04d8&pid_000c0", false, 0, 0},   // five digits
        {"vid_04d8&pid_000c ", false, 0, 0},
        {" vid_04d8&pid_000c", false, 0, 0},
        {"vid_04g8&pid_000c", false, 0, 0},
        {"vid_04d8pid_000c", false, 0, 0},
        {"vid-04d8&pid-000c", false, 0, 0},
        {"pid_000c&vid_04d8", false, 0, 0},    // order matters
        {"vid_0x4d&pid_000c", false, 0, 0},
        {"garbage", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const SelectorCase& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<mpusb::UsbId> id = ParseSelector(c.text);
        ASSERT_EQ(id.has_value(), c.valid);
        if (!id) continue;
        EXPECT_EQ(id->vendor, c.vendor);
        EXPECT_EQ(id->product, c.product);
    }
    EXPECT_FALSE(ParseSelector(nullptr).has_value());
}

TEST(MpusbEndpoint, ParsesMchpEndpointNumbersOneToFifteen) {
    const struct {
        const char* text;
        int number;  // -1: refused
    } cases[] = {
        {"\\MCHP_EP1", 1},   {"\\MCHP_EP2", 2},    {"\\MCHP_EP9", 9},   {"\\MCHP_EP10", 10},
        {"\\MCHP_EP15", 15}, {"\\mchp_ep1", 1},    {"\\MCHP_EP0", -1},  {"\\MCHP_EP16", -1},
        {"\\MCHP_EP99", -1}, {"\\MCHP_EP001", -1}, {"\\MCHP_EP", -1},   {"MCHP_EP1", -1},
        {"/MCHP_EP1", -1},   {"\\MCHP_EP1x", -1},  {"\\MCHP_EP1 ", -1}, {"\\MCHP_EP-1", -1},
        {"\\MCHP_EP+1", -1}, {"\\MCHP-EP1", -1},   {"\\\\MCHP_EP1", -1}, {"", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<uint8_t> number = ParseEndpointName(c.text);
        if (c.number < 0) {
            EXPECT_FALSE(number.has_value());
        } else {
            ASSERT_TRUE(number.has_value());
            EXPECT_EQ(*number, c.number);
        }
    }
    EXPECT_FALSE(ParseEndpointName(nullptr).has_value());
}

TEST(MpusbEndpoint, DirectionChoosesOutOrInAddress) {
    // The board's one name "\MCHP_EP1" must give its pair 0x01 OUT / 0x81 IN.
    const std::optional<uint8_t> number = ParseEndpointName("\\MCHP_EP1");
    ASSERT_TRUE(number.has_value());
    EXPECT_EQ(mpusb::EndpointAddress(*number, 0), std::optional<uint8_t>(0x01));
    EXPECT_EQ(mpusb::EndpointAddress(*number, 1), std::optional<uint8_t>(0x81));

    for (uint8_t n = 1; n <= 15; ++n) {
        const std::optional<uint8_t> out = mpusb::EndpointAddress(n, 0);
        const std::optional<uint8_t> in = mpusb::EndpointAddress(n, 1);
        ASSERT_TRUE(out && in);
        EXPECT_EQ(*out & LIBUSB_ENDPOINT_DIR_MASK, LIBUSB_ENDPOINT_OUT);
        EXPECT_EQ(*in & LIBUSB_ENDPOINT_DIR_MASK, LIBUSB_ENDPOINT_IN);
        EXPECT_EQ(*out & LIBUSB_ENDPOINT_ADDRESS_MASK, n);
        EXPECT_EQ(*in & LIBUSB_ENDPOINT_ADDRESS_MASK, n);
    }
    EXPECT_FALSE(mpusb::EndpointAddress(1, 2).has_value());
    EXPECT_FALSE(mpusb::EndpointAddress(1, 0xFFFFFFFFu).has_value());
    EXPECT_FALSE(mpusb::EndpointAddress(0, 0).has_value());
    EXPECT_FALSE(mpusb::EndpointAddress(16, 1).has_value());
}

TEST(MpusbReadSize, WholePacketsCoverTheRequest) {
    // The lengths the program reads with, on full- and high-speed packet sizes.
    const uint32_t lengths[] = {1, 3, 6, 63, 64, 65, 127, 128, 264, 268, 511, 512, 513, 4096};
    const uint16_t packets[] = {8, 64, 512, 1023, 1024};
    for (uint16_t packet : packets) {
        for (uint32_t length : lengths) {
            SCOPED_TRACE(std::to_string(length) + " in packets of " + std::to_string(packet));
            const uint32_t size = mpusb::ReadBufferSize(length, packet);
            EXPECT_GE(size, length);
            EXPECT_EQ(size % packet, 0u);
            EXPECT_LT(size - length, packet);  // no more than one partial packet added
        }
    }
}

TEST(MpusbReadSize, EdgesOfTheSizing) {
    EXPECT_EQ(mpusb::ReadBufferSize(0, 64), 0u);
    EXPECT_EQ(mpusb::ReadBufferSize(100, 0), 100u);  // broken descriptor: no rounding
    // Huge requests neither overflow the rounding nor allocate gigabytes.
    for (uint32_t length : {mpusb::kMaxReadBytes + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        const uint32_t size = mpusb::ReadBufferSize(length, 64);
        EXPECT_GE(size, mpusb::kMaxReadBytes);
        EXPECT_LT(size, mpusb::kMaxReadBytes + 64);
        EXPECT_LE(mpusb::ReadBufferSize(length, 0), mpusb::kMaxReadBytes);
    }
}

TEST(MpusbTimeout, ZeroNeverMeansForever) {
    EXPECT_NE(mpusb::EffectiveTimeout(0), 0u);
    for (uint32_t ms : {1u, 100u, 500u, 1500u, 0xFFFFFFFFu}) EXPECT_EQ(mpusb::EffectiveTimeout(ms), ms);
}

TEST(MpusbResult, ReadSucceedsOnlyWithCompletionOrData) {
    const struct {
        int result;
        int transferred;
        bool ok;
    } cases[] = {
        {LIBUSB_SUCCESS, 64, true},
        {LIBUSB_SUCCESS, 0, true},  // a zero-length reply arrived: success with 0 bytes
        {LIBUSB_ERROR_TIMEOUT, 0, false},
        {LIBUSB_ERROR_TIMEOUT, 64, true},  // full last packet with no short packet after it
        {LIBUSB_ERROR_OVERFLOW, 64, false},
        {LIBUSB_ERROR_NO_DEVICE, 0, false},
        {LIBUSB_ERROR_PIPE, 0, false},
        {LIBUSB_ERROR_IO, 12, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(libusb_error_name(c.result)) + " / " + std::to_string(c.transferred));
        EXPECT_EQ(mpusb::ReadSucceeded(c.result, c.transferred), c.ok);
    }
}

TEST(MpusbResult, WriteSucceedsOnlyWhenEveryByteWentOut) {
    const struct {
        int result;
        int transferred;
        uint32_t length;
        bool ok;
    } cases[] = {
        {LIBUSB_SUCCESS, 268, 268, true},
        {LIBUSB_SUCCESS, 0, 0, true},
        {LIBUSB_SUCCESS, 64, 268, false},  // a short write is not success
        {LIBUSB_ERROR_TIMEOUT, 64, 268, false},
        {LIBUSB_ERROR_TIMEOUT, 0, 268, false},
        {LIBUSB_ERROR_NO_DEVICE, 0, 4, false},
        {LIBUSB_ERROR_PIPE, 0, 4, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(libusb_error_name(c.result)) + " / " + std::to_string(c.transferred));
        EXPECT_EQ(mpusb::WriteSucceeded(c.result, c.transferred, c.length), c.ok);
    }
}

struct FakePipe {
    int id;
};

void* const kInvalid = reinterpret_cast<void*>(~uintptr_t{0});

TEST(MpusbHandleRegistry, StaleAndForeignHandlesFindNothing) {
    mpusb::HandleRegistry<FakePipe> registry;
    void* a = registry.Add(std::make_shared<FakePipe>(FakePipe{1}));
    void* b = registry.Add(std::make_shared<FakePipe>(FakePipe{2}));
    ASSERT_NE(a, b);
    ASSERT_EQ(registry.Find(a)->id, 1);
    ASSERT_EQ(registry.Find(b)->id, 2);

    EXPECT_EQ(registry.Remove(a)->id, 1);
    EXPECT_EQ(registry.Remove(a), nullptr);  // closed twice
    EXPECT_EQ(registry.Find(a), nullptr);
    EXPECT_EQ(registry.Find(b)->id, 2);      // the other pipe is untouched

    // A new pipe never takes a closed pipe's handle, so a stale handle stays dead.
    std::set<void*> seen{a, b};
    for (int i = 0; i < 100; ++i) {
        void* h = registry.Add(std::make_shared<FakePipe>(FakePipe{10 + i}));
        EXPECT_TRUE(seen.insert(h).second);
        registry.Remove(h);
    }
    EXPECT_EQ(registry.Find(a), nullptr);

    int local = 0;
    for (void* foreign : {static_cast<void*>(nullptr), kInvalid, static_cast<void*>(&local)}) {
        EXPECT_EQ(registry.Find(foreign), nullptr);
        EXPECT_EQ(registry.Remove(foreign), nullptr);
    }
    EXPECT_EQ(registry.Size(), 1u);
}

TEST(MpusbHandleRegistry, NeverGivesOutNullOrTheInvalidHandle) {
    // Start just below the wrap: the counter must step over all-ones and zero.
    mpusb::HandleRegistry<FakePipe> registry(~uintptr_t{0} - 2);
    std::set<void*> seen;
    for (int i = 0; i < 6; ++i) {
        void* h = registry.Add(std::make_shared<FakePipe>(FakePipe{i}));
        EXPECT_NE(h, nullptr);
        EXPECT_NE(h, kInvalid);
        EXPECT_TRUE(seen.insert(h).second);
        EXPECT_EQ(registry.Find(h)->id, i);
    }
}

TEST(MpusbHandleRegistry, PipeFoundBeforeCloseOutlivesTheClose) {
    // A transfer in flight holds its pipe; closing in another thread must not free it.
    mpusb::HandleRegistry<FakePipe> registry;
    void* h = registry.Add(std::make_shared<FakePipe>(FakePipe{7}));
    std::shared_ptr<FakePipe> inFlight = registry.Find(h);
    std::weak_ptr<FakePipe> watch = inFlight;
    registry.Remove(h);
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(inFlight->id, 7);
    inFlight.reset();
    EXPECT_TRUE(watch.expired());

    // Unloading takes every pipe.
    void* x = registry.Add(std::make_shared<FakePipe>(FakePipe{8}));
    void* y = registry.Add(std::make_shared<FakePipe>(FakePipe{9}));
    EXPECT_EQ(registry.RemoveAll().size(), 2u);
    EXPECT_EQ(registry.Find(x), nullptr);
    EXPECT_EQ(registry.Find(y), nullptr);
    EXPECT_EQ(registry.Size(), 0u);
}

}  // namespace

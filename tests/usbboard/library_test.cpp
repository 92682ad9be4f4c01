// libmpusbapi.so as the program loads it, through libusb's Linux backend, against emulated
// boards that the simulated board's model answers for.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "testboard/Board.h"
#include "testboard/usb/EmulatedUsbBus.h"
#include "tests/support/MpusbLibrary.h"

namespace {

using testboard::Board;
using testboard::Bytes;
using testboard::EmulatedUsbBus;

constexpr const char* kSelector = "vid_04d8&pid_000c";
constexpr const char* kEndpoint = "\\MCHP_EP1";
const Bytes kVersion = {0x00};
const Bytes kPoll = {0xA0, 0x00, 0x04, 0x00};

bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done())
        if (std::chrono::steady_clock::now() > deadline) return false;
        else std::this_thread::yield();
    return true;
}

// n boards (chip IDs 0x51, 0x52) on an emulated bus, and the library loaded after them.
struct Rig {
    explicit Rig(size_t n, bool interrupt = false) {
        for (size_t i = 0; i < n; ++i) {
            boards[i].SetChip(static_cast<uint8_t>(0x51 + i), 0x20);
            bus.Plug(boards[i], interrupt);
        }
        library.emplace();
    }
    ~Rig() { library.reset(); }  // before the bus goes

    Board boards[2];
    EmulatedUsbBus bus;
    std::optional<MpusbLibrary> library;
};

class EmulatedBoards : public ::testing::Test {
protected:
    void Plug(size_t n, bool interrupt = false) {
        rig_.reset();
        rig_ = std::make_unique<Rig>(n, interrupt);
        ASSERT_TRUE(rig_->library->Loaded());
        library_ = &*rig_->library;
    }
    void* Open(uint32_t index, uint32_t direction, const char* endpoint = kEndpoint) {
        return library_->open(index, kSelector, endpoint, direction, 0);
    }
    Board& board(size_t n) { return rig_->boards[n]; }
    EmulatedUsbBus& bus() { return rig_->bus; }

    std::unique_ptr<Rig> rig_;
    MpusbLibrary* library_ = nullptr;
};

TEST_F(EmulatedBoards, DeviceCountFollowsTheBoardsPlugged) {
    for (size_t n = 0; n <= 2; ++n) {
        Plug(n);
        EXPECT_EQ(library_->count(kSelector), n);
        EXPECT_EQ(library_->count("VID_04D8&PID_000C"), n) << "either case";
        for (const char* malformed : {"vid_04d8&pid_000", "vid_04d8", "vid_04d8&pid_000d", "", (const char*)nullptr})
            EXPECT_EQ(library_->count(malformed), 0u) << (malformed ? malformed : "(null)");
    }
}

TEST_F(EmulatedBoards, BothPipesShareOneClaimReleasedWithTheLast) {
    Plug(1);
    void* write = Open(0, 0);
    void* read = Open(0, 1);
    ASSERT_TRUE(write != MPUSB_INVALID_HANDLE && read != MPUSB_INVALID_HANDLE);
    EXPECT_EQ(bus().Claims(0), 1u);
    for (void* refused : {Open(1, 0), Open(0, 1, "\\MCHP_EP2"), Open(0, 1, "\\MCHP_EP0"), Open(0, 1, nullptr), Open(0, 2)}) {
        EXPECT_EQ(refused, MPUSB_INVALID_HANDLE);
        EXPECT_EQ(library_->close(refused), 0u) << "the program closes both pipes after a failed open";
    }
    EXPECT_EQ(library_->close(write), 1u);
    EXPECT_EQ(bus().Releases(0), 0u) << "the read pipe still needs the interface";
    void* write2 = Open(0, 0);
    EXPECT_TRUE(library_->Write(write2, kVersion) && library_->Read(read, 64).first) << "opens again on the claim";
    EXPECT_EQ(library_->close(read), 1u);
    EXPECT_EQ(bus().Releases(0), 0u) << "the write pipe opened again";
    EXPECT_EQ(library_->close(read), 0u) << "a second close is refused";
    EXPECT_EQ(library_->close(write2), 1u);
    EXPECT_EQ(bus().Releases(0), 1u);
    EXPECT_EQ(bus().Claims(0), 1u);
}

TEST_F(EmulatedBoards, ExchangesOnBulkAndOnInterruptEndpoints) {
    for (bool interrupt : {false, true}) {
        SCOPED_TRACE(interrupt ? "interrupt" : "bulk");
        Plug(1, interrupt);
        void* write = Open(0, 0);
        void* read = Open(0, 1);
        ASSERT_TRUE(library_->Write(write, kVersion));
        const auto [ok, reply] = library_->Read(read, 64);
        ASSERT_TRUE(ok && reply.size() == 64);
        EXPECT_TRUE(reply[4] == 0x51 && reply[5] == 0x20);
        EXPECT_EQ(bus().LastTransferType(0), interrupt ? 1 : 3);
        ASSERT_TRUE(library_->Write(write, kVersion));
        EXPECT_EQ(library_->Read(read, 5, 1500, true), std::make_pair(true, Bytes(reply.begin(), reply.begin() + 5)));
        // Each pipe works in its own direction only.
        EXPECT_FALSE(library_->Write(read, kVersion) || library_->Read(write, 64, 50).first);
        EXPECT_EQ(library_->close(write) + library_->close(read), 2u);
    }
}

// What a read returns when the reply is missing, late, cut or too long, and what the next
// read of the same pipe then finds: the same as the simulated board.
TEST_F(EmulatedBoards, RepliesThatDoNotFitTheirReadAndWhatTheNextReadFinds) {
    Plug(1);
    Bytes poll(150);
    for (size_t i = 0; i < poll.size(); ++i) poll[i] = static_cast<uint8_t>(i);
    // next: what the next read finds, empty for nothing.
    const struct { const char* name; std::function<void(Board&)> arm; bool request; uint32_t maxLength, timeoutMs; bool ok;
                   Bytes got, next; } cases[] = {
        {"no reply fails after its time-out with nothing", [](Board&) {}, false, 268, 50, false, {}, {}},
        {"longer than asked: cut, the rest dropped", [](Board&) {}, true, 60, 1500, true,
         Bytes(poll.begin(), poll.begin() + 60), {}},
        {"time-out after part of a reply: no reply", [](Board& b) { b.SplitNextReply(64); }, true, 268, 50, false,
         Bytes(poll.begin(), poll.begin() + 64), Bytes(poll.begin() + 64, poll.end())},
        {"late reply: stays for the next read", [](Board& b) { b.DelayNextRead(300); }, true, 268, 50, false, {}, poll},
        {"failed read: its reply lost", [](Board& b) { b.FailNextRead(); }, true, 268, 1500, false, {}, {}},
    };
    void* write = Open(0, 0);
    void* read = Open(0, 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.request) {
            board(0).QueueReply(poll.data(), static_cast<unsigned>(poll.size()));
            ASSERT_TRUE(library_->Write(write, kPoll));
        }
        c.arm(board(0));
        EXPECT_EQ(library_->Read(read, c.maxLength, c.timeoutMs), std::make_pair(c.ok, c.got));
        EXPECT_EQ(library_->Read(read, 268, 50), std::make_pair(!c.next.empty(), c.next));
        ASSERT_TRUE(library_->Write(write, kVersion));
        EXPECT_EQ(library_->Read(read, 64).second.size(), 64u) << "in step again";
    }
}

TEST_F(EmulatedBoards, APulledBoardFailsWhileTheOtherGoesOn) {
    Plug(2);
    void* pipes[2][2];
    int index[2] = {-1, -1};  // board -> device index, as libusb enumerated them
    for (uint32_t i = 0; i < 2; ++i) {
        pipes[i][0] = Open(i, 0);
        pipes[i][1] = Open(i, 1);
        ASSERT_TRUE(library_->Write(pipes[i][0], kVersion));
        const Bytes reply = library_->Read(pipes[i][1], 64).second;
        ASSERT_EQ(reply.size(), 64u);
        index[reply[4] - 0x51] = static_cast<int>(i);
    }
    ASSERT_TRUE(index[0] >= 0 && index[1] >= 0);
    bus().Unplug(1);
    void* const* pulled = pipes[index[1]];
    void* const* left = pipes[index[0]];
    EXPECT_FALSE(library_->Write(pulled[0], kVersion));
    EXPECT_TRUE(library_->Write(left[0], kVersion) && library_->Read(left[1], 64).second.size() == 64u);
    EXPECT_TRUE(WaitUntil([&] { return library_->count(kSelector) == 1; }));
    for (void* pipe : {pulled[0], pulled[1], left[0], left[1]}) EXPECT_EQ(library_->close(pipe), 1u);
}

}  // namespace

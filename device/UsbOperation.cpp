#include "device/UsbOperation.h"

#include <cstdio>
#include <cstring>

#include "platform/Library.h"
#include "platform/Message.h"

uint8_t g_CmdPacket[kPacketBufferSize];
uint8_t g_RegPacket[kPacketBufferSize];
uint8_t g_TxPacket[kPacketBufferSize];
uint8_t g_RxPacket[kPacketBufferSize];

std::atomic<uint32_t> g_TxPending{0};
std::atomic<uint32_t> g_WorkerRunning{0};
std::atomic<uint32_t> g_DeviceOpen{0};
std::atomic<uint16_t> g_DeviceNumber{0};

UsbOperation::UsbOperation() {
    g_WorkerRunning.store(0, std::memory_order_release);
    g_TxPending.store(0, std::memory_order_release);
}
UsbOperation::~UsbOperation() = default;
UsbOperation g_UsbOperation;

namespace {

using GetDllVersionFn = uint32_t (*)();
using GetDeviceCountFn = uint32_t (*)(const char*);
using OpenFn = void* (*)(uint32_t, const char*, const char*, uint32_t, uint32_t);
using WriteFn = uint32_t (*)(void*, const void*, uint32_t, uint32_t*, uint32_t);
using ReadFn = uint32_t (*)(void*, void*, uint32_t, uint32_t*, uint32_t);
using CloseFn = uint32_t (*)(void*);

void* const kInvalidPipe = reinterpret_cast<void*>(~static_cast<uintptr_t>(0));

struct UsbLibrary {
    void* handle = nullptr;
    GetDllVersionFn getDllVersion = nullptr;
    GetDeviceCountFn getDeviceCount = nullptr;
    OpenFn open = nullptr;
    WriteFn write = nullptr;
    ReadFn read = nullptr;
    ReadFn readInt = nullptr;
    CloseFn close = nullptr;
};

UsbLibrary g_UsbLibrary;
void* g_UsbWritePipe = kInvalidPipe;
void* g_UsbReadPipe = kInvalidPipe;

std::recursive_mutex& DeviceMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

template <typename Fn>
bool Fetch(void* lib, const char* name, Fn* out) {
    void* symbol = platform::GetLibrarySymbol(lib, name);
    *out = reinterpret_cast<Fn>(symbol);
    return symbol != nullptr;
}

constexpr uint32_t kWriteTimeoutMs = 500;
constexpr uint32_t kReplyTimeoutMs = 1500;
constexpr uint32_t kShortReplyMax = 64;
constexpr uint32_t kVersionTimeoutMs = 100;
// A reply already waiting arrives within a few milliseconds; one that does not come in this
// time would come too late for any drain.
constexpr uint32_t kDrainTimeoutMs = 10;
// A board that keeps sending is not waited out: the next drain takes the rest.
constexpr int kDrainReadsMax = 32;

// Short reads on the read pipe until one finds nothing, with the device lock held. The
// replies go into a scratch buffer, so g_RxPacket keeps what the last exchange left there.
int DrainLocked() {
    if (!g_UsbLibrary.handle || g_UsbReadPipe == kInvalidPipe) return 0;
    uint8_t scratch[kPacketBufferSize];
    int dropped = 0;
    for (uint32_t received = 0; dropped < kDrainReadsMax; ++dropped) {
        received = 0;
        if (!g_UsbLibrary.read(g_UsbReadPipe, scratch, sizeof scratch, &received, kDrainTimeoutMs) ||
            received == 0)
            break;
    }
    return dropped;
}

}  // namespace

std::unique_lock<std::recursive_mutex> LockDevice() {
    return std::unique_lock<std::recursive_mutex>(DeviceMutex());
}

int UsbLoadLibraryFrom(const char* nameOrPath) {
    auto lock = LockDevice();
    if (g_UsbLibrary.handle) return 1;
    void* lib = platform::LoadSharedLibrary(nameOrPath);
    if (!lib) {
        std::fputs("Error loading mpusbapi.dll\r\n", stdout);
        std::fflush(stdout);
        return 0;
    }
    UsbLibrary l;
    l.handle = lib;
    // All seven are required, also the two the program never calls.
    bool ok = Fetch(lib, "_MPUSBGetDLLVersion", &l.getDllVersion);
    ok = ok && Fetch(lib, "_MPUSBGetDeviceCount", &l.getDeviceCount);
    ok = ok && Fetch(lib, "_MPUSBOpen", &l.open);
    ok = ok && Fetch(lib, "_MPUSBWrite", &l.write);
    ok = ok && Fetch(lib, "_MPUSBRead", &l.read);
    ok = ok && Fetch(lib, "_MPUSBReadInt", &l.readInt);
    ok = ok && Fetch(lib, "_MPUSBClose", &l.close);
    if (!ok) {
        platform::FreeSharedLibrary(lib);
        g_UsbLibrary = UsbLibrary();
        std::fputs("GetProcAddress Error\r\n", stdout);
        std::fflush(stdout);
        return 0;
    }
    g_UsbLibrary = l;
    return 1;
}

int UsbLoadLibrary() { return UsbLoadLibraryFrom(kUsbLibraryName); }

void UsbFreeLibrary() {
    auto lock = LockDevice();
    // The pipes belong to the library: close them before it goes.
    if (g_UsbWritePipe != kInvalidPipe || g_UsbReadPipe != kInvalidPipe) UsbClosePipes();
    if (g_UsbLibrary.handle) platform::FreeSharedLibrary(g_UsbLibrary.handle);
    g_UsbLibrary = UsbLibrary();
}

bool UsbLibraryLoaded() {
    auto lock = LockDevice();
    return g_UsbLibrary.handle != nullptr;
}

uint32_t UsbGetDeviceCount() {
    auto lock = LockDevice();
    if (!g_UsbLibrary.handle) return 0;
    return g_UsbLibrary.getDeviceCount(kDeviceSelector);
}

int UsbOpenPipes() {
    auto lock = LockDevice();
    if (!g_UsbLibrary.handle) return 0;
    const uint32_t index = g_DeviceNumber.load(std::memory_order_acquire);
    g_UsbWritePipe = g_UsbLibrary.open(index, kDeviceSelector, kEndpointName, 0, 0);
    g_UsbReadPipe = g_UsbLibrary.open(index, kDeviceSelector, kEndpointName, 1, 0);
    if (g_UsbWritePipe == kInvalidPipe || g_UsbReadPipe == kInvalidPipe) {
        UsbClosePipes();
        return 0;
    }
    // Whatever the board still holds from before (an earlier connection, another program)
    // would answer the version read.
    DrainLocked();
    return 1;
}

void UsbClosePipes() {
    auto lock = LockDevice();
    if (g_UsbLibrary.handle) {
        g_UsbLibrary.close(g_UsbWritePipe);
        g_UsbLibrary.close(g_UsbReadPipe);
    }
    g_UsbWritePipe = kInvalidPipe;
    g_UsbReadPipe = kInvalidPipe;
}

bool UsbWritePipeOpen() {
    auto lock = LockDevice();
    return g_UsbWritePipe != kInvalidPipe;
}

int UsbWritePacket(const uint8_t* data, uint32_t length) {
    auto lock = LockDevice();
    if (!g_UsbLibrary.handle || g_UsbWritePipe == kInvalidPipe) return 0;
    uint32_t sent = 0;
    if (!g_UsbLibrary.write(g_UsbWritePipe, data, length, &sent, kWriteTimeoutMs)) return 0;
    // A short write would leave the chip with half a packet.
    return sent == length ? 1 : 0;
}

int UsbReadPacket(uint32_t timeoutMs, uint32_t maxLength, uint8_t* buffer) {
    auto lock = LockDevice();
    if (!g_UsbLibrary.handle || g_UsbReadPipe == kInvalidPipe) return -1;
    uint32_t received = 0;
    if (!g_UsbLibrary.read(g_UsbReadPipe, buffer, maxLength, &received, timeoutMs)) {
        // The reply may still come; it must not answer the next request.
        DrainLocked();
        return -1;
    }
    if (received > maxLength) received = maxLength;
    return static_cast<int>(received);
}

int UsbWriteRegister(uint8_t reg, uint8_t value) {
    auto lock = LockDevice();
    g_RegPacket[0] = CmdWriteRegister;
    g_RegPacket[1] = reg;
    g_RegPacket[2] = value;
    return UsbWritePacket(g_RegPacket, 4);
}

int UsbReadRegister(uint8_t reg, uint8_t* value) {
    int received = -1;
    {
        auto lock = LockDevice();
        g_CmdPacket[0] = CmdReadRegister;
        g_CmdPacket[1] = reg;
        g_CmdPacket[2] = 4;
        g_CmdPacket[3] = 0;
        if (UsbWritePacket(g_CmdPacket, 4)) {
            received = UsbReadPacket(kReplyTimeoutMs, kShortReplyMax, g_RxPacket);
            // The value is byte 2: a shorter reply would hand back a stale byte.
            if (received >= 3) {
                *value = g_RxPacket[2];
                return 1;
            }
        }
    }
    platform::ShowMessage("设备出现通信错误停止!", std::string(), platform::MessageIcon::Exclamation);
    return 0;
}

int UsbWriteBytes(uint8_t block, uint8_t count, const uint8_t* data) {
    auto lock = LockDevice();
    g_RegPacket[0] = CmdWriteBlock;
    g_RegPacket[1] = block;
    g_RegPacket[2] = count;
    g_RegPacket[3] = 0;
    if (count) std::memcpy(g_RegPacket + 4, data, count);
    return UsbWritePacket(g_RegPacket, 4u + count);
}

int UsbWriteBlock(uint8_t block, uint32_t length, const uint8_t* data) {
    if (length > kMaxPacketPayload) return 0;
    auto lock = LockDevice();
    g_RegPacket[0] = CmdWriteLongBlock;
    g_RegPacket[1] = block;
    g_RegPacket[2] = static_cast<uint8_t>(length & 0xFF);
    g_RegPacket[3] = static_cast<uint8_t>(length >> 8);
    if (length) std::memcpy(g_RegPacket + 4, data, length);
    return UsbWritePacket(g_RegPacket, 4u + length);
}

int UsbCommandU2(uint8_t value, uint8_t index) {
    auto lock = LockDevice();
    g_RegPacket[0] = CmdSetJ1850Node;
    g_RegPacket[1] = 0x02;
    g_RegPacket[2] = value;
    g_RegPacket[3] = index;
    return UsbWritePacket(g_RegPacket, 4);
}

int UsbCommandV(uint8_t value) {
    auto lock = LockDevice();
    g_RegPacket[0] = CmdJ1850Control;
    g_RegPacket[1] = value;
    g_RegPacket[2] = 0x00;
    return UsbWritePacket(g_RegPacket, 4);
}

int UsbWriteWake() {
    auto lock = LockDevice();
    g_RegPacket[0] = CmdWake;
    g_RegPacket[1] = 0x00;
    g_RegPacket[2] = 0x00;
    return UsbWritePacket(g_RegPacket, 4);
}

int UsbReadBlock(uint8_t block, uint16_t length, uint32_t maxLength, uint8_t* out) {
    if (maxLength > kPacketBufferSize) maxLength = kPacketBufferSize;
    auto lock = LockDevice();
    g_CmdPacket[0] = CmdReadBlock;
    g_CmdPacket[1] = block;
    g_CmdPacket[2] = static_cast<uint8_t>(length & 0xFF);
    g_CmdPacket[3] = static_cast<uint8_t>(length >> 8);
    if (!UsbWritePacket(g_CmdPacket, 4)) return -2;
    int received = UsbReadPacket(kReplyTimeoutMs, maxLength, g_RxPacket);
    if (received < 1) return -1;
    std::memcpy(out, g_RxPacket, static_cast<size_t>(received));
    return received;
}

int ChipResetSequence() {
    auto lock = LockDevice();
    return UsbWriteRegister(0x0D, 0x00) && UsbWriteRegister(0x0E, 0x20) &&
                   UsbWriteRegister(0x0E, 0x00)
               ? 1
               : 0;
}

int ChipResetSequenceJ1850() {
    auto lock = LockDevice();
    return UsbWriteRegister(0x0D, 0x00) && UsbWriteRegister(0x0E, 0x10) ? 1 : 0;
}

int UsbReadVersion(uint8_t* chipId, uint8_t* version) {
    auto lock = LockDevice();
    g_CmdPacket[0] = CmdReadVersion;
    (void)UsbWritePacket(g_CmdPacket, 1);  // the reply tells whether it arrived
    int received = UsbReadPacket(kVersionTimeoutMs, kShortReplyMax, g_RxPacket);
    // ID and version are bytes 4 and 5: fewer bytes would show stale values.
    if (received < 6) return 0;
    *chipId = g_RxPacket[4];
    *version = g_RxPacket[5];
    return 1;
}

int UsbSendStart(uint8_t mode, uint8_t engine, uint8_t subMode) {
    auto lock = LockDevice();
    DrainLocked();
    g_CmdPacket[0] = CmdStart;
    g_CmdPacket[1] = mode;
    g_CmdPacket[2] = engine;
    g_CmdPacket[3] = subMode;
    return UsbWritePacket(g_CmdPacket, 4);
}

int UsbSendStartJ1850() {
    auto lock = LockDevice();
    DrainLocked();
    g_CmdPacket[0] = CmdStart;
    g_CmdPacket[2] = EngineJ1850;
    return UsbWritePacket(g_CmdPacket, 4);
}

int UsbSendStop() {
    auto lock = LockDevice();
    g_CmdPacket[0] = CmdStop;
    g_CmdPacket[2] = 0x07;
    return UsbWritePacket(g_CmdPacket, 4);
}

int UsbSendPoll() {
    auto lock = LockDevice();
    g_CmdPacket[0] = CmdPoll;
    g_CmdPacket[1] &= 0x7F;
    g_CmdPacket[2] = 0x04;
    g_CmdPacket[3] = 0x00;
    return UsbWritePacket(g_CmdPacket, 4);
}

#pragma once
// The device link: the USB library loaded at run time, the two pipes, the four packet
// buffers and the commands every page and worker sends to the chip.
//
// Threads: the UI thread and the one running worker both call in here. Every exchange (a
// write, and the read of its reply when it has one) runs under one recursive device lock, so
// a register read on the UI thread can never take the worker's poll reply or the other way
// round. Callers that need a write and its read to stay together (the workers' poll) hold
// LockDevice() around both and copy the reply out of g_RxPacket before they let go.
//
// Each reply must answer its own request. A reply that came after its read gave up, or that
// the board held from before, would answer the next request and put every later exchange one
// reply behind; so the read pipe is drained (short reads until one finds nothing) when the
// pipes open, when a session starts and after every failed read.
//
// The packet buffers are never cleared: a byte that a command does not write goes on the
// wire as the previous command in that buffer left it. The board relies on nothing else.
#include <atomic>
#include <cstdint>
#include <mutex>

constexpr uint32_t kPacketBufferSize = 268;
constexpr uint32_t kMaxPacketPayload = 264;

enum DeviceCommand : uint8_t {
    CmdReadVersion = 0x00,
    CmdReadRegister = 0x50,   // 'P'
    CmdReadBlock = 0x51,      // 'Q'
    CmdWriteRegister = 0x52,  // 'R'
    CmdWriteBlock = 0x54,     // 'T'
    CmdSetJ1850Node = 0x55,   // 'U'
    CmdJ1850Control = 0x56,   // 'V'
    CmdWriteLongBlock = 0x57, // 'W'
    CmdUartSend = 0x60,
    CmdPoll = 0xA0,
    CmdWake = 0xAB,
    CmdStart = 0xB1,
    CmdStop = 0xB2,
};

enum DeviceEngine : uint8_t { EngineCan = 1, EngineUart = 2, EngineJ1850 = 4 };

enum ReplyStatus : uint8_t { StatusFault = 0x08, StatusUartFrame = 0x10, StatusTxDone = 0x80 };

constexpr const char* kDeviceSelector = "vid_04d8&pid_000c";
constexpr const char* kEndpointName = "\\MCHP_EP1";
constexpr const char* kUsbLibraryName = "libmpusbapi.so";

extern uint8_t g_CmdPacket[kPacketBufferSize];
extern uint8_t g_RegPacket[kPacketBufferSize];
extern uint8_t g_TxPacket[kPacketBufferSize];
extern uint8_t g_RxPacket[kPacketBufferSize];

// Flags shared by the UI thread and the worker: release on set, acquire on test.
extern std::atomic<uint32_t> g_TxPending;
extern std::atomic<uint32_t> g_WorkerRunning;
extern std::atomic<uint32_t> g_DeviceOpen;
extern std::atomic<uint16_t> g_DeviceNumber;

// Exists for its constructor, which clears the worker flags at start-up.
class UsbOperation {
public:
    UsbOperation();
    virtual ~UsbOperation();
};
extern UsbOperation g_UsbOperation;

// Held for one whole exchange; recursive so composite commands can nest.
std::unique_lock<std::recursive_mutex> LockDevice();

// --- library and pipes ------------------------------------------------------------------
// Loads "libmpusbapi.so" by name and fetches its seven entry points. 0 with the diagnostic
// "Error loading mpusbapi.dll\r\n" (library missing) or "GetProcAddress Error\r\n" (an entry
// point missing; the library is unloaded again) on standard output.
int UsbLoadLibrary();
int UsbLoadLibraryFrom(const char* nameOrPath);  // same, from a given file (tests)
void UsbFreeLibrary();
bool UsbLibraryLoaded();

uint32_t UsbGetDeviceCount();  // 0 while no library is loaded
// Opens the write pipe, then the read pipe, of device g_DeviceNumber, and drains the read
// pipe. On any failure both are closed again and 0 is returned.
int UsbOpenPipes();
void UsbClosePipes();
bool UsbWritePipeOpen();

// One write on the write pipe, 500 ms. 1 when the library reports success and sent it all.
int UsbWritePacket(const uint8_t* data, uint32_t length);
// One read of at most maxLength bytes: the count received, or -1 when the library reports
// failure (also when bytes arrived; the pipe is drained then). Callers treat anything below 1
// as a failure.
int UsbReadPacket(uint32_t timeoutMs, uint32_t maxLength, uint8_t* buffer);

// --- commands ---------------------------------------------------------------------------
int UsbWriteRegister(uint8_t reg, uint8_t value);  // 'R' in g_RegPacket, byte 3 as left
// 'P' in g_CmdPacket, reply of at most 64 bytes in 1500 ms; value = reply byte 2. A failed
// write or a reply of fewer than 3 bytes shows "设备出现通信错误停止!", leaves *value and
// returns 0.
int UsbReadRegister(uint8_t reg, uint8_t* value);
int UsbWriteBytes(uint8_t block, uint8_t count, const uint8_t* data);      // 'T'
int UsbWriteBlock(uint8_t block, uint32_t length, const uint8_t* data);    // 'W'; 0 above 264
int UsbCommandU2(uint8_t value, uint8_t index);                            // 55 02 value index
int UsbCommandV(uint8_t value);                                            // 56 value 00 s
int UsbWriteWake();                                                        // AB 00 00 s
// 'Q' in g_CmdPacket; the block's bytes arrive from reply byte 0. Returns the count read
// (at most maxLength, clamped to the buffer), -1 when the read failed, -2 when the request
// could not be written.
int UsbReadBlock(uint8_t block, uint16_t length, uint32_t maxLength, uint8_t* out);

// R 0D<-00, 0E<-20, 0E<-00. Stops at the first failed write; 1 when all three went out.
int ChipResetSequence();
// R 0D<-00, 0E<-10.
int ChipResetSequenceJ1850();

// Version read: one byte 00, reply within 100 ms. Fewer than 6 bytes is a failure (0).
int UsbReadVersion(uint8_t* chipId, uint8_t* version);

// B1 mode engine subMode in g_CmdPacket; the caller does not test the result. Every session
// starts with it, so the read pipe is drained first: nothing before it in a session reads.
int UsbSendStart(uint8_t mode, uint8_t engine, uint8_t subMode);
// J1850's start (drained the same way) leaves bytes 1 and 3 as the buffer holds them.
int UsbSendStartJ1850();
// B2 s 07 s in g_CmdPacket.
int UsbSendStop();
// A0 (byte 1 & 0x7F) 04 00 in g_CmdPacket.
int UsbSendPoll();

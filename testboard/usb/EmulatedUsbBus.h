#pragma once
// VR3526 boards on an emulated USB bus, for tests of the real USB library through libusb's
// own Linux backend. Each board is a 04d8:000c device in a umockdev testbed (one
// configuration, one interface, endpoints 0x01 OUT and 0x81 IN of 64-byte packets, bulk or
// interrupt) whose usbfs requests are answered here from a board model (testboard/Board.h):
// bytes written to 0x01 go to the model, and its answers complete the IN requests in order.
//
// What a request sees, as on a real bus:
// - an IN request with no answer waiting stays pending until libusb discards it at its
//   time-out; it then completes with -ENOENT and the bytes it had, and the answer that comes
//   later stays for the next request;
// - an answer longer than the request fills it, and the rest waits for the next request;
// - the model's read faults act on the first request that finds an answer: a failed read
//   completes with -EPROTO, a delayed answer completes the request only once its delay has
//   passed, a split answer fills the request and leaves it pending until it is discarded;
// - a write the model refuses completes with -EPROTO; an unplugged board refuses every
//   request with ENODEV.
//
// The process must run with umockdev's preload library (link it, see testboard/CMakeLists.txt).
// One bus at a time per process. Requests are answered on umockdev's own thread; Plug and
// Unplug are called on the test's thread. Close every pipe and unload the USB library (its
// unloading ends libusb) before the bus goes.
#include <cstddef>
#include <memory>
#include <vector>

#include "testboard/Board.h"

namespace testboard {

class EmulatedUsbBus {
public:
    EmulatedUsbBus();
    ~EmulatedUsbBus();
    EmulatedUsbBus(const EmulatedUsbBus&) = delete;
    EmulatedUsbBus& operator=(const EmulatedUsbBus&) = delete;

    // Plugs in a board that the model (which must outlive the bus) answers for, with
    // interrupt endpoints instead of bulk ones when asked. Returns its number (0, 1, ...).
    // Plug before the USB library's first call: umockdev announces the device before its
    // descriptors are in place, so libusb would skip one plugged while it listens.
    size_t Plug(Board& model, bool interrupt = false);
    // Pulls board n: every request on it fails from now on, and a "remove" uevent tells
    // libusb, whose device count drops once it has handled the event.
    void Unplug(size_t n);

    // What the board saw of the host: interface claims and releases, and the transfer type
    // of its last request (1 interrupt, 3 bulk).
    unsigned Claims(size_t n) const;
    unsigned Releases(size_t n) const;
    int LastTransferType(size_t n) const;

    // Defined where the emulation lives; umockdev's callbacks reach a board through it.
    struct Device;

private:
    struct Testbed;
    std::unique_ptr<Testbed> testbed_;
    std::vector<std::unique_ptr<Device>> devices_;
};

}  // namespace testboard

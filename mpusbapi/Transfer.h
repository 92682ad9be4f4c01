#pragma once
// How a transfer is sized and how libusb's result becomes the library's 1 / 0.
//
// A device ends a bulk or interrupt reply with a short packet. A read buffer that is not a
// whole number of max-size packets overflows when the reply's last packet does not fit, so
// reads always ask for whole packets and copy out what the caller has room for.
#include <cstdint>

namespace mpusb {

// Largest single read; a bigger maxLength is served from this many bytes.
constexpr uint32_t kMaxReadBytes = 64 * 1024;

// maxLength (capped at kMaxReadBytes) rounded up to a whole number of maxPacket-byte packets;
// maxLength itself when the descriptor reports a max packet size of 0.
uint32_t ReadBufferSize(uint32_t maxLength, uint16_t maxPacket);

// libusb takes 0 as "no time-out"; the library's callers never mean that.
unsigned EffectiveTimeout(uint32_t timeoutMs);

// A read succeeds when it completed, or timed out after some data arrived (a reply that
// filled its last packet exactly, with no short packet to end it).
bool ReadSucceeded(int libusbResult, int transferred);

// A write succeeds only when every byte went out.
bool WriteSucceeded(int libusbResult, int transferred, uint32_t length);

}  // namespace mpusb

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

// A read succeeds only when it completed. A time-out is a failure also after part of a reply
// arrived: the rest of that reply may still come, and handing the part on as a reply would
// leave the rest to answer the next request.
bool ReadSucceeded(int libusbResult, int transferred);

// A read that filled its whole buffer while the caller asked for less got a reply longer than
// asked for, which may go on past the buffer: its rest is to be read and dropped.
bool RestMayFollow(int transferred, uint32_t bufferSize, uint32_t maxLength);

// A write succeeds only when every byte went out.
bool WriteSucceeded(int libusbResult, int transferred, uint32_t length);

}  // namespace mpusb

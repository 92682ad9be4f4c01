#include "mpusbapi/Transfer.h"

#include <algorithm>

#include <libusb.h>

namespace mpusb {

uint32_t ReadBufferSize(uint32_t maxLength, uint16_t maxPacket) {
    const uint32_t wanted = std::min(maxLength, kMaxReadBytes);
    if (maxPacket == 0) return wanted;
    return (wanted + maxPacket - 1) / maxPacket * maxPacket;
}

unsigned EffectiveTimeout(uint32_t timeoutMs) {
    return timeoutMs == 0 ? 1u : timeoutMs;
}

bool ReadSucceeded(int libusbResult, int transferred) {
    return libusbResult == LIBUSB_SUCCESS && transferred >= 0;
}

bool RestMayFollow(int transferred, uint32_t bufferSize, uint32_t maxLength) {
    return transferred > 0 && static_cast<uint32_t>(transferred) == bufferSize && bufferSize > maxLength;
}

bool WriteSucceeded(int libusbResult, int transferred, uint32_t length) {
    return libusbResult == LIBUSB_SUCCESS && transferred >= 0 &&
           static_cast<uint32_t>(transferred) == length;
}

}  // namespace mpusb

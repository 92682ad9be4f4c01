#pragma once
// The two names the program hands the library: the device selector ("vid_04d8&pid_000c")
// and the endpoint name ("\MCHP_EP1", one name for both directions).
#include <cstdint>
#include <optional>

namespace mpusb {

struct UsbId {
    uint16_t vendor;
    uint16_t product;
};

// "vid_XXXX&pid_YYYY": exactly four hex digits each, letters and prefixes in either case,
// nothing before or after. nullopt for NULL and anything else.
std::optional<UsbId> ParseSelector(const char* selector);

// "\MCHP_EPn" with n = 1..15 in decimal (one or two digits, prefix in either case): n.
// Endpoint 0 is the control pipe and cannot be opened as a data pipe.
std::optional<uint8_t> ParseEndpointName(const char* name);

// Endpoint address for a number and the open call's direction: 0 (write) is OUT n, 1 (read)
// is IN 0x80|n; nullopt for any other direction.
std::optional<uint8_t> EndpointAddress(uint8_t number, uint32_t direction);

}  // namespace mpusb

#pragma once
// The chip's CAN layouts, as bytes.
//
// EcanMessageBuffer, 16 bytes = eight little-endian words (transmit slots, the chip's CTXB
// buffers, the frame of a 0xA0 transmit packet, a CAN record of a poll reply):
//   w0  bits 12:2 SID10:0, bit 1 SRR, bit 0 IDE; bits 15:13 left as they are
//   w1  bits 11:0 EID17:6; bits 15:12 the record tag in a reply (3 = error flags), 0 here
//   w2  bits 15:10 EID5:0, bit 9 RTR, bits 3:0 DLC; bits 8:4 unused
//   bytes 6-13 data 0-7; w7 (bytes 14-15) 0 in what the host builds
// An extended identifier is SID << 18 | EID17:6 << 6 | EID5:0, a standard one the SID.
//
// CanFilterEntry, 4 bytes = two words (acceptance filter or mask):
//   w0  bits 15:5 SID10:0, bit 3 EXIDE (filter) / MIDE (mask), bits 1:0 EID17:16;
//       bits 4 and 2 carry no field and are kept
//   w1  EID15:0
#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kEcanBufferSize = 16;
constexpr size_t kCanMaxData = 8;
constexpr uint32_t kCanIdMask29 = 0x1FFFFFFF;

struct EcanMessageBuffer {
    uint8_t bytes[kEcanBufferSize] = {};
};

uint16_t EcanWord(const EcanMessageBuffer& buffer, size_t word);
void SetEcanWord(EcanMessageBuffer& buffer, size_t word, uint16_t value);

bool EcanIsExtended(const EcanMessageBuffer& buffer);
void SetEcanExtended(EcanMessageBuffer& buffer, bool extended);
// The identifier by the buffer's own IDE bit, or read in the given form.
uint32_t EcanId(const EcanMessageBuffer& buffer);
uint32_t EcanIdAs(const EcanMessageBuffer& buffer, bool extended);
// Extended: SID, EID17:6 and EID5:0 from the 29 low bits of id (higher bits are dropped).
// Standard: SID := id & 0x7FF, the EID fields untouched. IDE is not changed.
void SetEcanId(EcanMessageBuffer& buffer, uint32_t id, bool extended);
// Text of the identifier: "%.8X" extended, "%.3X" standard.
std::string EcanIdText(const EcanMessageBuffer& buffer);
std::string CanIdText(uint32_t id, bool extended);

uint8_t EcanDlc(const EcanMessageBuffer& buffer);
void SetEcanDlc(EcanMessageBuffer& buffer, uint8_t dlc);
bool EcanIsRemote(const EcanMessageBuffer& buffer);
// RTR (w2 bit 9) and SRR (w0 bit 1) together, as the frame-format choice sets them.
void SetEcanRemote(EcanMessageBuffer& buffer, bool remote);
// The record tag (w1 bits 15:12) of a buffer read back from the chip.
uint8_t EcanTag(const EcanMessageBuffer& buffer);

inline uint8_t* EcanData(EcanMessageBuffer& buffer) { return buffer.bytes + 6; }
inline const uint8_t* EcanData(const EcanMessageBuffer& buffer) { return buffer.bytes + 6; }
// Data bytes a display may show: the DLC, at most 8.
size_t EcanShownDataCount(const EcanMessageBuffer& buffer);

struct CanFilterEntry {
    uint8_t bytes[4] = {};
};

uint32_t CanFilterId29(const CanFilterEntry& entry);
// SID, EID17:16 and EID15:0 from a 29-bit identifier; EXIDE / MIDE and bits 4, 2 kept.
void SetCanFilterId29(CanFilterEntry& entry, uint32_t id);
uint16_t CanFilterSid(const CanFilterEntry& entry);
// SID := sid & 0x7FF; every other bit kept.
void SetCanFilterSid(CanFilterEntry& entry, uint32_t sid);
bool CanFilterExide(const CanFilterEntry& entry);  // MIDE in a mask
void SetCanFilterExide(CanFilterEntry& entry, bool on);

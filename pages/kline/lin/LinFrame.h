#pragma once
// LIN bytes without device, thread or UI: the ID configuration byte, the protected ID, the
// checksum the page shows, and the packets the LIN page and its worker write.
//
// ID configuration byte (one per ID 0-63, 'W' block 0x2F, image bytes 76-139):
//   bit 7 IDEN slave enable   bit 6 SRP master sends the header only, a slave answers
//   bits 5-4 LENC 0 free length (the master's DLC), 1 two, 2 four, 3 eight bytes
//   bit 3 CSM enhanced checksum   bit 2 AFE auto response   bits 1-0 AFP its LACKB buffer
//
// Slave response: 57 3F 0A 00 | 08 80 (length 8, bit 15) | 8 data bytes      (14 bytes)
// LACKB set:      54 3n 08 00 | 8 bytes (block 0x30 + n)                       (12 bytes)
#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

constexpr size_t kLinIdCount = 64;
constexpr uint8_t kLinMaxId = 63;
constexpr size_t kLinSlaveRows = 8;
constexpr size_t kLinRowBytes = 8;
constexpr size_t kLinLackbCount = 4;

namespace lin {
constexpr uint8_t IDEN = 0x80;
constexpr uint8_t SRP = 0x40;
constexpr uint8_t LENC = 0x30;
constexpr uint8_t CSM = 0x08;
constexpr uint8_t AFE = 0x04;
constexpr uint8_t AFP = 0x03;
}  // namespace lin

// The LENC the LIN standard recommends for an ID: 1 for 0-31, 2 for 32-47, 3 for 48-61,
// 0 (free length) for 62 and 63.
uint8_t LinRecommendedLenc(uint8_t id);
// The opening table: IDEN set, the recommended LENC, nothing else.
void LoadLinIdTableDefaults(uint8_t* table);
// The fixed data length of a configuration byte: 2, 4, 8, or 0 for free length.
int LinIdLength(uint8_t config);

// Bits 0-5 the ID, bit 6 ID0^ID1^ID2^ID4, bit 7 not(ID1^ID3^ID4^ID5).
uint8_t LinProtectedId(uint8_t id);
// One's complement of the sum with end-around carry over count bytes, started at the
// protected ID when enhanced.
uint8_t LinChecksum(const uint8_t* data, size_t count, bool enhanced, uint8_t id);

// " ID" column of the ID list: two decimal digits, "-0X", two hex digits ("05-0X05").
std::string LinIdListText(uint8_t id);

constexpr size_t kLinResponsePacketSize = 14;
constexpr size_t kLinLackbPacketSize = 12;
void BuildLinResponsePacket(uint8_t* packet, const uint8_t* data);
void BuildLinLackbPacket(uint8_t* packet, size_t buffer, const uint8_t* data);

struct LinSlaveResponse {
    uint8_t ID = 0;
    uint32_t length = kLinRowBytes;
    uint8_t data[kLinRowBytes] = {};
};

// The eight slave rows: edited on the UI thread, read by the LIN worker for each header.
// Each access copies a whole row under a small lock, so no response carries half an edit.
class LinSlaveRows {
public:
    LinSlaveRows();
    void LoadDefaults();  // row k: ID 10 + k, data k0 k1 .. k7
    LinSlaveResponse Row(size_t row) const;
    void SetId(size_t row, uint8_t id);
    void SetData(size_t row, const uint8_t* data);
    // The first row whose ID equals the byte; false when none does.
    bool Find(uint8_t id, LinSlaveResponse& out, size_t& row) const;

private:
    mutable std::mutex mutex_;
    std::array<LinSlaveResponse, kLinSlaveRows> rows_;
};

#include "pages/kline/lin/LinFrame.h"

#include <cstdio>
#include <cstring>

uint8_t LinRecommendedLenc(uint8_t id) {
    if (id < 32) return 1;
    if (id < 48) return 2;
    if (id < 62) return 3;
    return 0;
}

void LoadLinIdTableDefaults(uint8_t* table) {
    for (uint8_t id = 0; id < kLinIdCount; ++id)
        table[id] = static_cast<uint8_t>(lin::IDEN | (LinRecommendedLenc(id) << 4));
}

int LinIdLength(uint8_t config) {
    static const int kLengths[4] = {0, 2, 4, 8};
    return kLengths[(config & lin::LENC) >> 4];
}

uint8_t LinProtectedId(uint8_t id) {
    auto bit = [id](int n) { return (id >> n) & 1; };
    const int p0 = bit(0) ^ bit(1) ^ bit(2) ^ bit(4);
    const int p1 = !(bit(1) ^ bit(3) ^ bit(4) ^ bit(5));
    return static_cast<uint8_t>((id & 0x3F) | (p0 << 6) | (p1 << 7));
}

uint8_t LinChecksum(const uint8_t* data, size_t count, bool enhanced, uint8_t id) {
    unsigned sum = enhanced ? LinProtectedId(id) : 0;
    for (size_t i = 0; i < count; ++i) {
        sum += data[i];
        if (sum > 255) sum -= 255;
    }
    return static_cast<uint8_t>(~sum);
}

std::string LinIdListText(uint8_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u-0X%02X", static_cast<unsigned>(id), static_cast<unsigned>(id));
    return text;
}

void BuildLinResponsePacket(uint8_t* packet, const uint8_t* data) {
    const uint8_t head[] = {0x57, 0x3F, 0x0A, 0x00, 0x08, 0x80};
    std::memcpy(packet, head, sizeof head);
    std::memcpy(packet + sizeof head, data, kLinRowBytes);
}

void BuildLinLackbPacket(uint8_t* packet, size_t buffer, const uint8_t* data) {
    packet[0] = 0x54;
    packet[1] = static_cast<uint8_t>(0x30 + buffer);
    packet[2] = static_cast<uint8_t>(kLinRowBytes);
    packet[3] = 0x00;
    std::memcpy(packet + 4, data, kLinRowBytes);
}

LinSlaveRows::LinSlaveRows() { LoadDefaults(); }

void LinSlaveRows::LoadDefaults() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t k = 0; k < kLinSlaveRows; ++k) {
        rows_[k] = LinSlaveResponse();
        rows_[k].ID = static_cast<uint8_t>(10 + k);
        for (size_t i = 0; i < kLinRowBytes; ++i)
            rows_[k].data[i] = static_cast<uint8_t>(k * 16 + i);
    }
}

LinSlaveResponse LinSlaveRows::Row(size_t row) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return rows_.at(row);
}

void LinSlaveRows::SetId(size_t row, uint8_t id) {
    std::lock_guard<std::mutex> lock(mutex_);
    rows_.at(row).ID = id;
}

void LinSlaveRows::SetData(size_t row, const uint8_t* data) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::memcpy(rows_.at(row).data, data, kLinRowBytes);
}

bool LinSlaveRows::Find(uint8_t id, LinSlaveResponse& out, size_t& row) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t r = 0; r < kLinSlaveRows; ++r) {
        if (rows_[r].ID == id) {
            out = rows_[r];
            row = r;
            return true;
        }
    }
    return false;
}

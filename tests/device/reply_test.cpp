// Hostile replies: the reader never reaches past the bytes that arrived. Each case copies the
// reply into a heap block of exactly the received size, so ASan catches any over-read.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "device/DeviceReply.h"

namespace {

struct ReplyCase {
    const char* name;
    std::vector<uint8_t> bytes;
    bool hasWord;
    bool uartFrame;
    uint16_t word;
    uint32_t frameBytes;
    uint32_t recordCount;
};

std::vector<uint8_t> Reply(uint8_t status, uint16_t word, size_t payload) {
    std::vector<uint8_t> r(4 + payload, 0xEE);
    r[0] = 0;
    r[1] = status;
    r[2] = static_cast<uint8_t>(word);
    r[3] = static_cast<uint8_t>(word >> 8);
    return r;
}

TEST(DeviceReply, BoundedByWhatArrived) {
    const std::vector<ReplyCase> cases = {
        {"idle poll", Reply(0x00, 0, 0), true, false, 0, 0, 0},
        {"one record", Reply(0x00, 1, 16), true, false, 1, 0, 1},
        {"word larger than records present", Reply(0x00, 5, 32), true, false, 5, 0, 2},
        {"0xFFFF records", Reply(0x00, 0xFFFF, 264), true, false, 0xFFFF, 0, 16},
        {"partial record is dropped", Reply(0x00, 2, 20), true, false, 2, 0, 1},
        {"uart frame", Reply(0x10, 0x0807, 7), true, true, 0x0807, 7, 0},
        {"uart word 0x1FF with 20 bytes", Reply(0x10, 0x01FF, 20), true, true, 0x01FF, 20, 0},
        {"uart frame capped at 260", Reply(0x10, 0x01FF, 264), true, true, 0x01FF, 260, 0},
        {"uart frame word 0", Reply(0x10, 0, 8), true, true, 0, 0, 0},
        {"three bytes", {0x00, 0x10, 0x05}, false, false, 0, 0, 0},
        {"one byte", {0x00}, false, false, 0, 0, 0},
    };
    for (const ReplyCase& c : cases) {
        auto heap = std::make_unique<uint8_t[]>(c.bytes.size());
        std::memcpy(heap.get(), c.bytes.data(), c.bytes.size());
        ParsedReply r = ParseDeviceReply(heap.get(), static_cast<int>(c.bytes.size()));
        EXPECT_EQ(r.hasWord, c.hasWord) << c.name;
        EXPECT_EQ(r.uartFrame, c.uartFrame) << c.name;
        EXPECT_EQ(r.word, c.word) << c.name;
        EXPECT_EQ(r.frameBytes, c.frameBytes) << c.name;
        EXPECT_EQ(r.recordCount, c.recordCount) << c.name;
        // Touch every byte the reader hands out: ASan reports any overrun here.
        unsigned sum = 0;
        for (uint32_t i = 0; i < r.frameBytes; ++i) sum += r.frame[i];
        for (uint32_t i = 0; i < r.recordCount * kFrameRecordSize; ++i) sum += r.records[i];
        (void)sum;
    }
}

TEST(DeviceReply, StatusWithoutWord) {
    const uint8_t two[2] = {0x00, 0x08};
    ParsedReply r = ParseDeviceReply(two, 2);
    EXPECT_TRUE(r.hasStatus);
    EXPECT_EQ(r.status, 0x08);
    EXPECT_FALSE(r.hasWord);
    EXPECT_EQ(ParseDeviceReply(two, 0).hasStatus, false);
    EXPECT_EQ(ParseDeviceReply(two, -1).hasStatus, false);
    EXPECT_EQ(ParseDeviceReply(nullptr, 10).hasStatus, false);
}

TEST(DeviceReply, RecordKindAndDirectionByTag) {
    struct Case {
        uint8_t byte0, byte3, kind, direction;
    };
    const Case cases[] = {
        {0x80, 0x20, 2, 1}, {0x00, 0x2F, 2, 0}, {0x00, 0x30, 3, 1}, {0x80, 0x3A, 3, 1},
        {0x00, 0x00, 0, 1}, {0x00, 0x10, 0, 1}, {0x00, 0x45, 0, 1}, {0x80, 0xF0, 0, 1},
    };
    for (const Case& c : cases) {
        uint8_t record[16] = {};
        record[0] = c.byte0;
        record[3] = c.byte3;
        RecordKindDirection kd = ReplyRecordKind(record);
        EXPECT_EQ(kd.kind, c.kind) << std::hex << int(c.byte3);
        EXPECT_EQ(kd.direction, c.direction) << std::hex << int(c.byte3);
    }
}

}  // namespace

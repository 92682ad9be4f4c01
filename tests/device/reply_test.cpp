// Each reply is copied into a heap block of exactly the received size, so ASan catches any
// read past what arrived.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

#include "device/DeviceReply.h"

namespace {

std::vector<uint8_t> Reply(uint8_t status, uint16_t word, size_t payload) {
    std::vector<uint8_t> r = {0, status, uint8_t(word), uint8_t(word >> 8)};
    r.resize(4 + payload, 0xEE);
    return r;
}

TEST(DeviceReply, NeverReachesPastWhatArrivedAndReadsTheUartFlagAsTheWorkerSays) {
    constexpr UartFlagReply F = UartFlagReply::Frame, R = UartFlagReply::Records, I = UartFlagReply::Ignore;
    const struct { const char* name; UartFlagReply use; std::vector<uint8_t> bytes; bool hasStatus, hasWord, uart;
                   uint16_t word; uint32_t frameBytes, records; } cases[] = {
        {"idle poll", F, Reply(0x00, 0, 0), true, true, false, 0, 0, 0},
        {"word larger than records present", F, Reply(0x00, 5, 32), true, true, false, 5, 0, 2},
        {"0xFFFF records", F, Reply(0x00, 0xFFFF, 264), true, true, false, 0xFFFF, 0, 16},
        {"partial record dropped", F, Reply(0x00, 2, 20), true, true, false, 2, 0, 1},
        {"uart frame", F, Reply(0x10, 0x0807, 7), true, true, true, 0x0807, 7, 0},
        {"uart word 0x1FF with 20 bytes", F, Reply(0x10, 0x01FF, 20), true, true, true, 0x01FF, 20, 0},
        {"uart frame capped at 260", F, Reply(0x10, 0x01FF, 264), true, true, true, 0x01FF, 260, 0},
        {"flag read as a record count", R, Reply(0x10, 1, 16), true, true, false, 1, 0, 1},
        {"flag with TxDone read as records", R, Reply(0x90, 2, 40), true, true, false, 2, 0, 2},
        {"flagged reply ignored", I, Reply(0x10, 1, 16), true, true, false, 1, 0, 0},
        {"no flag: records also when ignoring", I, Reply(0x80, 1, 16), true, true, false, 1, 0, 1},
        {"three bytes", F, {0x00, 0x10, 0x05}, true, false, false, 0, 0, 0},
        {"status only", R, {0x00, 0x08}, true, false, false, 0, 0, 0},
        {"one byte", F, {0x00}, false, false, false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        auto heap = std::make_unique<uint8_t[]>(c.bytes.size());
        std::copy(c.bytes.begin(), c.bytes.end(), heap.get());
        const ParsedReply r = ParseDeviceReply(heap.get(), int(c.bytes.size()), c.use);
        const uint8_t status = c.bytes.size() > 1 ? c.bytes[1] : 0;
        EXPECT_EQ(std::make_tuple(r.hasStatus, r.status, r.hasWord, r.uartFrame, r.word, r.frameBytes, r.recordCount),
                  std::make_tuple(c.hasStatus, status, c.hasWord, c.uart, c.word, c.frameBytes, c.records))
            << c.name;
        if (c.records) {
            EXPECT_EQ(r.records, heap.get() + 4) << c.name;
        }
        unsigned sum = 0;  // touch every byte handed out
        for (uint32_t i = 0; i < r.frameBytes; ++i) sum += r.frame[i];
        for (uint32_t i = 0; i < r.recordCount * kFrameRecordSize; ++i) sum += r.records[i];
        (void)sum;
    }
    const uint8_t two[2] = {0x00, 0x08};
    EXPECT_FALSE(ParseDeviceReply(two, -1, F).hasStatus);
    EXPECT_FALSE(ParseDeviceReply(nullptr, 10, F).hasStatus);
}

TEST(DeviceReply, RecordKindAndDirectionByTag) {
    const struct { uint8_t byte0, byte3, kind, direction; } cases[] = {
        {0x80, 0x20, 2, 1}, {0x00, 0x2F, 2, 0}, {0x00, 0x30, 3, 1}, {0x80, 0x3A, 3, 1},
        {0x00, 0x00, 0, 1}, {0x00, 0x10, 0, 1}, {0x80, 0xF0, 0, 1},
    };
    for (const auto& c : cases) {
        uint8_t record[16] = {};
        record[0] = c.byte0;
        record[3] = c.byte3;
        const RecordKindDirection kd = ReplyRecordKind(record);
        EXPECT_TRUE(kd.kind == c.kind && kd.direction == c.direction) << std::hex << int(c.byte3);
    }
}

}  // namespace

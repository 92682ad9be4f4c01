#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "MonitorTestSupport.h"
#include "monitor/RecordFormat.h"

namespace {

using MonitorRing = CleanRing;

// The ring against a model of `appended` appends since a reset, walked from the oldest.
void ExpectMatchesModel(uint64_t appended) {
    const uint32_t write = static_cast<uint32_t>(appended % kMonitorCapacity);
    const uint32_t count = g_MonitorCount.load();
    ASSERT_EQ(count, std::min<uint64_t>(appended, kMonitorCapacity));
    EXPECT_EQ(g_MonitorSeq.load(), static_cast<uint32_t>(appended + 1));
    EXPECT_EQ(g_MonitorWrite.load(), write);
    EXPECT_EQ(g_MonitorOldest.load(), appended >= kMonitorCapacity ? write : 0u);
    if (count == 0) return;
    std::vector<MonitorRecord> all(count);
    CopyMonitorRecords(g_MonitorOldest.load(), count, all.data());
    EXPECT_EQ(all.front().sequence, static_cast<uint32_t>(appended - count + 1));
    for (uint32_t i = 1; i < count; ++i) ASSERT_EQ(all[i].sequence, uint32_t(all[i - 1].sequence + 1)) << i;
}

TEST_F(MonitorRing, WrapAndRandomRunsMatchTheModel) {
    for (uint32_t total : {99999u, 100000u, 100001u}) {
        AppendNumbered(total - (g_MonitorSeq.load() - 1));
        SCOPED_TRACE(total);
        ExpectMatchesModel(total);
    }
    std::mt19937 rng(12345);
    std::uniform_int_distribution<uint32_t> batch(0, 40000);
    uint64_t appended = 100001;
    for (int round = 0; round < 12; ++round) {  // on past a second wrap
        const uint32_t n = batch(rng);
        AppendNumbered(n);
        appended += n;
        SCOPED_TRACE(appended);
        ExpectMatchesModel(appended);
    }
}

// Past 2^31 appends the oldest still follows the write index, and past 2^32 (the sequence
// wraps to 0) too; the last page shows the newest records with their unsigned sequences, and a
// double click on any row opens that row's record.
TEST_F(MonitorRing, RunsOnPastTwoToThe31And32Appends) {
    const struct { const char* name; uint64_t seeded; uint32_t appended; } cases[] = {
        {"2^31", (uint64_t{1} << 31) - 40, 80},
        {"2^32", (uint64_t{1} << 32) - 40, 80},
        {"2^32 with the ring half way", (uint64_t{1} << 32) + 50000 - 40, 80},
    };
    g_MonitorRowsPerPage = 256;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SeedRing(c.seeded);
        AppendNumbered(c.appended);
        ExpectMatchesModel(c.seeded + c.appended);

        g_MonitorTop = kMonitorCapacity;  // the list follows the newest records
        MonitorPage page;
        BuildMonitorPage(page);
        ASSERT_EQ(page.rows.size(), std::min(g_MonitorCount.load(), 256u));
        EXPECT_EQ(page.rows.back().cells[ColumnSequence], std::to_string(static_cast<uint32_t>(c.seeded + c.appended)));
        for (const MonitorRow& row : page.rows) {
            const uint32_t index = MonitorIndexFromSequenceText(row.cells[ColumnSequence]);
            ASSERT_EQ(index, row.index) << row.cells[ColumnSequence];
            ASSERT_EQ(std::to_string(CopyMonitorRecord(index).sequence), row.cells[ColumnSequence]);
        }
    }
}

TEST_F(MonitorRing, ClearKeepsRowsPerPage) {
    g_MonitorRowsPerPage = 37;
    AppendNumbered(7);
    g_MonitorTop = 3;
    ResetMonitorRing();
    EXPECT_EQ(g_MonitorRowsPerPage.load(), 37u);
    EXPECT_EQ(g_MonitorTop.load(), 0u);
    EXPECT_EQ(g_MonitorLastSeq.load(), 1u);
    ExpectMatchesModel(0);
}

// At most 260 bytes land in a record; init bytes the frame does not carry keep the slot's.
TEST_F(MonitorRing, AppendKeepsToItsRecord) {
    MonitorInitBytes slow;
    slow.which = MonitorInitBytes::Slow, slow.address = 0x33;
    MonitorRecord& slot = g_MonitorRecords[0];
    slot.fastInitLowMs = slot.fastInitHighMs = 0xA1;
    g_MonitorRecords[1].sequence = 0xDEAD;
    const std::vector<uint8_t> frame(300, 0x5A);
    AppendMonitorRecord(kSent, KindUart, UartWord(2, 300), 42, frame.data(), frame.size(), slow);
    EXPECT_EQ(slot.data[kMonitorDataBytes - 1], 0x5A);
    EXPECT_EQ((std::vector<uint8_t>{slot.fastInitLowMs, slot.fastInitHighMs, slot.slowInitAddress}),
              (std::vector<uint8_t>{0xA1, 0xA1, 0x33}));
    EXPECT_EQ(g_MonitorRecords[1].sequence, 0xDEADu);
}

}  // namespace

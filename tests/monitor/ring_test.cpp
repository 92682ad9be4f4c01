#include <gtest/gtest.h>

#include <random>

#include "MonitorTestSupport.h"

namespace {

using MonitorRing = CleanRing;

// What the ring must hold after `appended` appends since a reset.
void ExpectRingMatchesModel(uint64_t appended) {
    const uint32_t write = static_cast<uint32_t>(appended % kMonitorCapacity);
    EXPECT_EQ(g_MonitorSeq.load(), appended + 1);
    EXPECT_EQ(g_MonitorWrite.load(), write);
    EXPECT_EQ(g_MonitorCount.load(), std::min<uint64_t>(appended, kMonitorCapacity));
    EXPECT_EQ(g_MonitorOldest.load(), appended >= kMonitorCapacity ? write : 0u);
    // The newest record and the oldest shown sit where their sequence says.
    if (appended > 0) {
        const uint32_t newest = static_cast<uint32_t>(appended);
        EXPECT_EQ(CopyMonitorRecord((newest - 1) % kMonitorCapacity).sequence, newest);
        const MonitorRecord oldest = CopyMonitorRecord(g_MonitorOldest.load());
        EXPECT_EQ(oldest.sequence, appended > kMonitorCapacity ? newest - kMonitorCapacity + 1 : 1u);
    }
}

TEST_F(MonitorRing, WordsFollowTheAppendRuleAroundTheWrap) {
    struct Case {
        uint32_t appends;
        uint32_t oldest, write, count;
        uint32_t firstShown;  // sequence at g_MonitorOldest
    };
    const Case cases[] = {
        {1, 0, 1, 1, 1},
        {99999, 0, 99999, 99999, 1},
        {100000, 0, 0, 100000, 1},
        {100001, 1, 1, 100000, 2},
        {100002, 2, 2, 100000, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.appends);
        ResetMonitorRing();
        AppendNumbered(c.appends);
        EXPECT_EQ(g_MonitorOldest.load(), c.oldest);
        EXPECT_EQ(g_MonitorWrite.load(), c.write);
        EXPECT_EQ(g_MonitorCount.load(), c.count);
        EXPECT_EQ(g_MonitorSeq.load(), c.appends + 1);
        EXPECT_EQ(CopyMonitorRecord(g_MonitorOldest.load()).sequence, c.firstShown);
    }
}

TEST_F(MonitorRing, RandomAppendRunsKeepTheInvariants) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<uint32_t> batch(0, 40000);
    uint64_t appended = 0;
    for (int round = 0; round < 12; ++round) {
        const uint32_t n = batch(rng);
        AppendNumbered(n);
        appended += n;
        SCOPED_TRACE(appended);
        ExpectRingMatchesModel(appended);
        ASSERT_LE(g_MonitorCount.load(), kMonitorCapacity);
    }
    // Walking the ring from the oldest gives consecutive sequences ending at the newest.
    const uint32_t count = g_MonitorCount.load();
    std::vector<MonitorRecord> all(count);
    CopyMonitorRecords(g_MonitorOldest.load(), count, all.data());
    for (uint32_t i = 1; i < count; ++i) ASSERT_EQ(all[i].sequence, all[i - 1].sequence + 1) << i;
    EXPECT_EQ(all.back().sequence, appended);
}

TEST_F(MonitorRing, ResetKeepsRowsPerPageAndRecordBytes) {
    g_MonitorRowsPerPage = 37;
    AppendNumbered(5);
    g_MonitorTop = 3;
    ResetMonitorRing();
    EXPECT_EQ(g_MonitorRowsPerPage.load(), 37u);
    EXPECT_EQ(g_MonitorCount.load(), 0u);
    EXPECT_EQ(g_MonitorTop.load(), 0u);
    EXPECT_EQ(g_MonitorWrite.load(), 0u);
    EXPECT_EQ(g_MonitorOldest.load(), 0u);
    EXPECT_EQ(g_MonitorSeq.load(), 1u);
    EXPECT_EQ(CopyMonitorRecord(4).sequence, 5u);
}

TEST_F(MonitorRing, AppendStoresAtMost260BytesAndOnlyTheInitBytesItsFrameHas) {
    // Stale bytes of an earlier record in the slot must survive where the new one has none.
    MonitorRecord& slot = g_MonitorRecords[0];
    slot.fastInitLowMs = 0xA1;
    slot.fastInitHighMs = 0xA2;
    slot.slowInitAddress = 0xA3;
    slot.data[20] = 0x77;
    std::vector<uint8_t> frame(300, 0x5A);
    AppendMonitorRecord(kSent, KindUart, UartWord(0, 300), 42, frame.data(), frame.size());
    EXPECT_EQ(slot.data[kMonitorDataBytes - 1], 0x5A);
    EXPECT_EQ(slot.fastInitLowMs, 0xA1);  // the copy stopped at 260
    EXPECT_EQ(slot.slowInitAddress, 0xA3);
    EXPECT_EQ(slot.timeMs, 42u);
    EXPECT_EQ(slot.lengthWord, UartWord(0, 300));

    struct Case {
        MonitorInitBytes init;
        uint8_t low, high, address;
    };
    MonitorInitBytes fast;
    fast.which = MonitorInitBytes::Fast;
    fast.lowMs = 25;
    fast.highMs = 24;
    fast.address = 0x99;
    MonitorInitBytes slow;
    slow.which = MonitorInitBytes::Slow;
    slow.address = 0x33;
    slow.lowMs = 0x99;
    const Case cases[] = {{MonitorInitBytes(), 0xA1, 0xA2, 0xA3}, {fast, 25, 24, 0xA3}, {slow, 0xA1, 0xA2, 0x33}};
    for (const Case& c : cases) {
        ResetMonitorRing();
        slot.fastInitLowMs = 0xA1;
        slot.fastInitHighMs = 0xA2;
        slot.slowInitAddress = 0xA3;
        slot.data[20] = 0x77;
        const uint8_t two[2] = {1, 2};
        AppendMonitorRecord(kSent, KindUart, UartWord(1, 2), 0, two, 2, c.init);
        EXPECT_EQ(slot.fastInitLowMs, c.low);
        EXPECT_EQ(slot.fastInitHighMs, c.high);
        EXPECT_EQ(slot.slowInitAddress, c.address);
        EXPECT_EQ(slot.data[20], 0x77);  // a 16-byte or short frame leaves the rest alone
    }
}

TEST_F(MonitorRing, NewRecordsAreSeenOnceAlsoWhenTheRingIsFull) {
    EXPECT_FALSE(MonitorTakeNewRecords());
    AppendNumbered(3);
    EXPECT_TRUE(MonitorTakeNewRecords());
    EXPECT_FALSE(MonitorTakeNewRecords());

    AppendNumbered(kMonitorCapacity);
    EXPECT_TRUE(MonitorTakeNewRecords());
    ASSERT_EQ(g_MonitorCount.load(), kMonitorCapacity);
    AppendNumbered(1);  // the count stays at 100000; the change must still show
    EXPECT_EQ(g_MonitorCount.load(), kMonitorCapacity);
    EXPECT_TRUE(MonitorTakeNewRecords());
    EXPECT_FALSE(MonitorTakeNewRecords());
}

TEST_F(MonitorRing, ARunAfterClearOfTheSameSizeIsStillSeen) {
    AppendNumbered(7);
    EXPECT_TRUE(MonitorTakeNewRecords());
    ResetMonitorRing();  // Clear refreshes the list itself
    EXPECT_FALSE(MonitorTakeNewRecords());
    AppendNumbered(7);
    EXPECT_TRUE(MonitorTakeNewRecords());
}

TEST_F(MonitorRing, CopyOfARunWrapsAfterTheLastSlot) {
    AppendNumbered(100003);
    MonitorRecord out[5];
    CopyMonitorRecords(99998, 5, out);
    const uint32_t expected[5] = {99999, 100000, 100001, 100002, 100003};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i].sequence, expected[i]);
    EXPECT_EQ(CopyMonitorRecord(100000 + 2).sequence, 100003u);
}

}  // namespace

#include <gtest/gtest.h>

#include <thread>

#include "MonitorTestSupport.h"
#include "monitor/RecordFormat.h"

namespace {

using MonitorRingThreads = CleanRing;

// A worker appends while the UI thread pages through the ring: every row it sees must be a
// whole record (all 16 bytes carry its sequence) and rows must run in sequence order.
TEST_F(MonitorRingThreads, PagesReadDuringAppendsSeeWholeRecordsInOrder) {
    constexpr uint32_t kAppends = 150000;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        AppendNumbered(kAppends);
        done = true;
    });

    g_MonitorRowsPerPage = 64;
    MonitorPage page;
    std::vector<MonitorRecord> copies(64);
    uint32_t pages = 0;
    bool sawNew = false;
    while (!done.load() || pages == 0) {
        sawNew = MonitorTakeNewRecords() || sawNew;
        g_MonitorTop = 0xFFFFFFFF;  // follow the newest records, as the hub does
        BuildMonitorPage(page);
        for (size_t i = 1; i < page.rows.size(); ++i) {
            const uint32_t a = std::stoul(page.rows[i - 1].cells[ColumnSequence]);
            const uint32_t b = std::stoul(page.rows[i].cells[ColumnSequence]);
            ASSERT_EQ(b, a + 1) << "page " << pages << " row " << i;
        }
        const uint32_t n = static_cast<uint32_t>(page.rows.size());
        if (n) {
            CopyMonitorRecords(page.rows[0].index, n, copies.data());
            for (uint32_t i = 0; i < n; ++i)
                for (int b = 0; b < 16; ++b)
                    ASSERT_EQ(copies[i].data[b], static_cast<uint8_t>(copies[i].sequence)) << "torn record";
        }
        ++pages;
    }
    worker.join();
    EXPECT_TRUE(MonitorTakeNewRecords() || sawNew);
    EXPECT_EQ(g_MonitorSeq.load(), kAppends + 1);
    EXPECT_EQ(g_MonitorCount.load(), kMonitorCapacity);
}

}  // namespace

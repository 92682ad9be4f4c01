#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "MonitorTestSupport.h"
#include "monitor/RecordFormat.h"

namespace {

using MonitorRingThreads = CleanRing;

// The UI pages through the ring while the worker appends: every row is a whole record
// (its 16 bytes carry its sequence) and rows run in sequence order.
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
    for (uint32_t pages = 0; !done.load() || pages == 0; ++pages) {
        g_MonitorTop = 0xFFFFFFFF;  // follow the newest, as the hub does
        BuildMonitorPage(page);
        const uint32_t n = static_cast<uint32_t>(page.rows.size());
        for (uint32_t i = 1; i < n; ++i)
            ASSERT_EQ(std::stoul(page.rows[i].cells[ColumnSequence]),
                      std::stoul(page.rows[i - 1].cells[ColumnSequence]) + 1) << "page " << pages;
        if (n == 0) continue;
        CopyMonitorRecords(page.rows[0].index, n, copies.data());
        for (uint32_t i = 0; i < n; ++i)
            for (int b = 0; b < 16; ++b)
                ASSERT_EQ(copies[i].data[b], static_cast<uint8_t>(copies[i].sequence)) << "torn record";
    }
    worker.join();
    EXPECT_EQ(g_MonitorSeq.load(), kAppends + 1);
    EXPECT_EQ(g_MonitorCount.load(), kMonitorCapacity);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/persistence/HistoryCsv.h"
#include "core/stats/DayAccounting.h"

namespace pt {
namespace {

std::string Golden(const char* name) {
    std::ifstream in(std::string(PT_SOURCE_DIR "/tests/core/golden/") + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(HistoryCsv, SmallHistoryMatchesTheGoldenBytes) {
    const std::vector<DayRow> days = {
        {"2026-02-28", {123456, 812, 3, 95, 10432, 28800}},
        {"2026-03-01", {0, 0, 0, 0, 0, 10}},
        {"2026-03-02", {10000000, 2147483647, 1, 2, 3, 86400}},
    };
    const std::string golden = Golden("days.csv");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(HistoryCsv(days), golden);
}

TEST(HistoryCsv, EmptyHistoryIsTheHeaderAlone) {
    EXPECT_EQ(HistoryCsv({}),
              "date,travel_pixels,travel_metres,left_clicks,middle_clicks,right_clicks,keys,"
              "use_time_seconds\r\n");
}

TEST(HistoryCsv, ADateTypedIntoTheStoreWithACommaOrQuoteIsQuoted) {
    const std::string csv = HistoryCsv({{"a,\"b\"", {}}});
    EXPECT_NE(csv.find("\r\n\"a,\"\"b\"\"\",0,0.000,"), std::string::npos) << csv;
}

TEST(HistoryCsv, TenYearsOfDaysEveryLineWholeAndInOrder) {
    std::vector<DayRow> days;
    std::string date = "2016-12-09";
    std::int64_t travelSum = 0;
    for (int i = 0; i < 3652; ++i) {
        days.push_back({date, {i * 1000LL, i, i % 7, i % 3, i * 5LL, 3600 + i}});
        travelSum += i * 1000LL;
        date = IsoDateMinusDays(date, -1);
    }
    const std::string csv = HistoryCsv(days);
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    int count = 0;
    std::int64_t readSum = 0;
    std::string previous;
    while (std::getline(lines, line)) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        ASSERT_EQ(std::count(line.begin(), line.end(), ','), 7) << line;
        const std::string rowDate = line.substr(0, 10);
        EXPECT_LT(previous, rowDate);
        previous = rowDate;
        readSum += std::stoll(line.substr(11, line.find(',', 11) - 11));
        ++count;
    }
    EXPECT_EQ(count, 3652);
    EXPECT_EQ(readSum, travelSum);
    EXPECT_EQ(days.back().date, "2026-12-08");
    EXPECT_NE(csv.find("\r\n2026-12-08,3651000,967.515,3651,4,0,18255,7251\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace pt

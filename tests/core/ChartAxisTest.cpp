#include "core/stats/ChartAxis.h"

#include <gtest/gtest.h>

#include "core/stats/DayAccounting.h"

namespace pt {
namespace {

// Seven pixels a character, as a narrow font.
int Narrow(std::string_view text) {
    return static_cast<int>(text.size()) * 7;
}

std::vector<std::string> DaysUpTo(const std::string& last, int count) {
    std::vector<std::string> days;
    for (int back = count - 1; back >= 0; --back) days.push_back(IsoDateMinusDays(last, back));
    return days;
}

void ExpectInsideAndApart(const std::vector<AxisLabel>& labels, int chartWidth) {
    for (size_t i = 0; i < labels.size(); ++i) {
        EXPECT_GE(labels[i].left, 0) << labels[i].text;
        EXPECT_LE(labels[i].left + labels[i].width, chartWidth) << labels[i].text;
        if (i > 0) {
            EXPECT_GE(labels[i].left, labels[i - 1].left + labels[i - 1].width + AxisLabelGap);
        }
    }
}

// A year of days names months: all twelve where there is room, else every 2nd, 3rd ...
// month, evenly spaced and with January among them.
TEST(ChartAxis, AYearIsNamedByEvenlySpacedMonthsWithJanuary) {
    const auto days = DaysUpTo("2026-12-08", 365);
    const auto wide = AxisLabels(days, 8, 1400.0 / 365, 1416, Narrow);
    ASSERT_EQ(wide.size(), 12u);
    EXPECT_EQ(wide.front().text, "2026-01");
    EXPECT_EQ(wide.back().text, "2026-12");
    ExpectInsideAndApart(wide, 1416);

    for (int width : {300, 420, 600}) {
        const auto labels = AxisLabels(days, 8, width / 365.0, width + 16, Narrow);
        ASSERT_GE(labels.size(), 2u) << width;
        ExpectInsideAndApart(labels, width + 16);
        bool january = false;
        int step = 0;
        for (size_t i = 0; i < labels.size(); ++i) {
            const int month = std::stoi(labels[i].text.substr(5, 2));
            january = january || month == 1;
            if (i > 0) {
                const int gap = (month - std::stoi(labels[i - 1].text.substr(5, 2)) + 12) % 12;
                if (step == 0) step = gap;
                EXPECT_EQ(gap, step) << labels[i].text << " at " << width;
            }
        }
        EXPECT_TRUE(january) << width;
        EXPECT_EQ(12 % step, 0) << width;
    }
}

// A short range names days: whole dates where they fit, else month and day; other names
// (hours) as they are; each centred under its bar.
TEST(ChartAxis, AShortRangeNamesDaysAndHoursAsTheyFit) {
    const auto week = DaysUpTo("2026-12-08", 7);
    const auto whole = AxisLabels(week, 0, 100, 700, Narrow);
    ASSERT_EQ(whole.size(), 7u);
    EXPECT_EQ(whole[0].text, "2026-12-02");
    EXPECT_EQ(whole[0].left, 50 - 35);  // centred under the first bar
    const auto month = AxisLabels(DaysUpTo("2026-12-08", 30), 0, 20, 600, Narrow);
    ASSERT_FALSE(month.empty());
    EXPECT_EQ(month[0].text, "11-09");
    ExpectInsideAndApart(month, 600);

    std::vector<std::string> hours;
    for (int h = 0; h < 24; ++h) hours.push_back(std::to_string(h));
    const auto labels = AxisLabels(hours, 0, 10, 240, Narrow);
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels[0].text, "0");
    ExpectInsideAndApart(labels, 240);
    EXPECT_TRUE(AxisLabels({}, 0, 10, 240, Narrow).empty());
}

}  // namespace
}  // namespace pt

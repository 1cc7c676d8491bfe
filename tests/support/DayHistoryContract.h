#pragma once

// The day history's contract, run against every store that keeps one: include this header
// in one test file of a binary and instantiate the suite with the binary's backends:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Sqlite, DayHistoryContract, SqliteHistoryBackend);
// A backend has `std::unique_ptr<Store> open()` (a store over the same place each time, as
// a restart opens it) and `void inSave(Store&, fn)` (runs fn inside a save's batch).

#include <gtest/gtest.h>

#include <memory>

#include "core/ports/DayHistory.h"

namespace pt::test {

template <class B>
class DayHistoryContract : public ::testing::Test {
protected:
    B backend;
    std::unique_ptr<typename B::Store> store = backend.open();
};

TYPED_TEST_SUITE_P(DayHistoryContract);

TYPED_TEST_P(DayHistoryContract, FiguresAddUpInOneRowPerDateAndHour) {
    auto& store = *this->store;
    EXPECT_TRUE(store.days().empty());
    EXPECT_TRUE(store.hours("2026-12-08").empty());
    store.add("2026-12-09", 0, {10, 1, 0, 0, 5, 60});
    store.add("2026-12-08", 23, {7, 0, 1, 0, 2, 30});
    store.add("2026-12-08", 23, {3, 2, 0, 1, 1, 10});
    store.add("2026-12-08", 22, {1, 0, 0, 0, 0, 1});
    const auto days = store.days();
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0], (DayRow{"2026-12-08", {11, 2, 1, 1, 3, 41}}));
    EXPECT_EQ(days[1], (DayRow{"2026-12-09", {10, 1, 0, 0, 5, 60}}));
    const auto hours = store.hours("2026-12-08");
    ASSERT_EQ(hours.size(), 2u);
    EXPECT_EQ(hours[0], (HourRow{22, 1, 0, 0}));
    EXPECT_EQ(hours[1], (HourRow{23, 10, 4, 3}));
    EXPECT_TRUE(store.hours("2026-12-07").empty());
}

TYPED_TEST_P(DayHistoryContract, ARestartReadsBackWhatWasSaved) {
    // Counts beyond 32 bits, a year boundary, a save across midnight in one batch.
    this->backend.inSave(*this->store, [&](auto& s) {
        s.add("2025-12-31", 23, {5'000'000'000LL, 3'000'000'000LL, 1, 2, 4'000'000'000LL, 86399});
        s.add("2026-01-01", 0, {1, 0, 0, 0, 0, 1});
    });
    this->store.reset();
    auto again = this->backend.open();
    const auto days = again->days();
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0], (DayRow{"2025-12-31",
                               {5'000'000'000LL, 3'000'000'000LL, 1, 2, 4'000'000'000LL, 86399}}));
    EXPECT_EQ(days[1].date, "2026-01-01");
    ASSERT_EQ(again->hours("2025-12-31").size(), 1u);
    EXPECT_EQ(again->hours("2025-12-31")[0],
              (HourRow{23, 5'000'000'000LL, 3'000'000'003LL, 4'000'000'000LL}));
    // And goes on adding to the same rows.
    again->add("2026-01-01", 0, {1, 0, 0, 0, 0, 1});
    EXPECT_EQ(again->days()[1].figures, (DayFigures{2, 0, 0, 0, 0, 2}));
    EXPECT_EQ(again->hours("2026-01-01"), (std::vector<HourRow>{{0, 2, 0, 0}}));
}

TYPED_TEST_P(DayHistoryContract, DroppedHoursAndAClearingStayDoneAfterARestart) {
    auto& store = *this->store;
    for (const char* date : {"2026-11-01", "2026-11-02", "2026-11-03"})
        for (int hour : {8, 9}) store.add(date, hour, {1, 1, 0, 0, 1, 1});
    this->backend.inSave(store, [&](auto& s) {
        s.add("2026-11-03", 10, {1, 0, 0, 0, 0, 0});
        s.dropHoursBefore("2026-11-03");
    });
    store.dropHoursBefore("2026-11-01");  // nothing before the first day
    {
        auto again = this->backend.open();
        EXPECT_TRUE(again->hours("2026-11-01").empty());
        EXPECT_TRUE(again->hours("2026-11-02").empty());
        EXPECT_EQ(again->hours("2026-11-03").size(), 3u);
        // The days keep their figures.
        ASSERT_EQ(again->days().size(), 3u);
        EXPECT_EQ(again->days()[0].figures, (DayFigures{2, 2, 0, 0, 2, 2}));
        EXPECT_EQ(again->days()[2].figures, (DayFigures{3, 2, 0, 0, 2, 2}));
    }
    store.clear();
    EXPECT_TRUE(store.days().empty());
    {
        auto again = this->backend.open();
        EXPECT_TRUE(again->days().empty());
        EXPECT_TRUE(again->hours("2026-11-03").empty());
    }
    store.add("2026-11-04", 1, {1, 0, 0, 0, 0, 0});
    this->store.reset();
    EXPECT_EQ(this->backend.open()->days(),
              (std::vector<DayRow>{{"2026-11-04", {1, 0, 0, 0, 0, 0}}}));
}

TYPED_TEST_P(DayHistoryContract, ManySavesKeepEveryAmount) {
    // A day of saves, each with an hour of its own now and then: nothing lost or doubled.
    auto& store = *this->store;
    for (int save = 0; save < 2050; ++save)
        this->backend.inSave(store, [&](auto& s) {
            s.add("2026-12-08", save % 24, {2, 1, 0, 0, 3, 10});
        });
    this->store.reset();
    auto again = this->backend.open();
    ASSERT_EQ(again->days().size(), 1u);
    EXPECT_EQ(again->days()[0].figures, (DayFigures{4100, 2050, 0, 0, 6150, 20500}));
    std::int64_t keys = 0;
    for (const HourRow& hour : again->hours("2026-12-08")) keys += hour.keys;
    EXPECT_EQ(keys, 6150);
    EXPECT_EQ(again->hours("2026-12-08").size(), 24u);
}

REGISTER_TYPED_TEST_SUITE_P(DayHistoryContract, FiguresAddUpInOneRowPerDateAndHour,
                            ARestartReadsBackWhatWasSaved,
                            DroppedHoursAndAClearingStayDoneAfterARestart,
                            ManySavesKeepEveryAmount);

}  // namespace pt::test

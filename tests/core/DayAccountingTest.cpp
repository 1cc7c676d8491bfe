#include <gtest/gtest.h>

#include <map>

#include "core/persistence/ValueNames.h"
#include "core/stats/DayAccounting.h"
#include "core/stats/NumberText.h"
#include "core/stats/PersistenceTick.h"
#include "support/Fakes.h"
#include "support/MemoryDayHistory.h"
#include "support/TempDir.h"

namespace pt {
namespace {

// One run of the program: the totals as loaded at start, the one-second tick, the
// day accounting. A new run over the same store and totals is a restart.
class DayAccountingTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::MemoryDayHistory store;
    test::FakeClock clock;
    StatisticsModel model;
    FormModel form;
    Language lang = Language::Simplified;
    std::string computer = "PC", startDate = "2026-12-01";
    std::unique_ptr<PersistenceTick> tick;
    std::unique_ptr<DayAccounting> days;

    void startRun() {
        model.startFrom(model.totals());  // today's figures begin at zero
        days = std::make_unique<DayAccounting>(model, store, clock);
        tick = std::make_unique<PersistenceTick>(
            model, form, store, clock, lang, dir / "PTDATA.CVD", computer, startDate, days.get());
        days->begin();
    }
    // One second of use: some input, then the tick.
    void second(int travel = 7, int left = 1, int keys = 3) {
        model.addTravel(0, 0, travel + 0.25);
        for (int i = 0; i < left; ++i) model.countClick(MouseButton::Left);
        for (int i = 0; i < keys; ++i) model.countKey();
        tick->tick();
        advance(1);
    }
    void advance(int seconds) {
        LocalTime& t = clock.time;
        int s = t.hour * 3600 + t.minute * 60 + t.second + seconds;
        while (s >= 86400) {
            s -= 86400;
            const std::string next = IsoDateMinusDays(IsoDate(t), -1);
            clock.setDate(std::stoi(next.substr(0, 4)), std::stoi(next.substr(5, 2)),
                          std::stoi(next.substr(8, 2)));
        }
        clock.setTime(s / 3600, s / 60 % 60, s % 60);
    }
    std::map<std::string, DayFigures> rows() {
        std::map<std::string, DayFigures> byDate;
        for (const DayRow& row : store.days()) byDate[row.date] = row.figures;
        return byDate;
    }
    DayFigures sum() {
        DayFigures total;
        for (const DayRow& row : store.days()) total += row.figures;
        return total;
    }
    std::int64_t storedTotal(std::string_view name) {
        return static_cast<std::int64_t>(NumericValue(ReadSetting(store, MainKey, name)));
    }
};

TEST(IsoDates, CountAcrossMonthsYearsAndLeapDays) {
    EXPECT_EQ(IsoDate({2026, 1, 5, 0, 0, 0, 1}), "2026-01-05");
    EXPECT_EQ(IsoDateMinusDays("2028-03-01", 1), "2028-02-29");
    EXPECT_EQ(IsoDateMinusDays("2027-03-01", 1), "2027-02-28");
    EXPECT_EQ(IsoDateMinusDays("2027-01-01", 1), "2026-12-31");
    EXPECT_EQ(IsoDateMinusDays("2026-12-31", -1), "2027-01-01");
    EXPECT_EQ(IsoDateMinusDays("2026-12-08", 29), "2026-11-09");
    EXPECT_EQ(IsoDateMinusDays("2026-02-30", 1), "");
    EXPECT_EQ(IsoDateMinusDays("2026/12/08", 1), "");
    EXPECT_EQ(IsoDateMinusDays("", 1), "");
}

TEST_F(DayAccountingTest, ARunAcrossMidnightSplitsExactlyAndOnlyTheGrowthCounts) {
    // Totals of earlier years are loaded at start; they belong to no day of this run.
    model.startFrom(LifetimeTotals{5000, 1e6, {400, 0, 0, 0}, DynamicValue::Double(90000)});
    clock.setDate(2026, 12, 8);
    clock.setTime(23, 59, 30);
    startRun();
    for (int i = 0; i < 50; ++i) second();
    tick->saveAll();

    // 30 ticks before midnight count 30 seconds; the input up to the tick that sees the
    // new day (31 seconds of it) was counted before the day changed.
    auto r = rows();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r["2026-12-08"].useSeconds, 30);
    EXPECT_EQ(r["2026-12-09"].useSeconds, 20);
    EXPECT_EQ(r["2026-12-08"].leftClicks, 31);
    EXPECT_EQ(r["2026-12-09"].leftClicks, 19);
    EXPECT_EQ(r["2026-12-08"].keys, 93);
    // Whole pixels: 31 x 7.25 = 224.75 before, 50 x 7.25 = 362.5 in all.
    EXPECT_EQ(r["2026-12-08"].travel, 224);
    EXPECT_EQ(r["2026-12-08"].travel + r["2026-12-09"].travel, 362);
    // The old day was closed by a save at the change, before the next ten-second save.
    EXPECT_EQ(storedTotal(value::AllUseTime), 5050);
    EXPECT_EQ(storedTotal(value::AllMoveWritten), 1000362);

    const auto lateHours = store.hours("2026-12-08");
    ASSERT_EQ(lateHours.size(), 1u);
    EXPECT_EQ(lateHours[0], (HourRow{23, 224, 31, 93}));
    const auto earlyHours = store.hours("2026-12-09");
    ASSERT_EQ(earlyHours.size(), 1u);
    EXPECT_EQ(earlyHours[0].hour, 0);
    EXPECT_EQ(earlyHours[0].clicks, 19);
}

TEST_F(DayAccountingTest, DaysOffLeaveNoRowsAndOldHoursAreDropped) {
    clock.setDate(2026, 12, 1);
    clock.setTime(9, 0, 0);
    startRun();
    for (int i = 0; i < 20; ++i) second();
    tick->saveAll();

    // Off for five days, then a restart with the totals as they were saved.
    clock.setDate(2026, 12, 6);
    startRun();
    for (int i = 0; i < 20; ++i) second();
    tick->saveAll();
    auto r = rows();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r.count("2026-12-01"), 1u);
    EXPECT_EQ(r.count("2026-12-06"), 1u);
    EXPECT_EQ(r["2026-12-06"].useSeconds, 20);
    EXPECT_EQ(store.hours("2026-12-01").size(), 1u);

    // Thirty days on, the first day's hours go; its day row stays.
    clock.setDate(2026, 12, 31);
    startRun();
    for (int i = 0; i < 10; ++i) second();
    EXPECT_EQ(store.hours("2026-12-01").size(), 0u);
    EXPECT_EQ(store.hours("2026-12-06").size(), 1u);
    EXPECT_EQ(rows().size(), 3u);
}

TEST_F(DayAccountingTest, AClockSetBackNeverLowersADayNorRepeatsOne) {
    clock.setDate(2026, 12, 10);
    clock.setTime(12, 0, 0);
    startRun();
    std::map<std::string, DayFigures> seen;
    auto checkGrowth = [&] {
        for (const auto& [date, f] : rows()) {
            const DayFigures& before = seen[date];
            EXPECT_GE(f.travel, before.travel) << date;
            EXPECT_GE(f.leftClicks, before.leftClicks) << date;
            EXPECT_GE(f.keys, before.keys) << date;
            EXPECT_GE(f.useSeconds, before.useSeconds) << date;
            seen[date] = f;
        }
    };
    for (int i = 0; i < 25; ++i) second(), checkGrowth();
    clock.setTime(11, 0, 5);  // back an hour
    for (int i = 0; i < 25; ++i) second(), checkGrowth();
    clock.setDate(2026, 12, 9);  // back a day
    for (int i = 0; i < 25; ++i) second(), checkGrowth();
    clock.setDate(2026, 12, 10);  // and forward again
    for (int i = 0; i < 25; ++i) second(), checkGrowth();
    tick->saveAll();
    checkGrowth();

    const auto all = store.days();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].date, "2026-12-09");
    EXPECT_EQ(all[1].date, "2026-12-10");
    EXPECT_EQ(sum().useSeconds, 100);
    EXPECT_EQ(sum().leftClicks, 100);
    // Hour 11 of the tenth got the run after the clock went back, once per hour row.
    const auto hours = store.hours("2026-12-10");
    ASSERT_EQ(hours.size(), 2u);
    EXPECT_EQ(hours[0].hour, 11);
    EXPECT_EQ(hours[1].hour, 12);
}

TEST_F(DayAccountingTest, AFailedSaveLeavesTheDaysInStepWithTheTotals) {
    clock.setDate(2026, 12, 8);
    clock.setTime(23, 59, 0);
    startRun();
    for (int i = 0; i < 10; ++i) second();  // one good save
    const DayFigures afterGoodSave = sum();
    EXPECT_EQ(afterGoodSave.useSeconds, storedTotal(value::AllUseTime));

    store.failBatches = true;  // every save fails, the one at midnight too
    for (int i = 0; i < 70; ++i) second();
    EXPECT_EQ(sum(), afterGoodSave);
    EXPECT_EQ(storedTotal(value::AllUseTime), 10);

    store.failBatches = false;
    for (int i = 0; i < 10; ++i) second();
    // Both parts of the store have every second counted, each day what it had.
    EXPECT_EQ(storedTotal(value::AllUseTime), 90);
    EXPECT_EQ(sum().useSeconds, 90);
    EXPECT_EQ(sum().leftClicks, storedTotal(value::leftClick));
    EXPECT_EQ(sum().travel, storedTotal(value::AllMoveWritten));
    EXPECT_EQ(rows()["2026-12-08"].useSeconds, 60);
    EXPECT_EQ(rows()["2026-12-09"].useSeconds, 30);
}

TEST_F(DayAccountingTest, AResetCreditsWhatCameBeforeAndKeepsOrClearsTheHistory) {
    clock.setDate(2026, 12, 8);
    startRun();
    for (int i = 0; i < 15; ++i) second();  // saved after 10, 5 pending
    days->beforeReset();
    model.reset();
    days->afterReset(false);
    for (int i = 0; i < 10; ++i) second();  // the save at 10 s of the restarted figures
    EXPECT_EQ(rows()["2026-12-08"].useSeconds, 25);
    EXPECT_EQ(rows()["2026-12-08"].leftClicks, 25);
    EXPECT_EQ(storedTotal(value::AllUseTime), 10);

    days->beforeReset();
    days->afterReset(true);
    EXPECT_TRUE(store.days().empty());
    EXPECT_TRUE(store.hours("2026-12-08").empty());
    for (int i = 0; i < 10; ++i) second();
    EXPECT_EQ(rows()["2026-12-08"].useSeconds, 10);
}

TEST_F(DayAccountingTest, NothingIsCreditedBeforeTheStartIsComplete) {
    days = std::make_unique<DayAccounting>(model, store, clock);
    tick = std::make_unique<PersistenceTick>(model, form, store, clock, lang, dir / "PTDATA.CVD",
                                             computer, startDate, days.get());
    model.startFrom(LifetimeTotals{0, 5000, {}, {}});  // the start-up merge
    tick->saveAll();
    EXPECT_TRUE(store.days().empty());
    days->begin();
    tick->saveAll();
    EXPECT_TRUE(store.days().empty()) << "a save with nothing counted adds no row";
}

}  // namespace
}  // namespace pt

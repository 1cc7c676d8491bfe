#include <gtest/gtest.h>

#include <cmath>

#include "core/stats/Points.h"
#include "core/stats/SamplingTick.h"
#include "core/texts/MainWindowTexts.h"
#include "support/Fakes.h"
#include "support/ModelWith.h"

namespace pt {
namespace {

struct SamplingFixture : ::testing::Test {
    StatisticsModel model;
    FormModel form;
    test::FakeCursor cursor;
    test::EnglishNumberFormat numbers;

    std::string text(const char* name) { return form.get(ControlId{name}).text; }
    std::string tip(const char* name) { return form.get(ControlId{name}).toolTip; }
};

TEST_F(SamplingFixture, AddsTheSampledTravelAndShowsThePosition) {
    SamplingTick tick(model, form, cursor, numbers, Language::Simplified);
    cursor.push(CursorReading{300, 400, 500, 1});
    tick.tick();
    EXPECT_EQ(model.todayTravel(), 500);
    EXPECT_EQ(model.totals().travel, 500);
    EXPECT_EQ(model.x(), 300);
    EXPECT_EQ(model.y(), 400);
    EXPECT_EQ(text("Label6"), "( 300, 400)");
    EXPECT_EQ(text("Label2"), " 0.132m ");
    EXPECT_EQ(text("StatusBar1.Panel2"), " 0.132m ");
    EXPECT_EQ(text("Label4"), " 0.000km ");

    cursor.push(CursorReading{-8, 5, 10, 3});
    tick.tick();
    EXPECT_EQ(text("Label6"), "(-8, 5)");
    EXPECT_EQ(model.todayTravel(), 510);
    EXPECT_EQ(tick.samples(), 4u);
}

TEST_F(SamplingFixture, AFailedReadAddsNothingAndChangesNoText) {
    SamplingTick tick(model, form, cursor, numbers, Language::Simplified);
    cursor.push(CursorReading{512, 384, 640, 1});
    tick.tick();
    form.takeChanges();
    cursor.push(std::nullopt);
    tick.tick();
    EXPECT_EQ(model.totals().travel, 640);
    EXPECT_EQ(text("Label6"), "( 512, 384)");
    EXPECT_TRUE(form.takeChanges().empty()) << "a still pointer must not touch the view";
}

TEST_F(SamplingFixture, TravelTextsUseGroupingAndThreeDecimals) {
    SamplingTick tick(model, form, cursor, numbers, Language::Simplified);
    model.startFrom(test::Totals(0, 1e12));
    cursor.push(CursorReading{0, 0, 3773585, 1});
    tick.tick();
    EXPECT_EQ(text("Label2"), " 1,000.000m ");
    EXPECT_EQ(text("Label4"), " 265,000.986km ");
}

TEST_F(SamplingFixture, StatusPanelThreeShowsClicksAndKeys) {
    SamplingTick tick(model, form, cursor, numbers, Language::Simplified);
    tick.tick();
    EXPECT_EQ(text("StatusBar1.Panel3"), "0/");
    model.countKey();
    tick.tick();
    EXPECT_EQ(text("StatusBar1.Panel3"), "0/1");
}

TEST_F(SamplingFixture, ClickLinesInGbCarryExactTooltips) {
    SamplingTick tick(model, form, cursor, numbers, Language::Simplified);
    model = test::ModelWith(test::Totals(0, 0, {9997, 0, 0, 9997}), 0, 0, {2, 0, 1, 3});
    tick.tick();
    EXPECT_EQ(text("Label26"), "今日鼠标点击次数");
    EXPECT_EQ(text("Label27"), "3");
    EXPECT_EQ(text("Label31"), "2");
    EXPECT_EQ(text("Label36"), "0");
    EXPECT_EQ(text("Label40"), "1");
    EXPECT_EQ(text("Label42"), "1万");
    EXPECT_EQ(tip("Label42"), "10000");
    EXPECT_EQ(text("Label46"), "9999");
    EXPECT_EQ(tip("Label46"), "9999");
    EXPECT_EQ(text("Label30"), "键点击");
}

TEST_F(SamplingFixture, ClickLinesInB5LeaveTooltipsAlone) {
    SamplingTick tick(model, form, cursor, numbers, Language::Traditional);
    model.startFrom(test::Totals(0, 0, {0, 0, 0, 12346}));
    tick.tick();
    EXPECT_EQ(text("Label24"), "滑鼠累計點擊次數");
    EXPECT_EQ(text("Label42"), "1.2萬");
    EXPECT_EQ(tip("Label42"), "");
    EXPECT_EQ(text("Label45"), "鍵點擊");
}

TEST(Points, ThresholdsOfTermsAndLevels) {
    StatisticsModel m;
    FormModel form;
    m.startFrom(test::Totals(0, 377358));
    ShowPointsAndLevel(m, form, Language::Simplified);
    EXPECT_EQ(m.points().toDouble(), 0);
    EXPECT_EQ(form.get(ControlId{"Label21"}).text, "0分(差10分)");
    EXPECT_EQ(form.get(ControlId{"Label21"}).toolTip, "离第2级还差10分");
    EXPECT_EQ(form.get(ControlId{"Label19"}).text, "1级");
    m.addTravel(0, 0, 1);
    EXPECT_EQ(ComputeLevel(m).points, 1);

    m.startFrom(test::Totals(3599, 0));
    EXPECT_EQ(ComputeLevel(m).points, 0);
    m.countUseSecond();
    EXPECT_EQ(ComputeLevel(m).points, 1);
    m.startFrom(test::Totals(3600, 0, {0, 0, 0, 999}));
    EXPECT_EQ(ComputeLevel(m).points, 1);
    m.countClick(MouseButton::Left);
    m.startFrom(test::Totals(3600, 0, {0, 0, 0, 1000}, DynamicValue::Int16(7999)));
    EXPECT_EQ(ComputeLevel(m).points, 9);
    EXPECT_EQ(ComputeLevel(m).level, 1);
    EXPECT_EQ(ComputeLevel(m).gap, 1);
    m.countKey();
    EXPECT_EQ(ComputeLevel(m).level, 2);
    EXPECT_EQ(ComputeLevel(m).gap, 20);
}

TEST(Points, EveryLevelThresholdIsExact) {
    // Level L begins at 5 * L * (L - 1) points, far beyond where a square root could slip.
    StatisticsModel m;
    for (double level : {2.0, 3.0, 10.0, 1000.0, 123456.0}) {
        double start = 5 * level * (level - 1);
        m.startFrom(test::Totals(start * 3600, 0));
        EXPECT_EQ(ComputeLevel(m).level, level);
        EXPECT_EQ(ComputeLevel(m).gap, 10 * level);
        m.startFrom(test::Totals((start - 1) * 3600, 0));
        EXPECT_EQ(ComputeLevel(m).level, level - 1);
        EXPECT_EQ(ComputeLevel(m).gap, 1);
    }
}

// The level as it was always counted: up one at a time from level 1. Continued from the
// previous level for rising points, which gives the same result as starting at 1.
double CountedLevel(double points, double from) {
    double level = from;
    while (5 * (level + 1) * level <= points) level += 1;
    return level;
}

TEST(Points, ClosedFormMatchesTheCountedLevelEverywhere) {
    double counted = 1;
    auto check = [&](double points) {
        counted = CountedLevel(points, counted);
        const Level l = LevelOfPoints(points);
        ASSERT_EQ(l.level, counted) << "points " << points;
        ASSERT_EQ(l.gap, 10 * ((counted + 1) * counted / 2) - points) << "points " << points;
    };
    for (double p = 0; p <= 1e6; ++p) check(p);
    // Around every threshold up to the points the largest stored totals can give.
    for (double level = 448; level <= 520000; ++level) {
        const double start = 5 * level * (level - 1);
        for (double p : {start - 1, start, start + 1}) check(p);
    }
}

TEST(Points, HugeOrBrokenTotalsGiveALevelAtOnce) {
    StatisticsModel m;
    m.startFrom(test::Totals(1e308, 1e308, {}, DynamicValue::Double(1e308)));
    const Level huge = ComputeLevel(m);
    EXPECT_GT(huge.level, 1e150);
    // 5.3e32 points: above about 4e32 the count already stalled
    m.startFrom(test::Totals(0, 2e38, {}, DynamicValue::Double(0)));
    EXPECT_GT(ComputeLevel(m).level, 1e16);
    // Not a number, infinite or negative: still an answer, level 1 where nothing counts.
    EXPECT_EQ(LevelOfPoints(std::nan("")).level, 1);
    EXPECT_EQ(LevelOfPoints(-5).level, 1);
    EXPECT_EQ(LevelOfPoints(-5).gap, 15);
    EXPECT_EQ(LevelOfPoints(HUGE_VAL).level, HUGE_VAL);
}

TEST(Points, TraditionalTextsForEveryLanguageButGb) {
    StatisticsModel m;
    FormModel form;
    m.startFrom(test::Totals(15 * 3600, 0));
    ShowPointsAndLevel(m, form, Language::English);
    EXPECT_EQ(form.get(ControlId{"Label21"}).text, "15分(差15分)");
    EXPECT_EQ(form.get(ControlId{"Label21"}).toolTip, "離第3級還差15分");
    EXPECT_EQ(form.get(ControlId{"Label19"}).text, "2級");
}

}  // namespace
}  // namespace pt

#include <gtest/gtest.h>

#include "core/shell/ClearAllPresenter.h"
#include "core/stats/SamplingTick.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"
#include "support/ModelWith.h"

namespace pt {
namespace {

class ClearAllTest : public ::testing::Test {
protected:
    StatisticsModel model;
    test::MemorySettingsStore store;
    test::FakeClock clock;
    test::FakeMessageBox boxes;

    void SetUp() override {
        // Today 10/2/3 clicks, an hour of use, 12,345.5 pixels and 321 keys on top of the
        // totals merged at start: 1000/200/300 = 1500 clicks, 99,999 s, 9.9e7 pixels.
        model = test::ModelWith(test::Totals(99999 - 3600, 9.9e7 - 12345.5, {990, 198, 297, 1485},
                                             DynamicValue::Double(1e6 - 321)),
                                12345.5, 3600, {10, 2, 3, 15}, 321, {4e5, 20000, 700});
        model.setUptime(4242);
        model.setPoints(77);
        WriteSetting(store, MainKey, "MaxTotalClick", "700");
        WriteSetting(store, MainKey, "MaxTotalClickDate", "2026-01-02");
        WriteSetting(store, MainKey, "MaxMove", "400000");
        WriteSetting(store, MainKey, "AllUseTime", "99999");
        clock.setDate(2026, 12, 8);
    }

    std::string stored(const char* name) { return ReadSetting(store, MainKey, name); }
    void expectUntouched() {
        EXPECT_EQ(model.totals().clicks.all, 1500);
        EXPECT_EQ(model.todayClicks().left, 10);
        EXPECT_EQ(model.records().clicks, 700);
        EXPECT_DOUBLE_EQ(model.totals().travel, 9.9e7);
        EXPECT_DOUBLE_EQ(model.totals().useTime, 99999);
        EXPECT_EQ(stored("MaxTotalClick"), "700");
        EXPECT_EQ(stored("MaxTotalClickDate"), "2026-01-02");
    }
};

TEST_F(ClearAllTest, YesZeroesExactlyTheTravelTimeAndClickStatistics) {
    ClearAllPresenter dialog(model, store, clock, boxes, Language::Simplified);
    boxes.answers = {MsgAnswer::Yes};
    dialog.click(ControlId{"Command1"});
    EXPECT_TRUE(dialog.closeRequested());

    const ClickCounts& d = model.todayClicks();
    const ClickCounts& c = model.totals().clicks;
    for (int v : {d.left, d.middle, d.right, d.all, c.left, c.middle, c.right, c.all,
                  model.records().clicks})
        EXPECT_EQ(v, 0);
    for (double v : {model.todayUseTime(), model.totals().useTime, model.records().useTime,
                     model.todayTravel(), model.totals().travel, model.records().travel})
        EXPECT_EQ(v, 0.0);

    // Kept: keystrokes, uptime and points.
    EXPECT_EQ(model.todayKeys(), DynamicValue::Int32(321));
    EXPECT_EQ(model.totals().keys, DynamicValue::Double(1e6));
    EXPECT_EQ(model.uptime(), 4242);
    EXPECT_EQ(model.points(), DynamicValue::Int32(77));

    // The store: the click record restarts today; the rest waits for the periodic save.
    EXPECT_EQ(stored("MaxTotalClick"), "0");
    EXPECT_EQ(stored("MaxTotalClickDate"), "2026-12-08");
    EXPECT_EQ(stored("MaxMove"), "400000");
    EXPECT_EQ(stored("AllUseTime"), "99999");
    EXPECT_EQ(store.writeCount(), 4 + 2);
}

TEST_F(ClearAllTest, BoxesAskYesNoThenReport) {
    ClearAllPresenter dialog(model, store, clock, boxes, Language::Simplified);
    boxes.answers = {MsgAnswer::Yes};
    dialog.confirmReset();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "请再次确认是否要将所有的统计数据归零？");
    EXPECT_EQ(boxes.shown[0].title, "数据重置确认(此操作不可逆)");
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(boxes.shown[1].text, "所有的统计数据已归零");
    EXPECT_EQ(boxes.shown[1].title, "Pathtally");
    EXPECT_EQ(boxes.shown[1].buttons, MsgButtons::Ok);
    EXPECT_EQ(boxes.shown[1].icon, MsgIcon::None);
}

TEST_F(ClearAllTest, NoCancelAndCloseChangeNothing) {
    ClearAllPresenter no(model, store, clock, boxes, Language::Simplified);
    boxes.answers = {MsgAnswer::No};
    no.click(ControlId{"Command1"});
    EXPECT_TRUE(no.closeRequested());
    EXPECT_EQ(boxes.shown.size(), 1u) << "no result box after No";
    expectUntouched();

    ClearAllPresenter cancel(model, store, clock, boxes, Language::Simplified);
    cancel.click(ControlId{"Command2"});
    EXPECT_TRUE(cancel.closeRequested());
    ClearAllPresenter closeBox(model, store, clock, boxes, Language::Simplified);
    closeBox.cancel();
    EXPECT_EQ(boxes.shown.size(), 1u);
    expectUntouched();
}

TEST_F(ClearAllTest, DialogTakesTheTraditionalTextsAndBoxesOnlySimplifiedInSimplified) {
    ClearAllPresenter b5(model, store, clock, boxes, Language::Traditional);
    EXPECT_EQ(b5.form().get(ControlId{"ClearAll"}).text, "數據重置");
    EXPECT_EQ(b5.form().get(ControlId{"Command1"}).text, "確定");
    EXPECT_EQ(b5.form().get(ControlId{"Command2"}).text, "取消");
    EXPECT_EQ(b5.form().get(ControlId{"Label1"}).text,
              "請注意：如果您想將所有的統計資料重置（即所有的統計資料歸零），請按[確定]，"
              "此操作不可逆，請謹慎考慮！");

    // A third language: the dialog stays Simplified, its boxes are Traditional.
    ClearAllPresenter en(model, store, clock, boxes, Language::English);
    EXPECT_EQ(en.form().get(ControlId{"ClearAll"}).text, "数据重置");
    EXPECT_EQ(en.form().get(ControlId{"Command1"}).text, "确定(&O)");
    EXPECT_EQ(en.form().get(ControlId{"Label1"}).text,
              "请注意：如果您想将所有的统计数据重置（即所有的统计数据归零），请按[确定]，"
              "此操作不可逆，请谨慎考虑！");
    boxes.answers = {MsgAnswer::Yes};
    en.confirmReset();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "請再次確認是否要將所有的統計資料歸零？");
    EXPECT_EQ(boxes.shown[0].title, "資料重置確認(此操作不可逆)");
    EXPECT_EQ(boxes.shown[1].text, "所有的統計資料已歸零");
}

// Pointer travel the sampler still holds when the reset is confirmed belongs to the time
// before the reset: it is folded in and cleared with the rest, never counted after it.
TEST_F(ClearAllTest, TravelMeasuredUpToTheConfirmationIsClearedWithTheRest) {
    test::FakeCursor cursor;
    test::EnglishNumberFormat numbers;
    FormModel window;
    SamplingTick sampling(model, window, cursor, numbers, Language::Simplified);
    for (int run = 1; run <= 50; ++run) {
        model.startFrom(test::Totals(0, 1e6 + run));
        model.addTravel(model.x(), model.y(), 100.0 * run);
        // The pointer moves right up to the confirmation; the window's tick has not yet
        // taken that travel from the sampler.
        cursor.push(CursorReading{run, 2 * run, 7.0 * run, 3});
        ClearAllPresenter dialog(model, store, clock, boxes, Language::Simplified, nullptr,
                                 [&sampling] { sampling.tick(); });
        boxes.answers = {MsgAnswer::Yes};
        dialog.click(ControlId{"Command1"});
        sampling.tick();  // the next display tick after the reset
        ASSERT_EQ(model.todayTravel(), 0.0) << "run " << run;
        ASSERT_EQ(model.totals().travel, 0.0) << "run " << run;
        EXPECT_EQ(window.get(ControlId{"Label6"}).text, PositionText(run, 2 * run));
        // Travel after the reset counts from the position the reset last saw.
        cursor.push(CursorReading{run + 3, 2 * run + 4, 5.0, 1});
        sampling.tick();
        EXPECT_EQ(model.todayTravel(), 5.0);
    }
}

}  // namespace
}  // namespace pt

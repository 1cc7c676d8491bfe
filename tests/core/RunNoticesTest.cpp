#include <gtest/gtest.h>

#include "core/stats/RunNotices.h"
#include "core/texts/MainWindowTexts.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"

namespace pt {
namespace {

class RunNoticesTest : public ::testing::Test {
protected:
    RunNotices make(bool testMode = false, Language lang = Language::Simplified) {
        return RunNotices(model, store, notifier, numbers, lang, testMode);
    }
    StatisticsModel model;
    test::MemorySettingsStore store;
    test::FakeNotifier notifier;
    test::EnglishNumberFormat numbers;
};

// Each best of earlier runs is told once when this run passes it, then never again.
TEST_F(RunNoticesTest, EachBestBeatenIsToldOnce) {
    model.recordTravel = 10000;  // 2.65 m
    model.recordUseTime = 100;
    model.recordClicks = 50;
    RunNotices notices = make();
    model.todayTravel = 10000;
    model.todayUseTime = 100;
    model.clicks.todayTotalClick = 50;
    notices.check();
    EXPECT_TRUE(notifier.notices.empty()) << "equal is no new best";

    model.todayTravel = 11111;
    notices.check();
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0],
              "Pathtally: 新纪录：本次运行鼠标已移动 2.944m，超过了历史最高记录");
    model.todayTravel = 20000;
    model.todayUseTime = 101;
    model.clicks.todayTotalClick = 51;
    notices.check();
    notices.check();
    ASSERT_EQ(notifier.notices.size(), 3u);
    EXPECT_EQ(notifier.notices[1],
              "Pathtally: 新纪录：本次运行电脑已用时 0:01:41，超过了历史最高记录");
    EXPECT_EQ(notifier.notices[2],
              "Pathtally: 新纪录：本次运行鼠标已点击 51 次，超过了历史最高记录");
}

// A first run has no best to beat; a level reached while running is told, in the
// window's language; the level the run started at is not.
TEST_F(RunNoticesTest, NewLevelsButNoFirstRunRecords) {
    model.totalUseTime = 9 * 3600;  // 9 points: level 1
    RunNotices notices = make(false, Language::Traditional);
    model.todayTravel = 5000;
    model.todayUseTime = 30;
    model.clicks.todayTotalClick = 3;
    notices.check();
    EXPECT_TRUE(notifier.notices.empty());
    model.totalUseTime = 10 * 3600;  // level 2
    notices.check();
    notices.check();
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0], "Pathtally: 恭喜：已升到第 2 級");
}

// Switched off in the store, or in test mode: nothing is shown, and what was passed
// meanwhile is not told later either.
TEST_F(RunNoticesTest, SwitchAndTestModeSilenceIt) {
    model.recordClicks = 5;
    RunNotices testRun = make(true);
    model.clicks.todayTotalClick = 6;
    model.totalUseTime = 10 * 3600;
    testRun.check();
    EXPECT_TRUE(notifier.notices.empty());

    model.clicks.todayTotalClick = 0;
    model.totalUseTime = 0;
    WriteSetting(store, MainKey, "Notify", "0");
    RunNotices off = make();
    model.clicks.todayTotalClick = 6;
    off.check();
    WriteSetting(store, MainKey, "Notify", "1");
    off.check();
    EXPECT_TRUE(notifier.notices.empty());
    model.totalUseTime = 10 * 3600;
    off.check();
    EXPECT_EQ(notifier.notices.size(), 1u) << "switched on again";
}

// A second start brings the running window forward; without a tray it says so.
TEST(AlreadyRunningText, PointsAtTheTrayOnlyWhereThereIsOne) {
    EXPECT_EQ(
        AlreadyRunningText(Language::Traditional, true),
        "这个程序正在运行中，不能重复运行，若在屏幕上看不到，请点击右下角相应图标处即可显示此程"
        "序");
    EXPECT_EQ(AlreadyRunningText(Language::Simplified, false),
              "这个程序正在运行中，不能重复运行，已将正在运行的窗口显示到屏幕最前面");
    EXPECT_EQ(AlreadyRunningText(Language::Traditional, false),
              "這個程式正在執行中，不能重複執行，已將正在執行的視窗顯示到螢幕最前面");
}

}  // namespace
}  // namespace pt

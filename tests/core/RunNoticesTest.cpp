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
    // This run counts `pixels` of travel, `seconds` of use and `clicks` left clicks more.
    void count(double pixels, int seconds, int clicks) {
        model.addTravel(0, 0, pixels);
        for (int i = 0; i < seconds; ++i) model.countUseSecond();
        for (int i = 0; i < clicks; ++i) model.countClick(MouseButton::Left);
    }
    test::FakeNotifier notifier;
    test::EnglishNumberFormat numbers;
};

// Each best of earlier runs is told once when this run passes it, then never again.
TEST_F(RunNoticesTest, EachBestBeatenIsToldOnce) {
    model.setRecords({.travel = 10000, .useTime = 100, .clicks = 50});  // 2.65 m
    RunNotices notices = make();
    count(10000, 100, 50);
    notices.check();
    EXPECT_TRUE(notifier.notices.empty()) << "equal is no new best";

    count(1111, 0, 0);  // 11,111 pixels
    notices.check();
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0],
              "Pathtally: 新纪录：本次运行鼠标已移动 2.944m，超过了历史最高记录");
    count(8889, 1, 1);
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
    model.startFrom(LifetimeTotals{9 * 3600 - 30, 0, {}, {}});
    RunNotices notices = make(false, Language::Traditional);
    count(5000, 30, 3);  // 9 points: level 1
    notices.check();
    EXPECT_TRUE(notifier.notices.empty());
    count(0, 3600, 0);  // level 2
    notices.check();
    notices.check();
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0], "Pathtally: 恭喜：已升到第 2 級");
}

// Switched off in the store, or in test mode: nothing is shown, and what was passed
// meanwhile is not told later either.
TEST_F(RunNoticesTest, SwitchAndTestModeSilenceIt) {
    model.setClickRecord(5);
    RunNotices testRun = make(true);
    count(0, 0, 6);
    model.startFrom(LifetimeTotals{10 * 3600, 0, {}, {}});
    testRun.check();
    EXPECT_TRUE(notifier.notices.empty());

    model.reset();
    model.setClickRecord(5);
    WriteSetting(store, MainKey, "Notify", "0");
    RunNotices off = make();
    count(0, 0, 6);
    off.check();
    WriteSetting(store, MainKey, "Notify", "1");
    off.check();
    EXPECT_TRUE(notifier.notices.empty());
    model.startFrom(LifetimeTotals{10 * 3600, 0, {}, {}});
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

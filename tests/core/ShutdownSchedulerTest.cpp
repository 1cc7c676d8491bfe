#include <gtest/gtest.h>

#include <memory>

#include "core/shutdown/ShutdownScheduler.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"

namespace pt {
namespace {

using shutdown_controls::ClockRule;

using test::FakeClock;
using test::FakeMessageBox;
using test::FakePower;

// Page 3 of the main window with a simulated clock, store, message boxes and power.
struct Page {
    FormModel form;
    test::MemorySettingsStore store;
    FakeClock clock;
    FakeMessageBox boxes;
    FakePower power;
    std::vector<std::string> events;  // "save", "quit" in the order they happened
    std::vector<bool> timer;          // the countdown timer started (true) and stopped
    CommandTable commands;
    std::unique_ptr<ShutdownScheduler> s;
    Language lang;
    bool testMode;

    explicit Page(Language l = Language::Simplified, bool test = false) : lang(l), testMode(test) {
        clock.setDate(2026, 12, 8);  // a Tuesday
        clock.setTime(21, 30);
        start();
    }
    // A fresh program start on the same store.
    void start() {
        form = FormModel();
        s.reset();
        commands = CommandTable();
        s = std::make_unique<ShutdownScheduler>(
            form, store, clock, boxes, power, lang, testMode, commands,
            [this] { events.push_back("save"); }, [this] { events.push_back("quit"); },
            [this](bool on) { timer.push_back(on); });
        s->restoreSchedule();
    }
    void tick(const std::string& box, bool on = true) {
        form.checkedByUser(form.slot(ControlId{box}), on);
        ASSERT_TRUE(commands.run(ControlId{box}));
    }
    void type(const std::string& field, const std::string& text) {
        form.textEditedByUser(form.slot(ControlId{field}), text);
    }
    void click(const std::string& name) { ASSERT_TRUE(commands.run(ControlId{name})); }
    // Ticks a row's box, fills its fields and presses its enable button.
    void arm(int row, const std::vector<std::string>& values) {
        static const char* checks[] = {"",       "",       "Check2", "Check3", "Check4",
                                       "Check5", "Check6", "Check7", "Check8", "Check9"};
        static const int firstField[] = {0, 0, 2, 4, 6, 8, 10, 14, 16, 18};
        tick(checks[row]);
        for (size_t i = 0; i < values.size(); ++i)
            type("Text" + std::to_string(firstField[row] + static_cast<int>(i)), values[i]);
        click("Command" + std::to_string(2 * row - 1));
    }
    std::string stored(const std::string& name) { return ReadSetting(store, MainKey, name); }
    const Control& c(const std::string& name) { return form.get(ControlId{name}); }
    std::string lastBox() { return boxes.shown.empty() ? "" : boxes.shown.back().text; }
    std::optional<std::string> focus() {
        auto id = form.takeFocusRequest();
        if (!id) return std::nullopt;
        return form[*id].name;
    }
    void at(int year, int month, int day, int hour, int minute) {
        clock.setDate(year, month, day);
        clock.setTime(hour, minute);
    }
};

// --- the states of the state tables ------------------------------------------------------

void ExpectIdle(Page& p, const std::string& box, const std::vector<std::string>& fields,
                const std::string& enable, const std::string& cancel) {
    EXPECT_FALSE(p.c(box).checked);
    EXPECT_TRUE(p.c(box).enabled);
    for (const auto& f : fields) EXPECT_TRUE(p.c(f).enabled) << f;
    EXPECT_TRUE(p.c(enable).visible);
    EXPECT_FALSE(p.c(enable).enabled);
    EXPECT_FALSE(p.c(cancel).visible);
}

void ExpectArmed(Page& p, const std::string& box, const std::vector<std::string>& fields,
                 const std::string& enable, const std::string& cancel) {
    EXPECT_FALSE(p.c(box).enabled);
    for (const auto& f : fields) EXPECT_FALSE(p.c(f).enabled) << f;
    EXPECT_FALSE(p.c(enable).visible);
    EXPECT_TRUE(p.c(cancel).visible);
}

TEST(ShutdownRows, IdleReadyArmedAndBack) {
    Page p;
    ExpectIdle(p, "Check3", {"Text4", "Text5"}, "Command5", "Command6");
    p.tick("Check3");
    EXPECT_TRUE(p.c("Command5").enabled);  // ready
    p.tick("Check3", false);
    EXPECT_FALSE(p.c("Command5").enabled);  // idle again
    p.arm(3, {"23", "59"});
    ExpectArmed(p, "Check3", {"Text4", "Text5"}, "Command5", "Command6");
    EXPECT_TRUE(p.s->armed(ClockRule::Weekdays));
    EXPECT_EQ(p.stored("check3"), "1");
    EXPECT_EQ(p.stored("Text4"), "23");
    EXPECT_EQ(p.stored("Text5"), "59");

    p.click("Command6");
    ExpectIdle(p, "Check3", {"Text4", "Text5"}, "Command5", "Command6");
    EXPECT_FALSE(p.s->armed(ClockRule::Weekdays));
    EXPECT_EQ(p.stored("check3"), "0");
    EXPECT_EQ(p.stored("Text4"), "23");  // the times stay stored
}

TEST(ShutdownRows, WeekdayRowsNeedTheirBoxTicked) {
    Page p;
    p.type("Text6", "8");
    p.type("Text7", "0");
    p.click("Command7");  // box of row 4 unticked: nothing happens
    EXPECT_FALSE(p.s->armed(ClockRule::Saturday));
    EXPECT_TRUE(p.boxes.shown.empty());
    EXPECT_EQ(p.stored("check4"), "");
}

TEST(ShutdownRows, CancellingTheTodayRowKeepsItsBoxTicked) {
    Page p;
    p.arm(2, {"22", "15"});
    ExpectArmed(p, "Check2", {"Text2", "Text3"}, "Command3", "Command4");
    p.click("Command4");
    EXPECT_FALSE(p.s->armed(ClockRule::Today));
    EXPECT_TRUE(p.c("Check2").checked);
    EXPECT_TRUE(p.c("Check2").enabled);
    EXPECT_TRUE(p.c("Command3").visible);
    EXPECT_TRUE(p.c("Command3").enabled);
    EXPECT_FALSE(p.c("Command4").visible);
    EXPECT_TRUE(p.c("Text2").enabled);
}

// --- validation ------------------------------------------------------------------------

TEST(ShutdownValidation, HourAndMinuteRanges) {
    Page p;
    struct Case {
        std::string hour, minute, message, focus;
    } cases[] = {
        {"", "10", "请输入 0 - 23 之间的数字", "Text14"},
        {"24", "10", "请输入 0 - 23 之间的数字", "Text14"},
        {"-1", "10", "请输入 0 - 23 之间的数字", "Text14"},
        {"23", "", "请输入 0 - 59 之间的数字", "Text15"},
        {"23", "60", "请输入 0 - 59 之间的数字", "Text15"},
        {"23.5", "10", "请输入 0 - 23 之间的数字", "Text14"},
        {"22.5", "59.5", "请输入 0 - 59 之间的数字", "Text15"},
    };
    for (const Case& k : cases) {
        p.boxes.shown.clear();
        p.arm(7, {k.hour, k.minute});
        ASSERT_EQ(p.boxes.shown.size(), 1u) << k.hour << "/" << k.minute;
        EXPECT_EQ(p.boxes.shown[0].text, k.message);
        EXPECT_EQ(p.boxes.shown[0].title, "错误提示");
        EXPECT_EQ(p.boxes.shown[0].icon, MsgIcon::Stop);
        EXPECT_EQ(p.boxes.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(p.focus(), k.focus);
        EXPECT_FALSE(p.s->armed(ClockRule::EveryDay1));
        EXPECT_EQ(p.stored("check7"), "");
    }
}

TEST(ShutdownValidation, TraditionalTextsForEveryOtherLanguage) {
    for (Language lang : {Language::Traditional, Language::English}) {
        Page p(lang);
        p.arm(8, {"30", "0"});
        EXPECT_EQ(p.lastBox(), "請輸入 0 - 23 之間的數字");
        EXPECT_EQ(p.boxes.shown.back().title, "錯誤提示");
    }
}

TEST(ShutdownValidation, LenientNumbers) {
    Page p;
    p.arm(7, {"abc", "15"});  // no number: hour 0
    EXPECT_TRUE(p.s->armed(ClockRule::EveryDay1));
    EXPECT_EQ(p.stored("Text14"), "0");
    p.arm(8, {"7.5", " 3 0"});  // passes, never matches
    EXPECT_TRUE(p.s->armed(ClockRule::EveryDay2));
    EXPECT_EQ(p.stored("Text16"), "7.5");
    EXPECT_EQ(p.stored("Text17"), "30");
    EXPECT_EQ(p.c("Text17").text, " 3 0");  // the field keeps what was typed

    for (int hour : {7, 8})
        for (int minute : {0, 29, 30}) {
            p.at(2026, 12, 8, hour, minute);
            p.s->checkSchedule();
        }
    EXPECT_TRUE(p.power.requests.empty());
    p.at(2026, 12, 9, 0, 15);
    p.s->checkSchedule();
    EXPECT_EQ(p.power.requests.size(), 1u);
}

TEST(ShutdownToday, CurrentMinuteIsPastNextMinuteIsAccepted) {
    Page p;  // 21:30
    p.arm(2, {"21", "30"});
    EXPECT_EQ(p.lastBox(), "你设定的时间(21点30分)已过了，现在已经是(21点30分)请重新设定");
    EXPECT_EQ(p.boxes.shown.back().title, "错误提示");
    EXPECT_EQ(p.focus(), "Text2");
    EXPECT_FALSE(p.s->armed(ClockRule::Today));
    EXPECT_EQ(p.stored("Text2"), "");

    p.arm(2, {"20", "59"});
    EXPECT_EQ(p.boxes.shown.size(), 2u);
    p.arm(2, {"21", "31"});
    EXPECT_EQ(p.boxes.shown.size(), 2u);
    EXPECT_TRUE(p.s->armed(ClockRule::Today));
    EXPECT_EQ(p.stored("Text2"), "21");
    EXPECT_EQ(p.stored("Text3"), "31");
    EXPECT_EQ(p.stored("check2"), "");  // the today rule has no stored flag
}

TEST(ShutdownToday, MinuteShownWithTwoDigitsStoredShortest) {
    Page p;
    p.clock.setTime(9, 3);
    p.arm(2, {"22", "5"});
    EXPECT_EQ(p.c("Text3").text, "05");
    EXPECT_EQ(p.stored("Text3"), "5");
    EXPECT_TRUE(p.s->armed(ClockRule::Today));

    // The padded text appears in the "already passed" message, with the clock unpadded.
    Page q(Language::Traditional);
    q.clock.setTime(9, 3);
    q.arm(2, {"8", "7"});
    EXPECT_EQ(q.lastBox(), "你設定的時間(8點07分)已過了，現在已經是(9點3分)請重新設定");
}

TEST(ShutdownToday, PaddingNeverChangesTheMinute) {
    Page p;
    p.clock.setTime(9, 0);
    p.arm(2, {"22", "0.5"});
    EXPECT_EQ(p.c("Text3").text, "0.5");  // not "05", which would be minute 5
    EXPECT_EQ(p.stored("Text3"), "0.5");
}

TEST(ShutdownDate, ChecksInOrder) {
    Page p;  // armed in 2026
    struct Case {
        std::vector<std::string> values;
        std::string message, focus;
    } cases[] = {
        {{"", "", "", ""}, "请输入 1 - 12 之间的数字(月份只能是1-12)", "Text10"},
        {{"13", "", "", ""}, "请输入 1 - 12 之间的数字(月份只能是1-12)", "Text10"},
        {{"0", "1", "1", "1"}, "请输入 1 - 12 之间的数字(月份只能是1-12)", "Text10"},
        {{"3", "", "25", "0"}, "请输入日期", "Text11"},
        {{"3", "0", "25", "0"}, "你输入的日期错误(日期不能小于0)，请重新输入", "Text11"},
        {{"2", "29", "", ""}, "你输入的日期错误(2026年2月只有28天)，请重新输入", "Text11"},
        {{"4", "31", "", ""}, "你输入的日期错误(4月只有30天)，请重新输入", "Text11"},
        {{"11", "31", "", ""}, "你输入的日期错误(11月只有30天)，请重新输入", "Text11"},
        {{"12", "32", "", ""}, "你输入的日期错误(12月只有31天)，请重新输入", "Text11"},
        {{"12", "31", "", ""}, "请输入 0 - 23 之间的数字", "Text12"},
        {{"12", "31", "8", "75"}, "请输入 0 - 59 之间的数字", "Text13"},
    };
    for (const Case& k : cases) {
        p.boxes.shown.clear();
        p.arm(6, k.values);
        ASSERT_EQ(p.boxes.shown.size(), 1u) << k.message;
        EXPECT_EQ(p.boxes.shown[0].text, k.message);
        EXPECT_EQ(p.focus(), k.focus);
        EXPECT_FALSE(p.s->armed(ClockRule::OnDate));
    }
    EXPECT_EQ(p.stored("check6"), "");
}

TEST(ShutdownDate, FebruaryTwentyNinthDependsOnTheYearOfArming) {
    Page leap;
    leap.at(2028, 1, 10, 12, 0);
    leap.arm(6, {"2", "29", "7", "0"});
    EXPECT_TRUE(leap.boxes.shown.empty());
    EXPECT_TRUE(leap.s->armed(ClockRule::OnDate));
    EXPECT_EQ(leap.stored("check6"), "1");
    EXPECT_EQ(leap.stored("Text10"), "2");
    EXPECT_EQ(leap.stored("Text11"), "29");

    Page plain(Language::Traditional);
    plain.at(2027, 1, 10, 12, 0);
    plain.arm(6, {"2", "29", "7", "0"});
    EXPECT_EQ(plain.lastBox(), "你輸入的日期錯誤(2027年2月只有28天)，請重新輸入");
    plain.arm(6, {"2", "30", "7", "0"});
    EXPECT_EQ(plain.lastBox(), "你輸入的日期錯誤(2027年2月只有28天)，請重新輸入");
    leap.arm(6, {"2", "30", "7", "0"});  // already armed: ignored
    Page leap2;
    leap2.at(2028, 1, 10, 12, 0);
    leap2.arm(6, {"2", "30", "7", "0"});
    EXPECT_EQ(leap2.lastBox(), "你输入的日期错误(2028年2月只有29天)，请重新输入");
}

// Centuries are leap years only when divisible by 400.
TEST(ShutdownDate, TheGregorianRuleDecidesFebruary) {
    for (const auto& [year, days] : {std::pair{2100, 28}, {1900, 28}, {2000, 29}, {2400, 29}}) {
        Page p;
        p.at(year, 1, 10, 12, 0);
        p.arm(6, {"2", "29", "7", "0"});
        if (days == 28)
            EXPECT_EQ(p.lastBox(),
                      "你输入的日期错误(" + std::to_string(year) + "年2月只有28天)，请重新输入");
        else
            EXPECT_TRUE(p.s->armed(ClockRule::OnDate)) << year;
    }
}

TEST(ShutdownDate, FiresOnThatDateInEveryYear) {
    Page p;
    p.arm(6, {"3", "15", "7", "05"});
    p.at(2027, 3, 14, 7, 5);
    p.s->checkSchedule();
    p.at(2027, 4, 15, 7, 5);
    p.s->checkSchedule();
    p.at(2027, 3, 15, 7, 6);
    p.s->checkSchedule();
    EXPECT_TRUE(p.power.requests.empty());
    p.at(2027, 3, 15, 7, 5);
    p.s->checkSchedule();
    EXPECT_EQ(p.power.requests, std::vector<PowerAction>{PowerAction::PowerOff});
}

// --- the once-a-second check -------------------------------------------------------------

TEST(ShutdownCheck, SundayRuleFiresOnlyOnSunday) {
    Page p;
    p.arm(5, {"22", "30"});
    for (int day = 7; day <= 12; ++day) {  // Monday 7 December .. Saturday 12 December 2026
        p.at(2026, 12, day, 22, 30);
        p.s->checkSchedule();
    }
    p.at(2026, 12, 13, 22, 29);
    p.s->checkSchedule();
    p.at(2026, 12, 13, 22, 31);
    p.s->checkSchedule();
    EXPECT_TRUE(p.power.requests.empty());
    p.at(2026, 12, 13, 22, 30);
    ASSERT_EQ(p.clock.time.weekday, 1);
    p.s->checkSchedule();
    EXPECT_EQ(p.power.requests, std::vector<PowerAction>{PowerAction::PowerOff});
    EXPECT_EQ(p.events, (std::vector<std::string>{"save", "quit"}));
    EXPECT_TRUE(p.boxes.shown.empty());  // no confirmation
}

TEST(ShutdownCheck, WeekdayRuleFiresOnFridayNotSaturday) {
    Page p;
    p.arm(3, {"23", "59"});
    p.at(2026, 12, 12, 23, 59);  // Saturday
    p.s->checkSchedule();
    p.at(2026, 12, 13, 23, 59);  // Sunday
    p.s->checkSchedule();
    EXPECT_TRUE(p.power.requests.empty());
    p.at(2026, 12, 11, 23, 59);  // Friday
    p.s->checkSchedule();
    EXPECT_EQ(p.power.requests.size(), 1u);

    Page q;
    q.arm(4, {"23", "59"});  // Saturday row
    q.at(2026, 12, 11, 23, 59);
    q.s->checkSchedule();
    EXPECT_TRUE(q.power.requests.empty());
    q.at(2026, 12, 12, 23, 59);
    q.s->checkSchedule();
    EXPECT_EQ(q.power.requests.size(), 1u);
}

TEST(ShutdownCheck, TodayRuleDisarmsBeforeFiring) {
    Page p(Language::Simplified, true);  // test mode: the program survives the shutdown
    p.arm(2, {"21", "45"});
    p.clock.setTime(21, 45);
    p.s->checkSchedule();
    EXPECT_EQ(p.lastBox(), "您的电脑即将关闭");
    EXPECT_EQ(p.boxes.shown.back().title, "Pathtally");
    EXPECT_EQ(p.boxes.shown.back().icon, MsgIcon::None);
    EXPECT_TRUE(p.power.requests.empty());
    EXPECT_FALSE(p.s->armed(ClockRule::Today));
    ExpectIdle(p, "Check2", {"Text2", "Text3"}, "Command3", "Command4");
    p.s->checkSchedule();  // not again
    EXPECT_EQ(p.boxes.shown.size(), 1u);
}

TEST(ShutdownCheck, TwoRulesInOneMinute) {
    Page p;
    p.arm(7, {"23", "0"});
    p.arm(9, {"23", "0"});
    p.at(2026, 12, 8, 23, 0);
    p.s->checkSchedule();
    EXPECT_EQ(p.power.requests.size(), 1u);
    p.s->checkSchedule();  // the program has ended: nothing more
    EXPECT_EQ(p.power.requests.size(), 1u);

    // Test mode: every matching row shows the message, at every tick of the minute.
    Page t(Language::Simplified, true);
    t.arm(7, {"23", "0"});
    t.arm(9, {"23", "0"});
    t.at(2026, 12, 8, 23, 0);
    t.s->checkSchedule();
    t.s->checkSchedule();
    EXPECT_EQ(t.boxes.shown.size(), 4u);
    EXPECT_TRUE(t.power.requests.empty());
}

TEST(ShutdownCheck, RefusedRequestIsToldOnceAndTheProgramGoesOn) {
    Page p;
    p.power.result = {false, PowerRefusal::NotAuthorized,
                      "org.freedesktop.DBus.Error.AccessDenied"};
    p.arm(7, {"23", "0"});
    p.arm(8, {"23", "0"});
    p.at(2026, 12, 8, 23, 0);
    for (int second = 0; second < 5; ++second) p.s->checkSchedule();
    EXPECT_EQ(p.power.requests.size(), 1u);
    ASSERT_EQ(p.boxes.shown.size(), 1u);
    EXPECT_EQ(p.boxes.shown[0].text, "系统拒绝了关机请求，电脑没有关闭。\r\n原因：没有权限");
    EXPECT_EQ(p.boxes.shown[0].icon, MsgIcon::Stop);
    EXPECT_FALSE(p.boxes.shown[0].waited);                  // raised from the tick: never waits
    EXPECT_EQ(p.events, std::vector<std::string>{"save"});  // saved, never quit
    EXPECT_TRUE(p.s->armed(ClockRule::EveryDay1));          // still armed for tomorrow
    p.power.result = {true, {}, {}};
    p.at(2026, 12, 9, 23, 0);
    p.s->checkSchedule();
    EXPECT_EQ(p.power.requests.size(), 2u);
}

TEST(ShutdownCheck, MissedMinuteDoesNotFireLater) {
    Page p;
    p.arm(7, {"6", "30"});
    p.at(2026, 12, 9, 6, 31);
    p.s->checkSchedule();
    EXPECT_TRUE(p.power.requests.empty());
}

// --- start-up ------------------------------------------------------------------------------

TEST(ShutdownRestore, ArmedRowsComeBackTodayRowNever) {
    Page p;
    p.arm(2, {"22", "7"});
    p.arm(3, {"8", "0"});
    p.arm(4, {"9", "15"});
    p.arm(6, {"12", "25", "0", "0"});
    p.arm(9, {"23", "45"});
    p.click("Command8");  // row 4 cancelled

    p.start();
    EXPECT_FALSE(p.s->armed(ClockRule::Today));
    EXPECT_FALSE(p.c("Check2").checked);
    EXPECT_EQ(p.c("Text2").text, "22");
    EXPECT_EQ(p.c("Text3").text, "7");  // stored form
    ExpectIdle(p, "Check2", {"Text2", "Text3"}, "Command3", "Command4");

    ExpectArmed(p, "Check3", {"Text4", "Text5"}, "Command5", "Command6");
    EXPECT_TRUE(p.c("Check3").checked);
    EXPECT_EQ(p.c("Text4").text, "8");
    ExpectIdle(p, "Check4", {"Text6", "Text7"}, "Command7", "Command8");
    EXPECT_EQ(p.c("Text6").text, "9");
    ExpectArmed(p, "Check6", {"Text10", "Text11", "Text12", "Text13"}, "Command11", "Command12");
    ExpectArmed(p, "Check9", {"Text18", "Text19"}, "Command17", "Command18");
    ExpectIdle(p, "Check7", {"Text14", "Text15"}, "Command13", "Command14");
    for (ClockRule rule : {ClockRule::Weekdays, ClockRule::OnDate, ClockRule::EveryDay3})
        EXPECT_TRUE(p.s->armed(rule));

    p.at(2026, 12, 10, 23, 45);
    p.s->checkSchedule();
    EXPECT_EQ(p.power.requests.size(), 1u);
}

// Rows set while another program holds the store locked are what the schedule is when the
// store joins: written then, not replaced by what the store held before.
TEST(ShutdownRestore, RowsSetWhileTheStoreIsLockedAreKeptWhenItJoins) {
    Page p;
    p.arm(3, {"8", "0"});  // stored before the lock
    p.store.locked = true;
    p.click("Command6");    // row 3 cancelled
    p.arm(4, {"9", "15"});  // row 4 armed
    EXPECT_EQ(p.stored("Text6"), "") << "nothing written while locked";
    p.store.locked = false;
    p.s->restoreSchedule();  // the store joins
    EXPECT_FALSE(p.s->armed(ClockRule::Weekdays));
    EXPECT_TRUE(p.s->armed(ClockRule::Saturday));
    EXPECT_EQ(p.c("Text6").text, "9");
    EXPECT_EQ(p.stored("Text6"), "9");
    // And a restart reads the same.
    p.start();
    EXPECT_FALSE(p.s->armed(ClockRule::Weekdays));
    EXPECT_TRUE(p.s->armed(ClockRule::Saturday));
}

TEST(ShutdownRestore, StoredValuesAreNotValidatedAgain) {
    Page p;
    WriteSetting(p.store, MainKey, "check7", "1");
    WriteSetting(p.store, MainKey, "Text14", "25");
    WriteSetting(p.store, MainKey, "check8", "2");  // not a tick
    WriteSetting(p.store, MainKey, "Text16", "1");
    p.start();
    EXPECT_TRUE(p.s->armed(ClockRule::EveryDay1));
    EXPECT_EQ(p.c("Text14").text, "25");
    EXPECT_FALSE(p.s->armed(ClockRule::EveryDay2));
    EXPECT_EQ(p.c("Text1").text, "");  // no stored countdown minutes: empty, not "60"
}

TEST(ShutdownRestore, CaptionsOfBothScripts) {
    Page gb;
    EXPECT_EQ(gb.c("Check3").text, "设定每周星期一至星期五");
    EXPECT_EQ(gb.c("HourLabel9").text, "点");
    EXPECT_EQ(gb.c("MinuteLabel6").text, "分关机");
    EXPECT_EQ(gb.c("Command17").text, "启用");
    EXPECT_EQ(gb.c("Command18").text, "取消");
    EXPECT_EQ(gb.c("MonthLabel6").text, "月");
    EXPECT_EQ(gb.c("Text1").toolTip, "输入大于0的数，可以是小数");

    for (Language lang : {Language::Traditional, Language::English}) {
        Page p(lang);
        EXPECT_EQ(p.c("Check1").text, "設定");
        EXPECT_EQ(p.c("Check2").text, "設定今天");
        EXPECT_EQ(p.c("Check3").text, "設定每週星期一至星期五");
        EXPECT_EQ(p.c("Check5").text, "設定每週星期日");
        EXPECT_EQ(p.c("HourLabel4").text, "點");
        EXPECT_EQ(p.c("MinuteLabel8").text, "分關機");
        EXPECT_EQ(p.c("Command1").text, "啟 動");
        EXPECT_EQ(p.c("Command11").text, "啟 動");
        EXPECT_EQ(p.c("Command4").text, "取 消");
        EXPECT_EQ(p.c("DayLabel6").text, "日");
    }
}

// --- countdown -------------------------------------------------------------------------------

struct Countdown : Page {
    using Page::Page;
    void begin(const std::string& minutes) {
        type("Text1", minutes);
        tick("Check1");
        click("Command1");
    }
    // Ticks until a power request or the limit; returns the ticks run.
    int run(int limit) {
        int n = 0;
        while (n < limit && s->countdownActive()) {
            s->onCountdownTick();
            ++n;
        }
        return n;
    }
};

TEST(ShutdownCountdown, SixtyMinutes) {
    Countdown p;
    p.begin("60");
    EXPECT_TRUE(p.s->countdownActive());
    EXPECT_EQ(p.timer, std::vector<bool>{true});
    EXPECT_EQ(p.c("Label23").text, "你的电脑将于60分钟之后自动关机，请及时保存你正在编辑的文件");
    EXPECT_TRUE(p.c("Label23").visible);
    EXPECT_FALSE(p.c("Command1").visible);
    EXPECT_TRUE(p.c("Command2").visible);
    EXPECT_FALSE(p.c("Text1").enabled);
    EXPECT_FALSE(p.c("Check1").enabled);
    EXPECT_EQ(p.stored("AutoShutTime"), "60");

    p.s->onCountdownTick();
    EXPECT_EQ(p.c("Label23").text,
              "你的电脑将于( 0:59:59 )之后自动关机，请及时保存你正在编辑的文件");
    EXPECT_EQ(p.run(3598), 3598);
    EXPECT_TRUE(p.power.requests.empty());
    EXPECT_EQ(p.c("Label23").text,
              "你的电脑将于( 0:00:01 )之后自动关机，请及时保存你正在编辑的文件");
    p.s->onCountdownTick();  // the 3,600th tick
    EXPECT_EQ(p.power.requests, std::vector<PowerAction>{PowerAction::PowerOff});
    EXPECT_EQ(p.events, (std::vector<std::string>{"save", "quit"}));
}

TEST(ShutdownCountdown, FractionsOfAMinute) {
    struct Case {
        std::string typed, stored;
        int ticks;
    } cases[] = {{"0.5", "0.5", 30},    {"1.99", "1.99", 119}, {"1.50", "1.5", 90},
                 {"4.35", "4.35", 261}, {"0.001", "0.001", 1}, {"1e-9", "1E-09", 1}};
    for (const Case& k : cases) {
        Countdown p;
        p.begin(k.typed);
        EXPECT_EQ(p.stored("AutoShutTime"), k.stored);
        EXPECT_EQ(p.c("Label23").text,
                  "你的电脑将于" + k.typed + "分钟之后自动关机，请及时保存你正在编辑的文件");
        EXPECT_EQ(p.run(100000), k.ticks) << k.typed;
        EXPECT_EQ(p.power.requests.size(), 1u) << k.typed;
    }
}

TEST(ShutdownCountdown, BadInputsAreRefused) {
    for (Language lang : {Language::Simplified, Language::Traditional}) {
        for (const char* typed : {"0", "-5", "", "abc", "  ", "0.0"}) {
            Countdown p(lang);
            p.begin(typed);
            ASSERT_EQ(p.boxes.shown.size(), 1u) << typed;
            EXPECT_EQ(p.boxes.shown[0].text,
                      lang == Language::Simplified ? "只能输入大于0的数" : "只能輸入大於0的數");
            EXPECT_EQ(p.boxes.shown[0].title,
                      lang == Language::Simplified ? "错误提示信息" : "錯誤提示資訊");
            EXPECT_EQ(p.boxes.shown[0].icon, MsgIcon::Stop);
            EXPECT_FALSE(p.s->countdownActive());
            EXPECT_TRUE(p.timer.empty());
            EXPECT_TRUE(p.c("Command1").enabled);  // still ready
            EXPECT_TRUE(p.c("Command1").visible);
            EXPECT_EQ(p.stored("AutoShutTime"), "");
        }
    }
}

TEST(ShutdownCountdown, CancelAndRestartBeginsAFreshCount) {
    Countdown p(Language::Traditional);
    p.begin("1");
    p.run(10);
    p.s->onCountdownTick();
    EXPECT_EQ(p.c("Label23").text,
              "你的電腦將於( 0:00:49 )之後自動關機，請及時保存你正在編輯的文檔");
    p.click("Command2");
    EXPECT_FALSE(p.s->countdownActive());
    EXPECT_EQ(p.timer, (std::vector<bool>{true, false}));
    EXPECT_FALSE(p.c("Check1").checked);
    EXPECT_FALSE(p.c("Command1").enabled);
    EXPECT_FALSE(p.c("Label23").visible);
    EXPECT_TRUE(p.c("Text1").enabled);
    EXPECT_EQ(p.stored("AutoShutTime"), "1");

    p.tick("Check1");
    p.click("Command1");
    EXPECT_EQ(p.run(1000), 60);
    EXPECT_EQ(p.power.requests.size(), 1u);

    p.start();  // the next start shows the stored minutes, the row idle
    EXPECT_EQ(p.c("Text1").text, "1");
    EXPECT_FALSE(p.s->countdownActive());
}

// Test mode only announces the shutdown; the warning line then shows zero and the count
// goes on (without asking again) until it is cancelled.
TEST(ShutdownCountdown, TestModeShowsZeroAndCountsOn) {
    for (const char* minutes : {"0.05", "0.001"}) {
        Countdown test(Language::Simplified, true);
        test.begin(minutes);
        const int ticks = std::string(minutes) == "0.05" ? 3 : 1;
        for (int i = 0; i < ticks; ++i) test.s->onCountdownTick();
        EXPECT_EQ(test.lastBox(), "您的电脑即将关闭");
        EXPECT_TRUE(test.power.requests.empty());
        const std::string zero = "你的电脑将于( 0:00:00 )之后自动关机，请及时保存你正在编辑的文件";
        EXPECT_EQ(test.c("Label23").text, zero) << minutes;
        EXPECT_TRUE(test.c("Label23").visible);
        EXPECT_TRUE(test.s->countdownActive());
        EXPECT_TRUE(test.c("Command2").visible);
        EXPECT_EQ(test.run(5), 5);
        EXPECT_EQ(test.boxes.shown.size(), 1u) << "announced once";
        EXPECT_EQ(test.c("Label23").text, zero);
        test.click("Command2");
        EXPECT_FALSE(test.s->countdownActive());
        test.tick("Check1");
        test.click("Command1");
        test.run(3 + 1);
        EXPECT_EQ(test.boxes.shown.size(), 2u) << "a fresh count announces again";
    }
}

TEST(ShutdownCountdown, EndsWhenTheRequestIsNotCarriedOut) {
    Countdown refused;
    refused.power.result = {false, PowerRefusal::NoService, "ServiceUnknown: no logind"};
    refused.begin("0.05");
    refused.run(100);
    EXPECT_EQ(refused.power.requests.size(), 1u);
    EXPECT_EQ(refused.lastBox(), "系统拒绝了关机请求，电脑没有关闭。\r\n原因：找不到系统服务");
    EXPECT_FALSE(refused.s->countdownActive());
    refused.tick("Check1");  // can be started again
    refused.click("Command1");
    EXPECT_TRUE(refused.s->countdownActive());
}

// --- power buttons -------------------------------------------------------------------------

TEST(ShutdownPowerButtons, ConfirmationTexts) {
    struct Case {
        std::string button;
        Language lang;
        std::string title, text;
        PowerAction action;
    } cases[] = {
        {"cmdLogoff", Language::Simplified, "注销...",
         "你确定要注销吗?\r\n（请您保存好您正在编辑的文件后再按确定后注销）", PowerAction::LogOff},
        {"cmdShutdown", Language::Simplified, "关机...",
         "你确定要关机吗?\r\n（请您保存好您正在编辑的文件后再按确定后关机）",
         PowerAction::PowerOff},
        {"cmdReboot", Language::Simplified, "重启电脑...",
         "你确定要重新启动电脑吗?\r\n（请您保存好您正在编辑的文件后再按确定后重启电脑）",
         PowerAction::Reboot},
        {"cmdLogoff", Language::English, "註銷...",
         "你確定要註銷嗎?\r\n（請您保存好您正在編輯的檔後再按確定後註銷）", PowerAction::LogOff},
        {"cmdShutdown", Language::Traditional, "關機...",
         "你確定要關機嗎?\r\n（請您保存好您正在編輯的檔後再按確定後關機）", PowerAction::PowerOff},
        {"cmdReboot", Language::Traditional, "重啟電腦...",
         "你確定要重新啟動電腦嗎?\r\n（請您保存好您正在編輯的檔後再按確定後重啟電腦）",
         PowerAction::Reboot},
    };
    for (const Case& k : cases) {
        Page p(k.lang, true);  // test mode does not matter to the buttons
        p.click(k.button);     // the default answer: Cancel
        ASSERT_EQ(p.boxes.shown.size(), 1u);
        EXPECT_EQ(p.boxes.shown[0].title, k.title);
        EXPECT_EQ(p.boxes.shown[0].text, k.text);
        EXPECT_EQ(p.boxes.shown[0].buttons, MsgButtons::OkCancel);
        EXPECT_EQ(p.boxes.shown[0].icon, MsgIcon::Question);
        EXPECT_EQ(p.boxes.shown[0].defaultButton, MsgDefault::Second);
        EXPECT_TRUE(p.power.requests.empty());
        EXPECT_TRUE(p.events.empty());

        p.boxes.answers.push_back(MsgAnswer::Ok);
        p.click(k.button);
        EXPECT_EQ(p.power.requests, std::vector<PowerAction>{k.action});
        EXPECT_EQ(p.power.privilegeCalls, 1);
        EXPECT_EQ(p.events, (std::vector<std::string>{"save", "quit"}));
    }
}

TEST(ShutdownPowerButtons, RefusalKeepsTheProgramRunning) {
    Page p(Language::Traditional);
    p.power.result = {false, PowerRefusal::NoAnswer, "NoReply: Did not receive a reply."};
    p.boxes.answers.push_back(MsgAnswer::Ok);
    p.click("cmdReboot");
    ASSERT_EQ(p.boxes.shown.size(), 2u);
    EXPECT_EQ(p.boxes.shown[1].text,
              "系統拒絕了重啟請求，電腦沒有重新啟動。\r\n原因：系統沒有回應");
    EXPECT_EQ(p.boxes.shown[1].title, "錯誤提示");
    EXPECT_EQ(p.events, std::vector<std::string>{"save"});
    EXPECT_FALSE(p.s->powerActions().ended());

    p.arm(7, {"23", "0"});  // still serving the page
    EXPECT_TRUE(p.s->armed(ClockRule::EveryDay1));
}

// The raw error never reaches the user: each kind of refusal has a few words of its own in
// the window's script.
TEST(ShutdownPowerButtons, RefusalReasonsAreShortAndInTheWindowsScript) {
    struct Case {
        PowerRefusal why;
        Language lang;
        const char* reason;
    } cases[] = {
        {PowerRefusal::Denied, Language::Simplified, "系统拒绝了请求"},
        {PowerRefusal::NotAuthorized, Language::Simplified, "没有权限"},
        {PowerRefusal::NoService, Language::Simplified, "找不到系统服务"},
        {PowerRefusal::NoAnswer, Language::Simplified, "系统没有回应"},
        {PowerRefusal::Denied, Language::Traditional, "系統拒絕了請求"},
        {PowerRefusal::NotAuthorized, Language::English, "沒有權限"},
        {PowerRefusal::NoService, Language::Traditional, "找不到系統服務"},
    };
    for (const Case& k : cases) {
        Page p(k.lang);
        p.power.result = {false, k.why,
                          "org.freedesktop.DBus.Python.KeyError: Traceback (most recent call "
                          "last):\n  File \"/usr/lib/python3/dist-packages/dbus/service.py\""};
        p.boxes.answers.push_back(MsgAnswer::Ok);
        p.click("cmdLogoff");
        ASSERT_EQ(p.boxes.shown.size(), 2u);
        const std::string& text = p.boxes.shown[1].text;
        EXPECT_EQ(text.substr(text.find("原因：") + std::string("原因：").size()), k.reason);
        EXPECT_EQ(text.find("Traceback"), std::string::npos);
    }
}

// The system may answer long after the request: meanwhile nothing waits, no second
// request goes out, the countdown and the schedule hold still, and the late answer is
// handled as an immediate one would be.
TEST(ShutdownPowerButtons, LateAnswersAreHandledWhenTheyCome) {
    Page p;
    p.power.answerLater = true;
    p.power.result = {false, PowerRefusal::NotAuthorized, "AccessDenied"};
    p.boxes.answers.push_back(MsgAnswer::Ok);
    p.click("cmdShutdown");
    EXPECT_EQ(p.power.requests.size(), 1u);
    EXPECT_EQ(p.boxes.shown.size(), 1u);  // the confirmation only, so far
    EXPECT_TRUE(p.s->powerActions().busy());
    p.boxes.answers.push_back(MsgAnswer::Ok);
    p.click("cmdShutdown");  // a second click while the first waits asks nothing
    EXPECT_EQ(p.power.requests.size(), 1u);
    EXPECT_EQ(p.boxes.shown.size(), 1u);
    p.arm(7, {"23", "0"});
    p.at(2026, 12, 8, 23, 0);
    p.s->checkSchedule();
    EXPECT_EQ(p.power.requests.size(), 1u);

    ASSERT_TRUE(p.power.answer());
    ASSERT_EQ(p.boxes.shown.size(), 2u);
    EXPECT_EQ(p.boxes.shown[1].text, "系统拒绝了关机请求，电脑没有关闭。\r\n原因：没有权限");
    EXPECT_FALSE(p.boxes.shown[1].waited);
    EXPECT_FALSE(p.s->powerActions().busy());
    EXPECT_EQ(p.events, std::vector<std::string>{"save"});

    // The schedule asks again once the answer is in; this time the system agrees.
    p.boxes.answers.clear();
    p.power.result = {true, {}, {}};
    p.s->checkSchedule();
    EXPECT_EQ(p.power.requests.size(), 2u);
    EXPECT_EQ(p.events, (std::vector<std::string>{"save", "save"}));
    ASSERT_TRUE(p.power.answer());
    EXPECT_EQ(p.events, (std::vector<std::string>{"save", "save", "quit"}));
    EXPECT_TRUE(p.s->powerActions().ended());
}

// An answer that arrives after the page is gone (the program is ending) is dropped.
TEST(ShutdownPowerButtons, AnswerAfterThePageIsGoneIsDropped) {
    Page p;
    p.power.answerLater = true;
    p.boxes.answers.push_back(MsgAnswer::Ok);
    p.click("cmdReboot");
    p.s.reset();
    ASSERT_TRUE(p.power.answer());
    EXPECT_EQ(p.events, std::vector<std::string>{"save"});
    EXPECT_EQ(p.boxes.shown.size(), 1u);
}

TEST(ShutdownPowerButtons, UnknownNamesAreNotOurs) {
    Page p;
    EXPECT_FALSE(p.commands.has(ControlId{"menuClose"}));
    EXPECT_FALSE(p.commands.has(ControlId{"Command19"}));
    EXPECT_FALSE(p.commands.has(ControlId{"Text1"}));
}

}  // namespace
}  // namespace pt

namespace pt {
namespace {

TEST(ShutdownPowerButtons, PrivilegeStepFollowsThePlatformFlag) {
    for (int flag : {1, 0}) {
        Page p(Language::Simplified);
        p.s->powerActions().setNeedsPowerPrivilege(flag);
        p.boxes.answers.push_back(MsgAnswer::Ok);
        p.click("cmdShutdown");
        EXPECT_EQ(p.power.requests, std::vector<PowerAction>{PowerAction::PowerOff});
        EXPECT_EQ(p.power.privilegeCalls, flag) << "flag " << flag;
    }
}

}  // namespace
}  // namespace pt

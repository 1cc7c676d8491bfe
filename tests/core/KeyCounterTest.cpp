#include <gtest/gtest.h>

#include <set>

#include "core/form/FormModel.h"
#include "core/input/KeyCounter.h"
#include "core/input/KeyName.h"
#include "core/stats/StatisticsModel.h"
#include "support/Fakes.h"
#include "support/ModelWith.h"

namespace pt {
namespace {

TEST(KeyName, TableHas85NamedCodes) {
    std::set<int> named;
    for (int code = -5; code < 300; ++code)
        if (!keyName(code).empty()) named.insert(code);
    EXPECT_EQ(named.size(), 85u);
    EXPECT_EQ(keyName(8), "退格");
    EXPECT_EQ(keyName(13), "回车");
    EXPECT_EQ(keyName(32), "空格");
    EXPECT_EQ(keyName(40), "下光标");
    EXPECT_EQ(keyName(48), "字符0");
    EXPECT_EQ(keyName(57), "字符9");
    EXPECT_EQ(keyName(65), "A");
    EXPECT_EQ(keyName(90), "Z");
    EXPECT_EQ(keyName(91), "开始");
    EXPECT_EQ(keyName(96), "0");
    EXPECT_EQ(keyName(105), "9");
    EXPECT_EQ(keyName(110), "小数点");
    EXPECT_EQ(keyName(111), "数字区除号");
    EXPECT_EQ(keyName(112), "F1");
    EXPECT_EQ(keyName(123), "F12");
    EXPECT_EQ(keyName(187), "字符区加号");
    EXPECT_EQ(keyName(192), "~");
    EXPECT_EQ(keyName(220), "\\");
    EXPECT_EQ(keyName(221), "]");
}

TEST(KeyName, KeysThatNeverCount) {
    // Alt, Pause, PgUp, PgDn, End, Home, PrtSc, Ins, Del, right Win, Apps, separator,
    // F13, NumLock, ScrollLock, left/right-specific modifiers, ; and '
    for (int code : {0,   18,  19,  33,  34,  35,  36,  44,  45,  46,  92,  93,  108,   124,
                     144, 145, 160, 161, 162, 163, 164, 165, 186, 222, 255, 256, 65535, -1})
        EXPECT_EQ(keyName(code), "") << code;
}

class KeyCounterTest : public ::testing::Test {
protected:
    StatisticsModel stats;
    FormModel form;
    test::FakeInput input;

    const Control& label(const char* name) { return form.get(ControlId{name}); }
};

TEST_F(KeyCounterTest, FirstKeyOfAFreshRun) {
    KeyCounter keys(stats, form, Language::Simplified);
    ASSERT_TRUE(keys.connect(input));
    input.keys(65);  // A
    EXPECT_EQ(stats.todayKeys().toText(), "1");
    EXPECT_EQ(stats.totals().keys.toText(), "1");
    EXPECT_EQ(label("Label73").text, "今天:1");
    EXPECT_EQ(label("Label73").toolTip, "统计今天您的键盘共被您击打的次数");
    EXPECT_EQ(label("Label74").text, "累计:0万次");
    EXPECT_EQ(label("Label74").toolTip, "统计您的键盘累计被您敲打的次数,目前:1");
}

TEST_F(KeyCounterTest, TraditionalTextsForEveryOtherLanguage) {
    for (Language lang : {Language::Traditional, Language::English}) {
        StatisticsModel s;
        FormModel f;
        s.startFrom(test::Totals(0, 0, {}, DynamicValue::Double(12345)));
        KeyCounter keys(s, f, lang);
        keys.countKey(13);
        EXPECT_EQ(f.get(ControlId{"Label73"}).text, "今天:1");
        EXPECT_EQ(f.get(ControlId{"Label73"}).toolTip, "統計今天您的鍵盤共被您擊打的次數");
        EXPECT_EQ(f.get(ControlId{"Label74"}).text, "累計:1.2萬次");
        EXPECT_EQ(f.get(ControlId{"Label74"}).toolTip, "統計您的鍵盤累計被您敲打的次數:12346");
    }
}

TEST_F(KeyCounterTest, UncountedKeysChangeNothing) {
    KeyCounter keys(stats, form, Language::Simplified);
    form.takeChanges();
    for (int code : {46, 36, 18})  // Delete, Home, Alt
        keys.countKey(code);
    EXPECT_TRUE(stats.todayKeys().isEmpty());
    EXPECT_TRUE(stats.totals().keys.isEmpty());
    EXPECT_FALSE(form.hasChanges());
    EXPECT_EQ(label("Label73").text, "");  // the window's own texts are left alone
}

TEST_F(KeyCounterTest, ShiftCtrlAndBothDigitBlocksCount) {
    KeyCounter keys(stats, form, Language::Simplified);
    keys.connect(input);
    for (int code : {17, 67, 16, 66, 53, 101})  // Ctrl+C, Shift+B, main 5, keypad 5
        input.keys(code);
    EXPECT_EQ(stats.todayKeys().toText(), "6");
    EXPECT_EQ(label("Label73").text, "今天:6");
}

TEST_F(KeyCounterTest, TotalShownInTenThousandsTruncated) {
    EXPECT_EQ(KeyCounter::TotalKeysText(9999, Language::Simplified), "累计:0.9万次");
    EXPECT_EQ(KeyCounter::TotalKeysText(10000, Language::Simplified), "累计:1万次");
    EXPECT_EQ(KeyCounter::TotalKeysText(12346, Language::Simplified), "累计:1.2万次");
    EXPECT_EQ(KeyCounter::TotalKeysText(19999, Language::Simplified), "累计:1.9万次");
    EXPECT_EQ(KeyCounter::TotalKeysText(0, Language::Simplified), "累计:0万次");
    EXPECT_EQ(KeyCounter::TotalKeysText(123456789, Language::Traditional), "累計:12345.6萬次");

    // Reached by counting: 9,998 + 1, then + 1, then 12,345 + 1.
    KeyCounter keys(stats, form, Language::Simplified);
    stats.startFrom(test::Totals(0, 0, {}, DynamicValue::Int16(9998)));
    keys.countKey(65);
    EXPECT_EQ(label("Label74").text, "累计:0.9万次");
    EXPECT_EQ(label("Label74").toolTip, "统计您的键盘累计被您敲打的次数,目前:9999");
    keys.countKey(65);
    EXPECT_EQ(label("Label74").text, "累计:1万次");
    stats.startFrom(test::Totals(0, 0, {}, DynamicValue::Int32(12345)));
    keys.countKey(65);
    EXPECT_EQ(label("Label74").text, "累计:1.2万次");
    EXPECT_EQ(label("Label74").toolTip, "统计您的键盘累计被您敲打的次数,目前:12346");
}

TEST_F(KeyCounterTest, CountersWidenInsteadOfOverflowing) {
    KeyCounter keys(stats, form, Language::Simplified);
    stats.startFrom(test::Totals(0, 0, {}, DynamicValue::Int32(2147483647)));
    for (int i = 0; i < 32767; ++i) stats.countKey();
    ASSERT_EQ(stats.todayKeys().kind(), DynamicValue::Kind::Int16);
    keys.countKey(65);
    EXPECT_EQ(stats.totals().keys.toText(), "2147516415");
    EXPECT_EQ(stats.todayKeys().toText(), "32768");
    EXPECT_EQ(label("Label73").text, "今天:32768");
}

TEST_F(KeyCounterTest, SwitchedOffNoKeyIsReceivedOrCounted) {
    KeyCounter keys(stats, form, Language::Simplified);
    keys.setCountingEnabled(false);  // AddSysHook = "1" read at start-up
    keys.connect(input);
    EXPECT_FALSE(input.keys);  // the source is not listened to at all
    keys.countKey(65);
    EXPECT_TRUE(stats.totals().keys.isEmpty());

    keys.setCountingEnabled(true);
    ASSERT_TRUE(input.keys);
    input.keys(65);
    EXPECT_EQ(stats.totals().keys.toText(), "1");

    keys.setCountingEnabled(false);
    EXPECT_FALSE(input.keys);
    keys.setCountingEnabled(true);
    keys.setCountingEnabled(true);
    input.keys(66);
    EXPECT_EQ(stats.totals().keys.toText(), "2");  // listened to once, counted once

    keys.disconnect();
    EXPECT_FALSE(input.keys);
}

}  // namespace
}  // namespace pt

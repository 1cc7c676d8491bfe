// Clock texts in real locales: the time follows the locale's own format, without the
// time zone the toolkit's long formats carry.

#include <gtest/gtest.h>

#include "platform/linux/QtClock.h"

namespace pt {
namespace {

std::string Time(const char* locale, bool withSeconds) {
    return QtClock::TimeText(QLocale(QString::fromLatin1(locale)), QTime(21, 30, 5), withSeconds);
}

TEST(QtClock, TimeTextsFollowTheLocaleWithoutATimeZone) {
    EXPECT_EQ(Time("zh_CN", true), "21:30:05");
    EXPECT_EQ(Time("zh_CN", false), "21:30");
    EXPECT_EQ(Time("de_DE", true), "21:30:05");
    EXPECT_EQ(Time("en_US", true), "9:30:05 PM");
    EXPECT_EQ(Time("en_US", false), "9:30 PM");
    EXPECT_EQ(Time("ja_JP", true), "21時30分05秒");
    for (const char* locale : {"zh_CN", "zh_TW", "de_DE", "en_US", "ja_JP", "ko_KR", "C"}) {
        const std::string text = Time(locale, true);
        EXPECT_EQ(text.find("UTC"), std::string::npos) << locale << ": " << text;
        EXPECT_EQ(text.find('['), std::string::npos) << locale << ": " << text;
        EXPECT_NE(text.find("30"), std::string::npos) << locale << ": " << text;
    }
}

TEST(QtClock, ADayPeriodTheToolkitDoesNotKnowBecomesAmPm) {
    const std::string text = Time("zh_TW", true);
    EXPECT_EQ(text.find('B'), std::string::npos) << text;
    EXPECT_NE(text.find("9:30:05"), std::string::npos) << text;
    EXPECT_NE(text.find("下午"), std::string::npos) << text;
}

TEST(QtClock, DatesWrittenInOtherLocalesAreRead) {
    const CalendarDate nov8{2026, 11, 8}, nov13{2026, 11, 13};
    const char* const locales[] = {"zh_CN", "zh_TW", "en_US", "en_GB", "de_DE",
                                   "fr_FR", "ja_JP", "ru_RU", "C"};
    for (const char* reader : locales) {
        const QtClock clock{QLocale(QString::fromLatin1(reader))};
        SCOPED_TRACE(reader);
        EXPECT_EQ(clock.readDate("2026-11-08"), nov8);
        EXPECT_EQ(clock.readDate(" 8 Nov 2026 "), nov8);
        EXPECT_EQ(clock.readDate("November 8, 2026"), nov8);
        EXPECT_EQ(clock.readDate("2026/11/8"), nov8);
        EXPECT_EQ(clock.readDate(clock.dateText(nov8)), nov8);  // its own form
        // Another locale's form; day 13 so that day and month cannot be taken for each other.
        for (const char* writer : locales) {
            const std::string text = QtClock{QLocale(QString::fromLatin1(writer))}.dateText(nov13);
            EXPECT_EQ(clock.readDate(text), nov13) << writer << ": " << text;
        }
        for (const char* none : {"", "not a date", "2026-13-40", "31/02/2026", "8 Brumaire 2026"})
            EXPECT_FALSE(clock.readDate(none)) << none;
    }
    // Shown in the user's locale.
    EXPECT_EQ(QtClock{QLocale(QStringLiteral("zh_CN"))}.dateText(nov8), "2026/11/8");
    EXPECT_EQ(QtClock{QLocale(QStringLiteral("de_DE"))}.dateText(nov8), "08.11.2026");
}

}  // namespace
}  // namespace pt

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

}  // namespace
}  // namespace pt

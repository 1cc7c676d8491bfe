// Travel texts with real locales: the marks and the places of the digit groups follow the
// locale, the digits stay plain.

#include <gtest/gtest.h>

#include "core/stats/Formatting.h"
#include "core/stats/StatisticsModel.h"
#include "platform/linux/QtNumberFormat.h"

namespace pt {
namespace {

// Pixels that make `metres` metres of travel.
double PixelsFor(double metres) {
    return metres * 1000 / MmPerPixel;
}

std::string Metres(const char* locale, double metres) {
    return MetresText(PixelsFor(metres), QtNumberFormat(QLocale(QString::fromLatin1(locale))));
}

TEST(QtNumberFormat, TravelTextsGroupAsTheLocaleDoes) {
    EXPECT_EQ(Metres("en_US", 1234567.25), " 1,234,567.250m ");
    EXPECT_EQ(Metres("zh_CN", 1234.5), " 1,234.500m ");
    EXPECT_EQ(Metres("de_DE", 1234567.25), " 1.234.567,250m ");
    EXPECT_EQ(Metres("en_IN", 1234567.25), " 12,34,567.250m ");
    EXPECT_EQ(Metres("es_ES", 1234.5), " 1234,500m ") << "four digits stay whole in Spanish";
    EXPECT_EQ(Metres("es_ES", 12345.5), " 12.345,500m ");
    EXPECT_EQ(Metres("en_US", 0.5), " 0.500m ");
    EXPECT_EQ(Metres("en_US", 999), " 999.000m ");
}

TEST(QtNumberFormat, DigitsOfOtherScriptsAreNotMixedIn) {
    const std::string text = Metres("ar_EG", 1234567.25);
    EXPECT_NE(text.find("1"), std::string::npos) << text;
    EXPECT_EQ(text.find("\u0661"), std::string::npos) << "Arabic-Indic one: " << text;
    EXPECT_EQ(text.find("\u0662"), std::string::npos) << text;
}

TEST(QtNumberFormat, WholePartsBeyondEighteenDigitsFallBackToGroupsOfThree) {
    const QtNumberFormat us(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(us.groupWhole("1234567890123456789012"), "1,234,567,890,123,456,789,012");
    EXPECT_EQ(us.groupWhole(""), "");
}

}  // namespace
}  // namespace pt

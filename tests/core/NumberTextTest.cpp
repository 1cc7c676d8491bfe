#include <gtest/gtest.h>

#include "core/stats/DynamicValue.h"
#include "core/stats/Formatting.h"
#include "core/stats/NumberText.h"
#include "core/stats/StatisticsModel.h"
#include "support/Fakes.h"

namespace pt {
namespace {

TEST(NumericValue, ReadsTheLeadingNumberLeniently) {
    EXPECT_EQ(NumericValue(""), 0);
    EXPECT_EQ(NumericValue("abc"), 0);
    EXPECT_EQ(NumericValue("12345"), 12345);
    EXPECT_EQ(NumericValue("  1 2\t3\n4"), 1234);  // blanks skipped wherever they stand
    EXPECT_EQ(NumericValue("12\r\n34"), 12);       // but not a carriage return
    EXPECT_EQ(NumericValue("12abc"), 12);
    EXPECT_EQ(NumericValue("1,234"), 1);  // "," is not a separator
    EXPECT_DOUBLE_EQ(NumericValue("3.75"), 3.75);
    EXPECT_DOUBLE_EQ(NumericValue(".5"), 0.5);
    EXPECT_DOUBLE_EQ(NumericValue("-2.5x"), -2.5);
    EXPECT_EQ(NumericValue("1.234568E+07"), 12345680);
    EXPECT_EQ(NumericValue("2e3"), 2000);
    EXPECT_EQ(NumericValue("2e"), 2);  // an exponent without digits is ignored
    EXPECT_EQ(NumericValue("1.2.3"), 1.2);
    EXPECT_EQ(NumericValue("-"), 0);
}

TEST(NumericValue, ReadsHexAndOctalPrefixes) {
    EXPECT_EQ(NumericValue("&H1F"), 31);
    EXPECT_EQ(NumericValue("&hff"), 255);
    EXPECT_EQ(NumericValue("&O17"), 15);
    EXPECT_EQ(NumericValue("&HFFFF"), -1);  // 16-bit two's complement
    EXPECT_EQ(NumericValue("&H10000"), 65536);
    EXPECT_EQ(NumericValue("&HZZ"), 0);
}

TEST(NumericValue, OutOfRangeNeverCrashes) {
    EXPECT_EQ(NumericValue("1E999999999999"), 0);
    EXPECT_EQ(NumericValue("&HFFFFFFFFFFFFFFFFFFFFFFFF"), 0);
    EXPECT_EQ(NumericValue(std::string(5000, '9')), 0);
    EXPECT_EQ(NumericValue(std::string("12\0 34", 6)), 12);
}

TEST(NumberToText, ShortestPlainDecimalThenExponent) {
    EXPECT_EQ(NumberToText(0), "0");
    EXPECT_EQ(NumberToText(1234), "1234");
    EXPECT_EQ(NumberToText(0.5), "0.5");
    EXPECT_EQ(NumberToText(-1.25), "-1.25");
    EXPECT_EQ(NumberToText(123456789012345.0), "123456789012345");
    EXPECT_EQ(NumberToText(1e15), "1E+15");
}

TEST(DynamicValue, EmptyIsZeroAndEmptyText) {
    DynamicValue v;
    EXPECT_TRUE(v.isEmpty());
    EXPECT_EQ(v, DynamicValue::Int16(0));
    EXPECT_EQ(v.toText(), "");
    v.increment();
    EXPECT_EQ(v.kind(), DynamicValue::Kind::Int16);
    EXPECT_EQ(v.toText(), "1");
}

TEST(DynamicValue, SumsWidenInsteadOfOverflowing) {
    auto v = DynamicValue::Int16(32767);
    v.increment();
    EXPECT_EQ(v.kind(), DynamicValue::Kind::Int32);
    EXPECT_EQ(v.toText(), "32768");
    auto w = DynamicValue::Int32(2147483647);
    w.increment();
    EXPECT_EQ(w.kind(), DynamicValue::Kind::Double);
    EXPECT_EQ(w.toText(), "2147483648");
    auto t = DynamicValue::Text("41");
    t.increment();
    EXPECT_EQ(t.toDouble(), 42);
}

TEST(FormatUseTime, HoursMinutesSeconds) {
    EXPECT_EQ(FormatUseTime(0), "0:00:00");
    EXPECT_EQ(FormatUseTime(3599), "0:59:59");
    EXPECT_EQ(FormatUseTime(3600), "1:00:00");
    EXPECT_EQ(FormatUseTime(3725), "1:02:05");
    EXPECT_EQ(FormatUseTime(400000), "111:06:40");
    EXPECT_EQ(FormatUseTime(5.5), "0:00:05.5");
    EXPECT_EQ(FormatUseTime(-100), "-1:58:20");
    EXPECT_EQ(FormatUseTime(2147483648.0 / 1000 - 0.648), "596:31:23");
}

TEST(FormatBigCount, ShortensFromTenThousand) {
    EXPECT_EQ(FormatBigCount(9999, Language::Simplified), "9999");
    EXPECT_EQ(FormatBigCount(10000, Language::Simplified), "1万");
    EXPECT_EQ(FormatBigCount(12345, Language::Simplified), "1.2万");
    EXPECT_EQ(FormatBigCount(12346, Language::Traditional), "1.2萬");
    EXPECT_EQ(FormatBigCount(99999, Language::English), "9.9万");
    EXPECT_EQ(FormatBigCount(2147483647, Language::Simplified), "214748.3万");
}

TEST(TravelText, ThreeDecimalsWithGrouping) {
    test::EnglishNumberFormat en;
    EXPECT_DOUBLE_EQ(MmPerPixel, 0.26499998569488525);
    EXPECT_EQ(MetresText(3773585, en), " 1,000.000m ");
    EXPECT_EQ(MetresText(0, en), " 0.000m ");
    EXPECT_EQ(MetresText(46585.6, en), " 12.345m ");
    EXPECT_EQ(KilometresText(3773585, en), " 1.000km ");
    EXPECT_EQ(FormatThreeDecimals(1234567.4567, en), "1,234,567.457");
}

}  // namespace
}  // namespace pt

#include "core/stats/Formatting.h"

#include <charconv>
#include <cmath>

#include "core/ports/NumberFormat.h"
#include "core/stats/NumberText.h"
#include "core/stats/StatisticsModel.h"
#include "core/texts/MainWindowTexts.h"

namespace pt {

std::string FormatUseTime(double s) {
    double h = IntPart(s / 3600);
    double m = IntPart((s - h * 3600) / 60);
    double r = s - h * 3600 - m * 60;
    std::string text = NumberToText(h) + ":";
    if (m < 10) text += "0";
    text += NumberToText(m) + ":";
    if (r < 10) text += "0";
    text += NumberToText(r);
    return text;
}

std::string FormatBigCount(std::int32_t count, Language lang) {
    if (count < 10000) return std::to_string(count);
    double tenths = IntPart(static_cast<double>(count) / 1000) / 10;
    return NumberToText(tenths) + std::string(main_texts::TenThousand.in(lang));
}

std::string FormatThreeDecimals(double value, const NumberFormat& format) {
    if (!std::isfinite(value)) value = 0;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, 3);
    std::string plain(buf, res.ptr);  // "1234.567"
    const std::string whole = plain.substr(0, plain.size() - 4);
    const std::string fraction = plain.substr(plain.size() - 3);
    const bool negative = value < 0 && plain.find_first_not_of("0.") != std::string::npos;
    // Appended, not "literal" + std::string, which GCC 12 flags (-Wrestrict) at -O3.
    std::string text = negative ? "-" : "";
    text += format.groupWhole(whole);
    text += format.decimalSeparator();
    text += fraction;
    return text;
}

std::string MetresText(double pixels, const NumberFormat& format) {
    std::string text = " ";
    text += FormatThreeDecimals(pixels * MmPerPixel / 1000, format);
    return text + "m ";
}

std::string KilometresText(double pixels, const NumberFormat& format) {
    std::string text = " ";
    text += FormatThreeDecimals(pixels * MmPerPixel / 1000000, format);
    return text + "km ";
}

}  // namespace pt

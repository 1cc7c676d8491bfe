#pragma once

#include <cstdint>
#include <string>

#include "core/texts/Language.h"

namespace pt {

class NumberFormat;

// Seconds as hours, two-digit minutes and two-digit seconds: 3725 -> "1:02:05",
// 400000 -> "111:06:40", 5.5 -> "0:00:05.5", -100 -> "-1:58:20".
std::string FormatUseTime(double seconds);

// Counts from 10000 on shortened to tenths of ten thousand: 12345 -> "1.2万" (GB)
// or "1.2萬" (B5); below 10000 the plain count.
std::string FormatBigCount(std::int32_t count, Language lang);

// A number with exactly three decimals, grouped by the user's number format
// ("1,234.567" under English settings).
std::string FormatThreeDecimals(double value, const NumberFormat& format);

// " 12.345m " for a travel in pixels (metres) ...
std::string MetresText(double pixels, const NumberFormat& format);
// ... and " 1.234km " (kilometres).
std::string KilometresText(double pixels, const NumberFormat& format);

}  // namespace pt

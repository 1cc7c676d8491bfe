#pragma once

#include <string>
#include <string_view>

namespace pt {

// The numeric value of a text, read leniently: blanks, tabs and line feeds are skipped
// wherever they stand, "." is always the decimal separator, an exponent (E or D) may
// follow, "&H" and "&O" read hexadecimal and octal, reading stops at the first character
// that cannot continue the number and a text without a number gives 0. Never throws;
// a value too large for a double gives 0.
double NumericValue(std::string_view text);

// Shortest plain decimal text of a number: up to 15 significant digits, exponent form
// ("1E+15", "1.5E-05") beyond that range. No blanks, no grouping.
std::string NumberToText(double value);

// Whole part toward minus infinity, as the statistics' Int() does.
double IntPart(double value);

// Round half to even (banker's rounding), as the tick's whole-number tests do.
double RoundHalfEven(double value);

// Saturating conversion of a number to a 32-bit counter (rounded half to even).
int ToInt32Saturated(double value);

}  // namespace pt

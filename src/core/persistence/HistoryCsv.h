#pragma once

#include <string>
#include <vector>

#include "core/ports/DayHistory.h"

namespace pt {

// The days as CSV text (RFC 4180: CRLF line ends, a header row, fields quoted where they
// hold a comma, quote or line break), UTF-8, dates in ISO form, oldest day first. Columns:
// date, travel in pixels, travel in metres (three decimals, at the program's millimetres
// per pixel), left, middle and right clicks, keys, use time in seconds.
std::string HistoryCsv(const std::vector<DayRow>& days);

}  // namespace pt

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/DayHistory.h"

namespace pt {

// The figures a day's chart can show.
enum class DayFigure { Travel, LeftClicks, MiddleClicks, RightClicks, Keys, UseTime };
inline constexpr DayFigure AllDayFigures[] = {DayFigure::Travel,       DayFigure::LeftClicks,
                                              DayFigure::MiddleClicks, DayFigure::RightClicks,
                                              DayFigure::Keys,         DayFigure::UseTime};

std::int64_t FigureOf(const DayFigures& figures, DayFigure figure);
// An hour keeps travel, clicks (all buttons) and keys; use time has no hours.
std::optional<std::int64_t> HourFigureOf(const HourRow& hour, DayFigure figure);

// The figure as a person reads it: travel in metres ("12.345 m"), use time as h:mm:ss,
// counts as plain numbers.
std::string FigureText(std::int64_t value, DayFigure figure);

// One bar of a chart. A day the program did not run has no value (not zero).
struct ChartPoint {
    std::string label;
    std::optional<std::int64_t> value;
};

// The `count` days up to and including `today` (ISO), oldest first. `days` is ordered.
std::vector<ChartPoint> LastDays(const std::vector<DayRow>& days, std::string_view today, int count,
                                 DayFigure figure);
// The 24 hours of a day, "0" to "23"; hours without a row (and every hour of use time)
// have no value.
std::vector<ChartPoint> DayHours(const std::vector<HourRow>& hours, DayFigure figure);

// The day with the highest figure (the earliest of equals); none without a day above zero.
std::optional<DayRow> BestDay(const std::vector<DayRow>& days, DayFigure figure);

}  // namespace pt

#pragma once

#include <optional>
#include <string>

#include "core/ports/Clock.h"

namespace pt {

// GetLocalTime, GetDateFormatEx / GetTimeFormatEx in the user's locale, GetTickCount64.
class WinClock : public Clock {
public:
    LocalTime now() const override;
    std::string shortDate() const override;
    std::string timeText() const override;
    std::string shortTimeText() const override;
    std::string generalDate() const override;
    std::string weekdayName() const override;
    std::uint64_t millisecondsSinceBoot() const override;
    std::optional<CalendarDate> readDate(const std::string& text) const override;
    std::string dateText(const CalendarDate& date) const override;
};

// Whether a text reads as a calendar date: three numbers separated by '/', '-' or '.',
// year first (y/m/d) or last (d/m/y or m/d/y), or the same with 年, 月 and 日.
std::optional<CalendarDate> ReadsAsDate(const std::string& text);

}  // namespace pt

#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pt {

// Local calendar time, broken down.
struct LocalTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
    int weekday = 1;  // 1 = Sunday .. 7 = Saturday
};

// A day of the calendar.
struct CalendarDate {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    bool operator==(const CalendarDate&) const = default;
};

// The wall clock and the locale's date and time texts. Injected everywhere: the core
// never reads the time by itself.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    // The platform's short date text of today ("2026-12-08" or "2026/12/8").
    virtual std::string shortDate() const = 0;
    // The platform's time text of now, with seconds ("21:30:05", "9:30:05 PM").
    virtual std::string timeText() const = 0;
    // The platform's short time text of now ("21:30", "9:30 PM").
    virtual std::string shortTimeText() const = 0;
    // The general date text of now: short date, then time.
    virtual std::string generalDate() const = 0;
    // The full name of today's weekday in the user's locale ("星期三").
    virtual std::string weekdayName() const = 0;
    // Milliseconds since the system booted, 64-bit (never wraps in practice).
    virtual std::uint64_t millisecondsSinceBoot() const = 0;
    // The date a text stands for: ISO 8601 ("2026-11-08"), or a short or long date as
    // this or another common locale writes it ("2026/11/8", "08.11.2026", "8 Nov 2026").
    virtual std::optional<CalendarDate> readDate(const std::string& text) const = 0;
    // A date as the user's locale writes it, short form.
    virtual std::string dateText(const CalendarDate& date) const = 0;
    // Whether a text reads as a date (year, month and day can be taken from it).
    bool isDate(const std::string& text) const { return readDate(text).has_value(); }
};

}  // namespace pt

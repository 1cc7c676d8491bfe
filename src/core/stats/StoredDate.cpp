#include "core/stats/StoredDate.h"

#include <cstdio>

#include "core/stats/DayAccounting.h"

namespace pt {

std::string IsoDate(const CalendarDate& date) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buf;
}

std::string StoredToday(const Clock& clock) {
    return IsoDate(clock.now());  // as the day history names its days
}

std::string StoredTimeStamp(const Clock& clock) {
    const LocalTime now = clock.now();
    char buf[16];
    std::snprintf(buf, sizeof buf, "T%02d:%02d", now.hour, now.minute);
    return StoredToday(clock) + buf;
}

std::string NormalizedDate(const Clock& clock, std::string_view stored) {
    const auto date = clock.readDate(std::string(stored));
    return date ? IsoDate(*date) : std::string();
}

std::string ShownDate(const Clock& clock, std::string_view stored) {
    if (stored.empty()) return {};
    const auto date = clock.readDate(std::string(stored));
    return date ? clock.dateText(*date) : std::string(stored);
}

}  // namespace pt

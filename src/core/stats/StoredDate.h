#pragma once

#include <string>
#include <string_view>

#include "core/ports/Clock.h"

namespace pt {

// Dates are stored in one form whatever the locale, ISO 8601 ("2026-12-08"), and shown in
// the user's locale. Dates stored before in a locale's own form are still read.

std::string IsoDate(const CalendarDate& date);
// Today, as stored.
std::string StoredToday(const Clock& clock);
// Now as a save time stamp: "2026-12-08T21:30".
std::string StoredTimeStamp(const Clock& clock);
// A stored date in the stored form; empty when the text reads as no date.
std::string NormalizedDate(const Clock& clock, std::string_view stored);
// A stored date in the user's locale; a text that reads as no date is shown as it is.
std::string ShownDate(const Clock& clock, std::string_view stored);

}  // namespace pt

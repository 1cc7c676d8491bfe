#pragma once

#include "platform/Clock.h"

namespace pt {

// The local clock with the user's locale texts (short date, time, weekday name).
class QtClock : public Clock {
public:
    LocalTime now() const override;
    std::string shortDate() const override;
    std::string timeText() const override;
    std::string generalDate() const override;
    std::string weekdayName() const override;
    std::uint64_t millisecondsSinceBoot() const override;
    bool isDate(const std::string& text) const override;
};

}  // namespace pt

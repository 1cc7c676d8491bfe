#pragma once

#include <QLocale>
#include <QTime>

#include "core/ports/Clock.h"

namespace pt {

// The local clock with the user's locale texts (short date, time, weekday name).
class QtClock : public Clock {
public:
    explicit QtClock(const QLocale& locale = QLocale());

    LocalTime now() const override;
    std::string shortDate() const override;
    std::string timeText() const override;
    std::string shortTimeText() const override;
    std::string generalDate() const override;
    std::string weekdayName() const override;
    std::uint64_t millisecondsSinceBoot() const override;
    std::optional<CalendarDate> readDate(const std::string& text) const override;
    std::string dateText(const CalendarDate& date) const override;

    // A time as the locale writes it, long (with seconds) or short, without a time zone.
    static std::string TimeText(const QLocale& locale, const QTime& time, bool withSeconds);

private:
    QLocale m_locale;
    // The locale's formats, worked out once.
    QString m_dateFormat, m_timeFormat, m_shortTimeFormat;
};

}  // namespace pt

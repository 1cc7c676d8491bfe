#include "QtClock.h"

#include <time.h>

#include <QDate>
#include <QDateTime>
#include <QLocale>

namespace pt {
namespace {

// The short date format, always with a four-digit year so a stored date reads back
// unambiguously in any century.
QString ShortDateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

}  // namespace

LocalTime QtClock::now() const {
    const QDateTime dt = QDateTime::currentDateTime();
    const QDate d = dt.date();
    const QTime t = dt.time();
    // Qt counts Monday = 1 .. Sunday = 7; the schedule counts Sunday = 1 .. Saturday = 7.
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), d.dayOfWeek() % 7 + 1};
}

std::string QtClock::shortDate() const {
    return QLocale().toString(QDate::currentDate(), ShortDateFormat()).toStdString();
}

std::string QtClock::timeText() const {
    return QLocale().toString(QTime::currentTime(), QStringLiteral("HH:mm:ss")).toStdString();
}

std::string QtClock::generalDate() const {
    return shortDate() + " " + timeText();
}

std::string QtClock::weekdayName() const {
    return QLocale().dayName(QDate::currentDate().dayOfWeek(), QLocale::LongFormat).toStdString();
}

std::uint64_t QtClock::millisecondsSinceBoot() const {
    timespec ts{};
    // CLOCK_BOOTTIME keeps counting while the machine sleeps, as an uptime should.
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
           static_cast<std::uint64_t>(ts.tv_nsec / 1000000);
}

bool QtClock::isDate(const std::string& text) const {
    const QString s = QString::fromStdString(text).trimmed();
    if (s.isEmpty()) return false;
    if (QLocale().toDate(s, ShortDateFormat()).isValid()) return true;
    if (QLocale().toDate(s, QLocale::ShortFormat).isValid()) return true;
    if (QDate::fromString(s, Qt::ISODate).isValid()) return true;
    for (const char* f : {"yyyy/M/d", "yyyy-M-d", "d/M/yyyy", "M/d/yyyy", "yyyy.M.d", "d.M.yyyy"})
        if (QDate::fromString(s, QLatin1String(f)).isValid()) return true;
    return false;
}

}  // namespace pt

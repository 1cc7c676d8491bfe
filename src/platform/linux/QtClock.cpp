#include "QtClock.h"

#include <time.h>

#include <QDate>
#include <QDateTime>
#include <QLocale>

namespace pt {
namespace {

// The short date format, always with a four-digit year so a stored date reads back
// unambiguously in any century.
QString ShortDateFormat(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

// The locale's time format made fit for a clock text: the time zone ("t", bracketed or
// not) is left out, and the day period "B" that some locales use (and the toolkit does not
// know) becomes AM/PM. Quoted literal text is kept as it is.
QString TimeFormat(const QLocale& locale, QLocale::FormatType type) {
    const QString format = locale.timeFormat(type);
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (quoted || c == QLatin1Char('\'')) {
            out += c;
        } else if (c == QLatin1Char('t')) {
            while (i + 1 < format.size() && format[i + 1] == QLatin1Char('t')) ++i;
            if (out.endsWith(QLatin1Char('[')) && i + 1 < format.size() &&
                format[i + 1] == QLatin1Char(']')) {
                out.chop(1);
                ++i;
            }
        } else if (c == QLatin1Char('B')) {
            out += QLatin1String("AP");
        } else {
            out += c;
        }
    }
    out = out.simplified();
    const bool hasHour = out.contains(QLatin1Char('h')) || out.contains(QLatin1Char('H'));
    if (!hasHour)
        out = type == QLocale::LongFormat ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    return out;
}

}  // namespace

QtClock::QtClock(const QLocale& locale)
    : m_locale(locale),
      m_dateFormat(ShortDateFormat(locale)),
      m_timeFormat(TimeFormat(locale, QLocale::LongFormat)),
      m_shortTimeFormat(TimeFormat(locale, QLocale::ShortFormat)) {}

std::string QtClock::TimeText(const QLocale& locale, const QTime& time, bool withSeconds) {
    const QString format =
        TimeFormat(locale, withSeconds ? QLocale::LongFormat : QLocale::ShortFormat);
    return locale.toString(time, format).toStdString();
}

LocalTime QtClock::now() const {
    const QDateTime dt = QDateTime::currentDateTime();
    const QDate d = dt.date();
    const QTime t = dt.time();
    // Qt counts Monday = 1 .. Sunday = 7; the schedule counts Sunday = 1 .. Saturday = 7.
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), d.dayOfWeek() % 7 + 1};
}

std::string QtClock::shortDate() const {
    return m_locale.toString(QDate::currentDate(), m_dateFormat).toStdString();
}

std::string QtClock::timeText() const {
    return m_locale.toString(QTime::currentTime(), m_timeFormat).toStdString();
}

std::string QtClock::shortTimeText() const {
    return m_locale.toString(QTime::currentTime(), m_shortTimeFormat).toStdString();
}

std::string QtClock::generalDate() const {
    return shortDate() + " " + timeText();
}

std::string QtClock::weekdayName() const {
    return m_locale.dayName(QDate::currentDate().dayOfWeek(), QLocale::LongFormat).toStdString();
}

std::uint64_t QtClock::millisecondsSinceBoot() const {
    timespec ts{};
    // CLOCK_BOOTTIME keeps counting while the machine sleeps, as an uptime should.
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
           static_cast<std::uint64_t>(ts.tv_nsec / 1000000);
}

std::optional<CalendarDate> QtClock::readDate(const std::string& text) const {
    const QString s = QString::fromStdString(text).trimmed();
    if (s.isEmpty()) return std::nullopt;
    auto found = [](const QDate& d) -> std::optional<CalendarDate> {
        if (!d.isValid()) return std::nullopt;
        return CalendarDate{d.year(), d.month(), d.day()};
    };
    // The stored form first: it reads the same in every locale.
    if (auto d = found(QDate::fromString(s, Qt::ISODate))) return d;
    // Then the user's locale, which most likely wrote an older date, then the locales a
    // date may have been written in before, then forms common to many of them.
    static const char* const others[] = {"C",     "en_US", "en_GB", "zh_CN", "zh_TW",
                                         "de_DE", "fr_FR", "ja_JP", "ko_KR", "ru_RU"};
    auto inLocale = [&](const QLocale& locale) -> std::optional<CalendarDate> {
        if (auto d = found(locale.toDate(s, ShortDateFormat(locale)))) return d;
        if (auto d = found(locale.toDate(s, QLocale::ShortFormat))) return d;
        if (auto d = found(locale.toDate(s, QLocale::LongFormat))) return d;
        for (const char* f : {"d MMM yyyy", "d MMMM yyyy", "MMM d, yyyy", "MMMM d, yyyy",
                              "dddd, d MMMM yyyy", "dddd, MMMM d, yyyy"})
            if (auto d = found(locale.toDate(s, QLatin1String(f)))) return d;
        return std::nullopt;
    };
    if (auto d = inLocale(m_locale)) return d;
    for (const char* name : others)
        if (auto d = inLocale(QLocale(QLatin1String(name)))) return d;
    for (const char* f : {"yyyy/M/d", "yyyy-M-d", "yyyy.M.d", "yyyy年M月d日", "d/M/yyyy",
                          "M/d/yyyy", "d.M.yyyy", "d-M-yyyy"})
        if (auto d = found(QDate::fromString(s, QString::fromUtf8(f)))) return d;
    return std::nullopt;
}

std::string QtClock::dateText(const CalendarDate& date) const {
    return m_locale.toString(QDate(date.year, date.month, date.day), m_dateFormat).toStdString();
}

}  // namespace pt

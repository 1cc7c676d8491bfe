#include "support/Fakes.h"

#include <cstdio>

namespace pt::test {

std::string FakeClock::shortDate() const {
    return dateText({time.year, time.month, time.day});
}

std::string FakeClock::dateText(const CalendarDate& date) const {
    char buf[40];
    if (dayFirst)
        std::snprintf(buf, sizeof buf, "%d/%d/%04d", date.day, date.month, date.year);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buf;
}

std::string FakeClock::timeText() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return buf;
}

std::optional<CalendarDate> FakeClock::readDate(const std::string& text) const {
    int y, m, d;
    char tail;
    if (std::sscanf(text.c_str(), "%d-%d-%d%c", &y, &m, &d, &tail) != 3 &&
        std::sscanf(text.c_str(), "%d/%d/%d%c", &d, &m, &y, &tail) != 3)
        return std::nullopt;
    if (y < 100 || m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
    return CalendarDate{y, m, d};
}

void FakeClock::setDate(int year, int month, int day) {
    time.year = year;
    time.month = month;
    time.day = day;
    // Zeller-style weekday, 1 = Sunday.
    int y = year, m = month;
    if (m < 3) {
        m += 12;
        --y;
    }
    int k = y % 100, j = y / 100;
    int h = (day + 13 * (m + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7;  // 0 = Saturday
    time.weekday = ((h + 6) % 7) + 1;
}

void FakeClock::setTime(int hour, int minute, int second) {
    time.hour = hour;
    time.minute = minute;
    time.second = second;
}

std::optional<CursorReading> FakeCursor::take() {
    if (m_queue.empty()) return std::nullopt;
    auto reading = m_queue.front();
    m_queue.pop_front();
    return reading;
}

bool FakeInput::installMouseHook(ButtonSink sink) {
    buttons = std::move(sink);
    ++installs;
    return true;
}

void FakeInput::removeMouseHook() {
    buttons = nullptr;
    ++removes;
}

bool FakeInput::connectKeys(KeySink sink) {
    keys = std::move(sink);
    return true;
}

MsgAnswer FakeMessageBox::show(const std::string& text, const std::string& title,
                               MsgButtons buttons, MsgIcon icon, MsgDefault defaultButton) {
    shown.push_back({text, title, buttons, icon, defaultButton});
    if (!answers.empty()) {
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    bool second = defaultButton == MsgDefault::Second;
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
            return second ? MsgAnswer::Cancel : MsgAnswer::Ok;
        case MsgButtons::YesNo:
            return second ? MsgAnswer::No : MsgAnswer::Yes;
    }
    return MsgAnswer::Ok;
}

}  // namespace pt::test

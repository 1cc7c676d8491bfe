#include "platform/windows/WinClock.h"

#include <array>
#include <charconv>
#include <string_view>
#include <vector>

#include "platform/windows/WideText.h"
#include "platform/windows/Win32.h"

namespace pt {
namespace {

std::string DateText(DWORD flags, const wchar_t* format) {
    std::array<wchar_t, 128> buffer{};
    const int n = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, flags, nullptr, format, buffer.data(),
                                  static_cast<int>(buffer.size()), nullptr);
    return n > 0 ? Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(n - 1))) : "";
}

std::string TimeText(DWORD flags) {
    std::array<wchar_t, 128> buffer{};
    const int n = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, flags, nullptr, nullptr, buffer.data(),
                                  static_cast<int>(buffer.size()));
    return n > 0 ? Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(n - 1))) : "";
}

bool ValidDate(int year, int month, int day) {
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= (month == 2 && !leap ? 28 : days[month - 1]);
}

}  // namespace

LocalTime WinClock::now() const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wDayOfWeek + 1};
}

std::string WinClock::shortDate() const {
    return DateText(DATE_SHORTDATE, nullptr);
}
std::string WinClock::timeText() const {
    return TimeText(0);
}
std::string WinClock::shortTimeText() const {
    return TimeText(TIME_NOSECONDS);
}
std::string WinClock::generalDate() const {
    return shortDate() + " " + timeText();
}
std::string WinClock::weekdayName() const {
    return DateText(0, L"dddd");
}
std::uint64_t WinClock::millisecondsSinceBoot() const {
    return GetTickCount64();
}
std::optional<CalendarDate> WinClock::readDate(const std::string& text) const {
    return ReadsAsDate(text);
}

std::string WinClock::dateText(const CalendarDate& date) const {
    return std::to_string(date.year) + "/" + std::to_string(date.month) + "/" +
           std::to_string(date.day);
}

std::optional<CalendarDate> ReadsAsDate(const std::string& text) {
    std::vector<int> numbers;
    std::string_view rest = text;
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
    std::vector<std::string_view> separators;
    while (!rest.empty()) {
        int value = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
        if (ec != std::errc{}) return std::nullopt;
        numbers.push_back(value);
        rest.remove_prefix(static_cast<size_t>(end - rest.data()));
        size_t n = 0;
        while (n < rest.size() && (rest[n] < '0' || rest[n] > '9')) ++n;
        separators.push_back(rest.substr(0, n));
        rest.remove_prefix(n);
    }
    if (numbers.size() != 3) return std::nullopt;
    const bool chinese = separators[0] == "年" && separators[1] == "月" &&
                         (separators[2].empty() || separators[2] == "日");
    const bool plain = separators[0].size() == 1 && separators[0] == separators[1] &&
                       separators[2].empty() &&
                       std::string_view("/-.").find(separators[0]) != std::string_view::npos;
    auto date = [](int y, int m, int d) -> std::optional<CalendarDate> {
        if (!ValidDate(y, m, d)) return std::nullopt;
        return CalendarDate{y, m, d};
    };
    if (chinese) return date(numbers[0], numbers[1], numbers[2]);
    if (!plain) return std::nullopt;
    if (auto d = date(numbers[0], numbers[1], numbers[2])) return d;
    if (auto d = date(numbers[2], numbers[1], numbers[0])) return d;
    return date(numbers[2], numbers[0], numbers[1]);
}

}  // namespace pt

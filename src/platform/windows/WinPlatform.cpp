#include "platform/windows/WinPlatform.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/windows/Win32.h"

#include <shellapi.h>
#include "persistence/DataFile.h"
#include "platform/SettingsStore.h"
#include "platform/windows/WideText.h"

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

std::string LocaleText(LCTYPE type, const std::string& fallback) {
    std::array<wchar_t, 16> buffer{};
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer.data(),
                                  static_cast<int>(buffer.size()));
    return n > 1 ? Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(n - 1))) : fallback;
}

bool ValidDate(int year, int month, int day) {
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= (month == 2 && !leap ? 28 : days[month - 1]);
}

constexpr std::string_view RegistryRunKey = "software\\microsoft\\windows\\currentversion\\run";
constexpr std::string_view RunValueName = "Pathtally";

}  // namespace

// --- clock ---------------------------------------------------------------------------

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

// --- number format, system ----------------------------------------------------------

WinNumberFormat::WinNumberFormat()
    : m_decimal(LocaleText(LOCALE_SDECIMAL, ".")), m_group(LocaleText(LOCALE_STHOUSAND, ",")) {}

std::string WinSystemInfo::computerName() {
    std::array<wchar_t, MAX_COMPUTERNAME_LENGTH + 1> buffer{};
    DWORD size = static_cast<DWORD>(buffer.size());
    return GetComputerNameW(buffer.data(), &size) ? Narrow({buffer.data(), size}) : "";
}

std::string WinSystemInfo::userName() {
    std::array<wchar_t, 257> buffer{};
    DWORD size = static_cast<DWORD>(buffer.size());
    if (!GetUserNameW(buffer.data(), &size) || size == 0) return "";
    return Narrow({buffer.data(), size - 1}).substr(0, 25);
}

std::string WinSystemInfo::executablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return "";
        if (n < path.size()) return Narrow({path.data(), n});
        if (path.size() >= 32768) return "";
        path.resize(path.size() * 2);
    }
}

std::string WinSystemInfo::programFolder() {
    const std::string path = executablePath();
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string{} : path.substr(0, slash);
}

std::vector<std::string> WinSystemInfo::storagePlaces() {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::current_path(ec);
    std::vector<std::string> places;
    if (!ec) places.push_back(Narrow((folder / std::filesystem::path(DataFileName)).wstring()));
    places.push_back("HKEY_LOCAL_MACHINE\\" + std::string(MainKey));
    return places;
}

int WinSystemInfo::systemLocaleId() {
    return static_cast<int>(GetSystemDefaultLCID());
}

// --- message box, shell ---------------------------------------------------------------

void WinMessageBox::notify(const std::string& text, const std::string& title, MsgIcon icon) {
    UINT flags = MB_OK | MB_SETFOREGROUND;
    if (icon == MsgIcon::Information) flags |= MB_ICONINFORMATION;
    if (icon == MsgIcon::Warning) flags |= MB_ICONWARNING;
    if (icon == MsgIcon::Question) flags |= MB_ICONQUESTION;
    if (icon == MsgIcon::Stop) flags |= MB_ICONSTOP;
    std::thread([text = Widen(text), title = Widen(title), flags] {
        MessageBoxW(nullptr, text.c_str(), title.c_str(), flags);
    }).detach();
}

MsgAnswer WinMessageBox::show(const std::string& text, const std::string& title, MsgButtons buttons,
                              MsgIcon icon, MsgDefault defaultButton) {
    UINT flags = 0;
    switch (buttons) {
        case MsgButtons::Ok:
            flags |= MB_OK;
            break;
        case MsgButtons::OkCancel:
            flags |= MB_OKCANCEL;
            break;
        case MsgButtons::YesNo:
            flags |= MB_YESNO;
            break;
    }
    switch (icon) {
        case MsgIcon::None:
            break;
        case MsgIcon::Information:
            flags |= MB_ICONINFORMATION;
            break;
        case MsgIcon::Warning:
            flags |= MB_ICONWARNING;
            break;
        case MsgIcon::Question:
            flags |= MB_ICONQUESTION;
            break;
        case MsgIcon::Stop:
            flags |= MB_ICONSTOP;
            break;
    }
    if (defaultButton == MsgDefault::Second) flags |= MB_DEFBUTTON2;
    if (!m_owner) flags |= MB_TASKMODAL;
    switch (
        MessageBoxW(static_cast<HWND>(m_owner), Widen(text).c_str(), Widen(title).c_str(), flags)) {
        case IDOK:
            return MsgAnswer::Ok;
        case IDYES:
            return MsgAnswer::Yes;
        case IDNO:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Cancel;
    }
}

void WinShell::open(const std::string& address) {
    ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// --- power ----------------------------------------------------------------------------

void WinPower::enablePrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
}

void WinPower::request(PowerAction action, std::function<void(const PowerResult&)> done) {
    UINT flags = EWX_LOGOFF;
    switch (action) {
        case PowerAction::LogOff:
            flags = EWX_LOGOFF;
            break;
        case PowerAction::Reboot:
            flags = EWX_REBOOT;
            break;
        case PowerAction::PowerOff:
            flags = EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF;
            break;
    }
    if (ExitWindowsEx(flags, 0)) return done({true, {}, {}});
    const DWORD error = GetLastError();
    wchar_t* message = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::string reason = message ? Narrow(message) : "error " + std::to_string(error);
    if (message) LocalFree(message);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    const bool notAuthorized = error == ERROR_PRIVILEGE_NOT_HELD || error == ERROR_ACCESS_DENIED;
    done({false, notAuthorized ? PowerRefusal::NotAuthorized : PowerRefusal::Denied, reason});
}

// --- autostart, single instance ---------------------------------------------------------

std::string RunKeyAutostart::read() {
    return ReadSetting(m_store, RegistryRunKey, RunValueName);
}

void RunKeyAutostart::write(const std::string& path) {
    WriteSetting(m_store, RegistryRunKey, RunValueName, path);
}

MutexSingleInstance::~MutexSingleInstance() {
    if (m_mutex) CloseHandle(m_mutex);
}

bool MutexSingleInstance::acquire() {
    if (m_mutex) return true;
    HANDLE mutex = CreateMutexW(nullptr, TRUE, m_name.c_str());
    if (!mutex) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_mutex = mutex;
    return true;
}

}  // namespace pt

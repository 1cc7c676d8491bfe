#pragma once

#include <string>

#include "core/ports/AutostartEntry.h"
#include "core/ports/Clock.h"
#include "core/ports/MessageBox.h"
#include "core/ports/NumberFormat.h"
#include "core/ports/Power.h"
#include "core/ports/SettingsStore.h"
#include "core/ports/Shell.h"
#include "core/ports/SingleInstance.h"
#include "core/ports/SystemInfo.h"

namespace pt {

// The smaller Win32 services, each a thin layer over the API calls its comment names.

// GetLocalTime, GetDateFormatEx / GetTimeFormatEx in the user's locale, GetTickCount64.
class WinClock : public Clock {
public:
    LocalTime now() const override;
    std::string shortDate() const override;
    std::string timeText() const override;
    std::string shortTimeText() const override;
    std::string generalDate() const override;
    std::string weekdayName() const override;
    std::uint64_t millisecondsSinceBoot() const override;
    std::optional<CalendarDate> readDate(const std::string& text) const override;
    std::string dateText(const CalendarDate& date) const override;
};

// Whether a text reads as a calendar date: three numbers separated by '/', '-' or '.',
// year first (y/m/d) or last (d/m/y or m/d/y), or the same with 年, 月 and 日.
std::optional<CalendarDate> ReadsAsDate(const std::string& text);

// GetLocaleInfoEx of the user's locale: LOCALE_SDECIMAL, LOCALE_STHOUSAND.
class WinNumberFormat : public NumberFormat {
public:
    WinNumberFormat();
    std::string decimalSeparator() const override { return m_decimal; }
    std::string groupSeparator() const override { return m_group; }

private:
    std::string m_decimal = ".";
    std::string m_group = ",";
};

// GetComputerNameW, GetUserNameW, GetModuleFileNameW, GetSystemDefaultLCID.
class WinSystemInfo : public SystemInfo {
public:
    std::string computerName() override;
    std::string userName() override;
    std::string programFolder() override;
    std::string executablePath() override;
    int systemLocaleId() override;
};

// MessageBoxW, owned by the window set with setOwner (none: a task-modal box).
class WinMessageBox : public MessageBox {
public:
    void setOwner(void* window) { m_owner = window; }
    MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                   MsgIcon icon, MsgDefault defaultButton) override;
    // On a thread of its own, without an owner: the caller's timers go on meanwhile.
    void notify(const std::string& text, const std::string& title, MsgIcon icon) override;

private:
    void* m_owner = nullptr;
};

// ShellExecuteW with the "open" verb: the address is one argument, no command line.
class WinShell : public Shell {
public:
    void open(const std::string& address) override;
};

// ExitWindowsEx after SE_SHUTDOWN_NAME has been enabled with AdjustTokenPrivileges. It
// returns at once, so the answer is given before request returns; a refusal carries the
// system's own error text as its detail.
class WinPower : public Power {
public:
    void enablePrivilege() override;
    void request(PowerAction action, std::function<void(const PowerResult&)> done) override;
};

// The value "Pathtally" under software\microsoft\windows\currentversion\run of
// HKEY_LOCAL_MACHINE, through the settings store (which keeps it under HKEY_CURRENT_USER
// where the local machine cannot be written). Switched off, the value stays, empty.
class RunKeyAutostart : public AutostartEntry {
public:
    explicit RunKeyAutostart(SettingsStore& store) : m_store(store) {}
    std::string read() override;
    void write(const std::string& path) override;

private:
    SettingsStore& m_store;
};

// A named mutex in the session's namespace; the system releases it when the process ends,
// however it ends.
class MutexSingleInstance : public SingleInstance {
public:
    explicit MutexSingleInstance(std::wstring name = L"Local\\Pathtally.SingleInstance")
        : m_name(std::move(name)) {}
    ~MutexSingleInstance() override;
    bool acquire() override;

private:
    std::wstring m_name;
    void* m_mutex = nullptr;
};

}  // namespace pt

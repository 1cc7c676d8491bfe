#include "platform/windows/WinPower.h"

#include <string>

#include "platform/windows/SystemErrorText.h"
#include "platform/windows/Win32.h"

namespace pt {

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
    const std::string reason = SystemErrorText(error);
    const bool notAuthorized = error == ERROR_PRIVILEGE_NOT_HELD || error == ERROR_ACCESS_DENIED;
    done({false, notAuthorized ? PowerRefusal::NotAuthorized : PowerRefusal::Denied, reason});
}

}  // namespace pt

#include "platform/windows/WinSystemInfo.h"

#include <array>

#include "platform/windows/WideText.h"
#include "platform/windows/Win32.h"

namespace pt {

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

int WinSystemInfo::systemLocaleId() {
    return static_cast<int>(GetSystemDefaultLCID());
}

}  // namespace pt

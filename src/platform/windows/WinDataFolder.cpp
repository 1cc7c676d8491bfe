#include "platform/windows/WinDataFolder.h"

#include "platform/windows/Win32.h"

#include <shlobj.h>

#include <system_error>

namespace pt {

namespace fs = std::filesystem;

namespace {

fs::path RoamingAppData() {
    if (const wchar_t* appData = _wgetenv(L"APPDATA"); appData && appData[0])
        return fs::path(appData);
    wchar_t path[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, path))) return path;
    return {};
}

}  // namespace

std::filesystem::path WinDataFolderPath() {
    const fs::path base = RoamingAppData();
    return base.empty() ? fs::path() : (base / "Pathtally").lexically_normal();
}

DataFolderEntry EnterWinDataFolder(std::string_view dataFileName, std::string_view computerName) {
    DataFolderEntry entry;
    std::error_code ec;
    entry.startFolder = fs::current_path(ec);
    entry.folder = WinDataFolderPath();
    if (entry.folder.empty()) return entry;
    fs::create_directories(entry.folder, ec);
    if (!fs::is_directory(entry.folder, ec)) return entry;
    fs::current_path(entry.folder, ec);
    if (ec) return entry;
    entry.entered = true;
    if (entry.startFolder.empty() || fs::equivalent(entry.startFolder, entry.folder, ec))
        return entry;
    entry.takeover = TakeOverDataFile(entry.startFolder / dataFileName, entry.folder / dataFileName,
                                      computerName);
    return entry;
}

}  // namespace pt

#include "DataFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace pt {

namespace fs = std::filesystem;

namespace {

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

// mkdir -p with mode 0700 for every folder it makes, as the base-directory rules ask.
bool MakeOwnerOnly(const fs::path& folder) {
    fs::path path;
    for (const fs::path& part : folder) {
        path /= part;
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    std::error_code ec;
    return fs::is_directory(folder, ec);
}

}  // namespace

fs::path DataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    // Relative values are invalid and ignored, as the base-directory rules require.
    const fs::path base =
        (data && data[0] == '/') ? fs::path(data) : HomeFolder() / ".local" / "share";
    return (base / "pathtally").lexically_normal();
}

DataFolderEntry EnterDataFolder(std::string_view dataFileName, std::string_view computerName) {
    DataFolderEntry entry;
    entry.folder = DataFolder();
    std::error_code ec;
    entry.startFolder = fs::current_path(ec);
    if (!MakeOwnerOnly(entry.folder) || ::chdir(entry.folder.c_str()) != 0) {
        std::fprintf(stderr, "Pathtally: cannot use the data folder %s (%s); working in %s\n",
                     entry.folder.c_str(), std::strerror(errno), entry.startFolder.c_str());
        return entry;
    }
    entry.entered = true;
    if (entry.startFolder.empty()) return entry;
    const fs::path old = entry.startFolder / dataFileName;
    entry.takeover = TakeOverDataFile(old, entry.folder / dataFileName, computerName);
    if (entry.takeover == TakeoverResult::LeftInPlace)
        std::fprintf(stderr, "Pathtally: %s was left in place: it cannot be taken over\n",
                     old.c_str());
    return entry;
}

}  // namespace pt

#include "server/ReleaseFiles.h"

#include <Poco/DigestEngine.h>
#include <Poco/SHA2Engine.h>

#include <algorithm>
#include <fstream>

namespace pt::site {

std::string FileSha256(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    Poco::SHA2Engine sha(Poco::SHA2Engine::SHA_256);
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        sha.update(buffer, static_cast<unsigned>(in.gcount()));
    if (in.bad()) return {};
    return Poco::DigestEngine::digestToHex(sha.digest());
}

ReleaseInfo FindRelease(const std::string& version, const std::filesystem::path& folder) {
    ReleaseInfo release{version, {}};
    if (folder.empty()) return release;
    const std::string number = version.size() > 1 ? version.substr(1) : version;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const std::string name = entry.path().filename().string();
        const bool package =
            name.starts_with("pathtally_" + number + "_") && name.ends_with(".deb");
        const bool windows = name.starts_with("pathtally") && name.ends_with(".exe");
        if (!package && !windows) continue;
        const std::string sha = FileSha256(entry.path());
        if (sha.empty()) continue;
        release.files.push_back({name, entry.file_size(ec), sha, entry.path().string()});
    }
    std::sort(release.files.begin(), release.files.end(),
              [](const ReleaseFile& a, const ReleaseFile& b) { return a.name < b.name; });
    return release;
}

}  // namespace pt::site

#pragma once

#include <filesystem>
#include <string>

#include "logic/SiteTypes.h"

namespace pt::site {

// The release's files in `folder`: the Debian package of the version
// (pathtally_<1.2.3>_<arch>.deb) and the Windows programs (pathtally*.exe), each with its
// size and SHA-256, sorted by name. Nothing when the folder is empty or missing.
ReleaseInfo FindRelease(const std::string& version, const std::filesystem::path& folder);

// The SHA-256 of a file as lower-case hex; empty when it cannot be read.
std::string FileSha256(const std::filesystem::path& file);

}  // namespace pt::site

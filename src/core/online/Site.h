#pragma once

#include <string>
#include <string_view>

#include "core/persistence/ValueNames.h"
#include "core/ports/SettingsStore.h"

namespace pt {

// The product website. The settings value "SiteRoot" (main key) overrides the root,
// so tests and mirrors can point the program elsewhere.
inline constexpr std::string_view DefaultSiteRoot = "https://www.pathtally.net";
inline constexpr std::string_view BackupSiteRoot = "https://pathtally.github.io";
inline constexpr std::string_view FeedbackAddress = "feedback@pathtally.net";
inline constexpr std::string_view MakerName = "Corvandel";

// Whether a text may serve as the site root: an absolute http or https address with a
// host (name, IPv4 or bracketed IPv6), an optional port and an optional plain path; no
// user part, query, fragment, blank or control character.
bool IsUsableSiteRoot(std::string_view root);

// The stored SiteRoot without trailing slashes and blanks; the default site when it is
// empty or not usable (the refused text is logged once on stderr).
std::string SiteRoot(SettingsStore& store);

}  // namespace pt

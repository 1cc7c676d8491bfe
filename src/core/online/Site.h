#pragma once

#include <string>
#include <string_view>

#include "persistence/ValueNames.h"
#include "platform/SettingsStore.h"

namespace pt {

// The product website. The settings value "SiteRoot" (main key) overrides the root,
// so tests and mirrors can point the program elsewhere.
inline constexpr std::string_view DefaultSiteRoot = "https://www.pathtally.net";
inline constexpr std::string_view BackupSiteRoot = "https://pathtally.github.io";
inline constexpr std::string_view FeedbackAddress = "feedback@pathtally.net";
inline constexpr std::string_view MakerName = "Corvandel";

inline std::string SiteRoot(SettingsStore& store) {
    std::string root = ReadSetting(store, MainKey, value::SiteRoot);
    while (!root.empty() && (root.back() == '/' || root.back() == ' ')) root.pop_back();
    return root.empty() ? std::string(DefaultSiteRoot) : root;
}

}  // namespace pt

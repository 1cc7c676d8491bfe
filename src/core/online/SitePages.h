#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/ports/SettingsStore.h"

namespace pt {

// Paths of the product website, appended to SiteRoot().
inline constexpr std::string_view HomePagePath = "/pt/h1/";
inline constexpr std::string_view NewsPagePath = "/pt/news/";
inline constexpr std::string_view DownloadPagePath = "/pt/soft/";
inline constexpr std::string_view UpdatePagePath = "/pt/pt_update.asp";
inline constexpr std::string_view RankingPagePath = "/pt/paiming.asp";

// SiteRoot() followed by a site path.
std::string SiteAddress(SettingsStore& store, std::string_view path);

// The home strip under the tabs: its address, or nothing when ClosePtHome is exactly "1"
// (then the strip is hidden and takes no height). Each switch here counts as off while the
// store cannot be read.
std::optional<std::string> HomePageAddress(SettingsStore& store);

// The news tab: its address, or nothing when ClosePtNews is exactly "1" (then the tab
// stays hidden and nothing is loaded).
std::optional<std::string> NewsPageAddress(SettingsStore& store);

// The unasked update check runs unless UpdateCK is "0" (or cannot be read).
bool AutomaticUpdateCheckEnabled(SettingsStore& store);

}  // namespace pt

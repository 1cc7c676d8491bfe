#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pt {

enum class UpdateVerdict { Newer, Current };

// The update page announces the latest version in its title: the title names the product
// ("Pathtally", case-sensitive, anywhere) and holds the version text in its characters 20
// to 26, counted from 1. Characters are Unicode characters, not bytes.
inline constexpr std::string_view UpdatePageMarker = "Pathtally";

// The 7 characters from character 20 (fewer, or none, when the title is shorter).
std::string LatestVersionFromTitle(std::string_view title);

// Whether `latest` names a later version than `running`: "V" (or "v"), then numbers
// separated by dots, compared number by number (a missing number counts as 0), so
// "V1.2.10" is newer than "V1.2.9". Whatever follows the numbers is ignored; a latest
// text that is no version (no "V" and number first) is never newer.
bool IsNewerVersion(std::string_view latest, std::string_view running);

// Nothing while the title is not the update page's; otherwise whether the announced
// version is newer than the running one.
std::optional<UpdateVerdict> UpdateVerdictFromTitle(std::string_view title,
                                                    std::string_view versionText);

}  // namespace pt

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

// Nothing while the title is not the update page's; otherwise whether the announced
// version is newer than the running one. The comparison is plain text, character code by
// character code, as the site writes its versions ("V1.2.10" is not newer than "V1.2.9").
std::optional<UpdateVerdict> UpdateVerdictFromTitle(std::string_view title,
                                                    std::string_view versionNumber);

}  // namespace pt

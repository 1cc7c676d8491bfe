#pragma once

#include <string_view>

#include "texts/Language.h"

namespace pt {

// Texts of a desktop where the input devices cannot be read or the pointer's position is not
// given to programs; Simplified unless the language is B5.

// The statistics page's notice: what is not measured, the fix and its caveat.
std::string_view NoInputAccessNotice(Language lang);
// Stands where a figure would be that cannot be measured.
std::string_view NotMeasuredText(Language lang);
// Stands where a figure's part would be that cannot be measured (the left, middle and right
// counts of a click line).
inline constexpr std::string_view kNotMeasuredMark = "-";
// Stands in the position label where the desktop does not tell the pointer's position.
std::string_view PositionUnavailableText(Language lang);

}  // namespace pt

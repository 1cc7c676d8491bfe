#pragma once

#include <string_view>

namespace pt {

// The program's name, the same in every language: the title of its message boxes and the
// start of its window's title.
inline constexpr std::string_view ProgramName = "Pathtally";

}  // namespace pt

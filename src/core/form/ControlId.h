#pragma once

#include <string_view>

namespace pt {

// A control of a window by the name its widget carries (its object name). Ids are declared
// once each, in their window's table (MainControls.h, ...): code names a control by its
// table entry, so a mistyped name fails to compile.
struct ControlId {
    std::string_view name;
    friend constexpr bool operator==(ControlId a, ControlId b) { return a.name == b.name; }
};

}  // namespace pt

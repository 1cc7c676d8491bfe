#pragma once

#include <ostream>

#include "core/ports/InputEvents.h"

namespace pt {

// Names a button in GoogleTest's failure messages.
inline void PrintTo(MouseButton button, std::ostream* os) {
    switch (button) {
        case MouseButton::Left:
            *os << "Left";
            return;
        case MouseButton::Middle:
            *os << "Middle";
            return;
        case MouseButton::Right:
            *os << "Right";
            return;
    }
    *os << "MouseButton(" << static_cast<int>(button) << ")";
}

}  // namespace pt

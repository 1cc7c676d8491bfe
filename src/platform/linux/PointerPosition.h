#pragma once

#include <cstdint>
#include <optional>

namespace pt {

// Where the pointer is, as reported by a desktop that does not let programs read it
// themselves (a Wayland compositor). Reports arrive on any thread; current() may be called
// from any thread and takes no lock.
class PointerPosition {
public:
    struct Point {
        std::int32_t x = 0;
        std::int32_t y = 0;
        bool operator==(const Point&) const = default;
    };

    virtual ~PointerPosition() = default;
    // Empty until the desktop has reported a position.
    virtual std::optional<Point> current() const = 0;
};

}  // namespace pt

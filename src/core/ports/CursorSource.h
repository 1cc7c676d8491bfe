#pragma once

#include <cstdint>
#include <optional>

namespace pt {

// What the pointer did since the last take(): where it is now and the travel, in pixels,
// summed as straight chords between consecutive positions. A backend measures on its own
// thread, far more often than take() is called (every motion event, or about 1000 reads a
// second).
struct CursorReading {
    std::int32_t x = 0;
    std::int32_t y = 0;
    double travel = 0;
    std::uint64_t samples = 0;  // successful reads folded into this reading
};

class CursorSource {
public:
    virtual ~CursorSource() = default;
    // Empty when no read has succeeded since the last take (no travel to add).
    virtual std::optional<CursorReading> take() = 0;
};

}  // namespace pt

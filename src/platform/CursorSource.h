#pragma once

#include <cstdint>
#include <optional>

namespace pt {

// What the pointer did since the last take(): where it is now and the travel, in pixels,
// summed as straight chords between consecutive samples. The sampling itself may run
// faster than take() is called (a backend samples on its own thread at about 1 kHz).
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

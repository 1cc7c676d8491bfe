#pragma once

#include <cmath>
#include <cstdint>

namespace pt {

// Straight-line distance between two cursor samples: the differences are 32-bit signed
// subtractions (done in 64 bits so extreme coordinates cannot overflow), the squares, the
// sum and the root are double precision.
inline double ChordLength(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    const double dx = static_cast<double>(static_cast<std::int64_t>(x1) - x0);
    const double dy = static_cast<double>(static_cast<std::int64_t>(y1) - y0);
    return std::sqrt(dy * dy + dx * dx);
}

}  // namespace pt

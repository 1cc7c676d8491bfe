#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "core/ports/CursorSource.h"

namespace pt {

// Hands a cursor source's positions and travel from its measuring thread to take() on the
// UI thread without a lock: the last position, the travel summed since the last take and
// how many positions were folded in.
class CursorHandOver {
public:
    // Measuring thread: one more position, `travel` pixels from the one before.
    void record(std::int32_t x, std::int32_t y, double travel) {
        m_position.store((static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) |
                             static_cast<std::uint32_t>(y),
                         std::memory_order_release);
        if (travel != 0) m_travel.fetch_add(travel, std::memory_order_acq_rel);
        m_pending.fetch_add(1, std::memory_order_release);
    }

    // UI thread: what arrived since the last take; empty when nothing did.
    std::optional<CursorReading> take() {
        const std::uint64_t positions = m_pending.exchange(0, std::memory_order_acquire);
        if (positions == 0) return std::nullopt;
        CursorReading reading;
        reading.travel = m_travel.exchange(0, std::memory_order_acq_rel);
        const std::uint64_t position = m_position.load(std::memory_order_acquire);
        reading.x = static_cast<std::int32_t>(static_cast<std::uint32_t>(position >> 32));
        reading.y = static_cast<std::int32_t>(static_cast<std::uint32_t>(position));
        reading.samples = positions;
        return reading;
    }

private:
    std::atomic<std::uint64_t> m_position{0};  // x << 32 | y
    std::atomic<double> m_travel{0};
    std::atomic<std::uint64_t> m_pending{0};
};

}  // namespace pt

#pragma once

#include <cstdint>

#include "core/ports/InputEvents.h"
#include "core/stats/StatisticsModel.h"

namespace pt {

// Counts presses of the left, middle and right mouse buttons anywhere on the desktop
// through one desktop-wide hook. The hook only observes: it never delays or swallows
// an event and updates no display (the sampling tick shows the counters).
class ClickHook {
public:
    ClickHook(StatisticsModel& counters, InputEvents& source);
    ~ClickHook();
    ClickHook(const ClickHook&) = delete;
    ClickHook& operator=(const ClickHook&) = delete;

    // Installs the hook unless one is installed: there is never more than one, so no
    // press is counted twice. When the desktop offers no source, nothing is counted.
    void install();
    // Removes the hook if one is installed; otherwise does nothing.
    void remove();
    bool installed() const { return m_installed; }

    // One press of a button: raises its own two counters and the two totals, in order.
    void countButton(MouseButton button);

    // Increments refused because a counter stood at its maximum (it stays there).
    std::uint64_t refusedIncrements() const { return m_refused; }

private:
    StatisticsModel& m_counters;
    InputEvents& m_source;
    bool m_installed = false;
    std::uint64_t m_refused = 0;
};

}  // namespace pt

#include "core/input/ClickHook.h"

#include <limits>

namespace pt {

ClickHook::ClickHook(ClickCounters& counters, InputEvents& source)
    : m_counters(counters), m_source(source) {}

ClickHook::~ClickHook() {
    remove();
}

void ClickHook::install() {
    if (m_installed) return;
    // A failed install leaves no hook: clicks are simply not counted.
    m_installed = m_source.installMouseHook([this](MouseButton button) { countButton(button); });
}

void ClickHook::remove() {
    if (!m_installed) return;
    m_source.removeMouseHook();
    m_installed = false;
}

bool ClickHook::increment(std::int32_t& counter) {
    if (counter == std::numeric_limits<std::int32_t>::max()) {
        ++m_refused;
        return false;
    }
    ++counter;
    return true;
}

void ClickHook::countButton(MouseButton pressed) {
    std::int32_t* button = nullptr;
    std::int32_t* total = nullptr;
    switch (pressed) {
        case MouseButton::Left:
            button = &m_counters.todayLeftClick;
            total = &m_counters.leftClick;
            break;
        case MouseButton::Right:
            button = &m_counters.todayRightClick;
            total = &m_counters.rightClick;
            break;
        case MouseButton::Middle:
            button = &m_counters.todayMidClick;
            total = &m_counters.midClick;
            break;
        default:
            return;  // not a button of the enumeration (a cast from a number)
    }
    // In order; a counter at its maximum keeps its value and ends the press's counting
    // there, while the counters before it keep their increment.
    for (std::int32_t* counter :
         {button, &m_counters.todayTotalClick, total, &m_counters.totalClick}) {
        if (!increment(*counter)) break;
    }
}

}  // namespace pt

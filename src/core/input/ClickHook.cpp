#include "core/input/ClickHook.h"

namespace pt {

ClickHook::ClickHook(StatisticsModel& counters, InputEvents& source)
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

void ClickHook::countButton(MouseButton button) {
    switch (button) {
        case MouseButton::Left:
        case MouseButton::Right:
        case MouseButton::Middle:
            break;
        default:
            return;  // not a button of the enumeration (a cast from a number)
    }
    if (!m_counters.countClick(button)) ++m_refused;
}

}  // namespace pt

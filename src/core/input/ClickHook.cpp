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
    m_installed = m_source.installMouseHook([this](int message) { countButton(message); });
}

void ClickHook::remove() {
    if (!m_installed) return;
    m_source.removeMouseHook();
    m_installed = false;
}

void ClickHook::countButton(std::int32_t wParam) {
    MouseButton button;
    switch (wParam) {
        case WM_LBUTTONDOWN:
            button = MouseButton::Left;
            break;
        case WM_RBUTTONDOWN:
            button = MouseButton::Right;
            break;
        case WM_MBUTTONDOWN:
            button = MouseButton::Middle;
            break;
        default:
            return;
    }
    if (!m_counters.countClick(button)) ++m_refused;
}

}  // namespace pt

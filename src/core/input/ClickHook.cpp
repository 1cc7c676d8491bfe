#include "input/ClickHook.h"

#include <limits>

namespace pt {

ClickHook::ClickHook(ClickCounters& counters, InputEvents& source, NextHook next)
    : m_counters(counters), m_source(source), m_next(std::move(next)) {}

ClickHook::~ClickHook() {
    DelHook();
}

void ClickHook::AddHook() {
    if (m_MouseHookHandle) return;
    // A failed install leaves no hook: clicks are simply not counted.
    m_MouseHookHandle =
        m_source.installMouseHook([this](int message) { MouseHookProc(0, message); });
}

void ClickHook::DelHook() {
    if (!m_MouseHookHandle) return;
    m_source.removeMouseHook();
    m_MouseHookHandle = false;
}

bool ClickHook::increment(std::int32_t& counter) {
    if (counter == std::numeric_limits<std::int32_t>::max()) {
        ++m_refused;
        return false;
    }
    ++counter;
    return true;
}

std::int32_t ClickHook::MouseHookProc(std::int32_t code, std::int32_t wParam) {
    if (code != 0) return m_next ? m_next(code, wParam) : 0;

    std::int32_t* button = nullptr;
    std::int32_t* total = nullptr;
    switch (wParam) {
        case WM_LBUTTONDOWN:
            button = &m_counters.todayLeftClick;
            total = &m_counters.leftClick;
            break;
        case WM_RBUTTONDOWN:
            button = &m_counters.todayRightClick;
            total = &m_counters.rightClick;
            break;
        case WM_MBUTTONDOWN:
            button = &m_counters.todayMidClick;
            total = &m_counters.midClick;
            break;
        default:
            return 0;
    }
    // In order; a counter at its maximum keeps its value and ends the press's counting
    // there, while the counters before it keep their increment.
    for (std::int32_t* counter :
         {button, &m_counters.todayTotalClick, total, &m_counters.totalClick}) {
        if (!increment(*counter)) break;
    }
    return 0;
}

}  // namespace pt

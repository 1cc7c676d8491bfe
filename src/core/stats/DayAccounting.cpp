#include "core/stats/DayAccounting.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>

namespace pt {

std::string IsoDate(const LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", std::clamp(t.year, 0, 9999),
                  std::clamp(t.month, 1, 12), std::clamp(t.day, 1, 31));
    return text;
}

std::string IsoDateMinusDays(std::string_view iso, int days) {
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-') return {};
    int y = 0, m = 0, d = 0;
    auto number = [&iso](size_t at, size_t length, int& out) {
        const char* end = iso.data() + at + length;
        auto [ptr, ec] = std::from_chars(iso.data() + at, end, out);
        return ec == std::errc() && ptr == end;
    };
    if (!number(0, 4, y) || !number(5, 2, m) || !number(8, 2, d)) return {};
    using namespace std::chrono;
    const year_month_day date{year(y), month(static_cast<unsigned>(m)),
                              day(static_cast<unsigned>(d))};
    if (!date.ok()) return {};
    const year_month_day result{sys_days(date) - std::chrono::days(days)};
    LocalTime t;
    t.year = static_cast<int>(result.year());
    t.month = static_cast<int>(static_cast<unsigned>(result.month()));
    t.day = static_cast<int>(static_cast<unsigned>(result.day()));
    return IsoDate(t);
}

DayAccounting::DayAccounting(const StatisticsModel& model, DayHistory& history, const Clock& clock)
    : m_model(model), m_history(history), m_clock(clock) {}

DayFigures DayAccounting::totals() const {
    DayFigures t;
    const LifetimeTotals& totals = m_model.totals();
    t.travel = static_cast<std::int64_t>(totals.travel);
    t.leftClicks = totals.clicks.left;
    t.middleClicks = totals.clicks.middle;
    t.rightClicks = totals.clicks.right;
    t.keys = static_cast<std::int64_t>(totals.keys.toDouble());
    t.useSeconds = static_cast<std::int64_t>(totals.useTime);
    return t;
}

DayAccounting::Slot DayAccounting::slotNow() const {
    const LocalTime now = m_clock.now();
    return {IsoDate(now), std::clamp(now.hour, 0, 23)};
}

void DayAccounting::begin() {
    m_base = totals();
    m_lastSlot = slotNow();
    m_begun = true;
    m_pruneDue = true;
}

void DayAccounting::cut(const Slot& slot) {
    const DayFigures now = totals();
    auto grown = [](std::int64_t current, std::int64_t& base) {
        const std::int64_t delta = std::max<std::int64_t>(0, current - base);
        base = current;
        return delta;
    };
    DayFigures delta;
    delta.travel = grown(now.travel, m_base.travel);
    delta.leftClicks = grown(now.leftClicks, m_base.leftClicks);
    delta.middleClicks = grown(now.middleClicks, m_base.middleClicks);
    delta.rightClicks = grown(now.rightClicks, m_base.rightClicks);
    delta.keys = grown(now.keys, m_base.keys);
    delta.useSeconds = grown(now.useSeconds, m_base.useSeconds);
    m_pending[slot] += delta;
}

bool DayAccounting::onTick() {
    if (!m_begun) return false;
    const Slot now = slotNow();
    if (now == m_lastSlot) return false;
    cut(m_lastSlot);
    const bool dayChanged = now.first != m_lastSlot.first;
    m_lastSlot = now;
    if (dayChanged) m_pruneDue = true;
    return dayChanged;
}

void DayAccounting::write() {
    if (!m_begun) return;
    // What was counted since the last cut belongs to the slot the ticks last saw.
    cut(m_lastSlot);
    for (const auto& [slot, figures] : m_pending)
        if (figures != DayFigures{}) m_history.add(slot.first, slot.second, figures);
    if (m_pruneDue) {
        const std::string first = IsoDateMinusDays(m_lastSlot.first, HourRowDays - 1);
        if (!first.empty()) m_history.dropHoursBefore(first);
    }
}

void DayAccounting::saved(bool reachedStore) {
    if (!reachedStore) return;
    m_pending.clear();
    m_pruneDue = false;
}

void DayAccounting::beforeReset() {
    if (m_begun) cut(m_lastSlot);
}

void DayAccounting::afterReset(bool clearHistory) {
    if (clearHistory) {
        m_pending.clear();
        m_history.clear();
    }
    if (m_begun) m_base = totals();
}

DayFigures DayAccounting::pending(std::string_view date) const {
    DayFigures sum;
    for (const auto& [slot, figures] : m_pending)
        if (date.empty() || slot.first == date) sum += figures;
    return sum;
}

}  // namespace pt

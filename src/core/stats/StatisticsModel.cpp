#include "core/stats/StatisticsModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pt {
namespace {

bool Increment(std::int32_t& counter) {
    if (counter == std::numeric_limits<std::int32_t>::max()) return false;
    ++counter;
    return true;
}

std::int32_t& CounterOf(ClickCounts& counts, MouseButton button) {
    switch (button) {
        case MouseButton::Left:
            return counts.left;
        case MouseButton::Middle:
            return counts.middle;
        case MouseButton::Right:
            break;
    }
    return counts.right;
}

// The click counters are 32-bit: held at their limit.
std::int32_t GrownClicks(std::int32_t now, std::int32_t before, std::int32_t after) {
    const std::int64_t sum =
        static_cast<std::int64_t>(now) + std::max<std::int64_t>(0, std::int64_t{after} - before);
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(sum, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

double BoundedTotal(double total) {
    return std::isnan(total) ? 0 : std::min(total, MaxStoredTotal);
}

void StatisticsModel::addTravel(std::int32_t x, std::int32_t y, double pixels) {
    m_x = x;
    m_y = y;
    m_todayTravel += pixels;
    m_totals.travel += pixels;
}

bool StatisticsModel::countClick(MouseButton button) {
    for (std::int32_t* counter : {&CounterOf(m_todayClicks, button), &m_todayClicks.all,
                                  &CounterOf(m_totals.clicks, button), &m_totals.clicks.all}) {
        if (!Increment(*counter)) return false;
    }
    return true;
}

void StatisticsModel::countKey() {
    m_totals.keys.increment();
    m_todayKeys.increment();
}

void StatisticsModel::countUseSecond() {
    m_todayUseTime += 1;
    m_totals.useTime += 1;
}

void StatisticsModel::startFrom(const LifetimeTotals& totals) {
    m_totals = totals;
    m_todayUseTime = 0;
    m_todayTravel = 0;
}

void StatisticsModel::addStoredGrowth(const LifetimeTotals& before, const LifetimeTotals& after) {
    auto grown = [](double now, double was, double is) {
        return BoundedTotal(now + std::max(0.0, is - was));
    };
    m_totals.useTime = grown(m_totals.useTime, before.useTime, after.useTime);
    m_totals.travel = grown(m_totals.travel, before.travel, after.travel);

    ClickCounts& c = m_totals.clicks;
    c.left = GrownClicks(c.left, before.clicks.left, after.clicks.left);
    c.middle = GrownClicks(c.middle, before.clicks.middle, after.clicks.middle);
    c.right = GrownClicks(c.right, before.clicks.right, after.clicks.right);
    c.all = GrownClicks(c.all, before.clicks.all, after.clicks.all);

    const double keys = after.keys.toDouble() - before.keys.toDouble();
    if (keys > 0)
        m_totals.keys = DynamicValue::Double(BoundedTotal(m_totals.keys.toDouble() + keys));
}

void StatisticsModel::reset() {
    m_todayClicks = {};
    m_totals.clicks = {};
    m_records = {};
    m_todayUseTime = 0;
    m_totals.useTime = 0;
    m_todayTravel = 0;
    m_totals.travel = 0;
    ++m_resets;
}

}  // namespace pt

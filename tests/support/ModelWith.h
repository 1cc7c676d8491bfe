#pragma once

#include <cstdint>

#include "core/stats/StatisticsModel.h"

namespace pt::test {

// A model reached through its own operations only: the totals merged at start, then what
// this run counted on top of them (today's figures are added to the totals, as the running
// program does; `todayClicks.all` follows from the three buttons), and the stored records.
inline StatisticsModel ModelWith(const LifetimeTotals& atStart, double todayTravel,
                                 int todayUseTime, ClickCounts todayClicks, int todayKeys = 0,
                                 RunRecords records = {}) {
    StatisticsModel m;
    m.startFrom(atStart);
    if (todayTravel != 0) m.addTravel(0, 0, todayTravel);
    for (int i = 0; i < todayUseTime; ++i) m.countUseSecond();
    for (std::int32_t i = 0; i < todayClicks.left; ++i) m.countClick(MouseButton::Left);
    for (std::int32_t i = 0; i < todayClicks.middle; ++i) m.countClick(MouseButton::Middle);
    for (std::int32_t i = 0; i < todayClicks.right; ++i) m.countClick(MouseButton::Right);
    for (int i = 0; i < todayKeys; ++i) m.countKey();
    m.setRecords(records);
    return m;
}

inline LifetimeTotals Totals(double useTime, double travel, ClickCounts clicks = {},
                             DynamicValue keys = {}) {
    return LifetimeTotals{useTime, travel, clicks, keys};
}

}  // namespace pt::test

#pragma once

#include <memory>

#include "core/input/ClickHook.h"
#include "core/ports/Clock.h"
#include "core/ports/DayHistory.h"
#include "core/ports/InputEvents.h"
#include "core/stats/DayAccounting.h"
#include "core/stats/StatisticsModel.h"

namespace pt {

// What the main window's presenter counts into that other windows work on too, built by
// the composition root and handed to each part that needs it: the figures (the data reset
// clears them, the ranking reads the points), the click hook (the Options switch it) and
// the day-by-day accounting (the data reset clears it too).
struct MainParts {
    MainParts(InputEvents& input, DayHistory* history, const Clock& clock);

    StatisticsModel statistics;
    ClickHook clickHook;
    // Null without a history.
    std::unique_ptr<DayAccounting> days;
};

}  // namespace pt

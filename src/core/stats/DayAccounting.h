#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "core/ports/Clock.h"
#include "core/ports/DayHistory.h"
#include "core/stats/StatisticsModel.h"

namespace pt {

// "2026-12-08" for a local time.
std::string IsoDate(const LocalTime& time);
// The ISO date `days` days before (negative: after) an ISO date; empty when it is not one.
std::string IsoDateMinusDays(std::string_view isoDate, int days);

// Days whose hour rows are kept, today included.
inline constexpr int HourRowDays = 30;

// Credits what the totals grew by to the day and hour the clock shows. The totals are
// compared with a snapshot; the growth since then goes to a pending amount per (date,
// hour) that is written with every save and forgotten only once that save reached the
// store, so a failed save loses nothing and the history stays in step with the totals.
// A total that went down (a data reset) credits nothing and is followed from its new value.
class DayAccounting {
public:
    DayAccounting(const StatisticsModel& model, DayHistory& history, const Clock& clock);

    // Takes the totals as loaded at start-up as the starting point. Nothing is credited
    // before this.
    void begin();
    bool begun() const { return m_begun; }

    // Once per second, before the tick counts. Hands the growth so far to the hour that
    // ended, if one did; true when the day changed (the owner then saves, which closes the
    // old day).
    bool onTick();

    // Inside the save's batch: writes every pending amount.
    void write();
    // After the batch: whether it reached the store.
    void saved(bool reachedStore);

    // Around a data reset: credit what was counted before the totals are zeroed, and after
    // it follow the zeroed totals; with `clearHistory`, every day is removed as well.
    void beforeReset();
    void afterReset(bool clearHistory);

    // Figures not yet in the store, for the day shown ("" for all days).
    DayFigures pending(std::string_view date) const;

private:
    using Slot = std::pair<std::string, int>;  // date, hour
    Slot slotNow() const;
    void cut(const Slot& slot);
    DayFigures totals() const;

    const StatisticsModel& m_model;
    DayHistory& m_history;
    const Clock& m_clock;
    bool m_begun = false;
    bool m_pruneDue = false;
    DayFigures m_base;
    Slot m_lastSlot;
    std::map<Slot, DayFigures> m_pending;
};

}  // namespace pt

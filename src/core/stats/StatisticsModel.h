#pragma once

#include <cstdint>

#include "core/input/MouseButton.h"
#include "core/stats/DynamicValue.h"

namespace pt {

// Millimetres per screen pixel: the single-precision constant 0.265f, widened.
// Widened it is exactly 0.26499998569488525, and that value is the multiplier everywhere.
inline constexpr double MmPerPixel = static_cast<double>(0.265f);

// The largest lifetime total (seconds of use, pixels of travel, keystrokes) taken from the
// settings store or the data file at start; a larger stored value is held at it, a value
// that is not a number reads as 0. 1e15 is beyond any real count (31 million years of use)
// and far below 2^53, where adding one second or one key would no longer change a double.
inline constexpr double MaxStoredTotal = 1e15;

// Presses of each counted button and of all three; 32-bit counters.
struct ClickCounts {
    std::int32_t left = 0;
    std::int32_t middle = 0;
    std::int32_t right = 0;
    std::int32_t all = 0;
};

// The lifetime totals, as kept by the data file and the settings store.
struct LifetimeTotals {
    double useTime = 0;  // seconds
    double travel = 0;   // pixels
    ClickCounts clicks;
    DynamicValue keys;
};

// The best of earlier runs, as stored; a run that beats one is saved as the new best.
struct RunRecords {
    double travel = 0;
    double useTime = 0;
    std::int32_t clicks = 0;
};

// Everything the program measures while it runs. "Today" means since this run started:
// the today values begin at zero at every start and go back to zero only with a data reset.
class StatisticsModel {
public:
    // The pointer moved to (x, y), `pixels` of travel since the last position taken.
    void addTravel(std::int32_t x, std::int32_t y, double pixels);
    // One press of a button: its counter, the sum, its total and the total sum are raised
    // in that order. A counter at its maximum keeps its value and ends the counting of the
    // press there (those before it keep their increment); false then.
    bool countClick(MouseButton button);
    void countKey();
    // One more second of use.
    void countUseSecond();
    void setUptime(double seconds) { m_uptime = seconds; }
    void setPoints(double points) { m_points = DynamicValue::Double(points); }

    // The totals merged at start from the data file and the settings store; today's
    // figures begin at zero.
    void startFrom(const LifetimeTotals& totals);
    // Totals found later in a store that could not be read at start: each total grows by
    // what `after` holds beyond `before` (never goes down), held at its limit.
    void addStoredGrowth(const LifetimeTotals& before, const LifetimeTotals& after);
    void setRecords(const RunRecords& records) { m_records = records; }
    void setClickRecord(std::int32_t clicks) { m_records.clicks = clicks; }
    // The data reset: every count, total and record back to zero (uptime and points stay).
    void reset();
    // How many data resets this run has made.
    int resets() const { return m_resets; }

    std::int32_t x() const { return m_x; }
    std::int32_t y() const { return m_y; }
    // Kept in double precision: a float stops counting sub-pixel moves after about 4.4 km.
    double todayTravel() const { return m_todayTravel; }
    double todayUseTime() const { return m_todayUseTime; }
    const ClickCounts& todayClicks() const { return m_todayClicks; }
    const DynamicValue& todayKeys() const { return m_todayKeys; }
    const LifetimeTotals& totals() const { return m_totals; }
    const RunRecords& records() const { return m_records; }
    double uptime() const { return m_uptime; }
    // Empty until the first computation.
    const DynamicValue& points() const { return m_points; }

private:
    std::int32_t m_x = 0, m_y = 0;
    double m_todayTravel = 0;
    double m_todayUseTime = 0;
    ClickCounts m_todayClicks;
    DynamicValue m_todayKeys;
    LifetimeTotals m_totals;
    RunRecords m_records;
    double m_uptime = 0;
    DynamicValue m_points;
    int m_resets = 0;
};

// A total read from a file or a store, held at MaxStoredTotal; not a number reads as 0.
double BoundedTotal(double total);

}  // namespace pt

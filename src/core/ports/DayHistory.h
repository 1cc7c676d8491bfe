#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pt {

// The figures of one day (or the amounts added to it). Only counts: nothing about which
// key, where or in which program.
struct DayFigures {
    std::int64_t travel = 0;  // whole pixels
    std::int64_t leftClicks = 0;
    std::int64_t middleClicks = 0;
    std::int64_t rightClicks = 0;
    std::int64_t keys = 0;
    std::int64_t useSeconds = 0;

    bool operator==(const DayFigures&) const = default;
    DayFigures& operator+=(const DayFigures& other);
    std::int64_t clicks() const { return leftClicks + middleClicks + rightClicks; }
};

inline DayFigures& DayFigures::operator+=(const DayFigures& o) {
    travel += o.travel;
    leftClicks += o.leftClicks;
    middleClicks += o.middleClicks;
    rightClicks += o.rightClicks;
    keys += o.keys;
    useSeconds += o.useSeconds;
    return *this;
}

// One day's row; the date is ISO ("2026-12-08").
struct DayRow {
    std::string date;
    DayFigures figures;
    bool operator==(const DayRow&) const = default;
};

// One hour of a day (0..23): travel, clicks of all buttons, keys.
struct HourRow {
    int hour = 0;
    std::int64_t travel = 0;
    std::int64_t clicks = 0;
    std::int64_t keys = 0;
    bool operator==(const HourRow&) const = default;
};

// Every day's figures, kept beside the settings: one row per day and one per hour of the
// recent days. Rows only grow: figures are added, never set, so a row cannot go down and a
// date has one row at most. Writes join the settings store's open batch where the backend
// shares one (a batch that fails loses both), but never hold the totals back: a history
// write that fails alone is dropped and the totals are kept.
class DayHistory {
public:
    virtual ~DayHistory() = default;
    // Adds to the day's row and to the hour's row, creating them.
    virtual void add(std::string_view date, int hour, const DayFigures& figures) = 0;
    // Every day, oldest first.
    virtual std::vector<DayRow> days() = 0;
    // The hours of one day that have a row, in order; none for days outside the kept range.
    virtual std::vector<HourRow> hours(std::string_view date) = 0;
    // Drops the hour rows of the days before `date`.
    virtual void dropHoursBefore(std::string_view date) = 0;
    // Removes every day and hour.
    virtual void clear() = 0;
};

}  // namespace pt

#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ports/DayHistory.h"

namespace pt {

// The day history as a journal: a text file of whole lines, each one change (a save's
// amounts, dropped hours, a clearing) that holds or is ignored whole.
//
//   pathtally-history 1 *5d3c9a0e            header: format version, checksum
//   a 2026-12-08 21 100 1 2 3 4 5|a ... *..  amounts added to a day and its hour
//   d 2026-12-08 100 1 2 3 4 5 *...          a day's figures (written when rewritten whole)
//   h 2026-12-08 21 100 6 4 *...             an hour's travel, clicks and keys (likewise)
//   x 2026-12-01 *...                        the hours of the days before this date dropped
//   c *...                                   every day and hour removed
//
// Entries of one line are separated by '|'; the line ends with " *" and the CRC-32 of all
// before it in eight hex digits, then "\n". A line cut short (a process killed while
// writing) or damaged fails its checksum and changes nothing; so does a line of a kind this
// version does not know.
struct HistoryState {
    std::map<std::string, DayFigures, std::less<>> days;
    std::map<std::pair<std::string, int>, HourRow> hours;

    bool operator==(const HistoryState&) const = default;
    void add(std::string_view date, int hour, const DayFigures& figures);
    void dropHoursBefore(std::string_view date);
    void clear();
    std::vector<DayRow> dayRows() const;
    std::vector<HourRow> hourRows(std::string_view date) const;
};

// One change, as a line holds it.
struct JournalEntry {
    enum class Kind { Add, Day, Hour, DropHoursBefore, Clear };
    Kind kind = Kind::Add;
    std::string date;
    int hour = 0;
    DayFigures figures;  // Add, Day
    HourRow hourRow;     // Hour (its hour is `hour`)
    void applyTo(HistoryState& state) const;
};

inline constexpr int HistoryJournalVersion = 1;

struct JournalContents {
    enum class Header {
        Missing,  // an empty file, or one whose first write was cut short
        Ours,
        Newer,   // a later version's journal: read what is known here, never written
        Foreign  // not a journal of ours
    };
    Header header = Header::Missing;
    HistoryState state;
    // Lines read, and lines that were cut short, damaged or unknown.
    int lines = 0;
    int badLines = 0;
};

JournalContents ReadHistoryJournal(std::string_view text);

std::string HistoryJournalHeader(int version = HistoryJournalVersion);
// One line holding `entries` (none: an empty text).
std::string HistoryJournalLine(const std::vector<JournalEntry>& entries);
// The header and the state as day and hour lines: the journal rewritten whole.
std::string HistoryJournalSnapshot(const HistoryState& state);

std::uint32_t Crc32(std::string_view bytes);

}  // namespace pt

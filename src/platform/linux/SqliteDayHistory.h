#pragma once

#include <optional>
#include <vector>

#include "core/ports/DayHistory.h"

struct sqlite3_stmt;

namespace pt {

class SettingsDatabase;

// The day history in tables of its own ("days", "day_hours") in the settings database,
// written in the settings' open batch so that a save commits totals and history together.
// The totals are never held back by the history: inside a batch the history has a
// savepoint of its own, and a history write that fails is dropped (said once) while the
// batch commits without it. A database of a newer schema keeps its history as it is: read,
// never written. Clearing asked for while another program holds the database locked is
// carried out once it is free, before anything is read or added.
class SqliteDayHistory : public DayHistory {
public:
    explicit SqliteDayHistory(SettingsDatabase& database) : m_database(database) {}

    void add(std::string_view date, int hour, const DayFigures& figures) override;
    std::vector<DayRow> days() override;
    std::vector<HourRow> hours(std::string_view date) override;
    void dropHoursBefore(std::string_view date) override;
    void clear() override;
    // The days, or nothing when the database exists but cannot be read.
    std::optional<std::vector<DayRow>> readDays();

private:
    struct AddStatements {
        sqlite3_stmt* day;
        sqlite3_stmt* hour;
    };
    // The statements that add to a day and an hour, while the history's tables are there to
    // be written (moved forward when they are not yet); none for a newer schema, a reader
    // or a database that refuses.
    std::optional<AddStatements> addStatements();
    // Said once per run: a history write failed and was dropped.
    void notWritten();
    // Carries out a clearing asked for while the database was locked, once it is free.
    void clearIfOwed();

    SettingsDatabase& m_database;
    bool m_toldNotWritten = false;
    bool m_clearOwed = false;
};

}  // namespace pt

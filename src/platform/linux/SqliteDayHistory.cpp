#include "platform/linux/SqliteDayHistory.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/linux/SettingsDatabase.h"

namespace pt {
namespace {

constexpr const char* AddToDay =
    "INSERT INTO days (date, travel, left_clicks, middle_clicks, right_clicks, keys,"
    " use_seconds) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"
    " ON CONFLICT (date) DO UPDATE SET travel = travel + ?2,"
    " left_clicks = left_clicks + ?3, middle_clicks = middle_clicks + ?4,"
    " right_clicks = right_clicks + ?5, keys = keys + ?6, use_seconds = use_seconds + ?7";
constexpr const char* AddToHour =
    "INSERT INTO day_hours (date, hour, travel, clicks, keys) VALUES (?1, ?2, ?3, ?4, ?5)"
    " ON CONFLICT (date, hour) DO UPDATE SET"
    " travel = travel + ?3, clicks = clicks + ?4, keys = keys + ?5";

// Runs a change once and makes its statement ready for the next.
bool StepChange(sqlite3_stmt* statement) {
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return rc == SQLITE_DONE;
}

void BindDate(sqlite3_stmt* statement, std::string_view date) {
    sqlite3_bind_text(statement, 1, date.data(), static_cast<int>(date.size()), SQLITE_STATIC);
}

}  // namespace

std::optional<SqliteDayHistory::AddStatements> SqliteDayHistory::addStatements() {
    // A later version's history is its own, and a reader writes nothing.
    if (m_database.newerSchema() || m_database.readerOnly()) return std::nullopt;
    const auto prepare = [this]() -> std::optional<AddStatements> {
        sqlite3_stmt* day = m_database.prepared(AddToDay);
        sqlite3_stmt* hour = day ? m_database.prepared(AddToHour) : nullptr;
        if (!hour) return std::nullopt;
        return AddStatements{day, hour};
    };
    if (auto statements = prepare()) return statements;
    // No tables of ours yet (a database that could not be moved forward at open).
    if (!m_database.migrate() || m_database.newerSchema()) return std::nullopt;
    return prepare();
}

void SqliteDayHistory::notWritten() {
    if (m_toldNotWritten) return;
    m_toldNotWritten = true;
    std::fprintf(stderr,
                 "pathtally: the day history in %s could not be written (%s); the totals are "
                 "saved without it\n",
                 m_database.path().c_str(), sqlite3_errmsg(m_database.connection()));
}

void SqliteDayHistory::add(std::string_view date, int hour, const DayFigures& f) {
    if (m_database.refusesWrites()) return;
    clearIfOwed();
    if (!m_database.open(true)) {
        m_database.failBatch();
        return;
    }
    // The totals are saved all the same.
    const auto statements = addStatements();
    if (!statements) return;
    sqlite3_stmt* day = statements->day;
    sqlite3_stmt* hourRow = statements->hour;
    const bool inBatch = m_database.inTransaction();
    const bool ownTransaction = !inBatch && m_database.exec("BEGIN IMMEDIATE");
    // Inside a save's batch the history has a savepoint of its own: when it cannot be
    // written it is dropped, and the totals beside it are committed all the same.
    const bool savepoint = inBatch && m_database.exec("SAVEPOINT history");
    BindDate(day, date);
    int column = 2;
    for (std::int64_t value :
         {f.travel, f.leftClicks, f.middleClicks, f.rightClicks, f.keys, f.useSeconds})
        sqlite3_bind_int64(day, column++, value);
    bool done = StepChange(day);
    BindDate(hourRow, date);
    sqlite3_bind_int(hourRow, 2, hour);
    sqlite3_bind_int64(hourRow, 3, f.travel);
    sqlite3_bind_int64(hourRow, 4, f.clicks());
    sqlite3_bind_int64(hourRow, 5, f.keys);
    done = StepChange(hourRow) && done;
    if (!done) notWritten();
    if (savepoint) {
        if (!done) m_database.exec("ROLLBACK TO history");
        m_database.exec("RELEASE history");
    }
    if (ownTransaction && !(done && m_database.exec("COMMIT"))) m_database.exec("ROLLBACK");
}

std::optional<std::vector<DayRow>> SqliteDayHistory::readDays() {
    clearIfOwed();
    std::vector<DayRow> rows;
    if (!m_database.open(false)) {
        std::error_code ec;
        if (std::filesystem::exists(m_database.path(), ec)) return std::nullopt;
        return rows;  // no database yet: no days
    }
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v2(m_database.connection(),
                           "SELECT date, travel, left_clicks, middle_clicks, right_clicks, keys,"
                           " use_seconds FROM days WHERE typeof(date) = 'text' ORDER BY date",
                           -1, &select, nullptr) != SQLITE_OK) {
        sqlite3_finalize(select);
        // A database older than the history (not moved forward, or only read) has no days.
        if (!m_database.hasTable("days")) return rows;
        return std::nullopt;
    }
    int rc;
    while ((rc = sqlite3_step(select)) == SQLITE_ROW) {
        DayRow row;
        row.date = reinterpret_cast<const char*>(sqlite3_column_text(select, 0));
        DayFigures& f = row.figures;
        std::int64_t* fields[] = {&f.travel,      &f.leftClicks, &f.middleClicks,
                                  &f.rightClicks, &f.keys,       &f.useSeconds};
        for (int i = 0; i < 6; ++i) *fields[i] = sqlite3_column_int64(select, i + 1);
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(select);
    if (rc != SQLITE_DONE) return std::nullopt;
    return rows;
}

std::vector<DayRow> SqliteDayHistory::days() {
    return readDays().value_or(std::vector<DayRow>{});
}

std::vector<HourRow> SqliteDayHistory::hours(std::string_view date) {
    clearIfOwed();
    std::vector<HourRow> rows;
    if (!m_database.open(false)) return rows;
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v2(m_database.connection(),
                           "SELECT hour, travel, clicks, keys FROM day_hours WHERE date = ?"
                           " ORDER BY hour",
                           -1, &select, nullptr) == SQLITE_OK) {
        BindDate(select, date);
        while (sqlite3_step(select) == SQLITE_ROW)
            rows.push_back({sqlite3_column_int(select, 0), sqlite3_column_int64(select, 1),
                            sqlite3_column_int64(select, 2), sqlite3_column_int64(select, 3)});
    }
    sqlite3_finalize(select);
    return rows;
}

void SqliteDayHistory::dropHoursBefore(std::string_view date) {
    if (!m_database.open(false) || !addStatements()) return;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_database.connection(), "DELETE FROM day_hours WHERE date < ?", -1,
                           &statement, nullptr) == SQLITE_OK) {
        BindDate(statement, date);
        StepChange(statement);
    }
    sqlite3_finalize(statement);
}

void SqliteDayHistory::clearIfOwed() {
    if (!m_clearOwed || !m_database.readable()) return;
    m_clearOwed = false;
    clear();
}

void SqliteDayHistory::clear() {
    // Held by another program: nothing can be removed now, and what it holds would come
    // back; the clearing waits until the database is free.
    if (!m_database.lockedPlace().empty() && !m_database.readable()) {
        m_clearOwed = true;
        return;
    }
    if (!m_database.open(false) || !addStatements()) return;
    if (m_database.inTransaction()) {
        if (!m_database.exec("DELETE FROM days") || !m_database.exec("DELETE FROM day_hours"))
            m_database.failBatch();
    } else if (m_database.exec("BEGIN IMMEDIATE")) {
        if (m_database.exec("DELETE FROM days") && m_database.exec("DELETE FROM day_hours") &&
            m_database.exec("COMMIT"))
            return;
        m_database.exec("ROLLBACK");
    }
}

}  // namespace pt

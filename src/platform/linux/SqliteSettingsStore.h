#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/DayHistory.h"
#include "platform/SettingsStore.h"

struct sqlite3;
struct sqlite3_stmt;

namespace pt {

// The settings store in one SQLite database, one row per (root, key path, value name).
// Key paths and value names compare without regard to case. The database stays open for
// the program's life in WAL mode; no statement holds a lock between calls, so the sqlite3
// shell can read and change values while the program runs. A batch is one transaction.
//
// Reading never creates anything, not even the database file: it is created (owner-only,
// in an owner-only folder) by the first write. Text is cut at its first NUL; a value that
// is not text (a blob or NULL set from outside) reads as empty. Failures are silent. A
// database that cannot be read (damaged, truncated, not a database) is moved aside to
// "<name>.damaged-<time>" and a fresh one is started. A database deleted or replaced while
// the program runs is noticed at the next call and opened (or created) anew.
//
// The same database keeps the day history in tables of its own ("days", "day_hours"),
// written in the settings' batch so that a save commits totals and history together; a
// batch in which any write fails is rolled back whole. The schema version (user_version)
// is moved forward on open; a database of a newer version is used as it stands.
class SqliteSettingsStore : public SettingsStore, public DayHistory {
public:
    explicit SqliteSettingsStore(std::filesystem::path databaseFile);
    ~SqliteSettingsStore() override;
    SqliteSettingsStore(const SqliteSettingsStore&) = delete;
    SqliteSettingsStore& operator=(const SqliteSettingsStore&) = delete;

    std::string read(SettingsRoot root, std::string_view keyPath, std::string_view name) override;
    void write(SettingsRoot root, std::string_view keyPath, std::string_view name,
               std::string_view text) override;
    void beginBatch() override;
    void endBatch() override;
    bool lastBatchSaved() const override { return m_lastBatchSaved; }

    void add(std::string_view date, int hour, const DayFigures& figures) override;
    std::vector<DayRow> days() override;
    std::vector<HourRow> hours(std::string_view date) override;
    void dropHoursBefore(std::string_view date) override;
    void clear() override;
    // The days, or nothing when the database exists but cannot be read.
    std::optional<std::vector<DayRow>> readDays();

    // The schema version this program writes.
    static constexpr int SchemaVersion = 1;

    const std::filesystem::path& path() const { return m_path; }
    bool isOpen() const { return m_db != nullptr; }
    // Off: a database that cannot be read is left where it is and reads as failed (for
    // readers such as the export, which must not change what they read).
    void setRecoveryAllowed(bool allowed) { m_recoveryAllowed = allowed; }
    // Where the last damaged database was moved, if one was.
    const std::optional<std::filesystem::path>& setAside() const { return m_setAside; }

    // $XDG_CONFIG_HOME/pathtally/settings.db ($HOME/.config when XDG_CONFIG_HOME is unset).
    static std::filesystem::path DefaultPath();

private:
    enum class OpenResult { Open, Missing, Busy, Damaged, Failed };

    bool ensureOpen(bool create);
    OpenResult tryOpen(bool create);
    void close();
    // Moves a damaged database aside and starts afresh; bounded per store.
    bool recover();
    bool exec(const char* sql, int* code = nullptr);
    // Moves an older schema forward; false when the database refuses (held by another
    // writer: the settings still work, and the next history write tries again).
    bool migrate(int* code = nullptr);
    // The history's statements, prepared once the schema has its tables.
    bool prepareHistory();
    // Runs a prepared change with the history's bindings; notes a failure in a batch.
    bool stepChange(sqlite3_stmt* statement);

    std::filesystem::path m_path;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_select = nullptr;
    sqlite3_stmt* m_upsert = nullptr;
    sqlite3_stmt* m_addDay = nullptr;
    sqlite3_stmt* m_addHour = nullptr;
    int m_batchDepth = 0;
    bool m_inTransaction = false;
    bool m_batchFailed = false;
    bool m_batchStepFailed = false;
    bool m_lastBatchSaved = true;
    int m_recoveries = 0;
    bool m_recoveryAllowed = true;
    std::optional<std::filesystem::path> m_setAside;
    // The file the connection has open, to notice when it is deleted or replaced.
    unsigned long m_device = 0, m_inode = 0;
};

// The program's settings store (and day history) at its default place.
std::unique_ptr<SqliteSettingsStore> OpenSettingsStore();

}  // namespace pt

#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/ports/DayHistory.h"
#include "core/ports/SettingsStore.h"

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
// "<name>.damaged-<time>" and a fresh one is started; one that is not ours (a link, not a
// file, another program's database: marked with another application id, or with tables
// but no settings table of our shape) is moved aside to "<name>.not-ours-<time>" without
// a byte written into it. A database (or its WAL file) deleted or replaced while the
// program runs is noticed at the next call and opened (or created) anew; what the
// connection still held of a deleted WAL is copied into the database first. A database in
// a place that takes no writes (a read-only folder or file system) is opened for reading
// only, so its values still count; writes are then dropped, and every batch tries again.
// A database another program holds locked at the first open is waited for (up to 10 s);
// while it stays locked it reads as not readable() and every write is refused.
//
// The same database keeps the day history in tables of its own ("days", "day_hours"),
// written in the settings' batch so that a save commits totals and history together; a
// batch in which a settings write fails is rolled back whole. The totals are never held
// back by the history: a history write that fails is dropped (said once) and the batch
// commits without it. The schema version (user_version) is moved forward on open; a
// database of a newer version is used for the settings and its history only read.
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
    bool readable() override;
    std::string lockedPlace() const override { return m_locked ? m_path.string() : std::string(); }

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
    // For readers such as the export, which must not change what they read: the database
    // is opened read-only (no schema moved forward, no journal mode switched, no mark set,
    // nothing written), and one that cannot be read is left where it is and reads as failed.
    void setReadOnlyAccess() {
        m_recoveryAllowed = false;
        m_readerOnly = true;
    }
    // Open for reading only: nothing written is kept.
    bool readOnly() const { return m_db != nullptr && m_readOnly; }
    std::string readOnlyPlace() const override {
        return readOnly() ? m_path.parent_path().string() : std::string();
    }
    // Where the last damaged database was moved, if one was.
    const std::optional<std::filesystem::path>& setAside() const { return m_setAside; }

    // $XDG_CONFIG_HOME/pathtally/settings.db ($HOME/.config when XDG_CONFIG_HOME is unset).
    static std::filesystem::path DefaultPath();

    // Which file a name stands for.
    struct FileIdentity {
        unsigned long device = 0, inode = 0;
        bool operator==(const FileIdentity&) const = default;
    };

private:
    enum class OpenResult { Open, Missing, Busy, Damaged, Foreign, ReadOnlyPlace, Failed };
    enum class Ownership { Ours, Foreign, Unknown };

    // Open for writing, false while the store can only be read (create) or not at all.
    bool ensureOpen(bool create);
    OpenResult tryOpen(bool create);
    OpenResult openConnection(const std::string& name, int flags, bool writable);
    Ownership checkOwnership(bool& marked);
    bool hasTable(const char* name);
    bool filesReplaced();
    bool placeWritable() const;
    void close();
    // Moves a damaged (or foreign) database aside and starts afresh; bounded per store.
    bool recover(bool foreign);
    bool exec(const char* sql, int* code = nullptr);
    // Moves an older schema forward; false when the database refuses (held by another
    // writer: the settings still work, and the next history write tries again).
    bool migrate(int* code = nullptr);
    // The history's statements, prepared once the schema has its tables.
    bool prepareHistory();
    // Runs a prepared change with the history's bindings.
    bool stepChange(sqlite3_stmt* statement);
    // Said once per run: a history write failed and was dropped.
    void historyNotWritten();

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
    bool m_readerOnly = false;
    bool m_newerSchema = false;
    // The first open waits long; a store held by another program before it was ever open
    // is locked: not read, not written, until readable() finds it free.
    bool m_firstOpenTried = false;
    bool m_everOpened = false;
    bool m_locked = false;
    bool m_toldHistoryFailure = false;
    std::optional<std::filesystem::path> m_setAside;
    bool m_readOnly = false;
    bool m_toldReadOnly = false;
    // The files the connection has open, to notice when they are deleted or replaced.
    FileIdentity m_dbIdentity, m_walIdentity;
};

// The program's settings store (and day history) at its default place.
std::unique_ptr<SqliteSettingsStore> OpenSettingsStore();

}  // namespace pt

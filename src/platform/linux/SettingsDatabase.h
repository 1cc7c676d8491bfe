#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace pt {

// The one SQLite database file that keeps the settings and the day history: how it is
// opened, checked, kept safe and written in batches. The tables' rows are read and
// written by SqliteSettingsStore and SqliteDayHistory over the same connection.
//
// The database stays open for the program's life in WAL mode; no statement holds a lock
// between calls, so the sqlite3 shell can read and change values while the program runs.
// Opening to read never creates anything, not even the file: it is created (owner-only, in
// an owner-only folder) by the first open to write. A database that cannot be read
// (damaged, truncated, not a database) is moved aside to "<name>.damaged-<time>" and a
// fresh one is started; one that is not ours (a link, not a file, another program's
// database: marked with another application id, or with tables but no settings table of
// our shape) is moved aside to "<name>.not-ours-<time>" without a byte written into it. A
// database (or its WAL file) deleted or replaced while the program runs is noticed at the
// next call and opened (or created) anew; what the connection still held of a deleted WAL
// is copied into the database first. A database in a place that takes no writes (a
// read-only folder or file system) is opened for reading only, so its values still count;
// writes are then dropped, and every batch tries again. A database another program holds
// locked at the first open is waited for (up to 10 s); while it stays locked it reads as
// not readable() and every write is refused.
//
// A batch is one transaction: the totals and the day history written in it commit
// together, and a batch in which a change fails is rolled back whole. The schema version
// (user_version) is moved forward on open; a database of a newer version keeps its day
// history as it is.
class SettingsDatabase {
public:
    explicit SettingsDatabase(std::filesystem::path file);
    ~SettingsDatabase();
    SettingsDatabase(const SettingsDatabase&) = delete;
    SettingsDatabase& operator=(const SettingsDatabase&) = delete;

    // The schema version this program writes.
    static constexpr int SchemaVersion = 1;
    // $XDG_CONFIG_HOME/pathtally/settings.db ($HOME/.config when XDG_CONFIG_HOME is unset).
    static std::filesystem::path DefaultPath();

    // Opens the database (again) when needed: to write (`create`: made when missing) or to
    // read. False while it cannot be used so: missing, locked, or read-only for a writer.
    bool open(bool create);
    // Whether reads tell what the database holds: false while another program keeps it
    // locked, asked again at every call.
    bool readable();
    // The place of the database while another program keeps it locked; else empty.
    std::string lockedPlace() const { return m_locked ? m_path.string() : std::string(); }
    // For readers such as the export, which must not change what they read: the database
    // is opened read-only (no schema moved forward, no journal mode switched, no mark set,
    // nothing written), and one that cannot be read is left where it is and reads as failed.
    void setReadOnlyAccess() {
        m_recoveryAllowed = false;
        m_readerOnly = true;
    }
    bool readerOnly() const { return m_readerOnly; }
    // Open for reading only: nothing written is kept.
    bool readOnly() const { return m_db != nullptr && m_readOnly; }
    // The folder of a database open for reading only; else empty.
    std::string readOnlyPlace() const {
        return readOnly() ? m_path.parent_path().string() : std::string();
    }
    const std::filesystem::path& path() const { return m_path; }
    bool isOpen() const { return m_db != nullptr; }
    // Where the last damaged database was moved, if one was.
    const std::optional<std::filesystem::path>& setAside() const { return m_setAside; }

    // Batches nest; the outermost one is the transaction.
    void beginBatch();
    void endBatch();
    // Whether the last batch was committed whole.
    bool lastBatchSaved() const { return m_lastBatchSaved; }
    bool inTransaction() const { return m_inTransaction; }
    // Writes are refused: the database is locked, or the open batch could not begin.
    bool refusesWrites() const { return m_locked || (m_batchDepth > 0 && m_batchFailed); }
    // A change inside the open batch failed: the batch is rolled back at its end.
    void failBatch() {
        if (m_inTransaction) m_batchStepFailed = true;
    }
    // A statement run outside a batch failed with `code`: when that is damage, the database
    // is moved aside and started afresh, and true tells the caller to try once more.
    bool recoverFrom(int code);

    // The connection, while open.
    sqlite3* connection() const { return m_db; }
    // The statement for `sql`, prepared once per connection and finalized when it closes;
    // null when it cannot be prepared (a table that is not there). `sql` is a literal: the
    // statement is found again by its address.
    sqlite3_stmt* prepared(const char* sql);
    bool exec(const char* sql, int* code = nullptr);
    bool hasTable(const char* name);
    // Moves an older schema forward; false when the database refuses (held by another
    // writer: the settings still work, and the next history write tries again).
    bool migrate(int* code = nullptr);
    // The database was made by a newer version of the program: its history is its own.
    bool newerSchema() const { return m_newerSchema; }

    // Which file a name stands for.
    struct FileIdentity {
        unsigned long device = 0, inode = 0;
        bool operator==(const FileIdentity&) const = default;
    };

private:
    enum class OpenResult { Open, Missing, Busy, Damaged, Foreign, ReadOnlyPlace, Failed };
    enum class Ownership { Ours, Foreign, Unknown };

    OpenResult tryOpen(bool create);
    OpenResult openConnection(const std::string& name, int flags, bool writable);
    Ownership checkOwnership(bool& marked);
    bool filesReplaced();
    bool placeWritable() const;
    void close();
    // Moves a damaged (or foreign) database aside and starts afresh; bounded per database.
    bool recover(bool foreign);

    std::filesystem::path m_path;
    sqlite3* m_db = nullptr;
    std::vector<std::pair<const char*, sqlite3_stmt*>> m_statements;
    int m_batchDepth = 0;
    bool m_inTransaction = false;
    bool m_batchFailed = false;
    bool m_batchStepFailed = false;
    bool m_lastBatchSaved = true;
    int m_recoveries = 0;
    bool m_recoveryAllowed = true;
    bool m_readerOnly = false;
    bool m_newerSchema = false;
    // The first open waits long; a database held by another program before it was ever
    // open is locked: not read, not written, until readable() finds it free.
    bool m_firstOpenTried = false;
    bool m_everOpened = false;
    bool m_locked = false;
    std::optional<std::filesystem::path> m_setAside;
    bool m_readOnly = false;
    bool m_toldReadOnly = false;
    // The files the connection has open, to notice when they are deleted or replaced.
    FileIdentity m_dbIdentity, m_walIdentity;
};

}  // namespace pt

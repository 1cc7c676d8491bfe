#include "platform/linux/SettingsDatabase.h"

#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <system_error>

namespace pt {
namespace fs = std::filesystem;

namespace {

// Long enough to outlast a write from the sqlite3 shell, short enough not to stall the
// window when someone holds a transaction open there.
constexpr int BusyTimeoutMs = 200;
// The first open of a run waits longer for a store that another program holds: the
// start-up's merge needs what it holds, and a store not read yet is never taken as empty.
constexpr int FirstOpenWaitMs = 10000;
constexpr int RetryStepMs = 50;
constexpr int MaxRecoveries = 3;
// Marks a database as this program's settings store ("PTly").
constexpr int ApplicationId = 0x50546c79;

bool IsDamage(int code) {
    int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool IsBusy(int code) {
    int primary = code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// The folder of the database, owner-only when this store creates it.
bool MakeFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return true;
    fs::create_directories(folder, ec);
    if (ec) return false;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    return true;
}

bool CreateOwnerOnlyFile(const fs::path& file) {
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

using FileIdentity = SettingsDatabase::FileIdentity;

// The identity of a file by its name (0, 0 when there is none).
FileIdentity IdentityOf(const fs::path& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) return {};
    return {static_cast<unsigned long>(st.st_dev), static_cast<unsigned long>(st.st_ino)};
}

fs::path WithSuffix(const fs::path& file, const char* suffix) {
    fs::path p = file;
    p += suffix;
    return p;
}

// The database file as SQLite's URI form wants it: reserved characters percent-encoded.
std::string FileUri(const fs::path& file, const char* query) {
    std::string uri = "file:";
    for (unsigned char c : file.string()) {
        if (c == '%' || c == '?' || c == '#' || c < 0x20 || c >= 0x7f) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            uri += buf;
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + query;
}

// Owner-only rights on our own regular file; a link is never followed.
void MakeOwnerOnly(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 07777) != 0600)
        ::fchmod(fd, 0600);
    ::close(fd);
}

std::string TimeTag() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

}  // namespace

SettingsDatabase::SettingsDatabase(fs::path databaseFile) : m_path(std::move(databaseFile)) {}

SettingsDatabase::~SettingsDatabase() {
    close();
}

fs::path SettingsDatabase::DefaultPath() {
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = getpwuid(getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = fs::path(home) / ".config";
    }
    return base / "pathtally" / "settings.db";
}

sqlite3_stmt* SettingsDatabase::prepared(const char* sql) {
    for (const auto& [text, statement] : m_statements)
        if (text == sql) return statement;
    sqlite3_stmt* statement = nullptr;
    if (!m_db || sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement,
                                    nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    m_statements.emplace_back(sql, statement);
    return statement;
}

bool SettingsDatabase::recoverFrom(int code) {
    return IsDamage(code) && !m_inTransaction && recover(false);
}

bool SettingsDatabase::exec(const char* sql, int* code) {
    int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (code) *code = rc;
    return rc == SQLITE_OK;
}

void SettingsDatabase::close() {
    for (auto& [sql, statement] : m_statements) sqlite3_finalize(statement);
    m_statements.clear();
    if (m_db) sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_inTransaction = false;
}

bool SettingsDatabase::placeWritable() const {
    return ::faccessat(AT_FDCWD, m_path.parent_path().c_str(), W_OK, AT_EACCESS) == 0 &&
           ::faccessat(AT_FDCWD, m_path.c_str(), W_OK, AT_EACCESS) == 0;
}

SettingsDatabase::OpenResult SettingsDatabase::tryOpen(bool create) {
    struct stat st {};
    if (::lstat(m_path.c_str(), &st) != 0) {
        if (errno != ENOENT) return OpenResult::Failed;
        if (!create) return OpenResult::Missing;
        if (!MakeFolder(m_path.parent_path())) return OpenResult::Failed;
        if (!CreateOwnerOnlyFile(m_path) && errno != EEXIST) return OpenResult::Failed;
        if (::lstat(m_path.c_str(), &st) != 0) return OpenResult::Failed;
    }
    // A link, a FIFO, a folder: no database of ours, whatever it leads to.
    if (!S_ISREG(st.st_mode)) return OpenResult::Foreign;
    // SQLite opens the companions by name: one that is a link would be written through.
    for (const char* companion : {"-wal", "-shm"}) {
        const fs::path file = WithSuffix(m_path, companion);
        struct stat cs {};
        if (::lstat(file.c_str(), &cs) == 0 && !S_ISREG(cs.st_mode)) {
            if (m_readerOnly) return OpenResult::Foreign;  // a reader removes nothing
            ::unlink(file.c_str());
        }
    }

    OpenResult result = m_readerOnly ? OpenResult::ReadOnlyPlace
                                     : openConnection(m_path.string(), SQLITE_OPEN_READWRITE, true);
    if (result != OpenResult::ReadOnlyPlace) return result;
    // The place takes no writes (a read-only folder or file system), and a database in WAL
    // mode cannot be read the usual way there. Read what it holds, so the stored totals
    // still count; writes are dropped until the place can be written again.
    result = openConnection(m_path.string(), SQLITE_OPEN_READONLY, false);
    if (result != OpenResult::Open)
        result = openConnection(FileUri(m_path, "?immutable=1"),
                                SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, false);
    if (result != OpenResult::Open) return result;
    m_readOnly = true;
    if (!m_toldReadOnly && !m_readerOnly) {
        m_toldReadOnly = true;
        std::fprintf(stderr,
                     "pathtally: the settings database %s cannot be written; its values are "
                     "read, but nothing is saved there\n",
                     m_path.c_str());
    }
    return OpenResult::Open;
}

SettingsDatabase::OpenResult SettingsDatabase::openConnection(const std::string& name, int flags,
                                                              bool writable) {
    close();
    if (sqlite3_open_v2(name.c_str(), &m_db, flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW,
                        nullptr) != SQLITE_OK) {
        int rc = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_CANTOPEN;
        close();
        if (IsDamage(rc)) return OpenResult::Damaged;
        return writable && !placeWritable() ? OpenResult::ReadOnlyPlace : OpenResult::Failed;
    }
    // The opening checks wait long once per run, then every open waits as every call does.
    const int waitMs = m_firstOpenTried ? BusyTimeoutMs : FirstOpenWaitMs;
    m_firstOpenTried = true;
    sqlite3_busy_timeout(m_db, waitMs);
    if (writable) MakeOwnerOnly(m_path);

    auto fail = [this, writable](int rc) {
        close();
        if (IsDamage(rc)) return OpenResult::Damaged;
        if (IsBusy(rc)) return OpenResult::Busy;
        return writable && !placeWritable() ? OpenResult::ReadOnlyPlace : OpenResult::Failed;
    };
    // A damaged file often opens fine and fails only where a page is missing: check it.
    sqlite3_stmt* check = nullptr;
    int rc = sqlite3_prepare_v2(m_db, "PRAGMA quick_check", -1, &check, nullptr);
    if (rc != SQLITE_OK) return fail(rc);
    rc = sqlite3_step(check);
    bool healthy =
        rc == SQLITE_ROW &&
        std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok") == 0;
    sqlite3_finalize(check);
    if (rc != SQLITE_ROW) return fail(rc);
    if (!healthy) return fail(SQLITE_CORRUPT);

    // Before anything is written: is this our database?
    bool marked = false;
    switch (checkOwnership(marked)) {
        case Ownership::Ours:
            break;
        case Ownership::Foreign:
            close();
            return OpenResult::Foreign;
        case Ownership::Unknown:
            return fail(sqlite3_errcode(m_db));
    }

    if (writable) {
        // Switching a rollback-journal database to WAL needs it alone. SQLite gives up at
        // once, without its busy wait, while another connection holds a write lock on it
        // (waiting could deadlock there); this statement holds nothing between tries.
        for (int waited = 0; !exec("PRAGMA journal_mode=WAL", &rc); waited += RetryStepMs) {
            if (!IsBusy(rc) || waited >= waitMs) return fail(rc);
            sqlite3_sleep(RetryStepMs);
        }
        if (!exec("PRAGMA synchronous=NORMAL", &rc)) return fail(rc);
        if (!exec("CREATE TABLE IF NOT EXISTS settings ("
                  " root TEXT NOT NULL,"
                  " key TEXT NOT NULL COLLATE NOCASE,"
                  " name TEXT NOT NULL COLLATE NOCASE,"
                  " value TEXT,"
                  " PRIMARY KEY (root, key, name))",
                  &rc))
            return fail(rc);
        // What follows may wait for a later open: only reading needed the long wait.
        sqlite3_busy_timeout(m_db, BusyTimeoutMs);
        // Marked as ours; a database made before the mark existed gets it now.
        if (!marked) exec(("PRAGMA application_id=" + std::to_string(ApplicationId)).c_str());
    }

    // The settings table as the settings store reads it: any other shape is damage.
    sqlite3_stmt* shape = nullptr;
    rc = sqlite3_prepare_v2(m_db, "SELECT root, key, name, value FROM settings LIMIT 0", -1, &shape,
                            nullptr);
    sqlite3_finalize(shape);
    if (rc != SQLITE_OK) return fail(IsBusy(rc) ? rc : SQLITE_CORRUPT);

    // Without the history tables (a file held by another writer) the settings still work.
    if (writable) migrate();
    sqlite3_busy_timeout(m_db, BusyTimeoutMs);
    m_readOnly = false;
    m_dbIdentity = IdentityOf(m_path);
    m_walIdentity = IdentityOf(WithSuffix(m_path, "-wal"));
    return OpenResult::Open;
}

bool SettingsDatabase::migrate(int* code) {
    sqlite3_stmt* version = nullptr;
    int current = 0;
    if (sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &version, nullptr) == SQLITE_OK &&
        sqlite3_step(version) == SQLITE_ROW)
        current = sqlite3_column_int(version, 0);
    sqlite3_finalize(version);
    if (current > SchemaVersion && !m_newerSchema) {
        m_newerSchema = true;
        std::fprintf(stderr,
                     "pathtally: the settings database %s has schema version %d, newer than "
                     "this program's %d: its totals are used, its day history is left as it is\n",
                     m_path.c_str(), current, SchemaVersion);
    }
    if (current >= SchemaVersion) return true;
    // Version 0 (the settings table alone) -> 1: the day history. One transaction, so a
    // failure leaves the database as it was (inside a batch, the batch's transaction).
    const bool own = !m_inTransaction;
    if (own && !exec("BEGIN IMMEDIATE", code)) return false;
    const bool done = exec(
                          "CREATE TABLE IF NOT EXISTS days ("
                          " date TEXT PRIMARY KEY NOT NULL,"
                          " travel INTEGER NOT NULL DEFAULT 0,"
                          " left_clicks INTEGER NOT NULL DEFAULT 0,"
                          " middle_clicks INTEGER NOT NULL DEFAULT 0,"
                          " right_clicks INTEGER NOT NULL DEFAULT 0,"
                          " keys INTEGER NOT NULL DEFAULT 0,"
                          " use_seconds INTEGER NOT NULL DEFAULT 0)",
                          code) &&
                      exec(
                          "CREATE TABLE IF NOT EXISTS day_hours ("
                          " date TEXT NOT NULL,"
                          " hour INTEGER NOT NULL CHECK (hour BETWEEN 0 AND 23),"
                          " travel INTEGER NOT NULL DEFAULT 0,"
                          " clicks INTEGER NOT NULL DEFAULT 0,"
                          " keys INTEGER NOT NULL DEFAULT 0,"
                          " PRIMARY KEY (date, hour))",
                          code) &&
                      exec("PRAGMA user_version = 1", code) && (!own || exec("COMMIT", code));
    if (!done && own) exec("ROLLBACK");
    return done;
}

bool SettingsDatabase::hasTable(const char* name) {
    sqlite3_stmt* st = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(m_db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?",
                           -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, name, -1, SQLITE_STATIC);
        found = sqlite3_step(st) == SQLITE_ROW;
    }
    sqlite3_finalize(st);
    return found;
}

SettingsDatabase::Ownership SettingsDatabase::checkOwnership(bool& marked) {
    auto single = [this](const char* sql, std::string* text, int* number) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) != SQLITE_OK) return false;
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            if (number) *number = sqlite3_column_int(st, 0);
            if (text) {
                const unsigned char* t = sqlite3_column_text(st, 0);
                *text = t ? reinterpret_cast<const char*>(t) : "";
            }
        }
        sqlite3_finalize(st);
        return rc == SQLITE_ROW || rc == SQLITE_DONE;
    };
    int id = 0;
    if (!single("PRAGMA application_id", nullptr, &id)) return Ownership::Unknown;
    marked = id == ApplicationId;
    if (marked) return Ownership::Ours;
    if (id != 0) return Ownership::Foreign;  // another program's mark
    // Unmarked: an empty database, or one made before the mark whose settings table has
    // exactly our columns (other tables of ours may sit beside it).
    int tables = 0;
    if (!single("SELECT count(*) FROM sqlite_master", nullptr, &tables)) return Ownership::Unknown;
    if (tables == 0) return Ownership::Ours;
    std::string columns;
    if (!single("SELECT group_concat(lower(name), ',') FROM"
                " (SELECT name FROM pragma_table_info('settings') ORDER BY cid)",
                &columns, nullptr))
        return Ownership::Unknown;
    return columns == "root,key,name,value" ? Ownership::Ours : Ownership::Foreign;
}

bool SettingsDatabase::filesReplaced() {
    if (IdentityOf(m_path) != m_dbIdentity) return true;
    if (m_readOnly) return false;
    const FileIdentity wal = IdentityOf(WithSuffix(m_path, "-wal"));
    if (m_walIdentity.inode == 0) {
        m_walIdentity = wal;  // made since the database was opened
        return false;
    }
    return wal != m_walIdentity;
}

bool SettingsDatabase::open(bool create) {
    if (m_db && !m_inTransaction && filesReplaced()) {
        // Deleted or replaced under us: writing on would go into a file nobody will read.
        // When only the WAL went, what our connection still holds of it is first copied
        // into the database; then the store is opened anew and the next save writes all.
        if (IdentityOf(m_path) == m_dbIdentity) exec("PRAGMA wal_checkpoint(TRUNCATE)");
        std::fprintf(stderr,
                     "pathtally: the settings database %s was removed or replaced; "
                     "opening it again\n",
                     m_path.c_str());
        close();
    }
    if (m_db) return !(create && m_readOnly);
    switch (tryOpen(create)) {
        case OpenResult::Open:
            m_everOpened = true;
            return !(create && m_readOnly);
        case OpenResult::Damaged:
            return recover(false) && !(create && m_readOnly);
        case OpenResult::Foreign:
            return recover(true) && !(create && m_readOnly);
        case OpenResult::Busy:
            // Held by another program before anything could be read: what it holds is not
            // known, so nothing is written until readable() finds it free.
            if (!m_everOpened && !m_locked) {
                m_locked = true;
                std::fprintf(stderr,
                             "pathtally: the settings database %s is locked by another "
                             "program; nothing is read from or saved there until it is free\n",
                             m_path.c_str());
            }
            return false;
        case OpenResult::Missing:
        case OpenResult::ReadOnlyPlace:
        case OpenResult::Failed:
            return false;
    }
    return false;
}

bool SettingsDatabase::readable() {
    if (!m_db || m_locked) {
        open(false);
        if (m_db) {
            m_everOpened = true;
            if (m_locked)
                std::fprintf(stderr, "pathtally: the settings database %s is free again\n",
                             m_path.c_str());
            m_locked = false;
        }
    }
    return !m_locked;
}

bool SettingsDatabase::recover(bool foreign) {
    close();
    if (!m_recoveryAllowed || m_recoveries >= MaxRecoveries) return false;
    ++m_recoveries;
    std::error_code ec;
    fs::path aside = m_path;
    aside += (foreign ? ".not-ours-" : ".damaged-") + TimeTag();
    // A link is moved as a link: what it points to is never touched.
    fs::rename(m_path, aside, ec);
    if (ec) {
        fs::remove(m_path, ec);
        if (ec) return false;
    } else {
        m_setAside = aside;
        std::fprintf(stderr,
                     foreign ? "pathtally: %s is not a settings database of ours; moved to %s, "
                               "starting afresh\n"
                             : "pathtally: the settings database %s could not be read; moved "
                               "to %s, starting afresh\n",
                     m_path.c_str(), aside.c_str());
    }
    fs::path wal = m_path, shm = m_path, walAside = aside;
    wal += "-wal";
    shm += "-shm";
    walAside += "-wal";
    fs::rename(wal, walAside, ec);
    fs::remove(wal, ec);
    fs::remove(shm, ec);
    return tryOpen(true) == OpenResult::Open;
}

void SettingsDatabase::beginBatch() {
    if (m_batchDepth++ > 0) return;
    m_batchFailed = false;
    m_batchStepFailed = false;
    m_lastBatchSaved = false;
    // A store that could only be read is tried for writing again at every save.
    if (m_db && m_readOnly) close();
    if (m_locked || !open(true)) {
        m_batchFailed = true;
        return;
    }
    int rc = SQLITE_OK;
    if (exec("BEGIN IMMEDIATE", &rc)) {
        m_inTransaction = true;
    } else if (IsBusy(rc)) {
        // Someone holds the database (a long transaction in the sqlite3 shell): skip this
        // batch rather than stall on every write; the next save writes everything again.
        m_batchFailed = true;
    } else if (IsDamage(rc) && recover(false) && exec("BEGIN IMMEDIATE")) {
        m_inTransaction = true;
    }
}

void SettingsDatabase::endBatch() {
    if (m_batchDepth == 0 || --m_batchDepth > 0) return;
    m_batchFailed = false;
    if (!m_inTransaction) return;
    m_inTransaction = false;
    // All or nothing: the totals and the day history must not part.
    if (!m_batchStepFailed && exec("COMMIT")) {
        m_lastBatchSaved = true;
        return;
    }
    exec("ROLLBACK");
}

}  // namespace pt

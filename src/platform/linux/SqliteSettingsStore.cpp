#include "platform/linux/SqliteSettingsStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

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
constexpr int MaxRecoveries = 3;

const char* RootName(SettingsRoot root) {
    return root == SettingsRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

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
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    return true;
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

SqliteSettingsStore::SqliteSettingsStore(fs::path databaseFile) : m_path(std::move(databaseFile)) {}

SqliteSettingsStore::~SqliteSettingsStore() {
    close();
}

fs::path SqliteSettingsStore::DefaultPath() {
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

bool SqliteSettingsStore::exec(const char* sql, int* code) {
    int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (code) *code = rc;
    return rc == SQLITE_OK;
}

void SqliteSettingsStore::close() {
    if (m_select) sqlite3_finalize(m_select);
    if (m_upsert) sqlite3_finalize(m_upsert);
    m_select = m_upsert = nullptr;
    if (m_db) sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_inTransaction = false;
}

SqliteSettingsStore::OpenResult SqliteSettingsStore::tryOpen(bool create) {
    std::error_code ec;
    if (!fs::exists(m_path, ec)) {
        if (!create) return OpenResult::Missing;
        if (!MakeFolder(m_path.parent_path()) || !CreateOwnerOnlyFile(m_path))
            return OpenResult::Failed;
    }
    if (sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        int rc = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_CANTOPEN;
        close();
        return IsDamage(rc) ? OpenResult::Damaged : OpenResult::Failed;
    }
    sqlite3_busy_timeout(m_db, BusyTimeoutMs);
    if (struct stat st{}; ::stat(m_path.c_str(), &st) == 0) {
        m_device = st.st_dev;
        m_inode = st.st_ino;
    }
    fs::permissions(m_path, fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace, ec);

    auto fail = [this](int rc) {
        close();
        if (IsDamage(rc)) return OpenResult::Damaged;
        return IsBusy(rc) ? OpenResult::Busy : OpenResult::Failed;
    };
    int rc = SQLITE_OK;
    if (!exec("PRAGMA journal_mode=WAL", &rc)) return fail(rc);
    if (!exec("PRAGMA synchronous=NORMAL", &rc)) return fail(rc);

    // A damaged file often opens fine and fails only where a page is missing: check it.
    sqlite3_stmt* check = nullptr;
    rc = sqlite3_prepare_v2(m_db, "PRAGMA quick_check", -1, &check, nullptr);
    if (rc != SQLITE_OK) return fail(rc);
    rc = sqlite3_step(check);
    bool healthy =
        rc == SQLITE_ROW &&
        std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok") == 0;
    sqlite3_finalize(check);
    if (rc != SQLITE_ROW) return fail(rc);
    if (!healthy) return fail(SQLITE_CORRUPT);

    if (!exec("CREATE TABLE IF NOT EXISTS settings ("
              " root TEXT NOT NULL,"
              " key TEXT NOT NULL COLLATE NOCASE,"
              " name TEXT NOT NULL COLLATE NOCASE,"
              " value TEXT,"
              " PRIMARY KEY (root, key, name))",
              &rc) &&
        (rc & 0xff) != SQLITE_READONLY)
        return fail(rc);

    rc = sqlite3_prepare_v3(m_db,
                            "SELECT value FROM settings WHERE root = ? AND key = ? AND name = ?",
                            -1, SQLITE_PREPARE_PERSISTENT, &m_select, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v3(
            m_db,
            "INSERT INTO settings (root, key, name, value) VALUES (?, ?, ?, ?)"
            " ON CONFLICT (root, key, name) DO UPDATE SET value = excluded.value",
            -1, SQLITE_PREPARE_PERSISTENT, &m_upsert, nullptr);
    // A table of the same name but another shape is no settings store of ours.
    if (rc != SQLITE_OK) return fail(IsBusy(rc) ? rc : SQLITE_CORRUPT);
    return OpenResult::Open;
}

bool SqliteSettingsStore::ensureOpen(bool create) {
    if (m_db) {
        // Still the file we opened? Writing on into a deleted file would lose every save.
        struct stat st {};
        if (!m_inTransaction &&
            (::stat(m_path.c_str(), &st) != 0 || st.st_dev != m_device || st.st_ino != m_inode))
            close();
        else
            return true;
    }
    switch (tryOpen(create)) {
        case OpenResult::Open:
            return true;
        case OpenResult::Damaged:
            return recover();
        case OpenResult::Missing:
        case OpenResult::Busy:
        case OpenResult::Failed:
            return false;
    }
    return false;
}

bool SqliteSettingsStore::recover() {
    close();
    if (m_recoveries >= MaxRecoveries) return false;
    ++m_recoveries;
    std::error_code ec;
    fs::path aside = m_path;
    aside += ".damaged-" + TimeTag();
    fs::rename(m_path, aside, ec);
    if (ec) {
        fs::remove(m_path, ec);
        if (ec) return false;
    } else {
        m_setAside = aside;
        std::fprintf(
            stderr,
            "pathtally: the settings database %s could not be read; moved to %s, starting afresh\n",
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

std::string SqliteSettingsStore::read(SettingsRoot root, std::string_view keyPath,
                                      std::string_view name) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureOpen(false)) return {};
        sqlite3_bind_text(m_select, 1, RootName(root), -1, SQLITE_STATIC);
        sqlite3_bind_text(m_select, 2, keyPath.data(), static_cast<int>(keyPath.size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(m_select, 3, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
        std::string result;
        int rc = sqlite3_step(m_select);
        if (rc == SQLITE_ROW && sqlite3_column_type(m_select, 0) == SQLITE_TEXT) {
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(m_select, 0));
            int bytes = sqlite3_column_bytes(m_select, 0);
            if (text) result.assign(text, strnlen(text, static_cast<size_t>(bytes)));
        }
        // Reset at once: a statement left running would pin an old snapshot of the file.
        sqlite3_reset(m_select);
        sqlite3_clear_bindings(m_select);
        if (IsDamage(rc) && !m_inTransaction && recover()) continue;
        return result;
    }
    return {};
}

void SqliteSettingsStore::write(SettingsRoot root, std::string_view keyPath, std::string_view name,
                                std::string_view text) {
    if (m_batchDepth > 0 && m_batchFailed) return;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureOpen(true)) return;
        sqlite3_bind_text(m_upsert, 1, RootName(root), -1, SQLITE_STATIC);
        sqlite3_bind_text(m_upsert, 2, keyPath.data(), static_cast<int>(keyPath.size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(m_upsert, 3, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
        sqlite3_bind_text(m_upsert, 4, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        int rc = sqlite3_step(m_upsert);
        sqlite3_reset(m_upsert);
        sqlite3_clear_bindings(m_upsert);
        if (IsDamage(rc) && !m_inTransaction && recover()) continue;
        return;
    }
}

void SqliteSettingsStore::beginBatch() {
    if (m_batchDepth++ > 0) return;
    m_batchFailed = false;
    if (!ensureOpen(true)) return;
    int rc = SQLITE_OK;
    if (exec("BEGIN IMMEDIATE", &rc)) {
        m_inTransaction = true;
    } else if (IsBusy(rc)) {
        // Someone holds the database (a long transaction in the sqlite3 shell): skip this
        // batch rather than stall on every write; the next save writes everything again.
        m_batchFailed = true;
    } else if (IsDamage(rc) && recover() && exec("BEGIN IMMEDIATE")) {
        m_inTransaction = true;
    }
}

void SqliteSettingsStore::endBatch() {
    if (m_batchDepth == 0 || --m_batchDepth > 0) return;
    m_batchFailed = false;
    if (!m_inTransaction) return;
    m_inTransaction = false;
    if (!exec("COMMIT")) exec("ROLLBACK");
}

std::unique_ptr<SettingsStore> OpenSettingsStore() {
    return std::make_unique<SqliteSettingsStore>(SqliteSettingsStore::DefaultPath());
}

}  // namespace pt

#include "storage/SqliteSiteStorage.h"

#include <sqlite3.h>

#include <cstring>
#include <limits>
#include <string_view>

namespace pt::site {

namespace {

[[noreturn]] void Fail(sqlite3* db, int code, std::string_view what) {
    const std::string message =
        std::string(what) + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    switch (code & 0xff) {
        case SQLITE_READONLY:
            throw StorageError(StorageError::Kind::ReadOnly, message);
        case SQLITE_FULL:
            throw StorageError(StorageError::Kind::Full, message);
        default:
            throw StorageError(StorageError::Kind::Unavailable, message);
    }
}

void Exec(sqlite3* db, const char* sql) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Fail(db, rc, sql);
}

// A prepared statement borrowed from its connection's cache (prepared once per connection,
// kept for its life), reset and cleared when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : m_db(db) { m_stmt = CachedStatement(db, sql); }
    ~Statement() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value) {
        sqlite3_bind_int64(m_stmt, index, value);
        return *this;
    }
    Statement& bind(int index, const std::string& value) {
        sqlite3_bind_text(m_stmt, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    // True while a row is there.
    bool step() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        Fail(m_db, rc, "step");
    }
    std::int64_t integer(int column) { return sqlite3_column_int64(m_stmt, column); }
    std::string text(int column) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column)))
                 : std::string();
    }

private:
    // The statements of one connection, found by the text's address (the texts are
    // constants) and, failing that, its content.
    static sqlite3_stmt* CachedStatement(sqlite3* db, const char* sql) {
        sqlite3_stmt* stmt = nullptr;
        while ((stmt = sqlite3_next_stmt(db, stmt)) != nullptr)
            if (std::strcmp(sqlite3_sql(stmt), sql) == 0 && !sqlite3_stmt_busy(stmt)) return stmt;
        const int rc = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        if (rc != SQLITE_OK) Fail(db, rc, "prepare");
        return stmt;
    }

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// A write transaction that rolls back unless committed.
// Writers of this process take turns on `writers` first: SQLite's own wait for a busy
// database sleeps in steps of milliseconds, a mutex hands over in microseconds.
class Transaction {
public:
    Transaction(sqlite3* db, std::mutex& writers) : m_turn(writers), m_db(db) {
        Exec(db, "BEGIN IMMEDIATE");
    }
    ~Transaction() {
        if (!m_done) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    void commit() {
        Exec(m_db, "COMMIT");
        m_done = true;
    }

private:
    std::lock_guard<std::mutex> m_turn;
    sqlite3* m_db;
    bool m_done = false;
};

std::int64_t IntegerOf(sqlite3* db, const char* sql) {
    Statement s(db, sql);
    return s.step() ? s.integer(0) : 0;
}

// The place of (points, bestAt, id): installations with more points, from the histogram of
// points (one row per points value, not per installation), plus those on the same points
// that reached them earlier, plus one.
constexpr const char* RankSql =
    "SELECT 1 + (SELECT coalesce(sum(installations), 0) FROM points_histogram WHERE points > ?1) "
    "+ (SELECT count(*) FROM rankings WHERE points = ?1 AND "
    "(best_at, installation_id) < (?2, ?3))";

constexpr const char* SchemaV1 = R"(
CREATE TABLE meta (name TEXT PRIMARY KEY, value TEXT NOT NULL);
INSERT INTO meta VALUES ('form_key', lower(hex(randomblob(32))));
CREATE TABLE counters (name TEXT PRIMARY KEY, value INTEGER NOT NULL);
INSERT INTO counters VALUES ('rankings', 0), ('messages', 0);
CREATE TABLE rankings (
  installation_id INTEGER PRIMARY KEY,
  points INTEGER NOT NULL,
  best_at INTEGER NOT NULL,
  last_seen INTEGER NOT NULL);
CREATE INDEX rankings_order ON rankings (points DESC, best_at, installation_id);
CREATE TABLE points_histogram (points INTEGER PRIMARY KEY, installations INTEGER NOT NULL);
CREATE TRIGGER rankings_added AFTER INSERT ON rankings BEGIN
  UPDATE counters SET value = value + 1 WHERE name = 'rankings';
  INSERT INTO points_histogram VALUES (NEW.points, 1)
    ON CONFLICT (points) DO UPDATE SET installations = installations + 1; END;
CREATE TRIGGER rankings_removed AFTER DELETE ON rankings BEGIN
  UPDATE counters SET value = value - 1 WHERE name = 'rankings';
  UPDATE points_histogram SET installations = installations - 1 WHERE points = OLD.points; END;
CREATE TRIGGER rankings_moved AFTER UPDATE OF points ON rankings
  WHEN NEW.points <> OLD.points BEGIN
  UPDATE points_histogram SET installations = installations - 1 WHERE points = OLD.points;
  INSERT INTO points_histogram VALUES (NEW.points, 1)
    ON CONFLICT (points) DO UPDATE SET installations = installations + 1; END;
CREATE TABLE messages (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL,
  body TEXT NOT NULL,
  posted_at INTEGER NOT NULL);
CREATE TRIGGER messages_added AFTER INSERT ON messages BEGIN
  UPDATE counters SET value = value + 1 WHERE name = 'messages'; END;
CREATE TRIGGER messages_removed AFTER DELETE ON messages BEGIN
  UPDATE counters SET value = value - 1 WHERE name = 'messages'; END;
CREATE TABLE rate_slots (
  bucket TEXT NOT NULL,
  window_start INTEGER NOT NULL,
  expires_at INTEGER NOT NULL,
  used INTEGER NOT NULL,
  PRIMARY KEY (bucket, window_start)) WITHOUT ROWID;
CREATE INDEX rate_slots_age ON rate_slots (expires_at);
)";

}  // namespace

class SqliteSiteStorage::Lease {
public:
    explicit Lease(SqliteSiteStorage& owner) : m_owner(owner), m_db(owner.acquire()) {}
    ~Lease() { m_owner.release(m_db); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    operator sqlite3*() const { return m_db; }

private:
    SqliteSiteStorage& m_owner;
    sqlite3* m_db;
};

namespace {

void CloseConnection(sqlite3* db) {
    while (sqlite3_stmt* stmt = sqlite3_next_stmt(db, nullptr)) sqlite3_finalize(stmt);
    sqlite3_close(db);
}

// Read-only opens the file as immutable: a WAL database on a read-only file system cannot
// make its shared-memory file, so SQLite could not read it otherwise.
sqlite3* OpenConnection(const std::filesystem::path& file, bool readOnly) {
    sqlite3* db = nullptr;
    const std::string name = readOnly ? "file:" + file.string() + "?immutable=1" : file.string();
    const int flags = readOnly ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX
                               : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(name.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        StorageError error(
            StorageError::Kind::Unavailable,
            "cannot open " + file.string() + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
        sqlite3_close(db);
        throw error;
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_extended_result_codes(db, 1);
    return db;
}

}  // namespace

SqliteSiteStorage::SqliteSiteStorage(const std::filesystem::path& file, int connections) {
    try {
        sqlite3* first = OpenConnection(file, false);
        m_all.push_back(first);
        try {
            migrate(first);
        } catch (const StorageError&) {
            // A current database on a read-only file system: served read-only.
            std::error_code ec;
            if ((sqlite3_errcode(first) & 0xff) != SQLITE_CANTOPEN ||
                !std::filesystem::is_regular_file(file, ec))
                throw;
            CloseConnection(first);
            m_all.clear();
            m_readOnly = true;
            m_all.push_back(OpenConnection(file, true));
            migrate(m_all.front());
        }
        for (int i = 1; i < connections; ++i) m_all.push_back(OpenConnection(file, m_readOnly));
        for (sqlite3* db : m_all)
            if (!m_readOnly) Exec(db, "PRAGMA synchronous = NORMAL");
    } catch (...) {
        for (sqlite3* db : m_all) CloseConnection(db);
        throw;
    }
    m_idle = m_all;
}

SqliteSiteStorage::~SqliteSiteStorage() {
    for (sqlite3* db : m_all) CloseConnection(db);
}

sqlite3* SqliteSiteStorage::acquire() {
    std::unique_lock lock(m_mutex);
    m_returned.wait(lock, [this] { return !m_idle.empty(); });
    sqlite3* db = m_idle.back();
    m_idle.pop_back();
    return db;
}

void SqliteSiteStorage::release(sqlite3* db) {
    {
        std::lock_guard lock(m_mutex);
        m_idle.push_back(db);
    }
    m_returned.notify_one();
}

void SqliteSiteStorage::migrate(sqlite3* db) {
    const std::int64_t appId = IntegerOf(db, "PRAGMA application_id");
    const std::int64_t version = IntegerOf(db, "PRAGMA user_version");
    if (appId != 0 && appId != ApplicationId)
        throw StorageError(StorageError::Kind::Unavailable,
                           "the database belongs to another program");
    if (version > SchemaVersion)
        throw StorageError(
            StorageError::Kind::Unavailable,
            "the database was made by a newer site (schema " + std::to_string(version) + ")");
    if (version == SchemaVersion) return;  // nothing to write: a read-only file still serves
    if (m_readOnly)
        throw StorageError(StorageError::Kind::ReadOnly,
                           "the database is read-only and needs moving to schema " +
                               std::to_string(SchemaVersion));
    if (appId == 0 && IntegerOf(db, "SELECT count(*) FROM sqlite_schema") != 0)
        throw StorageError(StorageError::Kind::Unavailable,
                           "the file holds another program's tables");
    {
        Statement mode(db, "PRAGMA journal_mode = WAL");
        mode.step();
    }
    Transaction t(db, m_writers);
    if (version < 1) Exec(db, SchemaV1);
    Exec(db, ("PRAGMA application_id = " + std::to_string(ApplicationId)).c_str());
    Exec(db, ("PRAGMA user_version = " + std::to_string(SchemaVersion)).c_str());
    t.commit();
}

int SqliteSiteStorage::schemaVersion() {
    Lease db(*this);
    return static_cast<int>(IntegerOf(db, "PRAGMA user_version"));
}

std::string SqliteSiteStorage::siteSecret() {
    Lease db(*this);
    Statement s(db, "SELECT value FROM meta WHERE name = 'form_key'");
    return s.step() ? s.text(0) : std::string();
}

RankedInstallation SqliteSiteStorage::record(sqlite3* db, std::uint32_t installationId,
                                             std::int64_t points, std::int64_t now) {
    {
        Statement upsert(db,
                         "INSERT INTO rankings VALUES (?1, ?2, ?3, ?3) "
                         "ON CONFLICT (installation_id) DO UPDATE SET "
                         "best_at = CASE WHEN excluded.points > points THEN excluded.best_at "
                         "ELSE best_at END, "
                         "points = max(points, excluded.points), last_seen = excluded.last_seen");
        upsert.bind(1, installationId).bind(2, points).bind(3, now).step();
    }
    RankedInstallation entry;
    {
        Statement row(db,
                      "SELECT points, best_at, last_seen FROM rankings "
                      "WHERE installation_id = ?1");
        row.bind(1, installationId);
        if (!row.step()) Fail(db, SQLITE_ERROR, "the recorded row is missing");
        entry = {installationId, row.integer(0), row.integer(1), row.integer(2), 0};
    }
    Statement rank(db, RankSql);
    rank.bind(1, entry.points).bind(2, entry.bestAt).bind(3, installationId).step();
    entry.rank = rank.integer(0);
    return entry;
}

RankedInstallation SqliteSiteStorage::recordPoints(std::uint32_t installationId,
                                                   std::int64_t points, std::int64_t now) {
    Lease db(*this);
    Transaction t(db, m_writers);
    const RankedInstallation entry = record(db, installationId, points, now);
    t.commit();
    return entry;
}

SubmissionOutcome SqliteSiteStorage::submitPoints(std::uint32_t installationId, std::int64_t points,
                                                  std::int64_t now,
                                                  const std::vector<RateLimit>& limits) {
    Lease db(*this);
    Transaction t(db, m_writers);
    SubmissionOutcome outcome;
    for (std::size_t i = 0; i < limits.size() && !outcome.refusedBy; ++i)
        if (!takeSlot(db, limits[i], now)) outcome.refusedBy = i;
    if (!outcome.refusedBy) outcome.entry = record(db, installationId, points, now);
    t.commit();  // slots taken before a refusal count: the attempt was made
    return outcome;
}

std::vector<RankedInstallation> SqliteSiteStorage::leaderboard(std::int64_t offset, int limit) {
    Lease db(*this);
    // A deep page starts at the points its first entry has, found from the histogram, so
    // that only those on the same points are skipped, not everyone ahead.
    std::int64_t fromPoints = std::numeric_limits<std::int64_t>::max(), ahead = 0;
    if (offset > 0) {
        Statement seek(db,
                       "SELECT points, ahead FROM (SELECT points, sum(installations) OVER "
                       "(ORDER BY points DESC) - installations AS ahead FROM points_histogram "
                       "WHERE installations > 0) WHERE ahead <= ?1 ORDER BY points LIMIT 1");
        seek.bind(1, offset);
        if (!seek.step()) return {};
        fromPoints = seek.integer(0);
        ahead = seek.integer(1);
    }
    Statement s(db,
                "SELECT installation_id, points, best_at, last_seen FROM rankings "
                "WHERE points <= ?3 ORDER BY points DESC, best_at, installation_id "
                "LIMIT ?1 OFFSET ?2");
    s.bind(1, limit).bind(2, offset - ahead).bind(3, fromPoints);
    std::vector<RankedInstallation> rows;
    while (s.step())
        rows.push_back({static_cast<std::uint32_t>(s.integer(0)), s.integer(1), s.integer(2),
                        s.integer(3), offset + static_cast<std::int64_t>(rows.size()) + 1});
    return rows;
}

std::int64_t SqliteSiteStorage::rankedCount() {
    Lease db(*this);
    return IntegerOf(db, "SELECT value FROM counters WHERE name = 'rankings'");
}

std::optional<RankedInstallation> SqliteSiteStorage::installation(std::uint32_t installationId) {
    Lease db(*this);
    Statement row(db, "SELECT points, best_at, last_seen FROM rankings WHERE installation_id = ?1");
    row.bind(1, installationId);
    if (!row.step()) return std::nullopt;
    RankedInstallation entry{installationId, row.integer(0), row.integer(1), row.integer(2), 0};
    Statement rank(db, RankSql);
    rank.bind(1, entry.points).bind(2, entry.bestAt).bind(3, installationId).step();
    entry.rank = rank.integer(0);
    return entry;
}

std::vector<RankedInstallation> SqliteSiteStorage::around(const RankedInstallation& entry,
                                                          int before, int after) {
    const RankedInstallation* self = &entry;
    const std::uint32_t installationId = entry.installationId;
    Lease db(*this);
    auto read = [&](const char* sql, std::int64_t points, int limit) {
        Statement s(db, sql);
        s.bind(1, points).bind(2, self->bestAt).bind(3, installationId).bind(4, limit);
        std::vector<RankedInstallation> rows;
        while (s.step())
            rows.push_back({static_cast<std::uint32_t>(s.integer(0)), s.integer(1), s.integer(2),
                            s.integer(3), 0});
        return rows;
    };
    // Nearest first on each side, each query along the ranking's index.
    auto ahead = read(
        "SELECT installation_id, points, best_at, last_seen FROM rankings "
        "WHERE points = ?1 AND (best_at, installation_id) < (?2, ?3) "
        "ORDER BY best_at DESC, installation_id DESC LIMIT ?4",
        self->points, before);
    if (static_cast<int>(ahead.size()) < before) {
        auto higher = read(
            "SELECT installation_id, points, best_at, last_seen FROM rankings "
            "WHERE points > ?1 "
            "ORDER BY points, best_at DESC, installation_id DESC LIMIT ?4",
            self->points, before - static_cast<int>(ahead.size()));
        ahead.insert(ahead.end(), higher.begin(), higher.end());
    }
    auto behind = read(
        "SELECT installation_id, points, best_at, last_seen FROM rankings "
        "WHERE points = ?1 AND (best_at, installation_id) > (?2, ?3) "
        "ORDER BY best_at, installation_id LIMIT ?4",
        self->points, after);
    if (static_cast<int>(behind.size()) < after) {
        auto lower = read(
            "SELECT installation_id, points, best_at, last_seen FROM rankings "
            "WHERE points < ?1 "
            "ORDER BY points DESC, best_at, installation_id LIMIT ?4",
            self->points, after - static_cast<int>(behind.size()));
        behind.insert(behind.end(), lower.begin(), lower.end());
    }
    return RankedNeighbourhood(*self, ahead, behind);
}

std::int64_t SqliteSiteStorage::postMessage(const std::string& name, const std::string& text,
                                            std::int64_t now) {
    Lease db(*this);
    Transaction t(db, m_writers);
    Statement s(db, "INSERT INTO messages (name, body, posted_at) VALUES (?1, ?2, ?3)");
    s.bind(1, name).bind(2, text).bind(3, now).step();
    const std::int64_t id = sqlite3_last_insert_rowid(db);
    t.commit();
    return id;
}

std::vector<BoardMessage> SqliteSiteStorage::messages(std::int64_t offset, int limit) {
    Lease db(*this);
    Statement s(db,
                "SELECT id, name, body, posted_at FROM messages ORDER BY id DESC "
                "LIMIT ?1 OFFSET ?2");
    s.bind(1, limit).bind(2, offset);
    std::vector<BoardMessage> rows;
    while (s.step()) rows.push_back({s.integer(0), s.text(1), s.text(2), s.integer(3)});
    return rows;
}

std::int64_t SqliteSiteStorage::messageCount() {
    Lease db(*this);
    return IntegerOf(db, "SELECT value FROM counters WHERE name = 'messages'");
}

bool SqliteSiteStorage::takeSlot(sqlite3* db, const RateLimit& limit, std::int64_t now) {
    if (limit.limit < 1) return false;
    const int window = limit.windowSeconds < 1 ? 1 : limit.windowSeconds;
    const std::int64_t windowStart = now - now % window;
    // Windows that have ended are forgotten, at most once a minute per process.
    if (std::int64_t purged = m_slotsPurgedAt.load();
        now - purged >= 60 && m_slotsPurgedAt.compare_exchange_strong(purged, now)) {
        Statement forget(db, "DELETE FROM rate_slots WHERE expires_at <= ?1");
        forget.bind(1, now).step();
    }
    Statement take(db,
                   "INSERT INTO rate_slots VALUES (?1, ?2, ?3, 1) "
                   "ON CONFLICT (bucket, window_start) DO UPDATE SET used = used + 1 "
                   "WHERE used < ?4");
    take.bind(1, limit.bucket).bind(2, windowStart).bind(3, windowStart + window);
    take.bind(4, limit.limit).step();
    return sqlite3_changes(db) == 1;
}

bool SqliteSiteStorage::takeRateSlot(const std::string& bucket, std::int64_t now, int windowSeconds,
                                     int limit) {
    Lease db(*this);
    Transaction t(db, m_writers);
    const bool taken = takeSlot(db, {bucket, windowSeconds, limit}, now);
    t.commit();
    return taken;
}

}  // namespace pt::site

#include "storage/PostgresSiteStorage.h"

#include <sys/random.h>
#include <unistd.h>

#include <pqxx/pqxx>

#include <cstdio>
#include <limits>

namespace pt::site {

namespace {

// The lock every site process takes to move the schema forward ("PTS1").
constexpr std::int64_t MigrationLock = 0x50545331;

constexpr const char* SchemaV1 = R"(
CREATE TABLE site_schema (
  version integer NOT NULL,
  applied_at timestamptz NOT NULL DEFAULT now(),
  applied_by text NOT NULL);
CREATE TABLE meta (name text PRIMARY KEY, value text NOT NULL);
CREATE TABLE counters (name text PRIMARY KEY, value bigint NOT NULL);
INSERT INTO counters VALUES ('rankings', 0), ('messages', 0);
CREATE TABLE rankings (
  installation_id bigint PRIMARY KEY,
  points bigint NOT NULL,
  best_at bigint NOT NULL,
  last_seen bigint NOT NULL) WITH (fillfactor = 90);
CREATE INDEX rankings_order ON rankings (points DESC, best_at, installation_id);
CREATE TABLE points_histogram (points bigint PRIMARY KEY, installations bigint NOT NULL);
CREATE FUNCTION rankings_counted() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF TG_OP = 'INSERT' THEN
    UPDATE counters SET value = value + 1 WHERE name = 'rankings';
    INSERT INTO points_histogram VALUES (NEW.points, 1) ON CONFLICT (points)
      DO UPDATE SET installations = points_histogram.installations + 1;
  ELSIF TG_OP = 'DELETE' THEN
    UPDATE counters SET value = value - 1 WHERE name = 'rankings';
    UPDATE points_histogram SET installations = installations - 1 WHERE points = OLD.points;
  ELSIF NEW.points <> OLD.points THEN
    UPDATE points_histogram SET installations = installations - 1 WHERE points = OLD.points;
    INSERT INTO points_histogram VALUES (NEW.points, 1) ON CONFLICT (points)
      DO UPDATE SET installations = points_histogram.installations + 1;
  END IF;
  RETURN NULL;
END $$;
CREATE TRIGGER rankings_counted AFTER INSERT OR DELETE OR UPDATE OF points ON rankings
  FOR EACH ROW EXECUTE FUNCTION rankings_counted();
CREATE TABLE messages (
  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  name text NOT NULL,
  body text NOT NULL,
  posted_at bigint NOT NULL);
CREATE FUNCTION messages_counted() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  UPDATE counters SET value = value + (CASE WHEN TG_OP = 'INSERT' THEN 1 ELSE -1 END)
    WHERE name = 'messages';
  RETURN NULL;
END $$;
CREATE TRIGGER messages_counted AFTER INSERT OR DELETE ON messages
  FOR EACH ROW EXECUTE FUNCTION messages_counted();
CREATE TABLE rate_slots (
  bucket text NOT NULL,
  window_start bigint NOT NULL,
  expires_at bigint NOT NULL,
  used integer NOT NULL,
  PRIMARY KEY (bucket, window_start));
CREATE INDEX rate_slots_age ON rate_slots (expires_at);
)";

// Every statement that carries a value, prepared on each connection.
constexpr std::pair<const char*, const char*> Statements[] = {
    {"lock_migration", "SELECT pg_advisory_xact_lock($1)"},
    {"has_table", "SELECT to_regclass($1) IS NOT NULL"},
    {"schema_version", "SELECT coalesce(max(version), 0) FROM site_schema"},
    {"schema_applied", "INSERT INTO site_schema (version, applied_by) VALUES ($1, $2)"},
    {"set_meta", "INSERT INTO meta VALUES ($1, $2) ON CONFLICT (name) DO NOTHING"},
    {"form_key", "SELECT value FROM meta WHERE name = 'form_key'"},
    {"record",
     "INSERT INTO rankings AS r VALUES ($1, $2, $3, $3) ON CONFLICT (installation_id) DO "
     "UPDATE SET best_at = CASE WHEN excluded.points > r.points THEN excluded.best_at ELSE "
     "r.best_at END, points = greatest(r.points, excluded.points), "
     "last_seen = excluded.last_seen RETURNING points, best_at, last_seen"},
    {"row", "SELECT points, best_at, last_seen FROM rankings WHERE installation_id = $1"},
    // The place from the histogram of points, plus those on the same points ahead.
    {"rank",
     "SELECT 1 + (SELECT coalesce(sum(installations), 0)::bigint FROM points_histogram "
     "WHERE points > $1) + (SELECT count(*) FROM rankings WHERE points = $1 AND "
     "(best_at, installation_id) < ($2, $3))"},
    {"leaderboard",
     "SELECT installation_id, points, best_at, last_seen FROM rankings WHERE points <= $3 "
     "ORDER BY points DESC, best_at, installation_id LIMIT $1 OFFSET $2"},
    // Where a deep page starts: the points of its first entry, and how many are ahead.
    {"leaderboard_seek",
     "SELECT points, ahead FROM (SELECT points, (sum(installations) OVER (ORDER BY points "
     "DESC) - installations)::bigint AS ahead FROM points_histogram WHERE installations > 0) "
     "AS groups WHERE ahead <= $1 ORDER BY points LIMIT 1"},
    {"ranked_count", "SELECT value FROM counters WHERE name = 'rankings'"},
    {"ahead_same",
     "SELECT installation_id, points, best_at, last_seen FROM rankings WHERE points = $1 AND "
     "(best_at, installation_id) < ($2, $3) ORDER BY best_at DESC, installation_id DESC "
     "LIMIT $4"},
    {"ahead_higher",
     "SELECT installation_id, points, best_at, last_seen FROM rankings WHERE points > $1 "
     "ORDER BY points, best_at DESC, installation_id DESC LIMIT $2"},
    {"behind_same",
     "SELECT installation_id, points, best_at, last_seen FROM rankings WHERE points = $1 AND "
     "(best_at, installation_id) > ($2, $3) ORDER BY best_at, installation_id LIMIT $4"},
    {"behind_lower",
     "SELECT installation_id, points, best_at, last_seen FROM rankings WHERE points < $1 "
     "ORDER BY points DESC, best_at, installation_id LIMIT $2"},
    {"post", "INSERT INTO messages (name, body, posted_at) VALUES ($1, $2, $3) RETURNING id"},
    {"messages",
     "SELECT id, name, body, posted_at FROM messages ORDER BY id DESC LIMIT $1 OFFSET $2"},
    {"message_count", "SELECT value FROM counters WHERE name = 'messages'"},
    {"forget_slots", "DELETE FROM rate_slots WHERE expires_at <= $1"},
    {"take_slot",
     "INSERT INTO rate_slots AS s VALUES ($1, $2, $3, 1) ON CONFLICT (bucket, window_start) "
     "DO UPDATE SET used = s.used + 1 WHERE s.used < $4"},
};

std::string RandomHex(std::size_t bytes) {
    std::string raw(bytes, '\0');
    for (std::size_t got = 0; got < bytes;) {
        const ssize_t n = getrandom(raw.data() + got, bytes - got, 0);
        if (n <= 0) throw StorageError(StorageError::Kind::Unavailable, "no random source");
        got += static_cast<std::size_t>(n);
    }
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : raw) {
        hex += Digits[c >> 4];
        hex += Digits[c & 15];
    }
    return hex;
}

// libpq takes its connect timeout from the address; one the operator gave wins.
std::string WithConnectTimeout(const std::string& address, int seconds) {
    if (address.find("connect_timeout=") != std::string::npos) return address;
    return address + (address.find('?') == std::string::npos ? "?" : "&") +
           "connect_timeout=" + std::to_string(seconds);
}

RankedInstallation Ranked(const pqxx::row& r) {
    return {static_cast<std::uint32_t>(r[0].as<std::int64_t>()), r[1].as<std::int64_t>(),
            r[2].as<std::int64_t>(), r[3].as<std::int64_t>(), 0};
}

}  // namespace

struct PostgresSiteStorage::Connection {
    Connection(const std::string& address, int statementTimeout) : db(address) {
        pqxx::nontransaction setup(db);
        setup.exec("SET statement_timeout = " + std::to_string(statementTimeout));
        setup.exec("SET lock_timeout = " + std::to_string(statementTimeout));
        setup.commit();
        for (const auto& [name, sql] : Statements) db.prepare(name, sql);
    }
    pqxx::connection db;
};

// One pooled connection for one transaction; a connection found broken is not put back.
class PostgresSiteStorage::Lease {
public:
    explicit Lease(PostgresSiteStorage& owner) : m_owner(owner) {
        m_connection = owner.acquire(m_reused);
    }
    ~Lease() { m_owner.release(std::move(m_connection), m_broken); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    pqxx::connection& db() { return m_connection->db; }
    void broken() { m_broken = true; }
    bool reused() const { return m_reused; }

private:
    PostgresSiteStorage& m_owner;
    std::unique_ptr<Connection> m_connection;
    bool m_reused = false;
    bool m_broken = false;
};

bool IsPostgresAddress(const std::string& database) {
    return database.starts_with("postgresql://") || database.starts_with("postgres://");
}

std::string RedactedAddress(const std::string& database) {
    if (!IsPostgresAddress(database)) return database;
    const auto start = database.find("://") + 3;
    const auto at = database.find('@', start);
    const auto slash = database.find('/', start);
    if (at == std::string::npos || (slash != std::string::npos && slash < at)) return database;
    const auto colon = database.find(':', start);
    if (colon == std::string::npos || colon > at) return database;
    return database.substr(0, colon + 1) + "***" + database.substr(at);
}

PostgresSiteStorage::PostgresSiteStorage(std::string address, PostgresOptions options)
    : m_address(WithConnectTimeout(address, options.connectTimeoutSeconds)), m_options(options) {
    if (m_options.connections < 1) m_options.connections = 1;
    migrate();
}

PostgresSiteStorage::~PostgresSiteStorage() = default;

std::unique_ptr<PostgresSiteStorage::Connection> PostgresSiteStorage::acquire(bool& reused) {
    {
        std::unique_lock lock(m_mutex);
        if (!m_returned.wait_for(lock, m_options.waitForConnection, [this] {
                return !m_idle.empty() || m_open < m_options.connections;
            }))
            throw StorageError(StorageError::Kind::Unavailable,
                               "no database connection free within " +
                                   std::to_string(m_options.waitForConnection.count()) + " ms");
        if (!m_idle.empty()) {
            auto connection = std::move(m_idle.back());
            m_idle.pop_back();
            reused = true;
            return connection;
        }
        ++m_open;
    }
    reused = false;
    try {
        return std::make_unique<Connection>(m_address, m_options.statementTimeoutMilliseconds);
    } catch (const std::exception& e) {
        {
            std::lock_guard lock(m_mutex);
            --m_open;
        }
        m_returned.notify_one();
        throw StorageError(StorageError::Kind::Unavailable,
                           std::string("cannot connect to the database: ") + e.what());
    }
}

void PostgresSiteStorage::release(std::unique_ptr<Connection> connection, bool broken) {
    {
        std::lock_guard lock(m_mutex);
        if (broken || !connection)
            --m_open;
        else
            m_idle.push_back(std::move(connection));
    }
    m_returned.notify_one();
    // A broken connection is closed here, outside the pool's lock.
}

// Runs `work` in one transaction. A connection that died while idle in the pool (the
// server restarted) fails before anything is committed: the work is run again once on a
// fresh one, as it is after a deadlock or a serialisation failure. A failed commit is
// never retried: its outcome is unknown, so it is reported.
template <typename Work>
auto PostgresSiteStorage::inTransaction(Work&& work) {
    for (int attempt = 0;; ++attempt) {
        Lease lease(*this);
        try {
            pqxx::work transaction(lease.db());
            auto result = work(transaction);
            transaction.commit();
            return result;
        } catch (const pqxx::in_doubt_error& e) {
            lease.broken();
            throw StorageError(StorageError::Kind::Unavailable,
                               std::string("the database went away during a commit: ") + e.what());
        } catch (const pqxx::broken_connection& e) {
            lease.broken();
            if (lease.reused() && attempt < 2) continue;
            throw StorageError(StorageError::Kind::Unavailable,
                               std::string("the database connection failed: ") + e.what());
        } catch (const pqxx::sql_error& e) {
            const std::string state = e.sqlstate();
            if ((state == "40001" || state == "40P01") && attempt < 3) continue;
            if (state.starts_with("57P") || state.starts_with("08")) lease.broken();
            const auto kind = state == "53100"   ? StorageError::Kind::Full
                              : state == "25006" ? StorageError::Kind::ReadOnly
                                                 : StorageError::Kind::Unavailable;
            throw StorageError(kind, "database error " + state + ": " + e.what());
        } catch (const pqxx::failure& e) {
            lease.broken();
            throw StorageError(StorageError::Kind::Unavailable,
                               std::string("database failure: ") + e.what());
        }
    }
}

void PostgresSiteStorage::migrate() {
    inTransaction([](pqxx::work& t) {
        // Processes starting at once queue here; the first moves the schema, the others
        // then find it current.
        t.exec_prepared("lock_migration", MigrationLock);
        int version = 0;
        if (t.exec_prepared1("has_table", std::string("site_schema"))[0].as<bool>()) {
            version = t.exec_prepared1("schema_version")[0].as<int>();
        } else {
            for (const char* table : {"meta", "counters", "rankings", "messages", "rate_slots"})
                if (t.exec_prepared1("has_table", std::string(table))[0].as<bool>())
                    throw StorageError(StorageError::Kind::Unavailable,
                                       std::string("the database holds a table \"") + table +
                                           "\" that is not the site's");
        }
        if (version > SchemaVersion)
            throw StorageError(
                StorageError::Kind::Unavailable,
                "the database was made by a newer site (schema " + std::to_string(version) + ")");
        if (version < 1) {
            t.exec(SchemaV1);
            t.exec_prepared("set_meta", std::string("form_key"), RandomHex(32));
        }
        if (version < SchemaVersion) {
            char host[256] = {};
            gethostname(host, sizeof host - 1);
            t.exec_prepared(
                "schema_applied", SchemaVersion,
                std::string("pathtally-site on ") + host + ", process " + std::to_string(getpid()));
        }
        return 0;
    });
}

int PostgresSiteStorage::schemaVersion() {
    return inTransaction(
        [](pqxx::work& t) { return t.exec_prepared1("schema_version")[0].as<int>(); });
}

std::string PostgresSiteStorage::siteSecret() {
    return inTransaction([](pqxx::work& t) {
        const pqxx::result r = t.exec_prepared("form_key");
        return r.empty() ? std::string() : r[0][0].as<std::string>();
    });
}

namespace {

std::int64_t RankOf(pqxx::work& t, const RankedInstallation& e) {
    return t
        .exec_prepared1("rank", e.points, e.bestAt, static_cast<std::int64_t>(e.installationId))[0]
        .as<std::int64_t>();
}

RankedInstallation Record(pqxx::work& t, std::uint32_t installationId, std::int64_t points,
                          std::int64_t now) {
    const pqxx::row r =
        t.exec_prepared1("record", static_cast<std::int64_t>(installationId), points, now);
    RankedInstallation entry{installationId, r[0].as<std::int64_t>(), r[1].as<std::int64_t>(),
                             r[2].as<std::int64_t>(), 0};
    entry.rank = RankOf(t, entry);
    return entry;
}

}  // namespace

RankedInstallation PostgresSiteStorage::recordPoints(std::uint32_t installationId,
                                                     std::int64_t points, std::int64_t now) {
    return inTransaction([&](pqxx::work& t) { return Record(t, installationId, points, now); });
}

namespace {

// Within a transaction: one of the bound's slots in the window holding `now`.
bool TakeSlot(pqxx::work& t, const RateLimit& limit, std::int64_t now) {
    if (limit.limit < 1) return false;
    const std::int64_t window = limit.windowSeconds < 1 ? 1 : limit.windowSeconds;
    const std::int64_t start = now - now % window;
    return t.exec_prepared("take_slot", limit.bucket, start, start + window, limit.limit)
               .affected_rows() == 1;
}

}  // namespace

bool PostgresSiteStorage::purgeDue(std::int64_t now) {
    // Windows that have ended are forgotten, at most once a minute per process.
    std::lock_guard lock(m_mutex);
    if (now - m_slotsPurgedAt < 60) return false;
    m_slotsPurgedAt = now;
    return true;
}

SubmissionOutcome PostgresSiteStorage::submitPoints(std::uint32_t installationId,
                                                    std::int64_t points, std::int64_t now,
                                                    const std::vector<RateLimit>& limits) {
    const bool purge = purgeDue(now);
    return inTransaction([&](pqxx::work& t) {
        if (purge) t.exec_prepared("forget_slots", now);
        SubmissionOutcome outcome;
        for (std::size_t i = 0; i < limits.size() && !outcome.refusedBy; ++i)
            if (!TakeSlot(t, limits[i], now)) outcome.refusedBy = i;
        // Slots taken before a refusal count: the attempt was made.
        if (!outcome.refusedBy) outcome.entry = Record(t, installationId, points, now);
        return outcome;
    });
}

std::vector<RankedInstallation> PostgresSiteStorage::leaderboard(std::int64_t offset, int limit) {
    return inTransaction([&](pqxx::work& t) {
        std::vector<RankedInstallation> rows;
        // A deep page starts at the points its first entry has, found from the histogram, so
        // that only those on the same points are skipped, not everyone ahead.
        std::int64_t fromPoints = std::numeric_limits<std::int64_t>::max(), ahead = 0;
        if (offset > 0) {
            const pqxx::result seek = t.exec_prepared("leaderboard_seek", offset);
            if (seek.empty()) return rows;
            fromPoints = seek[0][0].as<std::int64_t>();
            ahead = seek[0][1].as<std::int64_t>();
        }
        for (const auto& r : t.exec_prepared("leaderboard", limit, offset - ahead, fromPoints)) {
            rows.push_back(Ranked(r));
            rows.back().rank = offset + static_cast<std::int64_t>(rows.size());
        }
        return rows;
    });
}

std::int64_t PostgresSiteStorage::rankedCount() {
    return inTransaction(
        [](pqxx::work& t) { return t.exec_prepared1("ranked_count")[0].as<std::int64_t>(); });
}

std::optional<RankedInstallation> PostgresSiteStorage::installation(std::uint32_t installationId) {
    return inTransaction([&](pqxx::work& t) -> std::optional<RankedInstallation> {
        const pqxx::result r = t.exec_prepared("row", static_cast<std::int64_t>(installationId));
        if (r.empty()) return std::nullopt;
        RankedInstallation entry{installationId, r[0][0].as<std::int64_t>(),
                                 r[0][1].as<std::int64_t>(), r[0][2].as<std::int64_t>(), 0};
        entry.rank = RankOf(t, entry);
        return entry;
    });
}

std::vector<RankedInstallation> PostgresSiteStorage::around(const RankedInstallation& self,
                                                            int before, int after) {
    const auto id = static_cast<std::int64_t>(self.installationId);
    return inTransaction([&](pqxx::work& t) {
        // Nearest first on each side, each query along the ranking's index.
        std::vector<RankedInstallation> ahead, behind;
        for (const auto& r : t.exec_prepared("ahead_same", self.points, self.bestAt, id, before))
            ahead.push_back(Ranked(r));
        if (static_cast<int>(ahead.size()) < before)
            for (const auto& r : t.exec_prepared("ahead_higher", self.points,
                                                 before - static_cast<int>(ahead.size())))
                ahead.push_back(Ranked(r));
        for (const auto& r : t.exec_prepared("behind_same", self.points, self.bestAt, id, after))
            behind.push_back(Ranked(r));
        if (static_cast<int>(behind.size()) < after)
            for (const auto& r : t.exec_prepared("behind_lower", self.points,
                                                 after - static_cast<int>(behind.size())))
                behind.push_back(Ranked(r));
        return RankedNeighbourhood(self, ahead, behind);
    });
}

std::int64_t PostgresSiteStorage::postMessage(const std::string& name, const std::string& text,
                                              std::int64_t now) {
    return inTransaction([&](pqxx::work& t) {
        return t.exec_prepared1("post", name, text, now)[0].as<std::int64_t>();
    });
}

std::vector<BoardMessage> PostgresSiteStorage::messages(std::int64_t offset, int limit) {
    return inTransaction([&](pqxx::work& t) {
        std::vector<BoardMessage> rows;
        for (const auto& r : t.exec_prepared("messages", limit, offset))
            rows.push_back({r[0].as<std::int64_t>(), r[1].as<std::string>(), r[2].as<std::string>(),
                            r[3].as<std::int64_t>()});
        return rows;
    });
}

std::int64_t PostgresSiteStorage::messageCount() {
    return inTransaction(
        [](pqxx::work& t) { return t.exec_prepared1("message_count")[0].as<std::int64_t>(); });
}

bool PostgresSiteStorage::takeRateSlot(const std::string& bucket, std::int64_t now,
                                       int windowSeconds, int limit) {
    const bool purge = purgeDue(now);
    return inTransaction([&](pqxx::work& t) {
        if (purge) t.exec_prepared("forget_slots", now);
        return TakeSlot(t, {bucket, windowSeconds, limit}, now);
    });
}

}  // namespace pt::site

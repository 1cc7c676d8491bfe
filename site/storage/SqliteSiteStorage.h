#pragma once

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <vector>

#include "logic/SiteStorage.h"

struct sqlite3;

namespace pt::site {

// The site's storage in one SQLite file (WAL, so pages are read while a submission is
// written). Created and moved forward on open: the schema version is kept in
// PRAGMA user_version, the file marked as the site's by PRAGMA application_id. A few
// connections are shared by the request threads, each used by one request at a time.
class SqliteSiteStorage : public SiteStorage {
public:
    static constexpr int SchemaVersion = 1;
    static constexpr int ApplicationId = 0x50545331;  // "PTS1"

    // Throws StorageError when the file cannot be opened, is another program's, or is
    // newer than this build knows.
    explicit SqliteSiteStorage(const std::filesystem::path& file, int connections = 4);
    ~SqliteSiteStorage() override;
    SqliteSiteStorage(const SqliteSiteStorage&) = delete;
    SqliteSiteStorage& operator=(const SqliteSiteStorage&) = delete;

    // True when the file could only be opened for reading (a read-only file system): pages
    // are served, every write is refused with StorageError::Kind::ReadOnly.
    bool readOnly() const { return m_readOnly; }

    int schemaVersion() override;
    std::string siteSecret() override;
    RankedInstallation recordPoints(std::uint32_t installationId, std::int64_t points,
                                    std::int64_t now) override;
    std::vector<RankedInstallation> leaderboard(std::int64_t offset, int limit) override;
    std::int64_t rankedCount() override;
    std::optional<RankedInstallation> installation(std::uint32_t installationId) override;
    std::vector<RankedInstallation> around(const RankedInstallation& self, int before,
                                           int after) override;
    SubmissionOutcome submitPoints(std::uint32_t installationId, std::int64_t points,
                                   std::int64_t now, const std::vector<RateLimit>& limits) override;
    std::int64_t postMessage(const std::string& name, const std::string& text,
                             std::int64_t now) override;
    std::vector<BoardMessage> messages(std::int64_t offset, int limit) override;
    std::int64_t messageCount() override;
    bool takeRateSlot(const std::string& bucket, std::int64_t now, int windowSeconds,
                      int limit) override;

private:
    class Lease;
    sqlite3* acquire();
    void release(sqlite3* db);
    void migrate(sqlite3* db);
    // Within a write transaction.
    bool takeSlot(sqlite3* db, const RateLimit& limit, std::int64_t now);
    RankedInstallation record(sqlite3* db, std::uint32_t installationId, std::int64_t points,
                              std::int64_t now);

    std::mutex m_mutex;
    std::condition_variable m_returned;
    std::vector<sqlite3*> m_idle;
    std::vector<sqlite3*> m_all;
    std::mutex m_writers;
    std::atomic<std::int64_t> m_slotsPurgedAt{0};
    bool m_readOnly = false;
};

}  // namespace pt::site

#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "logic/SiteStorage.h"

namespace pt::site {

struct PostgresOptions {
    int connections = 8;                                // the pool's bound
    std::chrono::milliseconds waitForConnection{2000};  // a request waits this long for one
    int connectTimeoutSeconds = 3;
    int statementTimeoutMilliseconds = 5000;
};

// The site's storage in a PostgreSQL database shared by any number of site processes.
// The schema is moved forward on start under an advisory lock, so processes starting at
// once migrate it once; every value goes through a prepared statement. Connections come
// from a bounded pool, made on demand; one the server dropped is replaced on next use, so
// a database that went away and came back is served again without a restart.
class PostgresSiteStorage : public SiteStorage {
public:
    static constexpr int SchemaVersion = 1;

    // Throws StorageError when the database cannot be reached, holds another program's
    // tables under the site's names, or is newer than this build knows.
    explicit PostgresSiteStorage(std::string address, PostgresOptions options = {});
    ~PostgresSiteStorage() override;
    PostgresSiteStorage(const PostgresSiteStorage&) = delete;
    PostgresSiteStorage& operator=(const PostgresSiteStorage&) = delete;

    int schemaVersion() override;
    std::string siteSecret() override;
    RankedInstallation recordPoints(std::uint32_t installationId, std::int64_t points,
                                    std::int64_t now) override;
    SubmissionOutcome submitPoints(std::uint32_t installationId, std::int64_t points,
                                   std::int64_t now, const std::vector<RateLimit>& limits) override;
    std::vector<RankedInstallation> leaderboard(std::int64_t offset, int limit) override;
    std::int64_t rankedCount() override;
    std::optional<RankedInstallation> installation(std::uint32_t installationId) override;
    std::vector<RankedInstallation> around(const RankedInstallation& self, int before,
                                           int after) override;
    std::int64_t postMessage(const std::string& name, const std::string& text,
                             std::int64_t now) override;
    std::vector<BoardMessage> messages(std::int64_t offset, int limit) override;
    std::int64_t messageCount() override;
    bool takeRateSlot(const std::string& bucket, std::int64_t now, int windowSeconds,
                      int limit) override;

    struct Connection;

private:
    class Lease;
    template <typename Work>
    auto inTransaction(Work&& work);
    std::unique_ptr<Connection> acquire(bool& reused);
    void release(std::unique_ptr<Connection> connection, bool broken);
    void migrate();
    bool purgeDue(std::int64_t now);

    std::string m_address;
    PostgresOptions m_options;
    std::mutex m_mutex;
    std::condition_variable m_returned;
    std::vector<std::unique_ptr<Connection>> m_idle;
    int m_open = 0;
    std::int64_t m_slotsPurgedAt = 0;
};

// True for postgresql://… and postgres://… addresses.
bool IsPostgresAddress(const std::string& database);
// The address with any password blanked, for logs.
std::string RedactedAddress(const std::string& database);

}  // namespace pt::site

#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pt::site {

// One ranked installation: its best points, when it first reached them, when it last
// reported, and its place (1 = most points; equal points rank by who reached them first).
struct RankedInstallation {
    std::uint32_t installationId = 0;
    std::int64_t points = 0;
    std::int64_t bestAt = 0;    // seconds since 1970
    std::int64_t lastSeen = 0;  // seconds since 1970
    std::int64_t rank = 0;
};

// The rows around `self` in ranking order, each given its place: `ahead` and `behind` are
// the neighbours nearest first, as both backends read them along the ranking's index.
inline std::vector<RankedInstallation> RankedNeighbourhood(
    const RankedInstallation& self, const std::vector<RankedInstallation>& ahead,
    const std::vector<RankedInstallation>& behind) {
    std::vector<RankedInstallation> rows;
    rows.reserve(ahead.size() + 1 + behind.size());
    for (auto it = ahead.rbegin(); it != ahead.rend(); ++it) {
        rows.push_back(*it);
        rows.back().rank = self.rank - static_cast<std::int64_t>(ahead.rend() - it);
    }
    rows.push_back(self);
    for (std::size_t i = 0; i < behind.size(); ++i) {
        rows.push_back(behind[i]);
        rows.back().rank = self.rank + static_cast<std::int64_t>(i) + 1;
    }
    return rows;
}

struct BoardMessage {
    std::int64_t id = 0;
    std::string name;
    std::string text;
    std::int64_t postedAt = 0;  // seconds since 1970
};

// One bound a request is counted against: at most `limit` in the fixed window of
// `windowSeconds` that holds the request's time.
struct RateLimit {
    std::string bucket;
    int windowSeconds = 3600;
    int limit = 0;
};

// A submission either recorded (with the entry after it) or refused by one of its bounds.
struct SubmissionOutcome {
    std::optional<std::size_t> refusedBy;  // index into the bounds given
    RankedInstallation entry;
};

// Why the storage could not answer; pages say it in the visitor's script.
class StorageError : public std::runtime_error {
public:
    enum class Kind { Unavailable, ReadOnly, Full };
    StorageError(Kind kind, const std::string& what) : std::runtime_error(what), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// Everything the site keeps. Backends (SQLite, one file; later a shared database server)
// are safe to call from several request threads at once, keep nothing that matters in the
// process (so several processes on one database answer as one site) and throw StorageError
// when the database cannot answer.
class SiteStorage {
public:
    virtual ~SiteStorage() = default;

    // The schema version the database is at after the start's migration.
    virtual int schemaVersion() = 0;

    // A secret made once per database (random, 32 bytes as hex): the key that signs form
    // tokens, shared by every process on the database.
    virtual std::string siteSecret() = 0;

    // A decoded code: keeps the higher of the stored and the reported points (with the time
    // it was first reached) and marks the installation seen now. Returns its entry after.
    virtual RankedInstallation recordPoints(std::uint32_t installationId, std::int64_t points,
                                            std::int64_t now) = 0;
    // A decoded code counted against `limits` in order and, when none refuses, recorded as
    // recordPoints does: one transaction.
    virtual SubmissionOutcome submitPoints(std::uint32_t installationId, std::int64_t points,
                                           std::int64_t now,
                                           const std::vector<RateLimit>& limits) = 0;
    // Ranks offset+1 ... offset+limit.
    virtual std::vector<RankedInstallation> leaderboard(std::int64_t offset, int limit) = 0;
    virtual std::int64_t rankedCount() = 0;
    virtual std::optional<RankedInstallation> installation(std::uint32_t installationId) = 0;
    // A ranked installation's row (as recordPoints or installation returned it) with up to
    // `before` rows ranked just ahead of it and `after` just behind, in ranking order. Read
    // along the ranking's order, never by counting through the rows above.
    virtual std::vector<RankedInstallation> around(const RankedInstallation& self, int before,
                                                   int after) = 0;

    // Returns the new message's id.
    virtual std::int64_t postMessage(const std::string& name, const std::string& text,
                                     std::int64_t now) = 0;
    // Newest first.
    virtual std::vector<BoardMessage> messages(std::int64_t offset, int limit) = 0;
    virtual std::int64_t messageCount() = 0;

    // Takes one of `limit` slots of `bucket` in the fixed window of `windowSeconds` that
    // holds `now`; false when they are all taken. Old windows are forgotten.
    virtual bool takeRateSlot(const std::string& bucket, std::int64_t now, int windowSeconds,
                              int limit) = 0;
};

}  // namespace pt::site

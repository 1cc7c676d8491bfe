// The storage contract, run against every backend (SQLite, and PostgreSQL in a private
// cluster the binary starts), and each backend's own cases: migration, a database that is
// not the site's, a read-only and a full SQLite file, PostgreSQL's pool and restarts.

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include <sqlite3.h>

#include "PostgresCluster.h"
#include "logic/SiteStorage.h"
#include "storage/PostgresSiteStorage.h"
#include "storage/SqliteSiteStorage.h"
#include "support/TempDir.h"

namespace pt::site {
namespace {

namespace fs = std::filesystem;

struct SqliteBackend {
    static std::unique_ptr<SiteStorage> Make(const test::TempDir& dir) {
        return std::make_unique<SqliteSiteStorage>(dir / "site.db");
    }
};

// A fresh database in the binary's cluster; none (the case skips) without PostgreSQL.
struct PostgresBackend {
    static std::unique_ptr<SiteStorage> Make(const test::TempDir&) {
        test::PostgresCluster* cluster = test::PostgresCluster::Shared();
        if (!cluster) return nullptr;
        return std::make_unique<PostgresSiteStorage>(cluster->createDatabase());
    }
};

template <typename Backend>
class StorageContract : public testing::Test {
protected:
    void SetUp() override {
        if (!storage)
            GTEST_SKIP() << "no PostgreSQL cluster: " << test::PostgresCluster::Unavailable();
    }
    test::TempDir dir;
    std::unique_ptr<SiteStorage> storage = Backend::Make(dir);
};

using Backends = testing::Types<SqliteBackend, PostgresBackend>;
TYPED_TEST_SUITE(StorageContract, Backends);

TYPED_TEST(StorageContract, KeepsTheBestPointsWithTheTimeTheyWereReached) {
    SiteStorage& s = *this->storage;
    RankedInstallation e = s.recordPoints(7, 100, 1000);
    EXPECT_EQ(e.points, 100);
    EXPECT_EQ(e.bestAt, 1000);
    EXPECT_EQ(e.rank, 1);
    e = s.recordPoints(7, 40, 2000);  // a lower report (after a data reset) keeps the best
    EXPECT_EQ(e.points, 100);
    EXPECT_EQ(e.bestAt, 1000);
    EXPECT_EQ(e.lastSeen, 2000);
    e = s.recordPoints(7, 100, 2500);  // as many again: still first reached at 1000
    EXPECT_EQ(e.bestAt, 1000);
    e = s.recordPoints(7, 150, 3000);
    EXPECT_EQ(e.points, 150);
    EXPECT_EQ(e.bestAt, 3000);
    EXPECT_EQ(s.rankedCount(), 1);
}

TYPED_TEST(StorageContract, LeaderboardOrderPagingAndRanks) {
    SiteStorage& s = *this->storage;
    // Points 10..59 for ids 1..50, and two ties on 30 points reached at different times.
    for (std::uint32_t id = 1; id <= 50; ++id) s.recordPoints(id, 9 + id, 5000 - id);
    s.recordPoints(101, 30, 10);    // reached 30 before everyone else: ahead of id 21
    s.recordPoints(102, 30, 9000);  // last to reach 30
    EXPECT_EQ(s.rankedCount(), 52);
    const auto first = s.leaderboard(0, 20);
    ASSERT_EQ(first.size(), 20u);
    EXPECT_EQ(first[0].installationId, 50u);
    EXPECT_EQ(first[0].rank, 1);
    for (std::size_t i = 1; i < first.size(); ++i) {
        EXPECT_GE(first[i - 1].points, first[i].points);
        EXPECT_EQ(first[i].rank, static_cast<std::int64_t>(i) + 1);
    }
    const auto third = s.leaderboard(40, 20);
    ASSERT_EQ(third.size(), 12u);
    EXPECT_EQ(third.back().rank, 52);
    EXPECT_EQ(third.back().installationId, 1u);
    EXPECT_TRUE(s.leaderboard(60, 20).empty());
    // The three on 30 points: earliest first; each lookup agrees with the list.
    const auto on30 = s.leaderboard(29, 3);
    ASSERT_EQ(on30.size(), 3u);
    EXPECT_EQ(on30[0].installationId, 101u);
    EXPECT_EQ(on30[1].installationId, 21u);
    EXPECT_EQ(on30[2].installationId, 102u);
    for (const auto& row : on30) EXPECT_EQ(s.installation(row.installationId)->rank, row.rank);
    EXPECT_FALSE(s.installation(999).has_value());
}

TYPED_TEST(StorageContract, EveryPageIsItsSliceOfTheWholeList) {
    SiteStorage& s = *this->storage;
    // Groups of ties on 0..60 points, each reached at different times; two installations
    // raised later, one emptying its old group (90 points, now held by none).
    for (std::uint32_t id = 1; id <= 60; ++id)
        s.recordPoints(id, (id % 7) * 10, 1000 + id * 13 % 17);
    s.recordPoints(61, 90, 5);
    s.recordPoints(61, 95, 6);
    s.recordPoints(3, 65, 7);
    const auto whole = s.leaderboard(0, 1000);
    ASSERT_EQ(whole.size(), 61u);
    for (int limit : {1, 7}) {
        for (std::int64_t offset = 1; offset <= 62; ++offset) {
            const auto page = s.leaderboard(offset, limit);
            const std::size_t expected = std::min<std::size_t>(
                limit, whole.size() - std::min<std::size_t>(whole.size(), offset));
            ASSERT_EQ(page.size(), expected) << "offset " << offset;
            for (std::size_t i = 0; i < page.size(); ++i) {
                EXPECT_EQ(page[i].installationId, whole[offset + i].installationId)
                    << "offset " << offset << " row " << i;
                EXPECT_EQ(page[i].rank, offset + static_cast<std::int64_t>(i) + 1);
            }
        }
    }
}

TYPED_TEST(StorageContract, AroundAnInstallationAlongTheRanking) {
    SiteStorage& s = *this->storage;
    // Points 10..29 for ids 1..20; ids 31..33 share 20 points with id 11, reached later.
    for (std::uint32_t id = 1; id <= 20; ++id) s.recordPoints(id, 9 + id, 100);
    for (std::uint32_t id = 31; id <= 33; ++id) s.recordPoints(id, 20, 200 + id);
    const auto all = s.leaderboard(0, 100);
    ASSERT_EQ(all.size(), 23u);
    for (std::size_t at = 0; at < all.size(); ++at) {
        const auto near = s.around(*s.installation(all[at].installationId), 3, 2);
        const std::size_t first = at < 3 ? 0 : at - 3;
        const std::size_t last = std::min(all.size() - 1, at + 2);
        ASSERT_EQ(near.size(), last - first + 1) << at;
        for (std::size_t i = 0; i < near.size(); ++i) {
            EXPECT_EQ(near[i].installationId, all[first + i].installationId) << at << " " << i;
            EXPECT_EQ(near[i].rank, all[first + i].rank) << at << " " << i;
        }
    }
    // The histogram behind the ranks follows points that move up.
    s.recordPoints(1, 1000, 300);
    EXPECT_EQ(s.installation(1)->rank, 1);
    EXPECT_EQ(s.installation(20)->rank, 2);
    EXPECT_EQ(s.leaderboard(0, 1)[0].installationId, 1u);
}

TYPED_TEST(StorageContract, SubmissionsCountedAgainstTheirBoundsInOneGo) {
    SiteStorage& s = *this->storage;
    const std::vector<RateLimit> limits = {{"address", 3600, 3}, {"installation:1", 3600, 2}};
    EXPECT_FALSE(s.submitPoints(1, 10, 100, limits).refusedBy);
    EXPECT_FALSE(s.submitPoints(1, 20, 101, limits).refusedBy);
    const SubmissionOutcome third = s.submitPoints(1, 30, 102, limits);
    EXPECT_EQ(third.refusedBy, 1u);
    EXPECT_EQ(s.installation(1)->points, 20) << "refused: not recorded";
    EXPECT_EQ(s.submitPoints(2, 5, 103, limits).refusedBy, 0u) << "the address's 3 are used";
    EXPECT_FALSE(s.installation(2).has_value());
    const SubmissionOutcome later = s.submitPoints(1, 30, 3700, limits);
    EXPECT_FALSE(later.refusedBy);
    EXPECT_EQ(later.entry.points, 30);
    EXPECT_EQ(later.entry.rank, 1);
}

TYPED_TEST(StorageContract, MessagesNewestFirstAndKeptAsWritten) {
    SiteStorage& s = *this->storage;
    EXPECT_EQ(s.messageCount(), 0);
    const std::string hostile = "<script>alert(1)</script>\n'; DROP TABLE messages; --";
    for (int i = 0; i < 25; ++i) s.postMessage("name" + std::to_string(i), hostile, 100 + i);
    EXPECT_EQ(s.messageCount(), 25);
    const auto page = s.messages(0, 20);
    ASSERT_EQ(page.size(), 20u);
    EXPECT_EQ(page[0].name, "name24");
    EXPECT_EQ(page[0].text, hostile);
    EXPECT_EQ(page[0].postedAt, 124);
    EXPECT_EQ(s.messages(20, 20).size(), 5u);
}

TYPED_TEST(StorageContract, RateSlotsPerBucketAndWindow) {
    SiteStorage& s = *this->storage;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(s.takeRateSlot("a", 7200 + i, 3600, 3));
    EXPECT_FALSE(s.takeRateSlot("a", 7300, 3600, 3));
    EXPECT_TRUE(s.takeRateSlot("b", 7300, 3600, 3)) << "buckets are counted apart";
    // A bucket with a shorter window does not clear the longer one's count.
    EXPECT_TRUE(s.takeRateSlot("c", 10700, 60, 1));
    EXPECT_FALSE(s.takeRateSlot("a", 10700, 3600, 3));
    EXPECT_TRUE(s.takeRateSlot("a", 10800, 3600, 3)) << "the next hour";
    EXPECT_FALSE(s.takeRateSlot("d", 10800, 3600, 0));
}

TYPED_TEST(StorageContract, ConcurrentSubmissionsAllCount) {
    SiteStorage& s = *this->storage;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&s, t] {
            for (std::uint32_t i = 0; i < 50; ++i) {
                s.recordPoints(t * 1000 + i, 1 + i, 100);
                s.takeRateSlot("shared", 100, 3600, 1000);
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(s.rankedCount(), 200);
    int left = 0;
    while (s.takeRateSlot("shared", 100, 3600, 1000)) ++left;
    EXPECT_EQ(left, 800);
}

TYPED_TEST(StorageContract, TheSecretIsMadeOnceAndKept) {
    const std::string secret = this->storage->siteSecret();
    EXPECT_EQ(secret.size(), 64u);
    EXPECT_EQ(secret.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(this->storage->siteSecret(), secret);
}

std::string Sql(const fs::path& db, const std::string& sql) {
    sqlite3* h = nullptr;
    sqlite3_open(db.c_str(), &h);
    std::string out;
    sqlite3_exec(
        h, sql.c_str(),
        [](void* o, int n, char** v, char**) {
            for (int i = 0; i < n; ++i) *static_cast<std::string*>(o) += v[i] ? v[i] : "";
            return 0;
        },
        &out, nullptr);
    sqlite3_close(h);
    return out;
}

TEST(SqliteSiteStorage, CreatesMigratesAndReopens) {
    test::TempDir dir;
    {
        SqliteSiteStorage s(dir / "site.db");
        EXPECT_EQ(s.schemaVersion(), SqliteSiteStorage::SchemaVersion);
        s.recordPoints(3, 33, 1);
    }
    EXPECT_EQ(Sql(dir / "site.db", "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(Sql(dir / "site.db", "PRAGMA application_id"),
              std::to_string(SqliteSiteStorage::ApplicationId));
    SqliteSiteStorage again(dir / "site.db");
    EXPECT_EQ(again.rankedCount(), 1);
    EXPECT_EQ(again.installation(3)->points, 33);
}

TEST(SqliteSiteStorage, RefusesFilesThatAreNotTheSites) {
    test::TempDir dir;
    Sql(dir / "other.db", "CREATE TABLE settings (x)");
    EXPECT_THROW(SqliteSiteStorage(dir / "other.db"), StorageError);
    EXPECT_EQ(Sql(dir / "other.db", "SELECT count(*) FROM sqlite_schema"), "1") << "left alone";
    Sql(dir / "newer.db", "PRAGMA application_id = 1347703601; PRAGMA user_version = 99");
    EXPECT_THROW(SqliteSiteStorage(dir / "newer.db"), StorageError);
    std::ofstream(dir / "garbage.db") << std::string(4096, 'x');
    EXPECT_THROW(SqliteSiteStorage(dir / "garbage.db"), StorageError);
    EXPECT_THROW(SqliteSiteStorage(dir / "missing" / "folder" / "site.db"), StorageError);
}

// Mounts need root; elsewhere the cases are skipped with a message.
class MountedFolder {
public:
    MountedFolder(const fs::path& dir, const char* options) : m_dir(dir) {
        fs::create_directories(dir);
        m_mounted = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, options) == 0;
    }
    ~MountedFolder() {
        if (m_mounted) ::umount2(m_dir.c_str(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    bool remountReadOnly() {
        return ::mount(nullptr, m_dir.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    fs::path m_dir;
    bool m_mounted = false;
};

TEST(SqliteSiteStorage, ReadOnlyDatabaseServesReadsAndRefusesWrites) {
    test::TempDir dir;
    MountedFolder folder(dir / "ro", "size=4m");
    if (!folder.mounted()) GTEST_SKIP() << "needs root to mount a tmpfs";
    {
        SqliteSiteStorage s(dir / "ro" / "site.db");
        s.recordPoints(1, 10, 1);
    }
    ASSERT_TRUE(folder.remountReadOnly());
    // The schema is current, so opening writes nothing: the pages keep being served.
    auto s = std::make_unique<SqliteSiteStorage>(dir / "ro" / "site.db");
    EXPECT_EQ(s->leaderboard(0, 10).size(), 1u);
    try {
        s->recordPoints(2, 20, 2);
        FAIL() << "a write on a read-only file succeeded";
    } catch (const StorageError& e) {
        EXPECT_EQ(e.kind(), StorageError::Kind::ReadOnly) << e.what();
    }
}

TEST(SqliteSiteStorage, FullDiskIsReportedAndNothingHalfWritten) {
    test::TempDir dir;
    MountedFolder folder(dir / "full", "size=256k");
    if (!folder.mounted()) GTEST_SKIP() << "needs root to mount a tmpfs";
    SqliteSiteStorage s(dir / "full" / "site.db");
    const std::string text(4000, 'x');
    std::int64_t written = 0;
    bool full = false;
    for (int i = 0; i < 200 && !full; ++i) {
        try {
            s.postMessage("n", text + std::to_string(i), i);
            ++written;
        } catch (const StorageError& e) {
            EXPECT_EQ(e.kind(), StorageError::Kind::Full) << e.what();
            full = true;
        }
    }
    EXPECT_TRUE(full) << "256 KiB took " << written << " messages of 4 KB";
    EXPECT_EQ(s.messageCount(), written) << "the count and the rows agree";
    EXPECT_EQ(static_cast<std::int64_t>(s.messages(0, 1000).size()), written);
    EXPECT_EQ(s.leaderboard(0, 1).size(), 0u) << "reads still answer";
}

}  // namespace
}  // namespace pt::site

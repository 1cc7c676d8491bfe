// The real program against a store it shares with others: another program holding it
// locked while the program starts, a later version's schema, and a second instance from a
// session with another runtime folder. What the store holds is never taken as empty nor
// written over with less.

#include <sqlite3.h>

#include "FaultSandbox.h"

namespace pt::test {
namespace {

// Another program's connection to the store, holding a lock until released.
class LockHolder {
public:
    LockHolder(const fs::path& db, const char* sql) {
        EXPECT_EQ(sqlite3_open(db.c_str(), &m_db), SQLITE_OK);
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(m_db, sql, nullptr, nullptr, &error), SQLITE_OK)
            << (error ? error : "");
        sqlite3_free(error);
    }
    ~LockHolder() { release(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    void release() {
        if (!m_db) return;
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);  // an exclusive locking mode ends with the connection
        m_db = nullptr;
    }

private:
    sqlite3* m_db = nullptr;
};

class SharedStore : public ::testing::Test {
protected:
    Sandbox sb;

    // Totals in both keys and a start date, as the sqlite3 shell leaves them (rollback
    // journal, no data file).
    void seedTotals() {
        for (const char* key : {"SOFTWARE\\Corvandel\\Pathtally", "software\\microsoft\\com3"}) {
            sb.set(key, "AllUseTime", "100000");
            sb.set(key, "AllMove", "5000000");
        }
        sb.set(MainKey, "StartDate", "2020-01-02");
    }
    void expectStoredKept(const Totals& t) {
        EXPECT_GT(t.useTime, 100000);
        EXPECT_GE(t.move, 5000000);
        EXPECT_EQ(sb.get(MainKey, "StartDate"), "2020-01-02");
    }
};

TEST_F(SharedStore, AStoreHeldAtStartIsWaitedForAndContinued) {
    seedTotals();
    ASSERT_EQ(SqliteShell(sb.db, "PRAGMA journal_mode;"), "delete");
    auto holder = std::make_unique<LockHolder>(sb.db, "BEGIN IMMEDIATE");
    auto run = sb.start();
    // Another program's transaction that lasts a few seconds into the start.
    std::this_thread::sleep_for(3s);
    holder->release();
    auto saved = sb.waitForSave(*run, 100000);
    ASSERT_TRUE(saved) << "the stored totals were not continued\n" << run->output();
    expectStoredKept(*saved);
    EXPECT_FALSE(sb.messageBoxShown(*run)) << "outwaited: nothing to say\n" << run->output();
    EXPECT_TRUE(WIFEXITED(run->terminate()));
    expectStoredKept(*sb.storeTotals());
}

TEST_F(SharedStore, AStoreThatStaysLockedIsToldAndJoinedOnceFree) {
    seedTotals();
    // A WAL store whose other writer keeps it to itself: not even readable.
    auto holder = std::make_unique<LockHolder>(
        sb.db,
        "PRAGMA journal_mode=WAL; PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;"
        " SELECT count(*) FROM settings;");
    auto run = sb.start();
    ASSERT_TRUE(WaitUntil([&] { return !run->running() || sb.messageBoxShown(*run); }, 40s))
        << "the user was not told\n"
        << run->output();
    // Counting goes on into the data file meanwhile.
    ASSERT_TRUE(WaitUntil([&] {
        auto file = sb.fileTotals();
        return !run->running() || (file && file->useTime >= 10);
    })) << run->output();
    holder->release();
    auto saved = sb.waitForSave(*run, 100000);
    ASSERT_TRUE(saved) << "the stored totals were lost or never joined\n" << run->output();
    expectStoredKept(*saved);
    // What was counted while it was locked is kept too.
    EXPECT_GE(saved->useTime, 100000 + 10);
    EXPECT_TRUE(WIFEXITED(run->terminate()));
    expectStoredKept(*sb.storeTotals());
    EXPECT_GE(sb.fileTotals()->useTime, 100000);
}

TEST_F(SharedStore, ALaterVersionsSchemaStillGetsTheTotals) {
    double before = 0;
    {
        auto run = sb.start();
        auto saved = sb.waitForSave(*run, 0);
        ASSERT_TRUE(saved) << run->output();
        ASSERT_TRUE(WIFEXITED(run->terminate()));
        before = sb.storeTotals()->useTime;
    }
    // As a later version might leave it: a column without a default, a newer version.
    EXPECT_EQ(SqliteShell(sb.db,
                          "CREATE TABLE days2 (date TEXT PRIMARY KEY NOT NULL, travel INTEGER NOT "
                          "NULL DEFAULT 0, left_clicks INTEGER NOT NULL DEFAULT 0, middle_clicks "
                          "INTEGER NOT NULL DEFAULT 0, right_clicks INTEGER NOT NULL DEFAULT 0, "
                          "keys INTEGER NOT NULL DEFAULT 0, use_seconds INTEGER NOT NULL DEFAULT "
                          "0, device TEXT NOT NULL);"
                          "INSERT INTO days2 SELECT *, 'pc' FROM days; DROP TABLE days;"
                          "ALTER TABLE days2 RENAME TO days; PRAGMA user_version = 2;"),
              "");
    const std::string days = SqliteShell(sb.db, "SELECT * FROM days;");
    auto run = sb.start();
    auto saved = sb.waitForSave(*run, before);
    ASSERT_TRUE(saved) << "the totals stopped reaching the store\n" << run->output();
    auto later = sb.waitForSave(*run, saved->useTime);
    ASSERT_TRUE(later) << "only the first save came through\n" << run->output();
    EXPECT_TRUE(WIFEXITED(run->terminate()));
    EXPECT_GE(sb.storeTotals()->useTime, later->useTime);
    EXPECT_EQ(sb.storeTotals()->useTime, sb.fileTotals()->useTime) << "the exit save too";
    EXPECT_EQ(SqliteShell(sb.db, "SELECT * FROM days;"), days) << "its history is left alone";
    EXPECT_EQ(SqliteShell(sb.db, "PRAGMA user_version;"), "2");
}

TEST_F(SharedStore, ASecondSessionWithAnotherRuntimeFolderIsRefused) {
    auto first = sb.start();
    ASSERT_TRUE(first->waitForWindow()) << first->output();
    // The same home and folders from an ssh or sudo session: no runtime folder, another
    // temporary folder.
    auto environment = sb.environment();
    environment["XDG_RUNTIME_DIR"] = "";
    environment["TMPDIR"] = (sb.dir / "other-tmp").string();
    fs::create_directories(sb.dir / "other-tmp");
    ProgramProcess second(sb.work, sb.dir / "second.log", environment);
    ASSERT_TRUE(WaitUntil([&] {
        return !second.running() || !second.visibleWindows("^Pathtally$").empty() ||
               !second.visibleWindows("^PathtallyV").empty();
    })) << ReadAll(sb.dir / "second.log");
    EXPECT_FALSE(second.visibleWindows("^Pathtally$").empty()) << "no 'already running' message";
    EXPECT_TRUE(second.visibleWindows("^PathtallyV").empty()) << "a second instance ran";
    second.kill9();
    EXPECT_TRUE(first->running());
    EXPECT_TRUE(WIFEXITED(first->terminate()));
}

}  // namespace
}  // namespace pt::test

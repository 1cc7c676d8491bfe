#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "platform/linux/SqliteDayHistory.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "support/DayHistoryContract.h"
#include "support/SqliteShell.h"
#include "support/TempDir.h"

namespace pt {
namespace {
using namespace pt::test;  // the contract suite

namespace fs = std::filesystem;
constexpr auto LM = SettingsRoot::LocalMachine;

// The settings store and the day history over one database, as the program holds them.
struct SettingsOwner {
    explicit SettingsOwner(const fs::path& db) : settings(db) {}
    SqliteSettingsStore settings;
};
struct HistoryBesideSettings : SettingsOwner, SqliteDayHistory {
    explicit HistoryBesideSettings(const fs::path& db)
        : SettingsOwner(db), SqliteDayHistory(settings.database()) {}
};

// The contract every day history keeps, on the SQLite store.
struct SqliteHistoryBackend {
    using Store = HistoryBesideSettings;
    test::TempDir dir;
    std::unique_ptr<Store> open() {
        return std::make_unique<Store>(dir / "pathtally" / "settings.db");
    }
    template <class Fn>
    void inSave(Store& store, Fn fn) {
        SettingsBatch batch(store.settings);
        store.settings.write(LM, "k", "AllUseTime", "1");
        fn(store);
    }
};
using SqliteHistoryBackends = ::testing::Types<SqliteHistoryBackend>;
INSTANTIATE_TYPED_TEST_SUITE_P(Sqlite, DayHistoryContract, SqliteHistoryBackends);

class DayHistoryStoreTest : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path db = dir / "pathtally" / "settings.db";
    std::string shell(const std::string& sql) { return test::SqliteShell(db, sql); }
};

TEST_F(DayHistoryStoreTest, TodaysDatabaseMovesForwardWithoutLoss) {
    // A database as the program wrote it before the day history: the settings table alone.
    fs::create_directories(db.parent_path());
    shell(
        "PRAGMA journal_mode=WAL;"
        "CREATE TABLE settings (root TEXT NOT NULL, key TEXT NOT NULL COLLATE NOCASE,"
        " name TEXT NOT NULL COLLATE NOCASE, value TEXT, PRIMARY KEY (root, key, name));"
        "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Corvandel\\Pathtally',"
        " 'AllUseTime', '98765');"
        "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', 'software\\microsoft\\com3',"
        " 'AllUseTime', '98765');"
        "INSERT INTO settings VALUES ('HKEY_CURRENT_USER', 'a', 'b', 'c');");
    ASSERT_EQ(shell("PRAGMA user_version;"), "0");
    {
        SqliteSettingsStore store(db);
        SqliteDayHistory history(store.database());
        EXPECT_EQ(store.read(LM, "software\\corvandel\\pathtally", "allusetime"), "98765");
        EXPECT_EQ(store.read(SettingsRoot::CurrentUser, "a", "b"), "c");
        EXPECT_TRUE(history.days().empty());
        history.add("2026-12-08", 21, {100, 1, 2, 3, 4, 5});
    }
    EXPECT_EQ(shell("PRAGMA user_version;"), "1");
    EXPECT_EQ(shell("SELECT count(*) FROM settings;"), "3");
    // Opened again: nothing migrates twice, nothing is lost.
    SqliteSettingsStore again(db);
    SqliteDayHistory againHistory(again.database());
    EXPECT_EQ(again.read(LM, "software\\microsoft\\com3", "AllUseTime"), "98765");
    ASSERT_EQ(againHistory.days().size(), 1u);
    EXPECT_EQ(againHistory.days()[0], (DayRow{"2026-12-08", {100, 1, 2, 3, 4, 5}}));
    EXPECT_EQ(shell("PRAGMA user_version;"), "1");
}

TEST_F(DayHistoryStoreTest, TodaysDatabaseHeldByAnotherWriterIsReadAndMovedForwardLater) {
    fs::create_directories(db.parent_path());
    shell(
        "PRAGMA journal_mode=WAL;"
        "CREATE TABLE settings (root TEXT NOT NULL, key TEXT NOT NULL COLLATE NOCASE,"
        " name TEXT NOT NULL COLLATE NOCASE, value TEXT, PRIMARY KEY (root, key, name));"
        "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', 'k', 'AllUseTime', '98765');");
    std::FILE* holder =
        popen(("sqlite3 -batch '" + db.string() + "' > /dev/null 2>&1").c_str(), "w");
    ASSERT_NE(holder, nullptr);
    std::fputs(".timeout 5000\nBEGIN IMMEDIATE;\nUPDATE settings SET value = value;\n", holder);
    std::fflush(holder);
    bool held = false;
    for (int i = 0; i < 300 && !held; ++i)
        held = shell("BEGIN IMMEDIATE; ROLLBACK;").find("locked") != std::string::npos;
    ASSERT_TRUE(held);
    SqliteSettingsStore store(db);
    SqliteDayHistory history(store.database());
    EXPECT_EQ(store.read(LM, "k", "AllUseTime"), "98765") << "the start reads its totals";
    std::fputs("COMMIT;\n.quit\n", holder);
    pclose(holder);

    // Free again: the first save with the day's figures moves the schema forward.
    {
        SettingsBatch save(store);
        store.write(LM, "k", "AllUseTime", "98775");
        history.add("2026-12-08", 9, {0, 0, 0, 0, 0, 10});
    }
    EXPECT_TRUE(store.lastBatchSaved());
    ASSERT_EQ(history.days().size(), 1u);
    EXPECT_EQ(shell("PRAGMA user_version;"), "1");
}

TEST_F(DayHistoryStoreTest, ANewerSchemaIsUsedAsItStands) {
    fs::create_directories(db.parent_path());
    shell(
        "CREATE TABLE settings (root TEXT NOT NULL, key TEXT NOT NULL COLLATE NOCASE,"
        " name TEXT NOT NULL COLLATE NOCASE, value TEXT, PRIMARY KEY (root, key, name));"
        "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', 'k', 'n', 'v');"
        "PRAGMA user_version = 7;");
    SqliteSettingsStore store(db);
    SqliteDayHistory history(store.database());
    EXPECT_EQ(store.read(LM, "k", "n"), "v");
    EXPECT_TRUE(history.days().empty());
    {
        SettingsBatch save(store);
        store.write(LM, "k", "n", "w");
        history.add("2026-12-08", 1, {1, 0, 0, 0, 0, 0});  // no table of ours: no harm
    }
    EXPECT_TRUE(store.lastBatchSaved()) << "the totals are saved all the same";
    EXPECT_EQ(store.read(LM, "k", "n"), "w");
    EXPECT_EQ(shell("PRAGMA user_version;"), "7");
}

// How the figures add up is the contract above; here, that they do so in the table's rows.
TEST_F(DayHistoryStoreTest, ADateIsOneStoredRowHoweverOftenItIsAddedTo) {
    SqliteSettingsStore store(db);
    SqliteDayHistory history(store.database());
    history.add("2026-12-08", 23, {7, 0, 1, 0, 2, 30});
    history.add("2026-12-08", 23, {3, 2, 0, 1, 1, 10});
    history.add("2026-12-08", 22, {1, 0, 0, 0, 0, 1});
    EXPECT_EQ(shell("SELECT count(*) FROM days WHERE date = '2026-12-08';"), "1");
    EXPECT_EQ(shell("SELECT count(*) FROM day_hours WHERE date = '2026-12-08';"), "2");
}

TEST_F(DayHistoryStoreTest, AHistoryWriteThatFailsIsDroppedAndTheTotalsAreSaved) {
    SqliteSettingsStore store(db);
    SqliteDayHistory history(store.database());
    {
        SettingsBatch batch(store);
        store.write(LM, "k", "AllUseTime", "10");
        history.add("2026-12-08", 9, {0, 0, 0, 0, 0, 10});
    }
    EXPECT_TRUE(store.lastBatchSaved());
    // Someone breaks the hour table from outside: the next save cannot write its hours.
    shell("DROP TABLE day_hours;");
    {
        SettingsBatch batch(store);
        store.write(LM, "k", "AllUseTime", "20");
        history.add("2026-12-08", 9, {0, 0, 0, 0, 0, 10});
        store.write(LM, "k", "KeyDownAll", "5");  // written after the failed history
    }
    EXPECT_TRUE(store.lastBatchSaved());
    EXPECT_EQ(store.read(LM, "k", "AllUseTime"), "20");
    EXPECT_EQ(store.read(LM, "k", "KeyDownAll"), "5");
    // The day's row is not half written: its hour failed, so the amount went as a whole.
    ASSERT_EQ(history.days().size(), 1u);
    EXPECT_EQ(history.days()[0].figures.useSeconds, 10);
}

TEST_F(DayHistoryStoreTest, ALaterVersionsHistoryIsLeftAloneAndTheTotalsAreSaved) {
    {
        SqliteSettingsStore store(db);
        SqliteDayHistory history(store.database());
        history.add("2026-12-07", 9, {1, 1, 1, 1, 1, 1});
    }
    // As a later version might write it: a new column without a default.
    shell(
        "CREATE TABLE days2 (date TEXT PRIMARY KEY NOT NULL, travel INTEGER NOT NULL"
        " DEFAULT 0, left_clicks INTEGER NOT NULL DEFAULT 0, middle_clicks INTEGER NOT NULL"
        " DEFAULT 0, right_clicks INTEGER NOT NULL DEFAULT 0, keys INTEGER NOT NULL DEFAULT 0,"
        " use_seconds INTEGER NOT NULL DEFAULT 0, device TEXT NOT NULL);"
        "INSERT INTO days2 SELECT *, 'pc' FROM days; DROP TABLE days;"
        "ALTER TABLE days2 RENAME TO days;"
        "PRAGMA user_version = 2;");
    const std::string before = shell("SELECT * FROM days; SELECT * FROM day_hours;");
    SqliteSettingsStore store(db);
    SqliteDayHistory history(store.database());
    for (int save = 1; save <= 2; ++save) {
        {
            SettingsBatch batch(store);
            store.write(LM, "k", "AllUseTime", std::to_string(save * 10));
            history.add("2026-12-08", 9, {0, 0, 0, 0, 0, 10});
            history.dropHoursBefore("2026-12-08");
        }
        EXPECT_TRUE(store.lastBatchSaved()) << save;
        EXPECT_EQ(shell("SELECT value FROM settings WHERE name = 'AllUseTime';"),
                  std::to_string(save * 10));
    }
    // Outside a batch too, and the data reset's clearing: nothing of it is touched.
    history.add("2026-12-08", 9, {0, 0, 0, 0, 0, 10});
    history.clear();
    EXPECT_EQ(shell("SELECT * FROM days; SELECT * FROM day_hours;"), before);
    EXPECT_EQ(shell("PRAGMA user_version;"), "2");
    // Its days are still shown.
    ASSERT_EQ(history.days().size(), 1u);
    EXPECT_EQ(history.days()[0].date, "2026-12-07");
}

// The history's statements belong to the connection: when the database is opened anew
// (deleted from outside, or damaged and moved aside), both the totals and the history
// go on into the new file.
TEST_F(DayHistoryStoreTest, TheHistoryFollowsTheDatabaseWhenItIsOpenedAnew) {
    SqliteSettingsStore store(db);
    SqliteDayHistory history(store.database());
    auto save = [&](const std::string& useTime) {
        SettingsBatch batch(store);
        store.write(LM, "k", "AllUseTime", useTime);
        history.add("2026-12-08", 9, {1, 0, 0, 0, 0, 10});
    };
    save("10");
    fs::remove(db);
    save("20");
    EXPECT_TRUE(store.lastBatchSaved());
    EXPECT_EQ(shell("SELECT value FROM settings WHERE name = 'AllUseTime';"), "20");
    EXPECT_EQ(shell("SELECT use_seconds FROM days; SELECT count(*) FROM day_hours;"), "10\n1");

    // Replaced by a damaged file: found at the next read, moved aside, started afresh,
    // and the history's next save writes into the fresh file.
    const fs::path garbage = db.string() + ".new";
    { std::ofstream(garbage, std::ios::binary) << std::string(8192, 'x'); }
    fs::rename(garbage, db);
    for (const char* companion : {"-wal", "-shm"}) fs::remove(db.string() + companion);
    EXPECT_EQ(store.read(LM, "k", "AllUseTime"), "");
    ASSERT_TRUE(store.database().setAside());
    save("30");
    EXPECT_EQ(history.days(), (std::vector<DayRow>{{"2026-12-08", {1, 0, 0, 0, 0, 10}}}));
    EXPECT_EQ(store.read(LM, "k", "AllUseTime"), "30");
}

// The data reset's clearing of the days, asked for while another program keeps the
// database to itself, is carried out once it is free: the old days do not come back.
TEST_F(DayHistoryStoreTest, ClearingAskedForWhileLockedIsDoneOnceFree) {
    {
        SqliteSettingsStore store(db);
        SqliteDayHistory history(store.database());
        history.add("2026-12-07", 9, {1, 1, 1, 1, 1, 1});
    }
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder,
                           "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;"
                           " SELECT count(*) FROM settings;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    SqliteSettingsStore store(db);
    SqliteDayHistory history(store.database());
    ASSERT_FALSE(store.readable()) << "the first open waits, then finds it locked";
    history.clear();
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    ASSERT_TRUE(store.readable()) << "asked before every save, as the program does";
    {
        SettingsBatch save(store);
        store.write(LM, "k", "AllUseTime", "1");
        history.add("2026-12-08", 9, {2, 0, 0, 0, 0, 10});
    }
    EXPECT_TRUE(store.lastBatchSaved());
    EXPECT_EQ(history.days(), (std::vector<DayRow>{{"2026-12-08", {2, 0, 0, 0, 0, 10}}}));
    EXPECT_EQ(shell("SELECT count(*) FROM day_hours WHERE date = '2026-12-07';"), "0");
}

}  // namespace
}  // namespace pt

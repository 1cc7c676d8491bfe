#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <thread>

#include "platform/linux/SqliteSettingsStore.h"
#include "support/SqliteShell.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
constexpr auto LM = SettingsRoot::LocalMachine;

std::string Shell(const fs::path& db, const std::string& sql) {
    return test::SqliteShell(db, sql);
}

class SqliteStoreTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path db = dir / "pathtally" / "settings.db";

    fs::perms Perms(const fs::path& p) { return fs::status(p).permissions() & fs::perms::all; }
    bool Damaged(const SqliteSettingsStore& s) {
        return s.setAside() && fs::exists(*s.setAside()) &&
               s.setAside()->parent_path() == db.parent_path();
    }
};

TEST_F(SqliteStoreTest, DefaultPlaceFollowsXdgConfigHome) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", "/x/conf", 1);
    EXPECT_EQ(SqliteSettingsStore::DefaultPath(), fs::path("/x/conf/pathtally/settings.db"));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SqliteSettingsStore::DefaultPath(),
              fs::path(std::getenv("HOME")) / ".config" / "pathtally" / "settings.db");
    if (saved) setenv("XDG_CONFIG_HOME", saved, 1);
}

TEST_F(SqliteStoreTest, CreatedOwnerOnlyOnFirstWriteInWalMode) {
    SqliteSettingsStore s(db);
    EXPECT_EQ(s.read(LM, MainKey, "Aopen"), "");
    EXPECT_FALSE(fs::exists(db.parent_path()));  // reading created nothing
    s.write(LM, MainKey, "Aopen", "1");
    EXPECT_EQ(Perms(db.parent_path()), fs::perms::owner_all);
    EXPECT_EQ(Perms(db), fs::perms::owner_read | fs::perms::owner_write);
    if (fs::exists(db.string() + "-wal")) {
        EXPECT_EQ(Perms(db.string() + "-wal"), fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_EQ(Shell(db, "PRAGMA journal_mode;"), "wal");
    // Values survive the store.
    SqliteSettingsStore again(db);
    EXPECT_EQ(again.read(LM, MainKey, "AOPEN"), "1");
}

TEST_F(SqliteStoreTest, TheShellReadsAndWritesWhileTheStoreIsOpen) {
    SqliteSettingsStore s(db);
    {
        SettingsBatch batch(s);
        s.write(LM, MainKey, "AllUseTime", "3600");
        s.write(LM, MirrorKey, "AllUseTime", "3600");
    }
    EXPECT_EQ(Shell(db,
                    "SELECT value FROM settings WHERE key = 'SOFTWARE\\Corvandel\\Pathtally'"
                    " AND name = 'alluseTIME';"),
              "3600");
    // Set from outside: a new value, a changed one, a number (stored as its text).
    EXPECT_EQ(Shell(db,
                    "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', "
                    "'SOFTWARE\\Corvandel\\Pathtally', 'ClosePtHome', 1);"
                    "UPDATE settings SET value = '3700' WHERE key = 'software\\microsoft\\com3';"),
              "");
    EXPECT_EQ(s.read(LM, MainKey, "ClosePtHome"), "1");
    EXPECT_EQ(s.read(LM, MirrorKey, "AllUseTime"), "3700");
    s.write(LM, MainKey, "after", "yes");
    EXPECT_EQ(Shell(db, "SELECT count(*) FROM settings;"), "4");
}

TEST_F(SqliteStoreTest, ValuesThatAreNotTextReadAsEmpty) {
    SqliteSettingsStore s(db);
    s.write(LM, MainKey, "seed", "1");
    Shell(db,
          "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Corvandel\\Pathtally',"
          " 'Blob', X'3132');"
          "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Corvandel\\Pathtally',"
          " 'Nothing', NULL);");
    EXPECT_EQ(s.read(LM, MainKey, "Blob"), "");
    EXPECT_EQ(s.read(LM, MainKey, "Nothing"), "");
    s.write(LM, MainKey, "Blob", "now text");
    EXPECT_EQ(s.read(LM, MainKey, "Blob"), "now text");
}

TEST_F(SqliteStoreTest, ADatabaseHeldByAnotherWriterNeverStallsOrFails) {
    SqliteSettingsStore s(db);
    s.write(LM, MainKey, "leftClick", "1");
    // The shell opens a write transaction and keeps it open for two seconds.
    std::string cmd =
        "(echo 'BEGIN IMMEDIATE;'; echo \"UPDATE settings SET value='9';\";"
        " sleep 2; echo 'COMMIT;') | sqlite3 -batch '" +
        db.string() + "' &";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    auto start = std::chrono::steady_clock::now();
    {
        SettingsBatch batch(s);
        for (int i = 0; i < 14; ++i) s.write(LM, MainKey, "leftClick", "2");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(s.read(LM, MainKey, "leftClick"), "1");  // readers are never blocked
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(s.read(LM, MainKey, "leftClick"), "9");
    {
        SettingsBatch batch(s);  // free again: the next save goes through
        s.write(LM, MainKey, "leftClick", "3");
    }
    EXPECT_EQ(Shell(db, "SELECT value FROM settings WHERE name = 'leftClick';"), "3");
}

TEST_F(SqliteStoreTest, RandomBytesAreMovedAsideAndAFreshStoreStarts) {
    fs::create_directories(db.parent_path());
    {
        std::ofstream out(db, std::ios::binary);
        std::mt19937 rng(7);
        for (int i = 0; i < 20000; ++i) out.put(static_cast<char>(rng()));
    }
    SqliteSettingsStore s(db);
    EXPECT_EQ(s.read(LM, MainKey, "AllMove"), "");
    EXPECT_TRUE(Damaged(s));
    s.write(LM, MainKey, "AllMove", "42");
    EXPECT_EQ(s.read(LM, MainKey, "AllMove"), "42");
    EXPECT_EQ(fs::file_size(*s.setAside()), 20000u);  // kept for whoever wants to look
    EXPECT_EQ(Shell(db, "PRAGMA integrity_check;"), "ok");
}

TEST_F(SqliteStoreTest, ATruncatedDatabaseIsMovedAside) {
    {
        SqliteSettingsStore s(db);
        SettingsBatch batch(s);
        for (int i = 0; i < 3000; ++i)
            s.write(LM, MainKey, "v" + std::to_string(i), std::string(100, 'a' + i % 26));
    }
    ASSERT_FALSE(fs::exists(db.string() + "-wal"));  // checkpointed on close
    const auto size = fs::file_size(db);
    ASSERT_GT(size, 100000u);
    fs::resize_file(db, size / 3);
    SqliteSettingsStore s(db);
    EXPECT_EQ(s.read(LM, MainKey, "v2999"), "");
    EXPECT_TRUE(Damaged(s));
    s.write(LM, MainKey, "v1", "fresh");
    EXPECT_EQ(s.read(LM, MainKey, "v1"), "fresh");
}

TEST_F(SqliteStoreTest, SomeoneElsesTableIsNoStore) {
    fs::create_directories(db.parent_path());
    Shell(db, "CREATE TABLE settings (a, b);");
    SqliteSettingsStore s(db);
    s.write(LM, MainKey, "x", "1");
    EXPECT_EQ(s.read(LM, MainKey, "x"), "1");
    EXPECT_TRUE(Damaged(s));
}

TEST_F(SqliteStoreTest, ADatabaseDeletedWhileOpenIsStartedAgain) {
    SqliteSettingsStore s(db);
    s.write(LM, MainKey, "AllUseTime", "100");
    fs::remove_all(db.parent_path());
    EXPECT_EQ(s.read(LM, MainKey, "AllUseTime"), "");
    {
        SettingsBatch batch(s);
        s.write(LM, MainKey, "AllUseTime", "110");
    }
    EXPECT_EQ(Shell(db, "SELECT value FROM settings;"), "110");
}

TEST_F(SqliteStoreTest, AnUnreachablePlaceFailsSilently) {
    fs::create_directories(dir.path());
    std::ofstream(dir / "pathtally") << "a file where the folder should be";
    SqliteSettingsStore s(db);
    s.write(LM, MainKey, "x", "1");
    {
        SettingsBatch batch(s);
        s.write(LM, MainKey, "y", "2");
    }
    EXPECT_EQ(s.read(LM, MainKey, "x"), "");
    EXPECT_FALSE(s.isOpen());
}

}  // namespace
}  // namespace pt

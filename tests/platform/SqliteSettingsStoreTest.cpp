#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>

#include "platform/linux/SqliteSettingsStore.h"
#include "support/SqliteShell.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"

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
        return s.database().setAside() && fs::exists(*s.database().setAside()) &&
               s.database().setAside()->parent_path() == db.parent_path();
    }
};

// Rates and delays: a loaded machine can upset them, so they run alone (the "load" label).
class SqliteStoreTiming : public SqliteStoreTest {};

TEST_F(SqliteStoreTest, DefaultPlaceFollowsXdgConfigHome) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", "/x/conf", 1);
    EXPECT_EQ(SettingsDatabase::DefaultPath(), fs::path("/x/conf/pathtally/settings.db"));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsDatabase::DefaultPath(),
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

TEST_F(SqliteStoreTiming, ADatabaseHeldByAnotherWriterNeverStallsOrFails) {
    SqliteSettingsStore s(db);
    s.write(LM, MainKey, "leftClick", "1");
    // The shell opens a write transaction, says so with a file once its update is in, and
    // holds it until the test creates `release` (30 s at the most).
    const fs::path held = dir / "held", release = dir / "release";
    std::string cmd =
        "(echo 'BEGIN IMMEDIATE;'; echo \"UPDATE settings SET value='9';\";"
        " echo \".shell touch '" +
        held.string() + "'\"; for i in $(seq 600); do [ -e '" + release.string() +
        "' ] && break; sleep 0.05; done; echo 'COMMIT;') | sqlite3 -batch '" + db.string() + "' &";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    ASSERT_TRUE(test::WaitUntil([&] { return fs::exists(held); }));
    auto start = std::chrono::steady_clock::now();
    {
        SettingsBatch batch(s);
        for (int i = 0; i < 14; ++i) s.write(LM, MainKey, "leftClick", "2");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(s.read(LM, MainKey, "leftClick"), "1");  // readers are never blocked
    test::WriteAll(release, "go");
    EXPECT_TRUE(test::WaitUntil([&] { return s.read(LM, MainKey, "leftClick") == "9"; }));
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
    EXPECT_EQ(fs::file_size(*s.database().setAside()), 20000u);  // kept for whoever wants to look
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
    EXPECT_FALSE(s.database().isOpen());
}

TEST_F(SqliteStoreTest, AWalDeletedWhileOpenLosesNothing) {
    SqliteSettingsStore s(db);
    s.write(LM, MainKey, "StartDate", "2026-11-08");
    {
        SettingsBatch batch(s);
        s.write(LM, MainKey, "AllUseTime", "100");
    }
    const fs::path wal = db.string() + "-wal";
    ASSERT_TRUE(fs::exists(wal));
    fs::remove(wal);
    {
        SettingsBatch batch(s);
        s.write(LM, MainKey, "AllUseTime", "110");
    }
    // What was only in the deleted WAL and what came after are both in the store.
    EXPECT_EQ(Shell(db, "SELECT name || '=' || value FROM settings ORDER BY name;"),
              "AllUseTime=110\nStartDate=2026-11-08");
    EXPECT_EQ(Shell(db, "PRAGMA integrity_check;"), "ok");
    EXPECT_EQ(s.read(LM, MainKey, "AllUseTime"), "110");
}

TEST_F(SqliteStoreTest, ALinkAtTheStorePathIsMovedAsideAndItsTargetLeftAlone) {
    fs::create_directories(db.parent_path());
    const fs::path text = dir / "notes.txt", other = dir / "other.db";
    test::WriteAll(text, "not a database\n");
    Shell(other, "CREATE TABLE notes (t TEXT); INSERT INTO notes VALUES ('mine');");
    for (const fs::path& target : {text, other}) {
        SCOPED_TRACE(target);
        fs::permissions(target,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::others_read,
                        fs::perm_options::replace);
        const std::string before = test::ReadAll(target);
        fs::remove(db);
        fs::create_symlink(target, db);
        {
            SqliteSettingsStore s(db);
            EXPECT_EQ(s.read(LM, MainKey, "x"), "");
            s.write(LM, MainKey, "x", "1");
            EXPECT_EQ(s.read(LM, MainKey, "x"), "1");
            ASSERT_TRUE(s.database().setAside());
            EXPECT_TRUE(fs::is_symlink(*s.database().setAside()));
        }
        EXPECT_FALSE(fs::is_symlink(db));
        EXPECT_EQ(test::ReadAll(target), before);
        EXPECT_EQ(Perms(target) & fs::perms::others_read, fs::perms::others_read);
    }
    EXPECT_EQ(Shell(other, "SELECT name FROM sqlite_master;"), "notes");
}

TEST_F(SqliteStoreTest, AnotherProgramsDatabaseIsMovedAsideUnwritten) {
    fs::create_directories(db.parent_path());
    // Tables but no settings table; another program's mark; a settings table of ours with
    // another table beside it, made before the mark existed (kept).
    struct Case {
        const char* sql;
        bool ours;
    };
    for (const Case& c : {Case{"CREATE TABLE notes (t TEXT);", false},
                          Case{"PRAGMA application_id = 1234; CREATE TABLE settings (root TEXT, "
                               "key TEXT, name TEXT, value TEXT);",
                               false},
                          Case{"CREATE TABLE settings (root TEXT NOT NULL, key TEXT NOT NULL "
                               "COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE, value TEXT, "
                               "PRIMARY KEY (root, key, name)); CREATE TABLE days (d TEXT);"
                               "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', 'k', 'x', "
                               "'old');",
                               true}}) {
        SCOPED_TRACE(c.sql);
        for (auto& e : fs::directory_iterator(db.parent_path())) fs::remove(e.path());
        Shell(db, c.sql);
        const std::string before = test::ReadAll(db);
        SqliteSettingsStore s(db);
        s.write(LM, "k", "y", "new");
        EXPECT_EQ(s.read(LM, "k", "y"), "new");
        EXPECT_EQ(s.read(LM, "k", "x"), c.ours ? "old" : "");
        EXPECT_EQ(s.database().setAside().has_value(), !c.ours);
        if (!c.ours) {
            EXPECT_EQ(test::ReadAll(*s.database().setAside()), before);
        }
        EXPECT_EQ(Shell(db, "PRAGMA application_id;"), "1347710073");
    }
}

TEST_F(SqliteStoreTest, CompanionFilesThatAreLinksAreNeverWrittenThrough) {
    {
        SqliteSettingsStore first(db);
        first.write(LM, MainKey, "x", "1");
    }  // closed: the WAL is checkpointed and gone
    const fs::path text = dir / "notes.txt";
    test::WriteAll(text, "not a log\n");
    fs::create_symlink(text, db.string() + "-wal");
    SqliteSettingsStore s(db);
    s.write(LM, MainKey, "x", "2");
    EXPECT_EQ(s.read(LM, MainKey, "x"), "2");
    EXPECT_EQ(test::ReadAll(text), "not a log\n");
    EXPECT_FALSE(fs::is_symlink(db.string() + "-wal"));
}

// A folder made read-only under the store by a read-only bind mount (root alone may mount;
// permission bits would not stop root).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const fs::path& folder) : m_folder(folder) {
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            m_reason = std::strerror(errno);
            return;
        }
        m_mounted = true;
        if (::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) !=
            0)
            m_reason = std::strerror(errno);
    }
    ~ReadOnlyFolder() { release(); }
    void release() {
        if (m_mounted) ::umount2(m_folder.c_str(), MNT_DETACH);
        m_mounted = false;
    }
    bool active() const { return m_mounted && m_reason.empty(); }
    const std::string& reason() const { return m_reason; }

private:
    fs::path m_folder;
    bool m_mounted = false;
    std::string m_reason;
};

TEST_F(SqliteStoreTest, AStoreThatCannotBeWrittenIsStillRead) {
    {
        SqliteSettingsStore s(db);
        SettingsBatch batch(s);
        s.write(LM, MainKey, "AllUseTime", "3600");
    }
    ASSERT_FALSE(fs::exists(db.string() + "-wal"));
    const std::string before = test::ReadAll(db);
    ReadOnlyFolder readOnly(db.parent_path());
    if (!readOnly.active())
        GTEST_SKIP() << "a read-only bind mount is refused: " << readOnly.reason();

    SqliteSettingsStore s(db);
    EXPECT_EQ(s.read(LM, MainKey, "AllUseTime"), "3600");
    EXPECT_TRUE(s.database().readOnly());
    {
        SettingsBatch batch(s);
        s.write(LM, MainKey, "AllUseTime", "3610");
    }
    EXPECT_EQ(s.read(LM, MainKey, "AllUseTime"), "3600");
    EXPECT_FALSE(s.database().setAside()) << "nothing is moved aside";
    EXPECT_EQ(test::ReadAll(db), before);

    // Writable again: the next save is kept.
    readOnly.release();
    {
        SettingsBatch batch(s);
        s.write(LM, MainKey, "AllUseTime", "3620");
    }
    EXPECT_FALSE(s.database().readOnly());
    EXPECT_EQ(Shell(db, "SELECT value FROM settings WHERE name = 'AllUseTime';"), "3620");
}

}  // namespace
}  // namespace pt

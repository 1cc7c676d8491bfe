// The program works in one per-user folder, whatever folder it is started from.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "core/persistence/DataFile.h"
#include "platform/linux/DataFolder.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;

using test::ScopedEnv;

// Runs with `folder` as the working directory and an open umask; puts both back.
class StartedIn {
public:
    explicit StartedIn(const fs::path& folder) : m_before(fs::current_path()), m_umask(umask(0)) {
        fs::current_path(folder);
    }
    ~StartedIn() {
        fs::current_path(m_before);
        umask(m_umask);
    }

private:
    fs::path m_before;
    mode_t m_umask;
};

TEST(DataFolder, FollowsXdgDataHomeElseHome) {
    test::TempDir dir;
    ScopedEnv home("HOME", (dir / "home").c_str());
    {
        ScopedEnv data("XDG_DATA_HOME", (dir / "data").c_str());
        EXPECT_EQ(DataFolder(), dir / "data" / "pathtally");
    }
    for (const char* ignored : {"", "relative/data"}) {
        ScopedEnv data("XDG_DATA_HOME", ignored);
        EXPECT_EQ(DataFolder(), dir / "home" / ".local" / "share" / "pathtally") << ignored;
    }
}

TEST(DataFolder, IsMadeOwnerOnlyEnteredAndTakesTheLeftDataFileOver) {
    test::TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", (dir / "new" / "data").c_str());
    fs::create_directories(dir / "start");
    DataRecord record;
    record.computerName = "PC";
    record.totalClick = 1234;
    ASSERT_TRUE(DataFile(dir / "start" / "PTDATA.CVD").save(record));

    DataFolderEntry entry;
    {
        StartedIn start(dir / "start");
        entry = EnterDataFolder("PTDATA.CVD", "PC");
        EXPECT_EQ(fs::current_path(), dir / "new" / "data" / "pathtally");
    }
    EXPECT_TRUE(entry.entered);
    EXPECT_EQ(entry.startFolder, dir / "start");
    EXPECT_EQ(entry.takeover, TakeoverResult::Moved);
    EXPECT_FALSE(fs::exists(dir / "start" / "PTDATA.CVD"));
    EXPECT_EQ(DataFile(entry.folder / "PTDATA.CVD").load("PC").fileTotalClick, 1234);
    // Every folder it made is the user's alone, even under an open umask.
    for (const fs::path& made : {dir / "new", dir / "new" / "data", entry.folder})
        EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
}

TEST(DataFolder, StaysWhereItStartedWhenTheFolderCannotBeMade) {
    test::TempDir dir;
    test::WriteAll(dir / "file", "a file where a folder should be");
    ScopedEnv data("XDG_DATA_HOME", (dir / "file").c_str());
    fs::create_directories(dir / "start");
    test::WriteAll(dir / "start" / "PTDATA.CVD", "kept");
    StartedIn start(dir / "start");
    const DataFolderEntry entry = EnterDataFolder("PTDATA.CVD", "PC");
    EXPECT_FALSE(entry.entered);
    EXPECT_EQ(fs::current_path(), dir / "start");
    EXPECT_EQ(test::ReadAll(dir / "start" / "PTDATA.CVD"), "kept");
}

}  // namespace
}  // namespace pt

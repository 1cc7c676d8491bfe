// However the program is started, its data file lands in the one per-user folder, and a
// data file an earlier run left in its start folder is taken over with its totals.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "core/persistence/DataFile.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "support/ProgramProcess.h"
#include "support/SqliteShell.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class DataFolderE2E : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path home = dir / "home", config = dir / "config", folder = dir / "data" / "pathtally";
    fs::path dataFile = folder / "PTDATA.CVD";
    std::string computer = LinuxSystemInfo().computerName();

    void SetUp() override {
        fs::create_directories(home);
        fs::create_directories(config / "pathtally");
        // No pages: these runs are about the data file.
        const std::string out = test::SqliteShell(
            config / "pathtally" / "settings.db",
            "CREATE TABLE settings (root TEXT NOT NULL, key TEXT NOT NULL COLLATE NOCASE, name "
            "TEXT NOT NULL COLLATE NOCASE, value TEXT, PRIMARY KEY (root, key, name));"
            "INSERT INTO settings VALUES "
            "('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Corvandel\\Pathtally', 'ClosePtHome', '1'),"
            "('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Corvandel\\Pathtally', 'ClosePtNews', '1'),"
            "('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Corvandel\\Pathtally', 'UpdateCK', '0');");
        ASSERT_EQ(out, "");
    }

    // Starts the program in `startFolder` and stops it once it has saved a use time above
    // `useTimeAbove` into the data folder's file.
    void runFrom(const fs::path& startFolder, double useTimeAbove) {
        test::ProgramProcess program(startFolder, dir / "output.log",
                                     {{"HOME", home.string()},
                                      {"XDG_CONFIG_HOME", config.string()},
                                      {"XDG_DATA_HOME", (dir / "data").string()},
                                      {"PATHTALLY_TEST_SECOND_MS", "50"}});
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (totals().fileUseTime <= useTimeAbove && std::chrono::steady_clock::now() < end) {
            ASSERT_TRUE(program.running()) << program.output();
            std::this_thread::sleep_for(100ms);
        }
        EXPECT_GT(totals().fileUseTime, useTimeAbove) << program.output();
        program.terminate();
    }
    FileTotals totals() {
        // Read without the data file's own load, which would leave it writable.
        const std::string text = test::ReadAll(dataFile);
        const auto parsed = ParseDataFile(text);
        return parsed ? TotalsOf(*parsed, computer) : FileTotals{};
    }
};

TEST_F(DataFolderE2E, StartsFromHomeAndFromRootKeepOneDataFileAndTakeAnOldOneOver) {
    // Left in the home folder by a run from a session that started there.
    DataRecord old;
    old.computerName = computer;
    old.totalUseTime = 100000;
    old.totalTravel = 2500000;
    old.leftClick = 4000;
    old.rightClick = 321;
    old.totalClick = 4321;
    old.totalKeys = DynamicValue::Double(98765);
    ASSERT_TRUE(DataFile(home / "PTDATA.CVD").save(old));

    runFrom(home, 100000);
    EXPECT_FALSE(fs::exists(home / "PTDATA.CVD")) << "taken over, not copied";
    FileTotals t = totals();
    EXPECT_GE(t.fileTravel, 2500000);
    EXPECT_EQ(t.fileLeftClick, 4000);
    EXPECT_EQ(t.fileRightClick, 321);
    EXPECT_EQ(t.fileTotalClick, 4321);
    EXPECT_EQ(t.fileKeys.toDouble(), 98765);
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u) << "the data folder is the user's alone";

    if (fs::exists("/PTDATA.CVD")) GTEST_SKIP() << "a data file lies in / already";
    const double before = t.fileUseTime;
    runFrom("/", before);
    EXPECT_FALSE(fs::exists("/PTDATA.CVD"));
    t = totals();
    EXPECT_GT(t.fileUseTime, before) << "the same file went on counting";
    EXPECT_EQ(t.fileTotalClick, 4321);
    EXPECT_FALSE(fs::exists(home / "PTDATA.CVD"));
}

}  // namespace
}  // namespace pt

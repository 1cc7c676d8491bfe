#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/persistence/HistoryCsv.h"
#include "platform/linux/SqliteDayHistory.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "support/ProgramProcess.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;

using Result = test::CommandResult;

// `pathtally <arguments>` with no display at all and the settings under `config`.
Result RunProgram(const fs::path& config, const std::string& arguments) {
    return test::RunWithoutDisplay(config, arguments);
}

// `pathtally --export-csv <file>`.
Result Export(const fs::path& config, const std::string& file) {
    return RunProgram(config, "--export-csv '" + file + "'");
}

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

size_t Entries(const fs::path& folder) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class ExportCsvE2ETest : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path config = dir / "config";
    fs::path out = dir / "out";
    void SetUp() override { fs::create_directories(out); }
};

TEST_F(ExportCsvE2ETest, WritesTheDaysWithoutADisplay) {
    {
        SqliteSettingsStore store(config / "pathtally" / "settings.db");
        SqliteDayHistory history(store.database());
        history.add("2026-12-07", 9, {123456, 812, 3, 95, 10432, 28800});
        history.add("2026-12-08", 10, {1, 2, 3, 4, 5, 6});
    }
    const Result r = Export(config, (out / "days.csv").string());
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Bytes(out / "days.csv"),
              HistoryCsv({{"2026-12-07", {123456, 812, 3, 95, 10432, 28800}},
                          {"2026-12-08", {1, 2, 3, 4, 5, 6}}}));
    EXPECT_EQ(Entries(out), 1u);
}

TEST_F(ExportCsvE2ETest, NoDatabaseYetGivesTheHeaderAndCreatesNoDatabase) {
    const Result r = Export(config, (out / "days.csv").string());
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Bytes(out / "days.csv"), HistoryCsv({}));
    EXPECT_FALSE(fs::exists(config / "pathtally" / "settings.db"));
}

TEST_F(ExportCsvE2ETest, AnUnwritablePathFailsWithAMessageAndLeavesNoFile) {
    {
        SqliteSettingsStore store(config / "pathtally" / "settings.db");
        SqliteDayHistory history(store.database());
        history.add("2026-12-08", 10, {1, 2, 3, 4, 5, 6});
    }
    // The tests run as root, so a read-only folder would not stop the write: a path under
    // a plain file, a missing folder and a folder as the target cannot be written by anyone.
    std::ofstream(out / "plain") << "x";
    fs::create_directory(out / "folder");
    for (const fs::path& target :
         {out / "plain" / "days.csv", out / "missing" / "days.csv", out / "folder"}) {
        const Result r = Export(config, target.string());
        EXPECT_EQ(r.code, 1) << target;
        EXPECT_NE(r.output.find("pathtally: cannot write " + target.string()), std::string::npos)
            << r.output;
    }
    EXPECT_EQ(Entries(out), 2u) << "no temporary or partial file left";
    EXPECT_EQ(Entries(out / "folder"), 0u);

    // No file named, with an empty value or none at all: the same message, and the status
    // of any other mistake on the command line.
    const Result unknown = RunProgram(config, "--export-cvs days.csv");
    EXPECT_EQ(unknown.code, 1) << unknown.output;
    for (const Result& noName : {Export(config, ""), RunProgram(config, "--export-csv")}) {
        EXPECT_EQ(noName.code, unknown.code) << noName.output;
        EXPECT_NE(noName.output.find("--export-csv needs"), std::string::npos) << noName.output;
    }
}

TEST_F(ExportCsvE2ETest, AnUnreadableDatabaseFails) {
    fs::create_directories(config / "pathtally");
    std::ofstream(config / "pathtally" / "settings.db") << std::string(8192, 'z');
    const Result r = Export(config, (out / "days.csv").string());
    EXPECT_EQ(r.code, 1) << r.output;
    EXPECT_NE(r.output.find("cannot read the day history"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(out / "days.csv"));
    // Left where it was, for the program (or a person) to deal with.
    EXPECT_EQ(Bytes(config / "pathtally" / "settings.db"), std::string(8192, 'z'));
    EXPECT_EQ(Entries(config / "pathtally"), 1u);
}

}  // namespace
}  // namespace pt

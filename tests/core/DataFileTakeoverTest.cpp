// A data file left in the folder an earlier run started from is taken over into the data
// folder once: no total is lost, a data file holding more is never written over, and a file
// the program would not trust is never removed.

#include <gtest/gtest.h>

#include "core/persistence/DataFile.h"
#include "core/persistence/DataFileTakeover.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;

constexpr const char* Computer = "PC";

DataRecord Record(double useTime, std::int32_t clicks, double keys, double move = 1000) {
    DataRecord r;
    r.computerName = Computer;
    r.savedAt = "2026-12-01T10:00:00";
    r.startDate = "2026-01-01";
    r.totalUseTime = useTime;
    r.totalTravel = move;
    r.leftClick = clicks;
    r.totalClick = clicks;
    r.totalKeys = DynamicValue::Double(keys);
    return r;
}

class DataFileTakeover : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path start = dir / "start", folder = dir / "data";
    fs::path old = start / "PTDATA.CVD", current = folder / "PTDATA.CVD";

    void SetUp() override {
        fs::create_directories(start);
        fs::create_directories(folder);
    }
    static void Save(const fs::path& file, const DataRecord& record) {
        ASSERT_TRUE(DataFile(file).save(record));
    }
    static FileTotals Load(const fs::path& file) { return DataFile(file).load(Computer); }
    TakeoverResult takeOver() { return TakeOverDataFile(old, current, Computer); }
};

TEST_F(DataFileTakeover, TheOnlyDataFileMovesAsItIsAndOnce) {
    Save(old, Record(3600, 12, 34));
    const std::string content = test::ReadAll(old);
    EXPECT_EQ(takeOver(), TakeoverResult::Moved);
    EXPECT_FALSE(fs::exists(old));
    EXPECT_EQ(test::ReadAll(current), content);
    EXPECT_EQ(takeOver(), TakeoverResult::NothingThere);  // the next start finds nothing
    EXPECT_EQ(Load(current).fileUseTime, 3600);
}

TEST_F(DataFileTakeover, ALargerDataFileIsKeptAndTheStaleOneGoes) {
    Save(old, Record(3600, 12, 34));
    Save(current, Record(7200, 12, 40));
    const std::string content = test::ReadAll(current);
    EXPECT_EQ(takeOver(), TakeoverResult::Superseded);
    EXPECT_FALSE(fs::exists(old));
    EXPECT_EQ(test::ReadAll(current), content) << "never written over";
}

TEST_F(DataFileTakeover, EachTotalKeepsTheLargerOfTheTwo) {
    // The old file has more clicks and keys, the data file more use time and travel.
    Save(old, Record(3600, 500, 900, 1000));
    Save(current, Record(7200, 12, 40, 98765));
    EXPECT_EQ(takeOver(), TakeoverResult::Merged);
    EXPECT_FALSE(fs::exists(old));
    const FileTotals t = Load(current);
    EXPECT_EQ(t.fileUseTime, 7200);
    EXPECT_EQ(t.fileTravel, 98765);
    EXPECT_EQ(t.fileLeftClick, 500);
    EXPECT_EQ(t.fileTotalClick, 500);
    EXPECT_EQ(t.fileKeys.toDouble(), 900);
}

TEST_F(DataFileTakeover, ADamagedDataFileGivesWayToATrustedOldOne) {
    Save(old, Record(3600, 12, 34));
    test::WriteAll(current, "\"cut short");
    EXPECT_EQ(takeOver(), TakeoverResult::Merged);
    EXPECT_FALSE(fs::exists(old));
    EXPECT_EQ(Load(current).fileTotalClick, 12);
}

// Files the start-up would not trust: another computer's, cut short, random bytes.
std::vector<std::pair<const char*, std::string>> UntrustedFiles() {
    DataRecord foreign = Record(99999, 999, 999);
    foreign.computerName = "OTHER";
    std::string noise(3000, '\0');
    std::uint32_t state = 12345;
    for (char& c : noise) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return {{"another computer's", FormatDataRecord(foreign, [] { return 'x'; })},
            {"damaged", "\"cut short"},
            {"random bytes", noise}};
}

TEST_F(DataFileTakeover, UntrustedFilesAreNeverRemovedNorWrittenOver) {
    Save(current, Record(10, 1, 1));
    const std::string kept = test::ReadAll(current);
    for (const auto& [what, content] : UntrustedFiles()) {
        test::WriteAll(old, content);
        EXPECT_EQ(takeOver(), TakeoverResult::LeftInPlace) << what;
        EXPECT_EQ(test::ReadAll(old), content) << what;
        EXPECT_EQ(test::ReadAll(current), kept) << what;
    }
}

TEST_F(DataFileTakeover, WithNoDataFileYetAnUntrustedOneStaysWhereItIs) {
    for (const auto& [what, content] : UntrustedFiles()) {
        test::WriteAll(old, content);
        EXPECT_EQ(takeOver(), TakeoverResult::LeftInPlace) << what;
        EXPECT_EQ(test::ReadAll(old), content) << what;
        EXPECT_FALSE(fs::exists(current)) << what << ": nothing taken from it";
    }
}

TEST_F(DataFileTakeover, LinksAndTheDataFileItselfAreLeftAlone) {
    Save(current, Record(10, 1, 1));
    const std::string kept = test::ReadAll(current);
    // Started in the data folder itself: the same file.
    EXPECT_EQ(TakeOverDataFile(current, current, Computer), TakeoverResult::NothingThere);
    EXPECT_EQ(test::ReadAll(current), kept);
    // A link in the start folder is not followed, whatever it points at.
    const fs::path elsewhere = dir / "elsewhere.cvd";
    Save(elsewhere, Record(99999, 999, 999));
    fs::create_symlink(elsewhere, old);
    EXPECT_EQ(takeOver(), TakeoverResult::NothingThere);
    EXPECT_TRUE(fs::is_symlink(old));
    EXPECT_EQ(test::ReadAll(current), kept);
    // No file, or a folder of that name.
    fs::remove(old);
    EXPECT_EQ(takeOver(), TakeoverResult::NothingThere);
    fs::create_directory(old);
    EXPECT_EQ(takeOver(), TakeoverResult::NothingThere);
}

}  // namespace
}  // namespace pt

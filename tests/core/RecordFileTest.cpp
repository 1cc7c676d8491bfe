#include <gtest/gtest.h>

#include "core/persistence/RecordFile.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

const std::string Header =
    "\"Date      \",\"Time       \",\"Ver   \",\"ComputerName\",\"UserName\"\r\n";

bool IsReadOnly(const fs::path& p) {
    auto perms = fs::status(p).permissions();
    return (perms & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) ==
           fs::perms::none;
}

TEST(RecordFile, FirstStartWritesTheHeaderAndOneLine) {
    TempDir dir;
    test::FakeClock clock;
    clock.setTime(9, 5, 7);
    ASSERT_TRUE(
        RecordFile(dir / "Record.txt", MakeRecordLine(clock, "V1.0.1", "DESKTOP-1", "alice")));
    EXPECT_EQ(ReadAll(dir / "Record.txt"),
              Header + "\"2026-12-08\",\"09:05:07\",\"V1.0.1\",\"DESKTOP-1\",\"alice\"\r\n");
    EXPECT_TRUE(IsReadOnly(dir / "Record.txt"));
}

TEST(RecordFile, EveryStartAppendsOneLineOldestFirst) {
    TempDir dir;
    for (const char* user : {"a", "b", "c"})
        ASSERT_TRUE(RecordFile(dir / "Record.txt", {"d", "t", "V1", "pc", user}));
    EXPECT_EQ(ReadAll(dir / "Record.txt"), Header + "\"d\",\"t\",\"V1\",\"pc\",\"a\"\r\n" +
                                               "\"d\",\"t\",\"V1\",\"pc\",\"b\"\r\n" +
                                               "\"d\",\"t\",\"V1\",\"pc\",\"c\"\r\n");
    EXPECT_TRUE(IsReadOnly(dir / "Record.txt"));
}

TEST(RecordFile, ALogThatCannotBeAppendedStartsAgainAndRetriesAreBounded) {
    TempDir dir;
    fs::create_directory(dir / "Record.txt");  // in the way, but removable
    ASSERT_TRUE(RecordFile(dir / "Record.txt", {"d", "t", "V1", "pc", "u"}));
    EXPECT_EQ(ReadAll(dir / "Record.txt"), Header + "\"d\",\"t\",\"V1\",\"pc\",\"u\"\r\n");
    // A folder that does not exist: gives up.
    EXPECT_FALSE(RecordFile(dir / "missing" / "Record.txt", {"d", "t", "V1", "pc", "u"}));
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(RecordFile, QuotesCannotBreakALine) {
    TempDir dir;
    ASSERT_TRUE(RecordFile(dir / "Record.txt", {"d", "t", "V1", "my\"pc", "a\r\nb"}));
    EXPECT_EQ(ReadAll(dir / "Record.txt"), Header + "\"d\",\"t\",\"V1\",\"my'pc\",\"a''b\"\r\n");
}

}  // namespace
}  // namespace pt

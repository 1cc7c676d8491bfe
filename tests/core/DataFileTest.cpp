#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/persistence/DataFile.h"
#include "core/stats/StatisticsModel.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// A record written by hand from the file's layout: 3600 s of use, 1234 px of travel,
// clicks 10/2/3/15, 4321 keystrokes, saved on DESKTOP-1.
std::string HandWrittenRecord(const std::string& computer = "DESKTOP-1",
                              const std::string& useTime = "3600",
                              const std::string& useTimeCopy = "3600") {
    return "\"0\",\"" + computer + "\",\"A\",\"2026-12-08T21:30:05\"," + useTime +
           ",1234,\"2026-12-01\",\"B\",10,2,3,15,4321," + Repeat("\"z\",", 30) + "4321,10,2,3,15," +
           useTimeCopy + ",1234,\"" + std::string(6555, 'q') + "end\"\r\n";
}

DataRecord SampleRecord() {
    DataRecord r;
    r.computerName = "DESKTOP-1";
    r.savedAt = "2026-12-08T21:30:05";
    r.totalUseTime = 7325;
    r.totalTravel = 1234.9;
    r.startDate = "2026-12-01";
    r.leftClick = 100;
    r.midClick = 7;
    r.rightClick = 20;
    r.totalClick = 127;
    r.totalKeys = DynamicValue::Double(54321);
    return r;
}

// Splits a record line at its commas (filler never holds a comma or a quote).
std::vector<std::string> Fields(std::string line) {
    EXPECT_GE(line.size(), 2u);
    EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
    line.resize(line.size() - 2);
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t comma = line.find(',', start);
        out.push_back(line.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

TEST(DataFileCodec, ReadsAHandWrittenRecord) {
    auto parsed = ParseDataFile(HandWrittenRecord());
    ASSERT_TRUE(parsed && parsed->record);
    EXPECT_TRUE(parsed->copiesAgree);
    EXPECT_EQ(parsed->record->startDate, "2026-12-01");
    FileTotals t = TotalsOf(*parsed, "DESKTOP-1");
    EXPECT_EQ(t.fileUseTime, 3600);
    EXPECT_EQ(t.fileTravel, 1234);
    EXPECT_EQ(t.fileLeftClick, 10);
    EXPECT_EQ(t.fileMidClick, 2);
    EXPECT_EQ(t.fileRightClick, 3);
    EXPECT_EQ(t.fileTotalClick, 15);
    EXPECT_EQ(t.fileKeys.toDouble(), 4321);
}

TEST(DataFileCodec, WritesEveryFieldInPlace) {
    int next = 0;
    auto filler = [&] {
        return static_cast<char>(FillerMin + (next++ % (FillerMax - FillerMin + 1)));
    };
    std::vector<std::string> f = Fields(FormatDataRecord(SampleRecord(), filler));
    ASSERT_EQ(f.size(), 51u);
    EXPECT_EQ(f[1], "\"DESKTOP-1\"");
    EXPECT_EQ(f[3], "\"2026-12-08T21:30:05\"");
    EXPECT_EQ(f[4], "7325");
    EXPECT_EQ(f[5], "1234");  // the whole part of 1234.9
    EXPECT_EQ(f[6], "\"2026-12-01\"");
    EXPECT_EQ(f[8], "100");
    EXPECT_EQ(f[9], "7");
    EXPECT_EQ(f[10], "20");
    EXPECT_EQ(f[11], "127");
    EXPECT_EQ(f[12], "54321");
    EXPECT_EQ(f[43], "54321");
    EXPECT_EQ(f[44], "100");
    EXPECT_EQ(f[45], "7");
    EXPECT_EQ(f[46], "20");
    EXPECT_EQ(f[47], "127");
    EXPECT_EQ(f[48], "7325");
    EXPECT_EQ(f[49], "1234");
    // One quoted filler character per spare field, drawn in field order.
    for (int i : {0, 2, 7, 13, 27, 42}) {
        ASSERT_EQ(f[static_cast<size_t>(i)].size(), 3u) << i;
        EXPECT_EQ(f[static_cast<size_t>(i)][1], static_cast<char>(FillerMin + i)) << i;
    }
    // The tail: 6555 filler characters and "end", in quotes.
    ASSERT_EQ(f[50].size(), 6555u + 3 + 2);
    EXPECT_EQ(f[50].substr(f[50].size() - 4), "end\"");
    for (size_t i = 1; i < 6556; ++i) {
        ASSERT_GE(f[50][i], FillerMin);
        ASSERT_LE(f[50][i], FillerMax);
    }
}

TEST(DataFileCodec, LargeAndEmptyTotals) {
    DataRecord r = SampleRecord();
    r.totalTravel = 12345678901.7;
    r.totalUseTime = 1.5e16;
    r.totalKeys = DynamicValue();  // no keystroke counted yet
    std::vector<std::string> f = Fields(FormatDataRecord(r, [] { return 'a'; }));
    EXPECT_EQ(f[5], "12345678901");
    EXPECT_EQ(f[4], "1.5E+16");
    EXPECT_EQ(f[12], "");  // nothing between the commas
    auto parsed = ParseDataFile(FormatDataRecord(r, [] { return 'a'; }));
    ASSERT_TRUE(parsed && parsed->record);
    EXPECT_TRUE(parsed->copiesAgree);
    EXPECT_TRUE(parsed->record->totalKeys.isEmpty());
    EXPECT_EQ(parsed->record->totalUseTime, 1.5e16);
}

TEST(DataFileCodec, RecordsThatContributeNothing) {
    // Written on another computer.
    auto foreign = ParseDataFile(HandWrittenRecord("OTHER-PC"));
    ASSERT_TRUE(foreign);
    EXPECT_EQ(TotalsOf(*foreign, "DESKTOP-1").fileUseTime, 0);
    // Field 4 edited from 3600 to 7200 while its copy still says 3600: every total is 0.
    auto edited = ParseDataFile(HandWrittenRecord("DESKTOP-1", "7200", "3600"));
    ASSERT_TRUE(edited);
    EXPECT_FALSE(edited->copiesAgree);
    FileTotals t = TotalsOf(*edited, "DESKTOP-1");
    EXPECT_EQ(t.fileUseTime, 0);
    EXPECT_EQ(t.fileTravel, 0);
    EXPECT_EQ(t.fileTotalClick, 0);
    EXPECT_EQ(t.fileKeys.kind(), DynamicValue::Kind::Int16);
    // Numbers compare as numbers.
    auto same = ParseDataFile(HandWrittenRecord("DESKTOP-1", "3600", "3600.0"));
    ASSERT_TRUE(same);
    EXPECT_TRUE(same->copiesAgree);
    // An empty file: no record, no totals, and an empty name never matches.
    auto empty = ParseDataFile("");
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->record);
    EXPECT_EQ(TotalsOf(*empty, "DESKTOP-1").fileTravel, 0);
}

TEST(DataFileCodec, TheLastOfSeveralRecordsCounts) {
    std::string two = HandWrittenRecord("DESKTOP-1", "100", "100") + HandWrittenRecord();
    auto parsed = ParseDataFile(two);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(TotalsOf(*parsed, "DESKTOP-1").fileUseTime, 3600);
}

TEST(DataFileCodec, DamagedContentIsRecognised) {
    const std::string good = HandWrittenRecord();
    EXPECT_FALSE(ParseDataFile(good.substr(0, good.size() / 2)));      // cut inside the tail
    EXPECT_FALSE(ParseDataFile(good.substr(0, good.find(",1234,"))));  // fewer fields
    EXPECT_FALSE(ParseDataFile(good + good.substr(0, 100)));           // a second record cut short
    std::string text = good;
    text.replace(text.find(",10,2,"), 6, ",ab,2,");  // a click total that is no number
    EXPECT_FALSE(ParseDataFile(text));
    text = good;
    text.replace(text.find(",10,2,"), 6, ",3000000000,2,");  // beyond a 32-bit counter
    EXPECT_FALSE(ParseDataFile(text));
    text = good;
    text.replace(text.find(",3600,"), 6, ",1E999,");  // beyond a double
    EXPECT_FALSE(ParseDataFile(text));
}

TEST(DataFileCodec, ToleratesLineEndsAndBlankLines) {
    std::string text = HandWrittenRecord();
    std::string lf = text.substr(0, text.size() - 2) + "\n\n   \n";
    auto parsed = ParseDataFile(lf);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(TotalsOf(*parsed, "DESKTOP-1").fileTotalClick, 15);
}

TEST(DataFileCodec, NeverCrashesOnArbitraryContent) {
    std::mt19937 rng(42);
    const std::string good = FormatDataRecord(SampleRecord(), [] { return 'k'; });
    const char alphabet[] = "\",\r\n 0123456789.E-+abc";
    for (int round = 0; round < 3000; ++round) {
        std::string text = good;
        int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            size_t at = rng() % text.size();
            switch (rng() % 3) {
                case 0:
                    text[at] = alphabet[rng() % (sizeof alphabet - 1)];
                    break;
                case 1:
                    text.erase(at, rng() % 40);
                    break;
                default:
                    text.insert(at, 1, static_cast<char>(rng() % 256));
            }
            if (text.empty()) text = ",";
        }
        auto parsed = ParseDataFile(text);
        if (parsed) (void)TotalsOf(*parsed, "DESKTOP-1");
    }
}

TEST(DataFileCodec, QuotesInTextsCannotBreakTheRecord) {
    DataRecord r = SampleRecord();
    r.computerName = "my\"pc";
    r.startDate = "a,\"b\r\nc";
    auto parsed = ParseDataFile(FormatDataRecord(r, [] { return 'x'; }));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(TotalsOf(*parsed, "my\"pc").fileTotalClick, 127);
}

// --- the file on disk ---------------------------------------------------------------

bool HasWriteBits(const fs::path& p) {
    auto perms = fs::status(p).permissions();
    return (perms & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) !=
           fs::perms::none;
}

TEST(DataFileOnDisk, FirstStartCreatesAnEmptyFileThenTheFirstSaveFillsIt) {
    TempDir dir;
    DataFile file(dir / "PTDATA.CVD");
    FileTotals t = file.load("DESKTOP-1");
    EXPECT_EQ(file.lastLoadState(), DataFile::LoadState::Empty);
    EXPECT_EQ(t.fileUseTime, 0);
    ASSERT_TRUE(fs::exists(dir / "PTDATA.CVD"));
    EXPECT_EQ(fs::file_size(dir / "PTDATA.CVD"), 0u);

    ASSERT_TRUE(file.save(SampleRecord()));
    EXPECT_FALSE(HasWriteBits(dir / "PTDATA.CVD"));  // read-only between saves

    DataFile again(dir / "PTDATA.CVD");
    t = again.load("DESKTOP-1");
    EXPECT_EQ(again.lastLoadState(), DataFile::LoadState::Loaded);
    EXPECT_TRUE(HasWriteBits(dir / "PTDATA.CVD"));  // loading leaves it writable
    EXPECT_EQ(t.fileUseTime, 7325);
    EXPECT_EQ(t.fileTravel, 1234);
    EXPECT_EQ(t.fileRightClick, 20);
    EXPECT_EQ(t.fileKeys.toDouble(), 54321);
    EXPECT_EQ(t.fileTotalClick, 127);
}

TEST(DataFileOnDisk, TwoSavesDifferOnlyInFiller) {
    TempDir dir;
    DataFile file(dir / "PTDATA.CVD");
    ASSERT_TRUE(file.save(SampleRecord()));
    auto first = Fields(ReadAll(dir / "PTDATA.CVD"));
    ASSERT_TRUE(file.save(SampleRecord()));
    auto second = Fields(ReadAll(dir / "PTDATA.CVD"));
    ASSERT_EQ(first.size(), 51u);
    ASSERT_EQ(second.size(), 51u);
    for (int i : {1, 3, 4, 5, 6, 8, 9, 10, 11, 12, 43, 44, 45, 46, 47, 48, 49})
        EXPECT_EQ(first[static_cast<size_t>(i)], second[static_cast<size_t>(i)]) << i;
    EXPECT_NE(first[50], second[50]);
}

TEST(DataFileOnDisk, AShorterRecordLeavesNothingOfTheLongerOneBehind) {
    TempDir dir;
    DataFile file(dir / "PTDATA.CVD");
    DataRecord big = SampleRecord();
    big.totalUseTime = 123456789012;
    ASSERT_TRUE(file.save(big));
    ASSERT_TRUE(file.save(SampleRecord()));
    auto text = ReadAll(dir / "PTDATA.CVD");
    EXPECT_EQ(text.size(), FormatDataRecord(SampleRecord(), [] { return 'x'; }).size());
    EXPECT_EQ(file.load("DESKTOP-1").fileUseTime, 7325);
}

TEST(DataFileOnDisk, DamagedFileIsEmptiedAndGivesZeros) {
    TempDir dir;
    const std::string good = HandWrittenRecord();
    WriteAll(dir / "PTDATA.CVD", good.substr(0, 3000));
    DataFile file(dir / "PTDATA.CVD");
    FileTotals t = file.load("DESKTOP-1");
    EXPECT_EQ(file.lastLoadState(), DataFile::LoadState::Damaged);
    EXPECT_EQ(t.fileUseTime, 0);
    EXPECT_EQ(fs::file_size(dir / "PTDATA.CVD"), 0u);
}

TEST(DataFileOnDisk, RejectedRecordsLeaveTheFileAlone) {
    TempDir dir;
    for (const std::string& text :
         {HandWrittenRecord("OTHER-PC"), HandWrittenRecord("DESKTOP-1", "7200", "3600")}) {
        WriteAll(dir / "PTDATA.CVD", text);
        DataFile file(dir / "PTDATA.CVD");
        FileTotals t = file.load("DESKTOP-1");
        EXPECT_EQ(file.lastLoadState(), DataFile::LoadState::Rejected);
        EXPECT_EQ(t.fileTotalClick, 0);
        EXPECT_EQ(ReadAll(dir / "PTDATA.CVD"), text);
    }
}

TEST(DataFileOnDisk, SaveRecoversByRecreatingTheFile) {
    TempDir dir;
    fs::create_directory(dir / "PTDATA.CVD");  // something in the way that can be removed
    DataFile file(dir / "PTDATA.CVD");
    EXPECT_TRUE(file.save(SampleRecord()));
    EXPECT_TRUE(fs::is_regular_file(dir / "PTDATA.CVD"));
}

TEST(DataFileOnDisk, RetriesAreBounded) {
    TempDir dir;
    // A folder with content cannot be recreated as a file: every attempt fails, and the
    // calls still return.
    fs::create_directories(dir / "PTDATA.CVD" / "inside");
    DataFile file(dir / "PTDATA.CVD");
    EXPECT_FALSE(file.save(SampleRecord()));
    FileTotals t = file.load("DESKTOP-1");
    EXPECT_EQ(file.lastLoadState(), DataFile::LoadState::Failed);
    EXPECT_EQ(t.fileTravel, 0);
    // A folder that does not exist.
    DataFile nowhere(dir / "missing" / "PTDATA.CVD");
    EXPECT_FALSE(nowhere.save(SampleRecord()));
    EXPECT_EQ(nowhere.load("DESKTOP-1").fileTravel, 0);
}

}  // namespace
}  // namespace pt

#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "core/stats/DynamicValue.h"

namespace pt {

class StatisticsModel;

// The data file keeps every total twice, in one comma-separated record of 51 fields:
// text in double quotes (no escaping), numbers bare, CR LF at the end. Spare fields and a
// long tail are random filler, so the file does not read as a plain list of numbers.
//
//   0 filler | 1 computer name | 2 filler | 3 saved at | 4 total use time | 5 total travel (whole)
//   6 start date | 7 filler | 8-11 left, mid, right, total clicks | 12 total keys
//   13-42 filler | 43 copy of 12 | 44-47 copies of 8-11 | 48 copy of 4 | 49 copy of 5
//   50 6555 filler characters + "end"
inline constexpr std::string_view DataFileName = "PTDATA.CVD";
inline constexpr int DataFieldCount = 51;
inline constexpr int DataTailLength = 6555;
inline constexpr char FillerMin = 48;   // '0'
inline constexpr char FillerMax = 122;  // 'z': never a quote or a comma

// The meaningful fields of one record.
struct DataRecord {
    std::string computerName;
    std::string savedAt;  // short date + "T" + time text
    double totalUseTime = 0;
    double totalTravel = 0;  // only the whole part is written
    std::string startDate;
    std::int32_t leftClick = 0, midClick = 0, rightClick = 0, totalClick = 0;
    DynamicValue totalKeys;
};

// What loading hands to the start-up merge; all 0 unless the record passes its check.
struct FileTotals {
    double fileUseTime = 0;
    double fileTravel = 0;
    std::int32_t fileLeftClick = 0, fileMidClick = 0, fileRightClick = 0, fileTotalClick = 0;
    DynamicValue fileKeys = DynamicValue::Int16(0);
};

// A file's content, read.
struct ParsedDataFile {
    std::optional<DataRecord> record;  // the last record; none in an empty file
    bool copiesAgree = false;          // every total equals its copy (numbers as numbers)
};

// The record as one line, CR LF included. `filler` draws one character from 48..122.
std::string FormatDataRecord(const DataRecord& record, const std::function<char()>& filler);

// Reads a file's content: records of 51 fields one after another, the last one counts.
// Nothing (std::nullopt) when the content is damaged: a record cut short, an unclosed
// quote, or a total that is not a number (clicks must fit 32 bits). Never throws.
std::optional<ParsedDataFile> ParseDataFile(std::string_view text);

// The totals of a read file: the record's values when its copies agree and it was written
// on `computerName`, else all 0.
FileTotals TotalsOf(const ParsedDataFile& file, std::string_view computerName);

// The record a save writes from the current statistics.
DataRecord RecordOf(const StatisticsModel& model, std::string computerName, std::string savedAt,
                    std::string startDate);

// The data file on disk. It is read-only between saves (no write permission bits). A
// failed save or a damaged file is recovered by recreating the file and trying again, a
// bounded number of times. A save writes a new owner-only file beside it and renames it
// over the name: a link (or anything else) found at the name is replaced, never written
// through, and only our own regular file ever has its mode changed. Loading never reads
// through a link and reads at most 64 KiB; a larger file counts as damaged.
class DataFile {
public:
    enum class LoadState {
        Loaded,    // a record written on this computer whose copies agree
        Empty,     // no record (new or empty file)
        Rejected,  // a record from another computer, or one whose copies disagree
        Damaged,   // unreadable content: the file was recreated empty
        Failed,    // the file could not be read even after recreating it
    };

    explicit DataFile(std::filesystem::path path);

    // Replaces the file's content by `record` and makes it read-only. False when the file
    // could not be written even after recreating it.
    bool save(const DataRecord& record);

    // Reads the last record. Creates an empty file when there is none; leaves the file
    // writable. Never fails: problems give totals of 0 (see lastLoadState()).
    FileTotals load(std::string_view computerName);

    LoadState lastLoadState() const { return m_lastLoad; }
    const std::filesystem::path& path() const { return m_path; }

    static constexpr int MaxAttempts = 3;  // the first try and two after recreating

private:
    char drawFiller();
    bool trySave(const std::string& text);
    void recreateEmpty();

    std::filesystem::path m_path;
    std::mt19937 m_random;
    LoadState m_lastLoad = LoadState::Empty;
};

}  // namespace pt

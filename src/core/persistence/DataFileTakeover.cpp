#include "core/persistence/DataFileTakeover.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "core/persistence/DataFile.h"

namespace pt {
namespace fs = std::filesystem;

namespace {

// A file larger than this is no data file (a record is about 7 KB).
constexpr std::uintmax_t MaxFileSize = 16u << 20;

// The record of a file the program would trust at start: written on this computer, every
// total equal to its copy. Nothing for a missing, damaged, foreign or empty file.
std::optional<DataRecord> TrustedRecord(const fs::path& file, std::string_view computerName) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(file, ec))) return std::nullopt;
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size > MaxFileSize) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    const std::optional<ParsedDataFile> parsed = ParseDataFile(text.str());
    if (!parsed || !parsed->record || !parsed->copiesAgree ||
        parsed->record->computerName != computerName)
        return std::nullopt;
    return parsed->record;
}

bool AtLeast(const DataRecord& a, const DataRecord& b) {
    return a.totalUseTime >= b.totalUseTime &&
           std::trunc(a.totalTravel) >= std::trunc(b.totalTravel) && a.leftClick >= b.leftClick &&
           a.midClick >= b.midClick && a.rightClick >= b.rightClick &&
           a.totalClick >= b.totalClick && a.totalKeys.toDouble() >= b.totalKeys.toDouble();
}

// `into` with each total raised to `other`'s where that is larger.
DataRecord Larger(DataRecord into, const DataRecord& other) {
    into.totalUseTime = std::max(into.totalUseTime, other.totalUseTime);
    into.totalTravel = std::max(into.totalTravel, other.totalTravel);
    into.leftClick = std::max(into.leftClick, other.leftClick);
    into.midClick = std::max(into.midClick, other.midClick);
    into.rightClick = std::max(into.rightClick, other.rightClick);
    into.totalClick = std::max(into.totalClick, other.totalClick);
    if (other.totalKeys.toDouble() > into.totalKeys.toDouble()) into.totalKeys = other.totalKeys;
    return into;
}

}  // namespace

TakeoverResult TakeOverDataFile(const fs::path& oldFile, const fs::path& dataFile,
                                std::string_view computerName) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(oldFile, ec))) return TakeoverResult::NothingThere;
    const bool dataFileExists = fs::exists(fs::symlink_status(dataFile, ec));
    if (dataFileExists && fs::equivalent(oldFile, dataFile, ec))
        return TakeoverResult::NothingThere;

    // Checked before anything moves: one from another computer or damaged stays where it
    // is, also when there is no data file yet.
    const std::optional<DataRecord> old = TrustedRecord(oldFile, computerName);
    if (!old) return TakeoverResult::LeftInPlace;

    // No data file yet: the old one becomes it as it stands.
    if (!dataFileExists) {
        fs::rename(oldFile, dataFile, ec);
        if (!ec) return TakeoverResult::Moved;
    }
    const std::optional<DataRecord> current = TrustedRecord(dataFile, computerName);
    if (current && AtLeast(*current, *old)) {
        fs::remove(oldFile, ec);
        return TakeoverResult::Superseded;
    }

    // Written through the data file's own save, then read back before the old one goes.
    const DataRecord merged = current ? Larger(*current, *old) : *old;
    DataFile file(dataFile);
    if (!file.save(merged)) return TakeoverResult::LeftInPlace;
    const std::optional<DataRecord> written = TrustedRecord(dataFile, computerName);
    if (!written || !AtLeast(*written, *old)) return TakeoverResult::LeftInPlace;
    fs::remove(oldFile, ec);
    return dataFileExists ? TakeoverResult::Merged : TakeoverResult::Moved;
}

}  // namespace pt

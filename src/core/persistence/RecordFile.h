#pragma once

#include <filesystem>
#include <string>

namespace pt {

class Clock;

// One line of the record log: when, which version, on which computer and account.
struct RecordLine {
    std::string date;  // short date text
    std::string time;  // time text
    std::string version;
    std::string computerName;
    std::string userName;
};

// The log's first line.
inline const RecordLine RecordHeader{"Date      ", "Time       ", "Ver   ", "ComputerName",
                                     "UserName"};

// A line for a start now.
RecordLine MakeRecordLine(const Clock& clock, std::string version, std::string computerName,
                          std::string userName);

// The line as the log keeps it: five quoted fields separated by commas, CR LF.
std::string FormatRecordLine(const RecordLine& line);

// Appends `line` to the record log at `path`, which is read-only between writes. A new
// log starts with the header line. When the log cannot be appended to, it is recreated
// with only the header line and the append is tried again, a bounded number of times.
// False when nothing could be written.
bool RecordFile(const std::filesystem::path& path, const RecordLine& line);

}  // namespace pt

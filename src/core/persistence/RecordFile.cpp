#include "core/persistence/RecordFile.h"

#include <fstream>
#include <system_error>

#include "core/ports/Clock.h"

namespace pt {
namespace fs = std::filesystem;

namespace {

constexpr int MaxAttempts = 3;
constexpr fs::perms WriteBits =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

// Fields are quoted without escaping: a quote or a line break would cut the line.
std::string Field(std::string_view text) {
    std::string out = "\"";
    for (char c : text) out += (c == '"' || c == '\r' || c == '\n') ? '\'' : c;
    out += '"';
    return out;
}

bool Append(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return static_cast<bool>(out);
}

bool TryAppend(const fs::path& path, const std::string& text) {
    std::error_code ec;
    // Clearing the read-only mark of a log that does not exist yet fails: the recovery
    // below then starts the log with its header.
    if (!fs::is_regular_file(path, ec)) return false;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
    if (ec) return false;
    if (!Append(path, text)) return false;
    fs::permissions(path, WriteBits, fs::perm_options::remove, ec);
    return !ec;
}

void RecreateWithHeader(const fs::path& path) {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove(path, ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string header = FormatRecordLine(RecordHeader);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
}

}  // namespace

RecordLine MakeRecordLine(const Clock& clock, std::string version, std::string computerName,
                          std::string userName) {
    return {clock.shortDate(), clock.timeText(), std::move(version), std::move(computerName),
            std::move(userName)};
}

std::string FormatRecordLine(const RecordLine& line) {
    return Field(line.date) + "," + Field(line.time) + "," + Field(line.version) + "," +
           Field(line.computerName) + "," + Field(line.userName) + "\r\n";
}

bool RecordFile(const fs::path& path, const RecordLine& line) {
    const std::string text = FormatRecordLine(line);
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        if (TryAppend(path, text)) return true;
        RecreateWithHeader(path);
    }
    return false;
}

}  // namespace pt

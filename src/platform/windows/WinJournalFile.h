#pragma once

#include <filesystem>
#include <memory>

#include "core/persistence/JournalDayHistory.h"

namespace pt {

// A journal file through the Win32 file API: opened for each read or write and closed again
// (shared for reading, writing and deletion, so that an export can read it while the
// program runs), appended with one WriteFile per line, replaced by writing "<name>.new",
// flushing it and moving it over the name (MoveFileExW, MOVEFILE_REPLACE_EXISTING). A
// file that is not ours is moved to "<name>.not-ours-<time>". The folder is created where
// it is missing.
class WinJournalFile : public JournalFile {
public:
    explicit WinJournalFile(std::filesystem::path file) : m_file(std::move(file)) {}

    std::optional<std::string> read() override;
    bool append(std::string_view bytes) override;
    bool replace(std::string_view bytes) override;
    bool setAside() override;
    std::string place() const override;

private:
    std::filesystem::path m_file;
};

// %APPDATA%\Pathtally\history.journal: the day history beside the data file.
std::filesystem::path DefaultHistoryJournalPath();
std::unique_ptr<JournalDayHistory> OpenWinDayHistory(std::filesystem::path file);

}  // namespace pt

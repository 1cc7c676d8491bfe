#pragma once

#include <filesystem>
#include <string_view>

namespace pt {

// What became of a data file left behind in another folder (the folder an earlier run was
// started from, when the data file went wherever the working directory happened to be).
enum class TakeoverResult {
    NothingThere,  // no regular file there, or it is the data file itself
    Moved,         // it became the data file (there was none)
    Merged,        // the data file now holds the larger of each total; the old file is gone
    Superseded,    // the data file already held every total as large; the old file is gone
    LeftInPlace,   // unreadable, from another computer, damaged, or it could not be
                   // written over: left untouched, nothing taken from it
};

// What entering the per-user data folder at start did.
struct DataFolderEntry {
    bool entered = false;  // the folder is the working directory now
    std::filesystem::path folder;
    std::filesystem::path startFolder;  // the working directory before
    TakeoverResult takeover = TakeoverResult::NothingThere;
};

// Takes `oldFile` over into `dataFile` once: afterwards no total it held is lost and it is
// gone from its folder, so the next start finds nothing there. Where both exist each total
// of the result is the larger of the two (as the start-up merge would take it), and a data
// file that already holds more is never written over. A file the program would not trust
// (another computer's, copies that disagree, damaged) is never removed. Symbolic links are
// not followed. Never throws.
TakeoverResult TakeOverDataFile(const std::filesystem::path& oldFile,
                                const std::filesystem::path& dataFile,
                                std::string_view computerName);

}  // namespace pt

#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/persistence/DataFileTakeover.h"

namespace pt {

// The per-user folder the program works in, so that the data file, opened by its bare
// name, lands in one place however the program is started (application menu, autostart,
// a terminal in any folder): $XDG_DATA_HOME/pathtally when XDG_DATA_HOME is an absolute
// path, else $HOME/.local/share/pathtally.
std::filesystem::path DataFolder();

// Creates the data folder owner-only where it is missing (missing parents too), makes it
// the working directory and takes over a data file named `dataFileName` left in the folder
// the program was started from. When the folder cannot be made or entered the program
// stays where it started and nothing is taken over. Problems are told on stderr.
DataFolderEntry EnterDataFolder(std::string_view dataFileName, std::string_view computerName);

}  // namespace pt

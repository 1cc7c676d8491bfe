#pragma once

#include <filesystem>
#include <string_view>

#include "core/persistence/DataFileTakeover.h"

namespace pt {

// The per-user folder the program works in, so that the data file, opened by its bare
// name, lands in one place however the program is started (Start menu, the Run key, whose
// programs start in a system folder, a console anywhere): "Pathtally" in the user's
// roaming application data (%APPDATA%). Creates it where it is missing, makes it the
// working directory and takes over a data file named `dataFileName` left in the folder the
// program was started from. When the folder cannot be made or entered the program stays
// where it started and nothing is taken over.
// %APPDATA%\Pathtally (empty when the user has no application data folder).
std::filesystem::path WinDataFolderPath();

DataFolderEntry EnterWinDataFolder(std::string_view dataFileName, std::string_view computerName);

}  // namespace pt

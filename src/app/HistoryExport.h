#pragma once

#include <optional>

namespace pt {

// `pathtally --export-csv FILE`: exports the day history from the settings database and
// returns the exit code, or nothing when the command line asks for no export. Needs no
// display; says what failed on stderr.
std::optional<int> RunExportCommand(int argc, char** argv);

}  // namespace pt

#pragma once

#include <QString>

namespace pt {

// `pathtally --export-csv FILE`: exports the day history from the settings database to
// `file` and returns the exit code. Needs no display; says what failed on stderr.
int RunExportCommand(int argc, char** argv, const QString& file);

}  // namespace pt

#pragma once

#include <optional>
#include <string>

namespace pt {

// `pathtally.exe --export-csv FILE` (or `--export-csv=FILE`): the file to export to, an
// empty text when the option names none, nothing when the command line does not ask for an
// export.
std::optional<std::wstring> ExportCsvRequest(const wchar_t* commandLine);

// Writes the day history as CSV to `file` and returns the exit code: 0 once written, 1 when
// no file is named, the history cannot be read or the file cannot be written (then no file
// is left). Needs no window; says what happened on the standard error (the console
// the program was started from, where it has no standard error of its own).
int RunWinExportCommand(const std::wstring& file);

}  // namespace pt

#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace pt {

// What the command line asks of this run. Every option is declared, read and documented in
// CommandLine.cpp alone; a new one adds a field here.
struct CommandLineRequest {
    // Set when the program ends at once with this status: after --help or --version (0) or
    // on a command-line error (1), the text already printed.
    std::optional<int> exitStatus;
    // --export-csv FILE: write the day history to FILE and end, with no window.
    std::optional<QString> exportCsv;
};

// Reads `arguments` (the program's name first). Before the application object exists Qt's
// own options (-platform, -display, ...) are still among them, so an unknown option is an
// error only when `qtOptionsRemoved`; --help and --version are answered either way, and
// need no display.
CommandLineRequest ReadCommandLine(const QStringList& arguments, bool qtOptionsRemoved);

// The process's arguments as Qt would read them, before the application object exists.
QStringList ProcessArguments(int argc, char** argv);

}  // namespace pt

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

// Reads `arguments` (the program's name first) without the toolkit's own options, so that
// every answer (--help, --version, an error) comes before a display is needed.
CommandLineRequest ReadCommandLine(const QStringList& arguments);

// The process's arguments as Qt would read them, before the application object exists.
QStringList ProcessArguments(int argc, char** argv);

// `arguments` without the options the toolkit takes for itself when the application object
// is made (-platform NAME, -display NAME, -reverse, -style=NAME, ...), each with its value;
// one or two leading dashes, as the toolkit accepts them.
QStringList WithoutToolkitOptions(const QStringList& arguments);

}  // namespace pt

#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

namespace pt {

namespace {

void Print(std::FILE* stream, const QString& text) {
    std::fputs(qPrintable(text), stream);
    std::fflush(stream);
}

// The parser's help names the program only once the application object exists.
QString HelpText(const QCommandLineParser& parser, const QStringList& arguments) {
    QString text = parser.helpText();
    const QString usage = QStringLiteral("Usage: ");
    const qsizetype end = text.indexOf(QLatin1String(" [options]"));
    if (text.startsWith(usage) && end > 0 && !arguments.isEmpty())
        text.replace(usage.size(), end - usage.size(), QFileInfo(arguments.first()).fileName());
    return text;
}

}  // namespace

CommandLineRequest ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-platform" is one unknown option, not -p -l -a ...; "-reverse" must not read as -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Measures mouse travel, clicks, keystrokes and computer use time from the tray."));
    // Not addHelpOption(): its --help-all lists Qt's options, which need the application.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on command-line options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption exportCsv(
        QStringLiteral("export-csv"),
        QStringLiteral("Writes the day history to <file> as CSV and exits (no display needed)."),
        QStringLiteral("file"));
    parser.addOption(exportCsv);

    CommandLineRequest request;
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help)) {
        Print(stdout, HelpText(parser, arguments));
        request.exitStatus = 0;
    } else if (parser.isSet(version)) {
        Print(stdout, QCoreApplication::applicationName() + QLatin1Char(' ') +
                          QCoreApplication::applicationVersion() + QLatin1Char('\n'));
        request.exitStatus = 0;
    } else if (!parsed && !arguments.isEmpty() &&
               (arguments.last() == QLatin1String("--export-csv") ||
                arguments.last() == QLatin1String("-export-csv"))) {
        // An export that names no file, with or without an empty value: the export says so.
        request.exportCsv = QString();
    } else if (!parsed) {
        Print(stderr, QCoreApplication::applicationName() + QStringLiteral(": ") +
                          parser.errorText() + QStringLiteral("\n\n") +
                          HelpText(parser, arguments));
        request.exitStatus = 1;
    } else if (!parser.positionalArguments().isEmpty()) {
        Print(stderr, QCoreApplication::applicationName() +
                          QStringLiteral(": unexpected argument '%1'\n\n")
                              .arg(parser.positionalArguments().first()) +
                          HelpText(parser, arguments));
        request.exitStatus = 1;
    } else if (parser.isSet(exportCsv)) {
        request.exportCsv = parser.value(exportCsv);
    }
    return request;
}

QStringList ProcessArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QStringList WithoutToolkitOptions(const QStringList& arguments) {
    // Those of the application objects (gui, widgets) and of the X11 platform plugin.
    static const QStringList withValue = {
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("geometry"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("title"),
        QStringLiteral("qwindowicon"),     QStringLiteral("icon"),
        QStringLiteral("display"),         QStringLiteral("name"),
        QStringLiteral("visual"),          QStringLiteral("session"),
        QStringLiteral("style"),           QStringLiteral("stylesheet")};
    static const QStringList flags = {QStringLiteral("reverse"), QStringLiteral("testability"),
                                      QStringLiteral("sync"),    QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"),  QStringLiteral("dograb")};
    static const QStringList joined = {QStringLiteral("style="), QStringLiteral("stylesheet="),
                                       QStringLiteral("qmljsdebugger=")};
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (i == 0 || argument == QLatin1String("--") || !argument.startsWith(QLatin1Char('-'))) {
            if (argument == QLatin1String("--")) {
                kept += arguments.mid(i);  // the rest is not options
                break;
            }
            kept << argument;
            continue;
        }
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (withValue.contains(name) && i + 1 < arguments.size()) {
            ++i;  // and its value
            continue;
        }
        if (flags.contains(name)) continue;
        if (std::any_of(joined.begin(), joined.end(),
                        [&](const QString& prefix) { return name.startsWith(prefix); }))
            continue;
        kept << argument;
    }
    return kept;
}

}  // namespace pt

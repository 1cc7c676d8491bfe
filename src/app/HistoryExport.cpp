#include "HistoryExport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>

#include <chrono>
#include <cstdio>

#include "core/persistence/HistoryCsv.h"
#include "platform/linux/SettingsDatabase.h"
#include "platform/linux/SqliteDayHistory.h"
#include "ui/WholeFile.h"

namespace pt {
namespace {

void Say(const QString& text) {
    std::fprintf(stderr, "pathtally: %s\n", text.toLocal8Bit().constData());
}

// A FIFO whose reader is started after the export (`pathtally --export-csv p & gzip < p`)
// is waited for, as `cat > p` would, but not for ever.
constexpr std::chrono::seconds FifoReaderWait{60};

}  // namespace

int RunExportCommand(int argc, char** argv, const QString& file) {
    if (file.isEmpty()) {
        // A command-line mistake, with the status of every other one.
        Say(QStringLiteral("--export-csv needs the name of the file to write"));
        return 1;
    }

    QCoreApplication app(argc, argv);
    SettingsDatabase database(SettingsDatabase::DefaultPath());
    database.setReadOnlyAccess();  // the export changes nothing it reads
    const auto days = SqliteDayHistory(database).readDays();
    if (!days || database.setAside()) {
        Say(QStringLiteral("cannot read the day history from %1")
                .arg(QString::fromStdString(database.path().string())));
        return 1;
    }
    const ReaderWait readerWait{
        FifoReaderWait, [&] {
            Say(QStringLiteral("waiting up to %1 s for a program to read from %2")
                    .arg(FifoReaderWait.count())
                    .arg(file));
        }};
    if (const QString failure = WriteWholeFile(file, HistoryCsv(*days), readerWait);
        !failure.isEmpty()) {
        Say(QStringLiteral("cannot write %1: %2").arg(file, failure));
        return 1;
    }
    // Not into the rows when they went to standard output (/dev/stdout, a pipe).
    struct stat target {
    }, out{};
    const bool toStdout = ::stat(QFile::encodeName(file).constData(), &target) == 0 &&
                          ::fstat(STDOUT_FILENO, &out) == 0 && target.st_dev == out.st_dev &&
                          target.st_ino == out.st_ino;
    std::fprintf(toStdout ? stderr : stdout, "%zu days written to %s\n", days->size(),
                 file.toLocal8Bit().constData());
    return 0;
}

}  // namespace pt

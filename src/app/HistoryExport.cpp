#include "HistoryExport.h"

#include <QCoreApplication>

#include <cstdio>

#include "persistence/HistoryCsv.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "ui/WholeFile.h"

namespace pt {
namespace {

void Say(const QString& text) {
    std::fprintf(stderr, "pathtally: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

int RunExportCommand(int argc, char** argv, const QString& file) {
    if (file.isEmpty()) {
        Say(QStringLiteral("--export-csv needs the name of the file to write"));
        return 2;
    }

    QCoreApplication app(argc, argv);
    SqliteSettingsStore store(SqliteSettingsStore::DefaultPath());
    store.setReadOnlyAccess();  // the export changes nothing it reads
    const auto days = store.readDays();
    if (!days || store.setAside()) {
        Say(QStringLiteral("cannot read the day history from %1")
                .arg(QString::fromStdString(store.path().string())));
        return 1;
    }
    if (const QString failure = WriteWholeFile(file, HistoryCsv(*days)); !failure.isEmpty()) {
        Say(QStringLiteral("cannot write %1: %2").arg(file, failure));
        return 1;
    }
    std::printf("%zu days written to %s\n", days->size(), file.toLocal8Bit().constData());
    return 0;
}

}  // namespace pt

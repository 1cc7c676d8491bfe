#pragma once

// Where a benchmark finds the program it measures: the first argument, else the build's
// `pathtally` beside the benchmark or one folder up.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

namespace bench {

inline QString ProgramToMeasure(int argc, char** argv) {
    if (argc > 1) return QString::fromLocal8Bit(argv[1]);
    const QDir here = QFileInfo(QCoreApplication::applicationFilePath()).dir();
    for (const QString& candidate : {here.filePath("pathtally"), here.filePath("../pathtally")})
        if (QFileInfo(candidate).isExecutable()) return QFileInfo(candidate).canonicalFilePath();
    return {};
}

}  // namespace bench

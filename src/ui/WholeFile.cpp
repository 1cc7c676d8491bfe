#include "WholeFile.h"

#include <QSaveFile>

namespace pt {

QString WriteWholeFile(const QString& file, const std::string& bytes) {
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return out.errorString();
    if (out.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        const QString reason = out.errorString();
        out.cancelWriting();
        return reason;
    }
    if (!out.commit()) return out.errorString();
    return {};
}

}  // namespace pt

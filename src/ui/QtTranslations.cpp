#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace pt {

QTranslator* InstallQtTranslations(Language lang) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString file = lang == Language::Traditional ? QStringLiteral("qtbase_zh_TW")
                                                       : QStringLiteral("qtbase_zh_CN");
    if (!translator->load(file, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

}  // namespace pt

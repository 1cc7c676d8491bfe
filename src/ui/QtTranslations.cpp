#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace pt {

QTranslator* InstallQtTranslations(Language lang) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    // Qt's own dialogs and buttons in the script of the program's texts.
    constexpr Text QtBaseTranslation{"qtbase_zh_CN", "qtbase_zh_TW", "qtbase_zh_CN"};
    const QString file = QString::fromUtf8(QtBaseTranslation.in(lang));
    if (!translator->load(file, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

}  // namespace pt

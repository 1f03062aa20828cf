#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tgm {

bool install_qt_translation() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    // A Windows program carries Qt's translations in its own folder; a Linux one finds them
    // where the system's Qt keeps them.
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    if (!translator->load(QStringLiteral("qtbase_ru"), beside) &&
        !translator->load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace tgm

#include "mainwindow/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace mossleaf::QtTranslations {

bool install(QCoreApplication& app, const QLocale& locale) {
    if (locale.language() != QLocale::Japanese) {
        return false;
    }
    // The application owns it: a translator must live as long as anything may be translated.
    auto* translator = new QTranslator(&app);
    // A missing catalogue is no error: the package is only recommended, and English works.
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace mossleaf::QtTranslations

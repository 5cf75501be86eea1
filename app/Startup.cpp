#include "app/Startup.h"

#include "look/Look.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace sheetmass {

void prepareApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("sheetmass"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.sheetmass"));

    describeWindowsToScreenReaders();

    // Qt's own texts (the fields' context menus) in Russian, like the rest.
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
}

} // namespace sheetmass

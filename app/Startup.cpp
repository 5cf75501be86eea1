#include "app/Startup.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void prepareApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("sheetmass"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.sheetmass"));

    // Linux has no "MS Sans Serif": a sans with Cyrillic and narrow enough
    // bold letters keeps every caption within its designed width.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("PT Sans"),
                                QStringLiteral("DejaVu Sans")});

    // Qt's own texts (the fields' context menus) in Russian, like the rest.
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
}

#include "app/startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Rezydo"));
    QApplication::setOrganizationName(QStringLiteral("Rezydo"));
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    installQtTranslation(app);
}

QTranslator* installQtTranslation(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

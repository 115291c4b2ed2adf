#include "app/startup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Rezydo"));
    QApplication::setOrganizationName(QStringLiteral("Rezydo"));
    // The desktop entry's name, so that docks show the entry's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("rezydo"));
    QApplication::setWindowIcon(programIcon());
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    installQtTranslation(app);
}

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/rezydo-%1.png").arg(size), QSize(size, size));
    return icon;
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

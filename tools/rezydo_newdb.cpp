// rezydo-newdb PATH [--demo]: creates a fresh Rezydo database file.
#include "core/error.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QString path;
    bool demo = false;
    for (const QString& a : args) {
        if (a == QStringLiteral("--demo"))
            demo = true;
        else if (path.isEmpty() && !a.startsWith(QStringLiteral("--")))
            path = a;
        else {
            std::fprintf(stderr, "rezydo-newdb: unknown argument %s\n", qPrintable(a));
            return 2;
        }
    }
    if (path.isEmpty()) {
        std::fprintf(stderr, "usage: rezydo-newdb PATH [--demo]\n");
        return 2;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        createDatabase(path, demo);
    } catch (const RezydoError& e) {
        std::fprintf(stderr, "rezydo-newdb: %s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf("%s\n", qPrintable(QFileInfo(path).absoluteFilePath()));
    return 0;
}

// rezydo-install-settings DATABASE_DIR ARCHIVE_DIR: records, as an installation
// does, where the database and the backup archives live, in the machine's
// settings. A value already there is kept, so a database chosen later in the
// program is never undone by starting it again.
#include "core/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {
bool installOnce(const QString& name, const QString& dir)
{
    if (readSetting(name))
        return true;
    // Written without a trailing separator, in the system's own form.
    const QString value =
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(dir).absoluteFilePath()));
    if (!writeSetting(name, value)) {
        std::fprintf(stderr, "rezydo-install-settings: cannot write %s\n", qPrintable(name));
        return false;
    }
    std::printf("%s = %s\n", qPrintable(name), qPrintable(value));
    return true;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: rezydo-install-settings DATABASE_DIR ARCHIVE_DIR\n");
        return 2;
    }
    const bool ok = installOnce(QStringLiteral("KatalogBazy"), args[0]) &&
                    installOnce(QStringLiteral("KatalogArchiwum"), args[1]);
    return ok ? 0 : 1;
}

#include "core/program_dir.h"

#include <QCoreApplication>

namespace {
QString& overrideDir()
{
    static QString dir;
    return dir;
}
} // namespace

QString programDirectory()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    return QCoreApplication::applicationDirPath();
}

void setProgramDirectory(const QString& directory)
{
    overrideDir() = directory;
}
